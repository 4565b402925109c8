#include "viewer/compose/composites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "tests/support/temp_dir.h"
#include "viewer/compose/correlation.h"
#include "viewer/display/height_focus.h"
#include "viewer/display/picture_geometry.h"
#include "viewer/scene/calibration.h"

namespace {

using namespace tesmar;
using namespace tesmar::compose;
using testing_support::TempDir;

struct Loaded {
    NativeScene scene;
    DataWindow window;
};

Loaded load(const TempDir& dir, const synth::SyntheticScene& s, int degra = 1) {
    const auto path = dir.native("scene.nat", s);
    auto scene = readNativeHeader(path);
    EXPECT_TRUE(scene.ok()) << scene.error();
    DataWindow w;
    w.fil = 2;
    w.lal = 9;
    w.fic = 1850;
    w.lac = 1870;
    w.degra = degra;
    return {*scene, w};
}

// A scene around the sub-satellite point at noon whose channels hold the given counts.
synth::SyntheticScene uniform(std::array<std::uint16_t, 12> counts) {
    synth::SyntheticScene s = testing_support::smallStandard(1850, 1860);
    s.content = synth::Content::Uniform;
    s.uniformCounts = counts;
    return s;
}

double kelvin(const synth::SyntheticScene& s, int channel, std::uint16_t count) {
    return calib::brightnessTemperature(channel, {s.slope[channel - 1], s.offset[channel - 1]},
                                        count);
}

TEST(Composite, NegativeBoxesInvertTheirPlane) {
    TempDir dir;
    const auto l = load(dir, testing_support::smallStandard(1850, 1860));
    display::Raster g;
    display::WorkPlane fx;
    const auto r = composite({l.scene, l.window, {}}, {"-9", "9", "4"}, false, 1, {}, g, fx);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.prodnr, 2);
    EXPECT_EQ(r.title, "Composite image -9+9+4");
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 20; ++col) {
            EXPECT_EQ(g.at(0, row, col), 255 - synth::patternCount(9, 2 + row, 1850 + col) / 4);
            EXPECT_EQ(g.at(1, row, col), synth::patternCount(9, 2 + row, 1850 + col) / 4);
            EXPECT_EQ(g.at(2, row, col), synth::patternCount(4, 2 + row, 1850 + col) / 4);
        }
}

TEST(Composite, RefusalsLeaveTheRasterAlone) {
    TempDir dir;
    synth::SyntheticScene s = testing_support::smallStandard(1850, 1860);
    s.channels = "XX-XXXXXXXXX";
    const auto l = load(dir, s);
    display::Raster g;
    display::WorkPlane fx;
    for (const auto& boxes : std::vector<std::array<std::string, 3>>{
             {"1", "2", "12"}, {"1", "2", "0"}, {"1", "3", "2"}, {"x", "2", "1"}}) {
        const auto r = composite({l.scene, l.window, {}}, boxes, false, 1, {}, g, fx);
        EXPECT_FALSE(r.ok) << boxes[2];
        EXPECT_FALSE(r.error.empty());
    }
    EXPECT_FALSE(two_channel_tt({l.scene, l.window, {}}, "3", "9", g).ok);
    ComplexSettings bad;
    bad.planes[1] = {3, 0};
    EXPECT_FALSE(superseis_f({l.scene, l.window, {}}, bad, false, g, fx).ok);
    auto empty = l.window;
    empty.lal = empty.fil;
    EXPECT_FALSE(superseis_f({l.scene, empty, {}}, ComplexSettings{}, false, g, fx).ok);
    EXPECT_EQ(g.at(0, 0, 0), 1);
}

TEST(TemperatureDifference, ExtremesMarkersAndLabel) {
    TempDir dir;
    const auto s = testing_support::smallStandard(1850, 1860);
    const auto l = load(dir, s);
    display::Raster g;
    const auto r = two_channel_tt({l.scene, l.window, {}}, "9", "10", g);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.prodnr, 3);
    EXPECT_EQ(r.title, "T-Difference 9-10");
    // Recompute the extremes from the pattern counts.
    double lo = 1e9, hi = -1e9;
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 20; ++col) {
            const double v = kelvin(s, 9, synth::patternCount(9, 2 + row, 1850 + col));
            const double w = kelvin(s, 10, synth::patternCount(10, 2 + row, 1850 + col));
            if (v > 0 && w >= 0) lo = std::min(lo, v - w), hi = std::max(hi, v - w);
        }
    EXPECT_DOUBLE_EQ(r.mindf, lo);
    EXPECT_DOUBLE_EQ(r.maxdf, hi);
    EXPECT_EQ(r.rangeLabel.rfind("Range:(", 0), 0u);
    EXPECT_NE(r.rangeLabel.find(") Kelvin"), std::string::npos);
    ASSERT_EQ(r.marks.size(), 2u);
    EXPECT_EQ(r.marks[0].kind, display::DrawOp::Kind::Circle);
    EXPECT_EQ(r.marks[0].x2 - r.marks[0].x1, 6);

    // Channel B "0": channel A alone, in mixed units.
    const auto alone = two_channel_tt({l.scene, l.window, {}}, "9", "0", g);
    ASSERT_TRUE(alone.ok);
    EXPECT_NE(alone.rangeLabel.find(")mixUnit"), std::string::npos);
}

