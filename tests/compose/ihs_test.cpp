#include "viewer/compose/ihs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "viewer/compose/ihs_steps.h"

namespace {

using namespace tesmar::compose;
using tesmar::display::Raster;

std::string show(Bytes3 v) {
    return std::to_string(v[0]) + "," + std::to_string(v[1]) + "," + std::to_string(v[2]);
}

Bytes3 cellOf(const Raster& g, int r, int c) {
    return {g.at(0, r, c), g.at(1, r, c), g.at(2, r, c)};
}

void setCell(Raster& g, int r, int c, Bytes3 v) {
    for (int p = 0; p < 3; ++p) g.at(p, r, c) = v[static_cast<std::size_t>(p)];
}

TEST(Ihs, RgbToIhsAndBackReturnsTheColour) {
    // With the editor's saturation scale and no change, the conversion undoes itself up to its
    // truncations: the intensity twice (together under 1.6), the saturation byte (under 0.7
    // in a component) and the result (under 1); and the hue byte holds the angle to
    // 2 pi / 255, which moves a component by up to S x 0.82 x 2 pi / 255.
    const std::vector<Bytes3> colours{
        {0, 0, 0},    {255, 255, 255}, {128, 128, 128}, {90, 100, 95},   {100, 120, 140},
        {30, 60, 90}, {250, 250, 240}, {128, 100, 128}, {200, 150, 100}, {255, 0, 0},
        {0, 255, 0},  {0, 0, 255},     {255, 255, 0},   {0, 255, 255},   {10, 0, 40},
    };
    for (const auto& rgb : colours) {
        const auto ihs = rgbToIhs(rgb, {});
        const auto back = ihsToRgb(ihs, SaturationScale::ColourEditor);
        const double s = ihs[2] / std::sqrt(1.5);
        const double allowed = 3 + s * std::sqrt(2.0 / 3) * 2 * std::numbers::pi / 255;
        for (std::size_t p = 0; p < 3; ++p)
            EXPECT_LE(std::abs(back[p] - rgb[p]), allowed)
                << show(rgb) << " -> " << show(ihs) << " -> " << show(back);
    }
}

TEST(Ihs, NearGreyColoursComeBackWithinThree) {
    for (int r = 60; r <= 200; r += 20)
        for (int g = r - 10; g <= r + 10; g += 5)
            for (int b = r - 10; b <= r + 10; b += 5) {
                const Bytes3 rgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                                 static_cast<std::uint8_t>(b)};
                const auto back = ihsToRgb(rgbToIhs(rgb, {}), SaturationScale::ColourEditor);
                for (std::size_t p = 0; p < 3; ++p)
                    ASSERT_LE(std::abs(back[p] - rgb[p]), 3) << show(rgb);
            }
}

