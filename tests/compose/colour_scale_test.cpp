#include "viewer/compose/colour_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "viewer/compose/colour_fields.h"

namespace {

using namespace tesmar::compose;
using tesmar::display::Rgb;

struct StepCase {
    int a;
    Rgb colour;
};

TEST(ColourScale, KeyStepsAndBandBoundaries) {
    const StepCase cases[] = {
        {0, {0, 0, 255}},     {1, {0, 4, 255}},   {63, {0, 252, 255}}, {64, {0, 255, 255}},
        {65, {0, 255, 251}},  {127, {0, 255, 3}}, {128, {0, 255, 0}},  {191, {252, 255, 0}},
        {192, {255, 255, 0}}, {254, {255, 7, 0}}, {255, {255, 3, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(roveaz(c.a), c.colour) << "step " << c.a;
        // Reversed, the scale runs the other way round.
        EXPECT_EQ(roveaz(255 - c.a, true), c.colour) << "reversed step " << 255 - c.a;
    }
}

TEST(ColourScale, StepsOutsideTheScaleTakeItsEnds) {
    EXPECT_EQ(roveaz(-3), roveaz(0));
    EXPECT_EQ(roveaz(256), roveaz(255));
    EXPECT_EQ(roveaz(1000, true), roveaz(0));
}

TEST(ColourScale, ImageHasOneStepPerColumnOnEveryRow) {
    for (bool reverse : {false, true}) {
        const auto image = scaleImage(reverse);
        ASSERT_EQ(image.width, 256);
        ASSERT_EQ(image.height, 25);
        for (int a : {0, 64, 200, 255})
            for (int y : {0, 24}) {
                const auto* px = image.pixel(a, y);
                EXPECT_EQ((Rgb{px[0], px[1], px[2]}), roveaz(a, reverse)) << a << "," << y;
            }
    }
}

TEST(ColourScale, RangeFieldsSwapColoursWhenReversed) {
    EXPECT_EQ(rangeFieldColours(false).lower, (Rgb{0, 0, 255}));
    EXPECT_EQ(rangeFieldColours(false).upper, (Rgb{255, 0, 0}));
    EXPECT_EQ(rangeFieldColours(true).lower, (Rgb{255, 0, 0}));
    EXPECT_EQ(rangeFieldColours(true).upper, (Rgb{0, 0, 255}));
}

struct IndexCase {
    const char* name;
    double value, lo, hi;
    std::optional<int> step;
};

TEST(ScaleIndex, StrictlyInsideTheRangeOnlyAndFiniteOnly) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    const IndexCase cases[] = {
        {"middle", 280, 250, 310, 127},
        {"just below upper", 309.9, 250, 310, 254},
        {"just above lower", 250.1, 250, 310, 0},
        {"at lower", 250, 250, 310, std::nullopt},
        {"at upper", 310, 250, 310, std::nullopt},
        {"empty range", 280, 280, 280, std::nullopt},
        {"inverted range", 280, 310, 250, std::nullopt},
        {"negative range", -2, -4, 6, 51},
        {"value not a number", nan, 250, 310, std::nullopt},
        {"infinite upper", 280, 250, inf, std::nullopt},
        {"range overflowing", 1e308, -1e308, 1.5e308, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(scaleIndex(c.value, c.lo, c.hi), c.step) << c.name;
}

struct FieldCase {
    const char* text;
    std::optional<double> value;
};

TEST(RealField, AcceptsNumbersWithBlanksAndRefusesTheRest) {
    const FieldCase cases[] = {
        {"250", 250.0},        {" 310 ", 310.0},        {"+3.5", 3.5},
        {"-4", -4.0},          {"1e2", 100.0},          {"", std::nullopt},
        {"abc", std::nullopt}, {"12x", std::nullopt},   {"nan", std::nullopt},
        {"inf", std::nullopt}, {"1e400", std::nullopt}, {"+-1", std::nullopt},
        {"2,5", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto r = realField(c.text);
        ASSERT_EQ(r.ok(), c.value.has_value()) << "'" << c.text << "'";
        if (c.value) {
            EXPECT_DOUBLE_EQ(*r, *c.value) << c.text;
        }
    }
    EXPECT_EQ(realField("abc").error(), "'abc' is not a valid floating point value");
}

struct FixedCase {
    double value;
    int decimals;
    const char* text;
};

TEST(FixedText, RoundsHalvesAwayFromZeroAndNeverWritesMinusZero) {
    const FixedCase cases[] = {
        {2.5, 0, "3"},     {-2.5, 0, "-3"},  {-0.4, 0, "0"},    {249.6, 0, "250"},
        {-4.0, 1, "-4.0"}, {6.04, 1, "6.0"}, {-0.04, 1, "0.0"}, {280.0, 0, "280"},
    };
    for (const auto& c : cases) EXPECT_EQ(fixedText(c.value, c.decimals), c.text) << c.value;
}

}  // namespace
