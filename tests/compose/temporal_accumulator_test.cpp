#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "viewer/compose/temporal_stats.h"
#include "viewer/scene/calibration.h"
#include "viewer/scene/channels.h"

namespace {

using namespace tesmar;
using namespace tesmar::compose;

constexpr CellArea kArea{2, 3};

// A raster whose cells of the area hold `v` in every plane.
display::Raster grey(std::uint8_t v) {
    display::Raster g;
    for (int r = 0; r < kArea.rows; ++r)
        for (int c = 0; c < kArea.cols; ++c) g.setGrey(r, c, v);
    return g;
}

TEST(TemporalAccumulator, EachStatisticOfAKnownSeries) {
    const struct {
        Statistic statistic;
        std::vector<std::uint8_t> series;
        std::uint8_t actual;  // the picture on screen, for rise
        std::uint8_t expected;
    } cases[] = {
        {Statistic::Average, {10, 21}, 0, 15},  // 10, then (1 x 10 + 21) / 2 = 15.5
        {Statistic::Average, {}, 0, 0},         // nothing combined: black
        {Statistic::Maximum, {10, 21, 7}, 0, 21},
        {Statistic::Maximum, {}, 0, 0},
        {Statistic::Minimum, {10, 21, 7}, 0, 7},
        {Statistic::Minimum, {}, 0, 255},  // nothing combined: white
        {Statistic::Range, {10, 21, 7}, 0, 14},
        {Statistic::Range, {}, 0, 0},  // never below 0
        {Statistic::Rise, {10, 21}, 18, 3},
        {Statistic::Rise, {10, 21}, 30, 0},          // never above the picture on screen: black
        {Statistic::Deviation, {40, 40, 40}, 0, 0},  // a constant series
    };
    for (const auto& c : cases) {
        TemporalAccumulator acc(c.statistic, kArea);
        acc.setActual(grey(c.actual));
        for (const auto v : c.series) acc.add(grey(v));
        EXPECT_EQ(acc.count(), static_cast<int>(c.series.size()));
        auto g = grey(99);
        g.at(0, kArea.rows, 0) = 77;  // outside the area: left alone
        acc.finish(g);
        for (int p = 0; p < 3; ++p)
            for (int r = 0; r < kArea.rows; ++r)
                for (int col = 0; col < kArea.cols; ++col)
                    ASSERT_EQ(g.at(p, r, col), c.expected)
                        << statisticWord(c.statistic) << " plane " << p;
        EXPECT_EQ(g.at(0, kArea.rows, 0), 77);
    }
}

TEST(TemporalAccumulator, DeviationIsSpreadBetweenItsExtremes) {
    // Cell (0, 0) varies by 10.5 around 20.5, every other cell not at all.
    TemporalAccumulator acc(Statistic::Deviation, kArea);
    auto first = grey(10), second = grey(10);
    second.setGrey(0, 0, 31);
    acc.add(first);
    acc.add(second);
    display::Raster g;
    const auto e = acc.finish(g);
    EXPECT_EQ(e.maxg, 10);
    EXPECT_EQ(e.ming, 0);
    EXPECT_EQ(g.at(0, 0, 0), 254);  // 10 x 255 / 10.0001
    EXPECT_EQ(g.at(2, 0, 0), 254);
    EXPECT_EQ(g.at(0, 1, 2), 0);
}

TEST(TemporalAccumulator, MinimumTakesRedAtLeastAsHighAsGreen) {
    TemporalAccumulator acc(Statistic::Minimum, kArea);
    for (const auto& [r, gr, b] :
         {std::array<std::uint8_t, 3>{50, 80, 20}, std::array<std::uint8_t, 3>{60, 40, 30}}) {
        display::Raster g;
        for (int row = 0; row < kArea.rows; ++row)
            for (int col = 0; col < kArea.cols; ++col) {
                g.at(0, row, col) = r;
                g.at(1, row, col) = gr;
                g.at(2, row, col) = b;
            }
        acc.add(g);
    }
    display::Raster out;
    acc.finish(out);
    EXPECT_EQ(out.at(0, 1, 1), 60);  // min(max(50, 80), max(60, 40))
    EXPECT_EQ(out.at(1, 1, 1), 40);
    EXPECT_EQ(out.at(2, 1, 1), 20);
}

TEST(TemporalAccumulator, HeatingCountsQuarterKelvins) {
    // A calibration under which the values 100 and 120 (counts 400 and 480) are 280 K and
    // 283.3 K: a rise of 3.3 K is 13 quarter kelvins.
    const int channel = 9;
    const double lambda = channels::wavelengthMicrons(channel) * 1e-6;
    const double r0 = calib::fromSpectral(calib::radiance(lambda, 280.0), lambda);
    const double r1 = calib::fromSpectral(calib::radiance(lambda, 283.3), lambda);
    FinishContext context;
    context.channel = channel;
    context.cal.slope = (r1 - r0) / 80;
    context.cal.offset = r0 - context.cal.slope * 400;

    const struct {
        std::uint8_t actual, warmest;
        std::uint8_t expected;
    } cases[] = {{100, 120, 13}, {120, 100, 0}, {100, 100, 0}};
    for (const auto& c : cases) {
        TemporalAccumulator acc(Statistic::Heating, kArea);
        acc.setActual(grey(c.actual));
        acc.add(grey(c.warmest));
        acc.add(grey(c.actual));
        display::Raster g;
        acc.finish(g, context);
        for (int p = 0; p < 3; ++p)
            EXPECT_EQ(g.at(p, 1, 2), c.expected) << int(c.actual) << " -> " << int(c.warmest);
    }
}

TEST(TemporalAccumulator, EvolutionKeepsSeasonsApartAndLevelsNorthToSouth) {
    // Eight lines of one column: the southern quarter (lines 0 and 1) at 100, the northern
    // line 7 at 140, the rest at 120, all in the blue plane.
    const CellArea area{8, 1};
    TemporalAccumulator acc(Statistic::Evolution, area);
    display::Raster g;
    for (int r = 0; r < 8; ++r) g.at(2, r, 0) = r < 2 ? 100 : r == 7 ? 140 : 120;
    g.at(0, 0, 0) = 200;  // another plane of the same file is not loaded
    acc.addPlane(2, g);
    display::Raster out;
    FinishContext context;
    context.lines = {0, 8, 1, 1};
    acc.finish(out, context);
    // A = 200 / 3, B = 140 / 2, slope (B - A) / 8; line L gains (7 - L) x slope.
    EXPECT_EQ(out.at(2, 0, 0), 102);
    EXPECT_EQ(out.at(2, 3, 0), 121);
    EXPECT_EQ(out.at(2, 7, 0), 140);
    EXPECT_EQ(out.at(0, 0, 0), 0);
    EXPECT_EQ(out.at(1, 4, 0), 0);
}

TEST(TemporalAccumulator, EvolutionPlanesFollowTheMonthOfTheSceneTime) {
    const struct {
        const char* time;
        std::optional<int> plane;
    } cases[] = {
        {"201903181200", 2},  {"201901010000", 2},  {"201905181200", 1},  {"201906301200", 1},
        {"201908181200", 0},  {"201909011200", 0},  {"201910011200", {}}, {"201911181200", {}},
        {"201912011200", {}}, {"201900011200", {}}, {"2019xx011200", {}}, {"2019", {}},
    };
    for (const auto& c : cases) {
        const auto month = sceneMonth(c.time);
        EXPECT_EQ(month ? evolutionPlane(*month) : std::nullopt, c.plane) << c.time;
    }
}

TEST(TemporalAccumulator, TitlesNameTheStatisticAndTheKind) {
    PictureKindText single;
    single.channel = std::string("9");
    PictureKindText composite;
    composite.kind = 2;
    PictureKindText difference;
    difference.kind = 3;
    difference.red = std::string("9");
    difference.green = std::string("5");
    PictureKindText complex;
    complex.kind = 5;
    complex.complexPlanes = {PlaneRecipe{10, 9}, PlaneRecipe{9, 4}, PlaneRecipe{9, 0}};
    const struct {
        Statistic statistic;
        const PictureKindText& kind;
        const char* title;
    } cases[] = {
        {Statistic::Average, single, "Average of single channel 9"},
        {Statistic::Deviation, composite, "Standard deviation of composite images 3+2+1"},
        {Statistic::Maximum, difference, "Maximum of T-Difference 9-5"},
        {Statistic::Minimum, complex, "Minimum of composite of T-differences (10-9)+(9-4)+(9-0)"},
        {Statistic::Range, composite, "Maximum of composite images 3+2+1 - Minimum"},
        {Statistic::Range, difference, "Maximum of T-Difference 9-5 Maximum - Minimum"},
        {Statistic::Range, single, "Maximum of single channel 9 Maximum - Minimum"},
        {Statistic::Range, complex, "Maximum of composite of T-differences (10-9)+(9-4)+(9-0)"},
        {Statistic::Rise, complex,
         "Maximum of composite of T-differences (10-9)+(9-4)+(9-0) - Actual"},
        {Statistic::Rise, single, "Maximum of single channel 9 - Actual"},
        {Statistic::Heating, composite, "Maximum of single channel increase in K 1 - Actual"},
        {Statistic::Heating, single, "Maximum of single channel increase in K 9 - Actual"},
        {Statistic::Evolution, single, "Evolution RGB maximum"},
    };
    for (const auto& c : cases) EXPECT_EQ(statisticTitle(c.statistic, c.kind), c.title);
}

TEST(TemporalAccumulator, WordsNameEveryStatistic) {
    for (const auto s :
         {Statistic::Average, Statistic::Deviation, Statistic::Maximum, Statistic::Minimum,
          Statistic::Range, Statistic::Rise, Statistic::Heating, Statistic::Evolution})
        EXPECT_EQ(statisticNamed(statisticWord(s)), s);
    EXPECT_FALSE(statisticNamed("mean"));
    EXPECT_FALSE(statisticNamed(""));
}

}  // namespace
