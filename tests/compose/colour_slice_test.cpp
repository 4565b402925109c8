#include "viewer/compose/colour_slice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/support/scenes.h"
#include "viewer/compose/colour_editor.h"
#include "viewer/compose/colour_legend.h"
#include "viewer/compose/colour_scale.h"
#include "viewer/compose/restrict_colour.h"
#include "viewer/display/stretch.h"
#include "viewer/scene/calibration.h"
#include "viewer/scene/channels.h"
#include "viewer/scene/navigation.h"

namespace {

using namespace tesmar::compose;
using tesmar::ChannelCalibration;
using tesmar::DataWindow;
using tesmar::NativeScene;
using tesmar::display::Image24;
using tesmar::display::Raster;
using tesmar::display::Rgb;
using testing_support::makeWindow;

constexpr Rgb kGrey{90, 90, 90};

// A calibration of channel k under which byte b1 shows temperature t1 and byte b2 shows t2
// (the counts are 4 x byte).
ChannelCalibration plantedTemperatures(int k, int b1, double t1, int b2, double t2) {
    const double lambda = tesmar::channels::wavelengthMicrons(k) * 1e-6;
    auto header = [&](double t) {
        return tesmar::calib::fromSpectral(tesmar::calib::radiance(lambda, t), lambda);
    };
    ChannelCalibration c;
    c.slope = (header(t2) - header(t1)) / (4.0 * (b2 - b1));
    c.offset = header(t1) - c.slope * 4.0 * b1;
    return c;
}

// Channel 9: byte 120 is 280 K, byte 250 is 309.9 K; byte 0 is far below 250 K.
ChannelCalibration channel9() {
    return plantedTemperatures(9, 120, 280.0, 250, 309.9);
}

Image24 greyPicture(int w, int h) {
    Image24 p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto* px = p.pixel(x, y);
            px[0] = kGrey.r;
            px[1] = kGrey.g;
            px[2] = kGrey.b;
        }
    return p;
}

Rgb at(const Image24& p, int x, int y) {
    const auto* px = p.pixel(x, y);
    return {px[0], px[1], px[2]};
}

bool samePicture(const Image24& a, const Image24& b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

bool sameRaster(const Raster& a, const Raster& b) {
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < tesmar::display::kRasterRows; ++r)
            for (int c = 0; c < tesmar::display::kRasterCols; ++c)
                if (a.at(p, r, c) != b.at(p, r, c)) return false;
    return true;
}

// A picture of 20 x 10 cells near the disk centre, all bytes 0 until planted.
struct Fixture {
    NativeScene scene = testing_support::standardFullDiskScene();
    DataWindow window = makeWindow(1800, 1810, 1800, 1820);
    Raster g;
    Image24 picture = greyPicture(20, 10);

    Fixture() { g.fill(0); }
    Scene scn() const { return {scene, window, {}}; }
    // Cell (r, c) shows at pixel (W - 1 - c, H - 1 - r).
    Rgb cellPixel(int r, int c) const {
        return at(picture, picture.width - 1 - c, picture.height - 1 - r);
    }
    void plant(int r, int c, std::uint8_t b) { g.setGrey(r, c, b); }
};

SliceSubject singleChannel9() {
    SliceSubject s;
    s.prodnr = 1;
    s.channel = 9;
    s.cal = channel9();
    s.singleBox = "9";
    return s;
}

SliceSubject difference(double mindf, double maxdf) {
    SliceSubject s;
    s.prodnr = 3;
    s.channel = 9;
    s.mindf = mindf;
    s.maxdf = maxdf;
    s.redBox = "9";
    s.greenBox = "4";
    return s;
}

ColourSliceSettings range(const char* lower, const char* upper, bool reverse = false) {
    ColourSliceSettings s;
    s.lower = lower;
    s.upper = upper;
    s.reverse = reverse;
    return s;
}

