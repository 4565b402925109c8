#include "tools/kit/towns.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Iso6709, ReadsMinutesAndSeconds) {
    struct Case {
        const char* text;
        double lon, lat;
    };
    const Case cases[] = {
        {"+4024-00341", -(3 + 41 / 60.0), 40 + 24 / 60.0},
        {"-2332-04637", -(46 + 37 / 60.0), -(23 + 32 / 60.0)},
        {"+0000+00000", 0, 0},
        {"-345205+1384425", 138 + 44 / 60.0 + 25 / 3600.0, -(34 + 52 / 60.0 + 5 / 3600.0)},
        {"+9000-18000", -180, 90},
    };
    for (const auto& c : cases) {
        const auto p = kit::parseIso6709(c.text);
        ASSERT_TRUE(p) << c.text;
        EXPECT_NEAR(p->lon, c.lon, 1e-12) << c.text;
        EXPECT_NEAR(p->lat, c.lat, 1e-12) << c.text;
    }
}

TEST(Iso6709, RefusesMalformedCoordinates) {
    for (const char* bad :
         {"", "+4024", "4024+00341", "+4024*00341", "+4060-00341", "+402460-0034100", "+9100+00000",
          "+0000+18100", "+40a4-00341", "+4024-00341 "})
        EXPECT_FALSE(kit::parseIso6709(bad)) << bad;
}

TEST(ZoneTable, TakesTheCityOfEachZone) {
    const auto p = kit::parseZoneLine("BR\t-2332-04637\tAmerica/Sao_Paulo\tBrazil (southeast)");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->name, "Sao Paulo");
    EXPECT_EQ(kit::townName("America/Argentina/Buenos_Aires"), "Buenos Aires");
    EXPECT_EQ(kit::parseZoneLine("AE,OM,RE\t+2518+05518\tAsia/Dubai\tCrozet")->name, "Dubai");
    EXPECT_EQ(kit::parseZoneLine("XX\t+0000+00000\tEtc/utc"), std::nullopt);  // no capital first
    EXPECT_EQ(kit::parseZoneLine("# comment\t+0000+00000\tEurope/Nowhere"), std::nullopt);
    EXPECT_EQ(kit::parseZoneLine("ES\t+4024-00341"), std::nullopt);
}

TEST(ZoneTable, KeepsOnlyPlacesTheSatelliteSees) {
    const auto places = kit::visiblePlaces(
        "# tz table\n"
        "ES\t+4024-00341\tEurope/Madrid\r\n"
        "JP\t+353916+1394441\tAsia/Tokyo\n"
        "ZA\t-2615+02800\tAfrica/Johannesburg\n"
        "US\t+340308-1181434\tAmerica/Los_Angeles\n");
    ASSERT_EQ(places.size(), 2U);
    EXPECT_EQ(places[0].name, "Madrid");
    EXPECT_EQ(places[1].name, "Johannesburg");
    EXPECT_EQ(kit::formatTownText(places),
              "LON LAT NAME (x100 degrees)\n-368 4040 Madrid\n2800 -2625 Johannesburg\n");
}

}  // namespace
