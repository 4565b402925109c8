#include "tools/kit/coast_text.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tools/kit/gmt_source.h"

namespace {

using kit::CoastLine;
using kit::GeoLine;

TEST(CoastText, RoundsDegreesToHundredths) {
    struct Case {
        double lon, lat;
        const char* line;
    };
    const Case cases[] = {
        {7.05, 41.23, "705 4123"},  // 7.05 is a little under in binary
        {-12.34, -5.67, "-1234 -567"}, {0.004, -0.004, "0 0"},
        {0.005, -0.005, "1 -1"},  // halves away from zero
        {-79.999, 81.0, "-8000 8100"},
    };
    for (const auto& c : cases) {
        const auto lines = kit::toCoastLines({GeoLine{{c.lon, c.lat}}});
        EXPECT_EQ(kit::formatCoastText(lines), std::string(">0\n") + c.line + "\n>\n") << c.line;
    }
}

TEST(CoastText, DropsRepeatsAndUnusablePoints) {
    const GeoLine line{{1.0, 2.0}, {1.001, 2.002}, {std::nan(""), 3}, {1.5, 2.0}};
    const auto lines = kit::toCoastLines({line, GeoLine{{std::nan(""), 1}}});
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], (CoastLine{{100, 200}, {150, 200}}));
}

TEST(CoastText, ReadsBackWhatItWrites) {
    const std::vector<CoastLine> lines{{{705, 4123}, {-1234, -567}}, {{0, 0}}};
    EXPECT_EQ(kit::parseCoastText(kit::formatCoastText(lines)), lines);
}

TEST(CoastText, ReaderSkipsHeaderAndBadLinesAndAcceptsCrlf) {
    const auto lines = kit::parseCoastText("12 34\r\n1 2\r\nnonsense\r\n>\r\n>3\r\n-5 6");
    EXPECT_EQ(lines, (std::vector<CoastLine>{{{1, 2}}, {{-5, 6}}}));
}

TEST(GmtSegments, SplitsAtMarkersAndSkipsComments) {
    const char* text =
        "# gmt header\n"
        "> Shore Bin # 75, Level 1\n"
        "20\t80.4673075456\n"
        "19.844586862\t80.4537270161\n"
        ">\n"
        ">\n"
        "-12.5  -3.25 extra\n"
        "\n"
        "> Border Bin # 2\n"
        "350\t10\n";
    const auto lines = kit::parseGmtSegments(text);
    ASSERT_TRUE(lines.ok()) << lines.error();
    ASSERT_EQ(lines->size(), 3U);
    ASSERT_EQ((*lines)[0].size(), 2U);
    EXPECT_DOUBLE_EQ((*lines)[0][1].lon, 19.844586862);
    EXPECT_DOUBLE_EQ((*lines)[0][1].lat, 80.4537270161);
    EXPECT_DOUBLE_EQ((*lines)[1][0].lon, -12.5);
    EXPECT_DOUBLE_EQ((*lines)[1][0].lat, -3.25);
    EXPECT_DOUBLE_EQ((*lines)[2][0].lon, -10.0);  // 0..360 output brought to -180..180
}

TEST(GmtSegments, RefusesLinesThatAreNotPoints) {
    for (const char* bad :
         {"> a\n1 2\n3\n", "> a\n1 2\nx y\n", "> a\n1 2\n3 95\n", "> a\n1 2\nnan 2\n"}) {
        const auto lines = kit::parseGmtSegments(bad);
        ASSERT_FALSE(lines.ok()) << bad;
        EXPECT_NE(lines.error().find("line 3"), std::string::npos) << lines.error();
    }
}

}  // namespace