TEST(ColourSlice, PaintsPlantedTemperaturesOnThePictureOnly) {
    Fixture f;
    f.plant(2, 3, 120);   // 280 K
    f.plant(7, 15, 250);  // 309.9 K
    const Raster before = f.g;
    const auto r =
        colourslice(f.scn(), f.g, singleChannel9(), range("250", "310"), nullptr, f.picture);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(f.cellPixel(2, 3), (Rgb{0, 255, 3}));   // step 127
    EXPECT_EQ(f.cellPixel(7, 15), (Rgb{255, 7, 0}));  // step 254
    EXPECT_EQ(f.cellPixel(0, 0), kGrey);              // far below the range
    EXPECT_EQ(r.painted, 2);
    EXPECT_EQ(r.status, "Sliced (250 ; 310) Single Channel 9");
    EXPECT_TRUE(sameRaster(before, f.g));
}

TEST(ColourSlice, ReverseColourPaintsAValueJustAboveLowerRed) {
    struct Case {
        bool reverse;
        Rgb colour;
    };
    for (const Case c : {Case{false, {0, 0, 255}}, Case{true, {255, 3, 0}}}) {
        Fixture f;
        f.plant(4, 4, 120);  // 280 K, step 0 of the range 279.9 to 310
        const auto r = colourslice(f.scn(), f.g, singleChannel9(), range("279.9", "310", c.reverse),
                                   nullptr, f.picture);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(f.cellPixel(4, 4), c.colour) << "reverse " << c.reverse;
    }
}

TEST(ColourSlice, TemperatureDifferenceEndsLieOnTheBoundsAndStayGrey) {
    struct Case {
        std::uint8_t byte;  // stands for byte x 10 / 255 - 4
        std::optional<Rgb> colour;
    };
    const Case cases[] = {
        {0, std::nullopt},        // -4.0: exactly the lower value
        {255, std::nullopt},      // 6.0: exactly the upper value
        {51, Rgb{0, 204, 255}},   // -2.0: step 51
        {204, Rgb{255, 207, 0}},  // 4.0: step 204
    };
    Fixture f;
    for (int i = 0; i < 4; ++i) f.plant(1, i, cases[i].byte);
    const auto r =
        colourslice(f.scn(), f.g, difference(-4, 6), range("-4", "6"), nullptr, f.picture);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.status, "Sliced (-4 ; 6) T-Difference 9-4");
    for (int i = 0; i < 4; ++i) {
        const Rgb expected = cases[i].colour.value_or(kGrey);
        EXPECT_EQ(f.cellPixel(1, i), expected) << int(cases[i].byte);
    }
}

TEST(ColourSlice, CoastCellsKeepTheirPixel) {
    Fixture f;
    f.plant(3, 3, 120);
    f.plant(3, 4, 120);
    Raster coast;
    coast.fill(0);
    coast.setGrey(3, 3, tesmar::display::kCoastValue);
    const auto r =
        colourslice(f.scn(), f.g, singleChannel9(), range("250", "310"), &coast, f.picture);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(f.cellPixel(3, 3), kGrey);
    EXPECT_EQ(f.cellPixel(3, 4), (Rgb{0, 255, 3}));
}

TEST(ColourSlice, SolarChannelUsesEachCellsOwnSunAndSkipsSpace) {
    // Two lines across the eastern limb at the equator.
    Fixture f;
    f.window = makeWindow(1850, 1852, 20, 100);
    f.picture = greyPicture(80, 2);
    const tesmar::nav::Context nav{};
    auto position = [&](int r, int c) {
        return tesmar::nav::lintogeo(f.window.fil + r + f.scene.sol, f.window.fic + c + f.scene.eac,
                                     nav);
    };
    int onDisk = 0;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 80; ++c) {
            f.plant(r, c, 100);
            onDisk += position(r, c) ? 1 : 0;
        }
    ASSERT_GT(onDisk, 0);
    ASSERT_LT(onDisk, 160);

    SliceSubject s;
    s.prodnr = 1;
    s.channel = 1;
    s.cal = {0.001, 0.0};
    s.singleBox = "1";
    // Every albedo, 0 included, lies in this range: only cells without a value stay grey.
    const auto r = colourslice(f.scn(), f.g, s, range("-1", "100"), nullptr, f.picture);
    ASSERT_TRUE(r.ok) << r.error;
    const auto sun = tesmar::calib::geome(f.scene.bsc);
    ASSERT_TRUE(sun);
    std::set<int> steps;
    for (int row = 0; row < 2; ++row)
        for (int c = 0; c < 80; ++c) {
            const auto geo = position(row, c);
            if (!geo) {
                EXPECT_EQ(f.cellPixel(row, c), kGrey) << c;
                continue;
            }
            const double albedo =
                100 * tesmar::calib::albe(1, s.cal, *sun, 400, geo->lon, geo->lat);
            const auto step = scaleIndex(albedo, -1, 100);
            ASSERT_TRUE(step);
            steps.insert(*step);
            EXPECT_EQ(f.cellPixel(row, c), roveaz(*step)) << row << "," << c;
        }
    EXPECT_EQ(r.painted, onDisk);
    // The sun sinks towards the limb: the same byte takes several colours.
    EXPECT_GT(steps.size(), 3u);
}