TEST(Ihs, ResultsOutsideTheByteRangeAreLimitedNotWrapped) {
    struct Case {
        Bytes3 ihs;
        SaturationScale scale;
        Bytes3 rgb;
    };
    const std::vector<Case> cases{
        // Blue comes to 301: its low 8 bits (45) would turn the brightest blue dark.
        {{250, 0, 255}, SaturationScale::Composite, {224, 224, 255}},
        // Red and green come to -20: their low 8 bits (236) would make them bright.
        {{5, 0, 255}, SaturationScale::Composite, {0, 0, 56}},
        {{200, 64, 255}, SaturationScale::ColourEditor, {53, 255, 198}},
        {{100, 170, 200}, SaturationScale::ColourEditor, {233, 33, 33}},
        {{100, 0, 0}, SaturationScale::ColourEditor, {100, 100, 100}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(show(ihsToRgb(c.ihs, c.scale)), show(c.rgb)) << show(c.ihs);
}

TEST(Ihs, RgbToIhsBytes) {
    struct Case {
        Bytes3 rgb;
        IhsGains gains;
        Bytes3 ihs;
    };
    const std::vector<Case> cases{
        {{0, 0, 0}, {}, {0, 191, 0}},        // black: the angle 3 pi / 2
        {{128, 128, 128}, {}, {127, 0, 0}},  // grey: no hue, no saturation
        {{255, 255, 255}, {}, {254, 0, 0}},
        {{100, 100, 50}, {}, {83, 127, 49}},  // R = G, blue below the mean: angle pi
        {{100, 100, 50}, {255, 120, 255}, {83, 212, 49}},
        {{100, 100, 50}, {255, -240, 255}, {83, 212, 49}},  // below 0: a turn is added
        {{100, 100, 50}, {255, 270, 255}, {83, 63, 49}},    // past 2 pi: a turn is taken off
        {{200, 150, 100}, {}, {149, 148, 85}},
        {{200, 150, 100}, {255, 0, 280}, {149, 148, 94}},
        {{200, 150, 100}, {255, 0, 200}, {149, 148, 67}},
        {{255, 0, 0}, {255, 0, 280}, {84, 170, 255}},  // saturation at most 255
        {{100, 100, 100}, {335, 0, 255}, {131, 127, 46}},
        {{100, 100, 100}, {205, 0, 255}, {80, 0, 29}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(show(rgbToIhs(c.rgb, c.gains)), show(c.ihs))
            << show(c.rgb) << " gains " << c.gains.intensity << "," << c.gains.hueDegrees << ","
            << c.gains.saturation;
}

TEST(Ihs, Ihs2rgbStretchesEachPlaneOverTheDisplayArea) {
    Raster g;
    g.fill(7);
    // Greys without saturation come out as they are, then the square-root stretch.
    setCell(g, 0, 0, {0, 0, 0});
    setCell(g, 0, 1, {100, 0, 0});
    setCell(g, 1, 0, {200, 0, 0});
    setCell(g, 1, 1, {255, 0, 0});
    ihs2rgb(g, {1, 1}, SaturationScale::ColourEditor);
    EXPECT_EQ(show(cellOf(g, 0, 0)), "0,0,0");
    EXPECT_EQ(show(cellOf(g, 0, 1)), "159,159,159");
    EXPECT_EQ(show(cellOf(g, 1, 0)), "225,225,225");
    EXPECT_EQ(show(cellOf(g, 1, 1)), "254,254,254");
    // Row and column 2 lie outside the area.
    EXPECT_EQ(show(cellOf(g, 2, 0)), "7,7,7");
    EXPECT_EQ(show(cellOf(g, 0, 2)), "7,7,7");
}

TEST(Ihs, Ihs2rgbStretchesFromTheLimitedValues) {
    Raster g;
    setCell(g, 0, 0, {250, 0, 255});  // blue 301, kept as 255: the brightest blue
    setCell(g, 0, 1, {5, 0, 255});    // blue 56: the darkest
    ihs2rgb(g, {1, 0}, SaturationScale::Composite);
    EXPECT_EQ(g.at(2, 0, 0), 254);
    EXPECT_EQ(g.at(2, 0, 1), 0);
}

TEST(Ihs, Ihs2rgbTurnsAConstantPlaneBlack) {
    Raster g;
    g.fill(100);
    ihs2rgb(g, {920, 740}, SaturationScale::Composite);
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(g.at(p, 0, 0), 0);
        EXPECT_EQ(g.at(p, 740, 920), 0);
        EXPECT_EQ(g.at(p, 741, 921), 100);
    }
}

TEST(Ihs, LabelsFollowTheOption) {
    EXPECT_EQ(ihsLabels(true)[0], "Intens");
    EXPECT_EQ(ihsLabels(true)[2], "Saturat");
    EXPECT_EQ(ihsLabels(false)[1], "Green");
}

TEST(ColourEditor, HueAndSaturationStepsLeaveGreyAreasGrey) {
    for (auto step : {ColourStep::posi_color, ColourStep::nega_color, ColourStep::posi_satu,
                      ColourStep::nega_satu}) {
        Raster g;
        setCell(g, 0, 0, {50, 50, 50});
        setCell(g, 0, 1, {100, 100, 100});
        setCell(g, 1, 0, {150, 150, 150});
        setCell(g, 1, 1, {200, 200, 200});
        ASSERT_TRUE(colourEditorStep(g, {1, 1}, step, {}).ok);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 2; ++c) {
                EXPECT_EQ(g.at(0, r, c), g.at(1, r, c));
                EXPECT_EQ(g.at(0, r, c), g.at(2, r, c));
            }
        EXPECT_LT(g.at(0, 0, 0), g.at(0, 0, 1));
        EXPECT_LT(g.at(0, 0, 1), g.at(0, 1, 0));
        EXPECT_LT(g.at(0, 1, 0), g.at(0, 1, 1));
    }
}

TEST(ColourEditor, HueStepTurnsTheColours) {
    // The hue angle runs from blue (0) through green (a third of a turn) to red (two thirds):
    // a third of a turn forward makes blue green, green red and red blue.
    Raster g;
    g.fill(0);
    setCell(g, 0, 0, {200, 40, 40});
    setCell(g, 0, 1, {40, 200, 40});
    setCell(g, 0, 2, {40, 40, 200});
    ASSERT_TRUE(colourEditorStep(g, {2, 0}, ColourStep::posi_color, {"120"}).ok);
    auto strongest = [&](int c) {
        int best = 0;
        for (int p = 1; p < 3; ++p)
            if (g.at(p, 0, c) > g.at(best, 0, c)) best = p;
        return best;
    };
    EXPECT_EQ(strongest(0), 2);
    EXPECT_EQ(strongest(1), 0);
    EXPECT_EQ(strongest(2), 1);
}

TEST(ColourEditor, AHueStepThatIsNotANumberChangesNothing) {
    Raster g;
    setCell(g, 0, 0, {200, 40, 40});
    for (auto step : {ColourStep::posi_color, ColourStep::nega_color}) {
        const auto r = colourEditorStep(g, {1, 1}, step, {"12o"});
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("'12o' is not a valid integer value"), std::string::npos) << r.error;
        EXPECT_EQ(show(cellOf(g, 0, 0)), "200,40,40");
        EXPECT_EQ(g.at(0, 1, 1), 1);
    }
    // The other rows do not read the step field.
    EXPECT_TRUE(colourEditorStep(g, {1, 1}, ColourStep::posi_inte, {"12o"}).ok);
}

}  // namespace