TEST(TemperatureDifference, EqualValuesAndNoValidCell) {
    TempDir dir;
    std::array<std::uint16_t, 12> counts{};
    counts.fill(600);
    auto s = uniform(counts);
    const auto l = load(dir, s);
    display::Raster g;
    const auto r = two_channel_tt({l.scene, l.window, {}}, "9", "9", g);
    ASSERT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.maxdf, r.mindf + 0.1);
    EXPECT_EQ(g.at(0, 3, 3), 0);

    counts.fill(0);  // every count at the zero-radiance count: no value anywhere
    TempDir dir2;
    const auto dead = load(dir2, uniform(counts));
    display::Raster g2;
    const auto none = two_channel_tt({dead.scene, dead.window, {}}, "9", "10", g2);
    EXPECT_FALSE(none.ok);
    EXPECT_TRUE(none.marks.empty());
    EXPECT_EQ(g2.at(0, 3, 3), 1);
}

TEST(FixedMode, AirmassOfPlantedTemperatures) {
    TempDir dir;
    auto s = uniform({});
    const std::pair<int, double> planted[] = {{5, 230}, {6, 245}, {8, 262}, {9, 285}};
    for (const auto& [k, t] : planted)
        s.uniformCounts[static_cast<std::size_t>(k - 1)] = synth::countForTemperature(s, k, t);
    const auto l = load(dir, s);
    display::Raster g;
    display::WorkPlane fx;
    const auto* airmass = findRecipe("airmass");
    ASSERT_NE(airmass, nullptr);
    ComplexSettings settings;
    settings.planes = airmass->planes;
    settings.name = std::string(airmass->name);
    const auto r = superseis_f({l.scene, l.window, {}}, settings, false, g, fx);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.prodnr, 5);
    EXPECT_EQ(r.title, "Flow-type composite of T-differences (5-6)+(8-9)+(0-5)");
    const double t5 = kelvin(s, 5, s.uniformCounts[4]), t6 = kelvin(s, 6, s.uniformCounts[5]);
    const double t8 = kelvin(s, 8, s.uniformCounts[7]), t9 = kelvin(s, 9, s.uniformCounts[8]);
    auto colour = [](double d, double top, double bottom) {
        const int w = d > top      ? 1023
                      : d < bottom ? 0
                                   : static_cast<int>((d - bottom) * 1023 / (top - bottom));
        return w < 2 ? 0 : static_cast<int>(std::lround(255.0 * (w - 2) / 1020));
    };
    EXPECT_EQ(g.at(0, 2, 5), colour(t5 - t6, 0, -25));
    EXPECT_EQ(g.at(1, 2, 5), colour(t8 - t9, 5, -40));
    EXPECT_EQ(g.at(2, 2, 5), colour(-t5, -208, -243));
}

TEST(FixedMode, RecipeMappingAtTheEdges) {
    // Dust blue at 275 K: W = 511, colour 127. Dust green (gamma position 5) at W = 257: 146.
    display::ContrastControls blue;
    blue.gammaStrength = 0;
    blue.adjustHeight = 0;
    EXPECT_EQ(display::HeightFocusMap(1, 1022, 9, blue)(511), 127);
    display::ContrastControls green = blue;
    green.gammaStrength = 3;
    EXPECT_EQ(display::HeightFocusMap(1, 1022, 9, green)(257), 146);
    // A solar minuend takes adjust height 5: the same mapping.
    display::ContrastControls solar = blue;
    solar.adjustHeight = 5;
    for (int w : {0, 1, 2, 300, 1022, 1023})
        EXPECT_EQ(display::HeightFocusMap(1, 1022, 3, solar)(w),
                  display::HeightFocusMap(1, 1022, 9, blue)(w))
            << w;
    EXPECT_EQ(display::HeightFocusMap(1, 1022, 9, blue)(1023), 255);
    EXPECT_EQ(display::HeightFocusMap(1, 1022, 9, blue)(1), 0);
}

TEST(FixedMode, RangesSwappedWidenedAndAboveRange) {
    TempDir dir;
    auto s = uniform({});
    s.uniformCounts[8] = synth::countForTemperature(s, 9, 280);
    const auto l = load(dir, s);
    const double t9 = kelvin(s, 9, s.uniformCounts[8]);
    display::Raster g;
    display::WorkPlane fx;
    ComplexSettings c;
    c.planes = {PlaneRecipe{9, 0, t9 - 1, t9 + 1, 2}, PlaneRecipe{9, 0, 3, 3, 1},
                PlaneRecipe{9, 0, 200, 250, 2}};
    ASSERT_TRUE(superseis_f({l.scene, l.window, {}}, c, false, g, fx).ok);
    EXPECT_EQ(g.at(0, 1, 1), 127);  // swapped limits: the middle of the range
    EXPECT_EQ(g.at(1, 1, 1), 255);  // 3 .. 3.001, far above
    EXPECT_EQ(g.at(2, 1, 1), 255);
    c.noColourAbove = true;
    ASSERT_TRUE(superseis_f({l.scene, l.window, {}}, c, false, g, fx).ok);
    EXPECT_EQ(g.at(2, 1, 1), 0);
    // Gamma positions 1 and 2 are the same picture.
    c.noColourAbove = false;
    c.planes[0].gamma = 1;
    display::Raster g1;
    ASSERT_TRUE(superseis_f({l.scene, l.window, {}}, c, false, g1, fx).ok);
    EXPECT_EQ(g1.at(0, 1, 1), g.at(0, 1, 1));
}