struct RefusalCase {
    const char* name;
    std::function<void(SliceSubject&, ColourSliceSettings&, Fixture&)> change;
    SliceRefusal refusal;
};

TEST(ColourSlice, RefusalsLeaveThePictureUntouched) {
    const RefusalCase cases[] = {
        {"height-focus", [](auto& s, auto&, auto&) { s.heightFocus = true; },
         SliceRefusal::NotEnabled},
        {"HRV channel", [](auto& s, auto&, auto&) { s.channel = 12; }, SliceRefusal::NotEnabled},
        {"HRV picture, box changed since", [](auto& s, auto&, auto&) { s.hrvPicture = true; },
         SliceRefusal::NotEnabled},
        {"lower not a number", [](auto&, auto& c, auto&) { c.lower = "abc"; },
         SliceRefusal::NotANumber},
        {"upper empty", [](auto&, auto& c, auto&) { c.upper = ""; }, SliceRefusal::NotANumber},
        {"upper equals lower", [](auto&, auto& c, auto&) { c.upper = "250"; },
         SliceRefusal::EmptyRange},
        {"upper below lower", [](auto&, auto& c, auto&) { c.upper = "200"; },
         SliceRefusal::EmptyRange},
        {"plain composite", [](auto& s, auto&, auto&) { s.prodnr = 2; }, SliceRefusal::NoValues},
        {"fixed complex composite", [](auto& s, auto&, auto&) { s.prodnr = 5; },
         SliceRefusal::NoValues},
        {"free complex composite", [](auto& s, auto&, auto&) { s.prodnr = 6; },
         SliceRefusal::NoValues},
        {"no picture yet", [](auto& s, auto&, auto&) { s.prodnr = 0; }, SliceRefusal::NoValues},
        {"no channel", [](auto& s, auto&, auto&) { s.channel = 0; }, SliceRefusal::NoValues},
        {"difference without range",
         [](auto& s, auto&, auto&) {
             s.prodnr = 3;
             s.maxdf = std::numeric_limits<double>::quiet_NaN();
         },
         SliceRefusal::NoValues},
        {"albedo without scene time",
         [](auto& s, auto&, auto& f) {
             s.channel = 2;
             f.scene.bsc = "20190318xx00";
         },
         SliceRefusal::NoValues},
        {"empty window", [](auto&, auto&, auto& f) { f.window.lac = f.window.fic; },
         SliceRefusal::NoPicture},
    };
    for (const auto& c : cases) {
        Fixture f;
        for (int r = 0; r < 10; ++r)
            for (int col = 0; col < 20; ++col) f.plant(r, col, 120);
        SliceSubject s = singleChannel9();
        ColourSliceSettings settings = range("250", "310");
        c.change(s, settings, f);
        const Image24 before = f.picture;
        const auto r = colourslice(f.scn(), f.g, s, settings, nullptr, f.picture);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(r.refusal, c.refusal) << c.name;
        EXPECT_FALSE(r.error.empty()) << c.name;
        EXPECT_TRUE(r.legend.empty()) << c.name;
        EXPECT_TRUE(samePicture(before, f.picture)) << c.name;
    }
}

