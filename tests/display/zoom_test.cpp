#include "viewer/display/zoom.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/scenes.h"

namespace {

using namespace tesmar::display;

struct Picture {
    Raster g, gp;
    PictureGeometry geo = PictureGeometry::visIr(testing_support::makeWindow(0, 740, 0, 920, 1));
    Picture() {
        // Each cell holds its column (mod 200) in plane 0 and its row (mod 200) in plane 1.
        for (int r = 0; r <= geo.lastRow; ++r)
            for (int c = 0; c <= geo.lastCol; ++c) {
                g.at(0, r, c) = static_cast<std::uint8_t>(c % 200);
                g.at(1, r, c) = static_cast<std::uint8_t>(r % 200);
            }
    }
};

TEST(Zoom, CornerAndCentreClicks) {
    const struct {
        int x, y;
        RasterCell firstSource;  // the unzoomed cell under the zoomed picture's raster cell 0,0
    } cases[] = {
        // Raster rows run north and columns east, so the picture's top-left is the raster's
        // last row and column: the quarter nearest that corner is enlarged.
        {0, 0, {739 - 2 * 184, 919 - 2 * 229}},
        {919, 739, {0, 0}},                              // bottom-right
        {460, 370, {739 - 370 - 184, 919 - 460 - 229}},  // the centre
    };
    for (const auto& c : cases) {
        Picture p;
        ZoomState z;
        ASSERT_TRUE(z.zoomIn(p.g, p.gp, p.geo, c.x, c.y));
        const auto src = z.inverse({0, 0});
        EXPECT_EQ(src.row, c.firstSource.row) << c.x << "," << c.y;
        EXPECT_EQ(src.col, c.firstSource.col) << c.x << "," << c.y;
    }
}

TEST(Zoom, ForwardAndInverseAgreeAtEveryDepth) {
    Picture p;
    const Raster original = p.g;
    ZoomState z;
    std::srand(7);
    for (int depth = 1; depth <= kMaxZoom; ++depth) {
        ASSERT_TRUE(z.zoomIn(p.g, p.gp, p.geo, std::rand() % 920, std::rand() % 740));
        int mapped = 0;
        for (int r = 0; r <= p.geo.lastRow; r += 7)
            for (int c = 0; c <= p.geo.lastCol; c += 5) {
                const auto f = z.forward({r, c}, p.geo);
                if (!f) continue;
                ++mapped;
                const auto back = z.inverse(*f);
                ASSERT_EQ(back.row, r);
                ASSERT_EQ(back.col, c);
            }
        // Every zoomed cell shows (within the smoothing) the cell the inverse names.
        if (depth == 1) {
            EXPECT_GT(mapped, 0);
            for (int r = 0; r < p.geo.lastRow; r += 11)
                for (int c = 0; c < p.geo.lastCol; c += 13) {
                    const auto src = z.inverse({r, c});
                    EXPECT_LE(std::abs(p.g.at(0, r, c) - original.at(0, src.row, src.col)), 1) << r << "," << c;
                    EXPECT_LE(std::abs(p.g.at(1, r, c) - original.at(1, src.row, src.col)), 1) << r << "," << c;
                }
        }
    }
    EXPECT_EQ(z.depth(), 8);
    EXPECT_FALSE(z.zoomIn(p.g, p.gp, p.geo, 10, 10));  // a ninth level is refused
    EXPECT_EQ(z.depth(), 8);
}

}  // namespace
