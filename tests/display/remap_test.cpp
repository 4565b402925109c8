#include "viewer/display/remap.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/scenes.h"

namespace {

using namespace tesmar::display;

TEST(Projections, RoundTrips) {
    for (const bool plate : {false, true})
        for (double lon : {-60.0, 0.0, 17.5})
            for (double lat : {-70.0, 0.0, 45.3, 89.0}) {
                const auto p = merc_dir(lon, lat, plate);
                const auto g = merc_inv(p.x, p.y, plate);
                EXPECT_NEAR(g.lon, lon, 1e-9);
                EXPECT_NEAR(g.lat, lat, 1e-9);
            }
    EXPECT_DOUBLE_EQ(merc_dir(0, 90, false).y, merc_dir(0, 89.9, false).y);  // held short of the pole
    for (double lon : {-30.0, 10.0, 100.0})
        for (double lat : {-40.0, 20.0, 60.0, 85.0}) {
            const auto p = polar_dir(10, 60, lon, lat);
            ASSERT_TRUE(p);
            const auto g = polar_inv(10, 60, p->x, p->y);
            ASSERT_TRUE(g);
            EXPECT_NEAR(std::remainder(g->lon - lon, 360.0), 0.0, 1e-9) << lon << "," << lat;
            EXPECT_NEAR(g->lat, lat, 1e-9);
        }
    // At the reference point: x = 0, y = cos(lat0).
    const auto ref = polar_dir(10, 60, 10, 60);
    EXPECT_NEAR(ref->x, 0, 1e-12);
    EXPECT_NEAR(ref->y, std::cos(60 * M_PI / 180), 1e-12);
    // The south pole has no point; the centre of the grid is the north pole, not a division.
    EXPECT_FALSE(polar_dir(0, 60, 0, -90));
    const auto pole = polar_inv(0, 60, 0, 0);
    ASSERT_TRUE(pole);
    EXPECT_EQ(pole->lat, 90.0);
    EXPECT_TRUE(polar_inv(0, 60, 0.3, 0));  // y = 0 without dividing by it
}

TEST(Remap, CopiesTheCellsOfThePictureAndRefusesWhatCannotBeMapped) {
    const auto s = testing_support::standardFullDiskScene();
    auto w = testing_support::makeWindow(3000, 3300, 1500, 1900, 1);
    w.fi = 5;
    w.la = 45;
    Raster g, gp;
    // Plane 0 holds the raster column, plane 1 the row (mod 250), so the source cell of a
    // grid cell can be read back.
    for (int r = 0; r < 300; ++r)
        for (int c = 0; c < 400; ++c) g.at(0, r, c) = static_cast<std::uint8_t>(c % 250), g.at(1, r, c) = static_cast<std::uint8_t>(r % 250);
    const auto corners = mercatorCorners(s, w, {}, false);
    EXPECT_GT(corners.east, corners.west);  // the lower-east corner lies east of the upper-west
    EXPECT_LT(corners.south, corners.north);
    RemapRequest q;
    q.corners = corners;
    const auto r = remap(s, w, {}, false, g, q, gp);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.lastRow, 300);
    EXPECT_EQ(r.lastCol, 400);
    // The middle grid cell comes from near the middle of the picture.
    EXPECT_NEAR(gp.at(1, 150, 200), 150, 20);
    EXPECT_NEAR(gp.at(0, 150, 200), 200, 40);

    auto empty = w;
    empty.lal = empty.fil;
    EXPECT_FALSE(remap(s, empty, {}, false, g, q, gp).ok);
    // 1:1 near the pole: no division by a vanishing scale.
    q.oneToOne = true;
    q.corners = {10, 89.95, -10, 90};
    const auto polarish = remap(s, w, {}, false, g, q, gp);
    EXPECT_TRUE(polarish.ok);
    EXPECT_TRUE(std::isfinite(polarish.xint) && std::isfinite(polarish.yint));
    q.corners.east = std::nan("");
    EXPECT_FALSE(remap(s, w, {}, false, g, q, gp).ok);
}

}  // namespace

namespace {

TEST(Mercadea, ReadsTheProductLine) {
    const Corners offered{12, 30, -10, 60};
    const struct {
        const char* line;
        Corners corners;
        bool oneToOne, frozen;
    } cases[] = {
        {"Europe mercator -15 62 35 30 1 0", {35, 30, -15, 62}, true, false},
        {"Europe mercator -15 62 35 30 0 1", {35, 30, -15, 62}, false, true},
        {"Europe mercator -15 62 35", {0, 0, 0, 0}, false, false},  // no lower-east latitude
        {"Europe single channel", {12, 30, -10, 60}, false, false},
    };
    for (const auto& c : cases) {
        const auto m = mercadea(c.line, offered);
        EXPECT_EQ(m.corners.east, c.corners.east) << c.line;
        EXPECT_EQ(m.corners.south, c.corners.south) << c.line;
        EXPECT_EQ(m.corners.west, c.corners.west) << c.line;
        EXPECT_EQ(m.corners.north, c.corners.north) << c.line;
        EXPECT_EQ(m.oneToOne, c.oneToOne) << c.line;
        EXPECT_EQ(m.frozen, c.frozen) << c.line;
    }
}

}  // namespace