TEST(ColourSlice, RefusalTextsAreTheOnesUsersSee) {
    Fixture f;
    SliceSubject s = singleChannel9();
    s.heightFocus = true;
    EXPECT_EQ(colourslice(f.scn(), f.g, s, {}, nullptr, f.picture).error,
              "Slicing not enabled for height-focus or hrv imagery");
    EXPECT_EQ(
        colourslice(f.scn(), f.g, singleChannel9(), range("25O", "310"), nullptr, f.picture).error,
        "'25O' is not a valid floating point value");
}

TEST(ColourSlice, TakenFromProjectionCountsAsSingleChannelOnTheMainPictureOnly) {
    Fixture f;
    f.plant(2, 3, 120);
    SliceSubject s = singleChannel9();
    s.prodnr = 7;
    const auto r = colourslice(f.scn(), f.g, s, range("250", "310"), nullptr, f.picture);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(f.cellPixel(2, 3), (Rgb{0, 255, 3}));
    EXPECT_TRUE(r.status.empty());  // the title line stays as it was

    Image24 projection = greyPicture(20, 10);
    const Image24 before = projection;
    const auto r3 = colourslice3(f.scn(), f.g, s, range("250", "310"), projection);
    EXPECT_EQ(r3.refusal, SliceRefusal::NoValues);
    EXPECT_TRUE(samePicture(before, projection));
}

TEST(ColourSlice3, ReadsPlaneZeroOfTheRemappedRasterMirroredAsTakeToMain) {
    Fixture f;
    Raster gp;
    gp.fill(0);
    // Cell (2, 5) of the main picture is copied from gp row 2, column W - 1 - 5 = 14.
    gp.at(0, 2, 14) = 120;
    gp.at(2, 6, 6) = 120;  // another plane: not read
    Image24 projection = greyPicture(20, 10);
    const Image24 mainBefore = f.picture;
    const auto r = colourslice3(f.scn(), gp, singleChannel9(), range("250", "310"), projection);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.painted, 1);
    EXPECT_EQ(at(projection, 19 - 5, 9 - 2), (Rgb{0, 255, 3}));
    EXPECT_EQ(r.status, "Sliced (250 ; 310) Single Channel 9");
    EXPECT_TRUE(samePicture(mainBefore, f.picture));
}

// --- The legend ---

struct LegendCase {
    const char* name;
    DataWindow window;
    int barLeft, barRight, barTop, barBottom;  // expected painted rectangle, clipped; empty
                                               // when barLeft > barRight
    std::vector<int> textXs;                   // texts kept, in order lower, upper, middle
};

TEST(SliceLegend, IsPlacedByTheWindowAndClippedToThePicture) {
    const LegendCase cases[] = {
        // The start-up picture: x 600 to 855, y 701 to 725; all three texts.
        {"920 x 740", makeWindow(0, 3700, 0, 4600, 5), 600, 855, 701, 725, {605, 838, 722}},
        // 400 wide, 300 high: the bar would run off the right edge; the legend moves left.
        {"400 x 300", makeWindow(0, 300, 0, 400, 1), 144, 399, 181, 205, {149, 382, 266}},
        // Wide and low: the bar's rows would lie below the picture; the legend moves up.
        {"920 x 300", makeWindow(0, 300, 0, 920, 1), 160, 415, 275, 299, {165, 398, 282}},
        // Smaller than the bar both ways: it stays where it was placed, above and left, unseen.
        {"100 x 20", makeWindow(0, 20, 0, 100, 1), 1, 0, 0, 0, {}},
    };
    for (const auto& c : cases) {
        const auto geo = tesmar::display::PictureGeometry::visIr(c.window);
        Image24 picture = greyPicture(geo.width, geo.height);
        const auto texts = paintSliceLegend(picture, LegendPlacement::forWindow(c.window), "250",
                                            "310", 250, 310, false);
        int changed = 0;
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x) {
                const bool inBar =
                    x >= c.barLeft && x <= c.barRight && y >= c.barTop && y <= c.barBottom;
                const Rgb colour = at(picture, x, y);
                if (colour != kGrey) ++changed;
                if (inBar) {
                    EXPECT_EQ(colour, roveaz(x - c.barLeft)) << c.name;
                }
            }
        const int expected = c.barLeft > c.barRight
                                 ? 0
                                 : (c.barRight - c.barLeft + 1) * (c.barBottom - c.barTop + 1);
        EXPECT_EQ(changed, expected) << c.name;
        ASSERT_EQ(texts.size(), c.textXs.size()) << c.name;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].x1, c.textXs[i]) << c.name;
            EXPECT_LT(texts[i].y1, picture.height) << c.name;
        }
    }
}

