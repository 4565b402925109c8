#include "viewer/scene/navigation.h"

#include <gtest/gtest.h>

namespace {

using namespace tesmar::nav;

TEST(Navigation, RoundsHalvesToEven) {
    EXPECT_EQ(roundHalfEven(1855.5), 1856);
    EXPECT_EQ(roundHalfEven(1856.5), 1856);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(3.4999), 3);
    EXPECT_EQ(roundHalfEven(3.5001), 4);
}

TEST(Navigation, KnownPointsToTheGrid) {
    const struct {
        double lon, lat;
        int line, column;
    } cases[] = {{0, 0, 1856, 1856}, {7, 41, 3178, 1668}, {-20, -30, 836, 2465}};
    for (const auto& c : cases) {
        const auto p = geoToVisIr(c.lon, c.lat, {});
        ASSERT_TRUE(p);
        EXPECT_EQ(p->line, c.line) << c.lon << "," << c.lat;
        EXPECT_EQ(p->column, c.column) << c.lon << "," << c.lat;
        int line = -1, column = -1;
        geotolin(9, line, column, c.lon, c.lat, {});
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(column, c.column);
    }
}

TEST(Navigation, GridToGeographicAndBack) {
    const auto centre = lintogeo(1856, 1856, {});
    ASSERT_TRUE(centre);
    EXPECT_NEAR(centre->lon, -0.0135, 0.0005);
    EXPECT_NEAR(centre->lat, 0.0136, 0.0005);
    const auto p = lintogeo(3178, 1668, {});
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->lon, 7, 0.01);
    EXPECT_NEAR(p->lat, 41, 0.01);
    // Every visible grid point comes back to itself.
    for (int line = 200; line <= 3500; line += 331)
        for (int column = 200; column <= 3500; column += 297) {
            const auto g = lintogeo(line, column, {});
            if (!g) continue;
            const auto back = geoToVisIr(g->lon, g->lat, {});
            ASSERT_TRUE(back);
            EXPECT_EQ(back->line, line);
            EXPECT_EQ(back->column, column);
        }
}

TEST(Navigation, Hrv) {
    int line = 0, column = 0;
    geotolin_vis(12, line, column, 7, 41, {});
    EXPECT_EQ(line, 3179);
    EXPECT_EQ(column, 5004);
    int hrvLine = 0;
    column = 0;
    geotolin_vis_sin(12, hrvLine, column, 7, 41, {});
    EXPECT_EQ(hrvLine, 9534);
    EXPECT_EQ(hrvLineToVisIrLine(hrvLine), 3179);
}

TEST(Navigation, OffTheDisk) {
    EXPECT_FALSE(lintogeo(1, 1856, {}));
    EXPECT_FALSE(geoToVisIr(120, 0, {}));
    int line = 7, column = 9;
    geotolin(1, line, column, 120, 0, {});
    EXPECT_EQ(line, 0);
    EXPECT_EQ(column, 0);
    line = 7;
    column = 9;
    geotolin_vis(12, line, column, 120, 0, {});
    EXPECT_EQ(line, 0);  // -3 div 3 + 1
    EXPECT_EQ(column, 9);
    line = 7;
    geotolin_vis_sin(12, line, column, 120, 0, {});
    EXPECT_EQ(line, -3);
}

TEST(Navigation, ChannelGatesKeepTheOutputs) {
    int line = 11, column = 22;
    geotolin(12, line, column, 7, 41, {});
    EXPECT_EQ(line, 11);
    EXPECT_EQ(column, 22);
    line = 11;
    column = 22;
    geotolin_vis_sin(5, line, column, 7, 41, {});
    EXPECT_EQ(line, 11);
    EXPECT_EQ(column, 22);
}

TEST(Navigation, LongitudeShift) {
    const Context shifted{9.5};
    const auto p = geoToVisIr(9.5, 0, shifted);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->line, 1856);
    EXPECT_EQ(p->column, 1856);
    const auto g = lintogeo(1856, 1856, shifted);
    ASSERT_TRUE(g);
    EXPECT_NEAR(g->lon, 9.4865, 0.0005);
    // A satellite at 41.5 E sees 41.5 E where one at 0 sees 0.
    const auto east = geoToVisIr(41.5, 0, Context{41.5});
    ASSERT_TRUE(east);
    EXPECT_EQ(east->column, 1856);
}

TEST(Navigation, Distances) {
    EXPECT_EQ(distancias({0, 0}, "0", "0"), "0 km");
    EXPECT_EQ(distancias({0, 0}, "0 E", "90 N"), "10019 km");
    EXPECT_EQ(distancias({0, 0}, "abc", "90"), "0 km");
}

}  // namespace