TEST(FreeMode, EachPlaneBetweenItsOwnExtremes) {
    TempDir dir;
    const auto l = load(dir, testing_support::smallStandard(1850, 1860));
    display::Raster g;
    display::WorkPlane fx;
    ComplexSettings c;  // 3-0, 2-0, 1-0: raw counts of the solar channels
    display::ContrastControls k;
    const auto r = superseis({l.scene, l.window, {}}, c, k, g, fx);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.prodnr, 6);
    EXPECT_EQ(r.title, "Composite of T-differences (3-0)+(2-0)+(1-0)");
    int lo = 255, hi = 0;
    for (int row = 0; row < 7; ++row)
        for (int col = 0; col < 20; ++col)
            lo = std::min<int>(lo, g.at(2, row, col)), hi = std::max<int>(hi, g.at(2, row, col));
    EXPECT_EQ(lo, 0);  // the plane's own minimum maps to the bottom
    EXPECT_GT(hi, 200);
}

TEST(PrincipalAxis, NewtonStepsAndGuards) {
    // No correlation at all: the eight steps shrink mu by 2/3 each and stop short of 0, so a
    // lambda just below 1 is written (the steps, not the limit, decide).
    const auto none = calc_mycomp(0, 0, 0);
    ASSERT_TRUE(none);
    EXPECT_NEAR(none->lambda, 1 - 0.99 * std::pow(2.0 / 3.0, 8), 1e-12);
    EXPECT_EQ(none->vy, 1);
    const auto a = calc_mycomp(0.9, 0, 0);
    ASSERT_TRUE(a);
    EXPECT_NEAR(a->lambda, 0.1, 1e-6);
    EXPECT_EQ(a->vy, 1);  // denominator 0
    const auto b = calc_mycomp(0.8, 0.6, 0.5);
    ASSERT_TRUE(b);
    // The vector belongs to lambda: M v = lambda v.
    const double m[3][3] = {{1, 0.8, 0.6}, {0.8, 1, 0.5}, {0.6, 0.5, 1}};
    const double v[3] = {b->vx, b->vy, b->vz};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2], b->lambda * v[i], 1e-6);
    // A flat first step (3 mu^2 + h = 0) does not divide by zero.
    const auto c = calc_mycomp(0.99, 0.99, 0.99);
    if (c) {
        EXPECT_TRUE(std::isfinite(c->lambda) && std::isfinite(c->vy) && std::isfinite(c->vz));
    }
}

TEST(Correlation, NumberFormatAndFile) {
    const struct {
        double r;
        const char* text;
    } numbers[] = {{0.5, " 5.00000000000000E-0001"},
                   {-0.0001, "-1.00000000000000E-0004"},
                   {1.0, " 1.00000000000000E+0000"},
                   {0.0, " 0.00000000000000E+0000"},
                   {-0.99999999999999999, "-1.00000000000000E+0000"}};
    for (const auto& n : numbers) {
        EXPECT_EQ(corrisNumber(n.r), n.text);
        EXPECT_EQ(corrisNumber(n.r).size(), 23u);
    }

    TempDir dir;
    synth::SyntheticScene s = testing_support::smallStandard(1850, 1860);
    s.channels = "XXXXXXXX-XXX";
    const auto l = load(dir, s);
    const auto geo = display::PictureGeometry::visIr(l.window);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{5, 3}, {0, 0}, {5000, -7}}) {
        const auto r = two_channel_tt_correl(l.scene, l.window, geo, x, y, dir / "corris.txt");
        ASSERT_TRUE(r.ok()) << r.error();
        EXPECT_GT(r->cells, 0);
        EXPECT_FALSE(r->pca_va);  // channel 9 is absent
        std::ifstream in(dir / "corris.txt");
        std::string line;
        int lines = 0;
        while (std::getline(in, line)) {
            ++lines;
            int c = 0, p = 0;
            ASSERT_EQ(std::sscanf(line.c_str(), "%d %d", &c, &p), 2);
            if (c == 9 || p == 9) {
                EXPECT_NE(line.find("-1.00000000000000E-0004"), std::string::npos) << line;
            } else if (c == p) {
                EXPECT_NE(line.find(" 1.00000000000000E+0000"), std::string::npos) << line;
            }
        }
        EXPECT_EQ(lines, 66);
    }
}

}  // namespace