TEST(SliceLegend, WritesTheFieldsAsTypedAndTheirMiddle) {
    const auto w = makeWindow(0, 3700, 0, 4600, 5);
    Image24 picture = greyPicture(920, 740);
    const auto texts =
        paintSliceLegend(picture, LegendPlacement::forWindow(w), "250.0", "311", 250, 311, true);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "250.0");
    EXPECT_EQ(texts[1].text, "311");
    EXPECT_EQ(texts[2].text, "281");  // 280.5 rounded
    EXPECT_EQ(texts[0].y1, 706);
    // Reversed, the bar starts red.
    EXPECT_EQ(at(picture, 600, 701), roveaz(0, true));
}

TEST(ColourSlice, DrawsTheLegendOnTheSlicedPicture) {
    Fixture f;
    f.window = makeWindow(0, 300, 0, 400, 1);
    f.picture = greyPicture(400, 300);
    const auto r =
        colourslice(f.scn(), f.g, singleChannel9(), range("250", "310"), nullptr, f.picture);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.legend.size(), 3u);
    EXPECT_EQ(at(f.picture, 144, 181), roveaz(0));
}

// --- Opening the colour editor ---

TEST(ColourEditorOpening, ShowsTheControlsThePictureNeeds) {
    struct Case {
        const char* name;
        int prodnr, channel;
        ColourEditorMode mode;
        int height;
    };
    const Case cases[] = {
        {"HRV single channel", 1, 12, ColourEditorMode::Enhancement, 0},
        {"HRV colour", 4, 12, ColourEditorMode::Enhancement, 0},
        {"single channel", 1, 9, ColourEditorMode::Slice, 292},
        {"temperature difference", 3, 9, ColourEditorMode::Slice, 292},
        {"plain composite", 2, 1, ColourEditorMode::Ihs, 170},
        {"standard RGB", 5, 1, ColourEditorMode::Ihs, 170},
        {"taken from the projection", 7, 9, ColourEditorMode::Ihs, 170},
    };
    Fixture f;
    for (const auto& c : cases) {
        SliceSubject s = singleChannel9();
        s.prodnr = c.prodnr;
        s.channel = c.channel;
        const auto o = open_col(f.scn(), s, 250, 120);
        EXPECT_EQ(o.mode, c.mode) << c.name;
        if (c.mode != ColourEditorMode::Enhancement) {
            EXPECT_EQ(o.height, c.height) << c.name;
        }
        if (c.mode == ColourEditorMode::Ihs) {
            EXPECT_TRUE(o.lower.empty() && o.rangeLabel.empty()) << c.name;
        }
    }
}

TEST(ColourEditorOpening, FillsTheRangeOfThePicture) {
    Fixture f;
    const auto single = open_col(f.scn(), singleChannel9(), 250, 120);
    EXPECT_EQ(single.lower, "280");
    EXPECT_EQ(single.upper, "310");  // 309.9 with no decimals
    EXPECT_EQ(single.rangeLabel, "Temperature(K)");

    const auto diff = open_col(f.scn(), difference(-4, 6.04), 0, 0);
    EXPECT_EQ(diff.lower, "-4.0");
    EXPECT_EQ(diff.upper, "6.0");
    EXPECT_EQ(diff.rangeLabel, "Temp(K) or albedo(%) diff");
}

