#include "viewer/display/picture_fill.h"

#include <gtest/gtest.h>

#include "tests/support/scenes.h"
#include "tests/support/temp_dir.h"
#include "viewer/display/picture_geometry.h"

namespace {

using namespace tesmar::display;
using testing_support::TempDir;

using testing_support::loadScene;

tesmar::DataWindow window(int fil, int lal, int fic, int lac, int degra) {
    return testing_support::makeWindow(fil, lal, fic, lac, degra);
}

TEST(PictureFill, EveryCellHoldsItsSampledLineAndPixel) {
    TempDir dir;
    const auto scene = loadScene(dir.native("a.nat", testing_support::smallStandard(1001, 1040)));
    for (int degra : {1, 2, 5}) {
        SCOPED_TRACE(degra);
        // A window whose first line and pixel are not multiples of the scope.
        const auto w = window(3, 37, 101, 163, degra);
        Raster g;
        WorkPlane fx;
        const auto r = fillChannel(scene, w, {9, FillTarget::Grey}, g, fx);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_FALSE(r.incomplete);
        const auto geo = PictureGeometry::visIr(w);
        const auto map = cellMapping(w);
        EXPECT_EQ(r.cells, geo.width * geo.height);
        for (int row = 0; row < geo.height; ++row)
            for (int col = 0; col < geo.width; ++col) {
                const auto count = synth::patternCount(9, map.storedLine(row), map.storedPixel(col));
                ASSERT_EQ(g.at(0, row, col), count / 4) << row << "," << col;
                ASSERT_EQ(g.at(2, row, col), count / 4);
            }
        EXPECT_EQ(g.at(0, geo.height, 0), 1);  // cells outside the window are untouched
    }
}

TEST(PictureFill, PlanesWorkPlaneAndComplement) {
    TempDir dir;
    const auto scene = loadScene(dir.native("a.nat", testing_support::smallStandard(1001, 1010)));
    const auto w = window(1, 9, 10, 30, 1);
    Raster g;
    WorkPlane fx;
    fx.resetExtremes();
    ASSERT_TRUE(fillChannel(scene, w, {4, FillTarget::Plane, 1, false}, g, fx).ok);
    ASSERT_TRUE(fillChannel(scene, w, {4, FillTarget::WorkPlane}, g, fx).ok);
    int lo = 1023, hi = 0;
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 20; ++col) {
            const int count = synth::patternCount(4, 1 + row, 10 + col);
            EXPECT_EQ(g.at(1, row, col), 255 - count / 4);
            EXPECT_EQ(g.at(0, row, col), 1);
            EXPECT_EQ(fx.at(0, row, col), count);
            lo = std::min(lo, count);
            hi = std::max(hi, count);
        }
    EXPECT_EQ(fx.fxmin, lo);
    EXPECT_EQ(fx.fxmax, hi);
}

TEST(PictureFill, HrvFillsThreeRowsPerLineAndStopsAtTheRecordEnd) {
    TempDir dir;
    synth::SyntheticScene s = testing_support::smallStandard(1001, 1010);
    s.hrvColumns = 11136;
    const auto scene = loadScene(dir.native("a.nat", s));
    // The window asks for one pixel past the record: it is not read.
    const auto w = window(2, 6, 5560, 5569, 1);
    Raster g;
    WorkPlane fx;
    const auto r = fillChannel(scene, w, {12, FillTarget::Grey}, g, fx);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.cells, 3 * 4 * 8);
    for (int u = 2; u < 6; ++u)
        for (int sub = 0; sub < 3; ++sub)
            for (int j = 5560; j < 5568; ++j)
                ASSERT_EQ(g.at(0, 3 * (u - 2) + sub, j - 5560), synth::patternCount(12, 3 * u + sub, j) / 4);
    EXPECT_EQ(g.at(0, 0, 8), 1);
}

TEST(PictureFill, RefusalsWriteNothing) {
    TempDir dir;
    synth::SyntheticScene s = testing_support::smallStandard(1001, 1010);
    s.channels = "X-XXXXXXXXXX";
    auto scene = loadScene(dir.native("a.nat", s));
    Raster g;
    WorkPlane fx;
    EXPECT_FALSE(fillChannel(scene, window(5, 5, 1, 10, 1), {1}, g, fx).ok);  // empty window
    EXPECT_FALSE(fillChannel(scene, window(1, 5, 1, 10, 1), {2}, g, fx).ok);  // absent channel
    scene.fich = dir / "gone.nat";
    EXPECT_FALSE(fillChannel(scene, window(1, 5, 1, 10, 1), {1}, g, fx).ok);
    EXPECT_EQ(g.at(0, 0, 0), 1);
}

TEST(PictureFill, TruncatedFileGivesZerosAndSaysSo) {
    TempDir dir;
    const auto path = dir.native("a.nat", testing_support::smallStandard(1001, 1010));
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 3 * 72830);
    const auto scene = loadScene(path);
    Raster g;
    WorkPlane fx;
    const auto r = fillChannel(scene, window(1, 10, 1, 50, 1), {1}, g, fx);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.incomplete);
    EXPECT_EQ(g.at(0, 8, 3), 0);  // stored line 9 is gone
    EXPECT_EQ(g.at(0, 5, 3), synth::patternCount(1, 6, 4) / 4);
}

}  // namespace