TEST(ColourEditorOpening, AlbedoRangeFallsBackToTheCentreWhenTheCornerIsInSpace) {
    Fixture f;
    f.window = makeWindow(0, 3700, 0, 4600, 5);  // the south-east corner is off the disk
    f.window.linn = 1856;
    f.window.coln = 1856;
    SliceSubject s;
    s.prodnr = 1;
    s.channel = 1;
    s.cal = {0.02, -1.0};
    const auto o = open_col(f.scn(), s, 200, 20);
    EXPECT_EQ(o.rangeLabel, "Albedo(%)");
    EXPECT_FALSE(o.lower.empty());
    EXPECT_FALSE(o.upper.empty());

    // Centre in space too: the fields keep their texts.
    f.window.linn = 5;
    f.window.coln = 5;
    const auto none = open_col(f.scn(), s, 200, 20);
    EXPECT_EQ(none.rangeLabel, "Albedo(%)");
    EXPECT_TRUE(none.lower.empty() && none.upper.empty());
}

// --- Restrict colour components ---

struct RestrictFixture {
    Raster g;
    DataWindow window = makeWindow(0, 4, 0, 6);
    RestrictSubject subject;

    RestrictFixture() {
        g.fill(0);
        subject.geometry = tesmar::display::PictureGeometry::visIr(window);
        for (int r = 0; r < 5; ++r)  // one row more than the picture holds
            for (int c = 0; c < 6; ++c) {
                g.at(0, r, c) = static_cast<std::uint8_t>(200 - 10 * c);
                g.at(1, r, c) = static_cast<std::uint8_t>(100 + 5 * r);
                g.at(2, r, c) = static_cast<std::uint8_t>(50 + c + r);
            }
    }
};

TEST(RestrictColour, ClearsTheUncheckedPlanesOverThePictureOnly) {
    struct Case {
        const char* name;
        std::array<bool, 3> keep;
    };
    const Case cases[] = {
        {"only red", {true, false, false}},
        {"no green", {true, false, true}},
        {"none", {false, false, false}},
        {"all", {true, true, true}},
    };
    for (const auto& c : cases) {
        RestrictFixture f;
        const Raster before = f.g;
        const auto r = recolour({c.keep}, f.subject, f.g);
        ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
        for (int p = 0; p < 3; ++p) {
            for (int row = 0; row < 4; ++row)
                for (int col = 0; col < 6; ++col)
                    EXPECT_EQ(f.g.at(p, row, col), c.keep[p] ? before.at(p, row, col) : 0)
                        << c.name;
            // Row 4 lies outside the picture.
            EXPECT_EQ(f.g.at(p, 4, 0), before.at(p, 4, 0)) << c.name;
        }
    }
}

TEST(RestrictColour, RedrawsAsThePictureKindSays) {
    struct Case {
        const char* name;
        bool single, inverted;
    };
    for (const Case c : {Case{"composite", false, false}, Case{"single", true, false},
                         Case{"single inverted", true, true}}) {
        RestrictFixture f;
        f.subject.singleChannel = c.single;
        f.subject.inverted = c.inverted;
        const auto r = recolour({{true, false, false}}, f.subject, f.g);
        ASSERT_TRUE(r.ok) << c.name;
        const auto& geo = f.subject.geometry;
        const Image24 expected =
            !c.single
                ? tesmar::display::bitmapea_c(f.g, geo, tesmar::display::PictureKind::Composite, {})
            : c.inverted ? tesmar::display::bitmapea_r(f.g, geo)
                         : tesmar::display::bitmapea(f.g, geo);
        EXPECT_TRUE(samePicture(r.picture, expected)) << c.name;
    }
}

TEST(RestrictColour, RefusesHrvAndNoPictureWithTheRasterUntouched) {
    {
        RestrictFixture f;
        f.subject.ncha = 12;
        const Raster before = f.g;
        const auto r = recolour({{true, false, false}}, f.subject, f.g);
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.empty());
        EXPECT_TRUE(sameRaster(before, f.g));
    }
    {
        RestrictFixture f;
        f.subject.geometry = {};
        const Raster before = f.g;
        EXPECT_FALSE(recolour({{false, false, false}}, f.subject, f.g).ok);
        EXPECT_TRUE(sameRaster(before, f.g));
    }
}

}  // namespace
