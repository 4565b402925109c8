#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "viewer/display/fine_contrast.h"
#include "viewer/display/height_focus.h"
#include "viewer/display/stretch.h"

namespace {

using namespace tesmar::display;

tesmar::DataWindow window(int lines, int pixels) {
    tesmar::DataWindow w;
    w.fil = 0;
    w.lal = lines;
    w.fic = 0;
    w.lac = pixels;
    w.degra = 1;
    return w;
}

// A 2 x 2 picture whose four cells hold the given grey values. The rest of the raster keeps
// the constructor's 1, standing for what an earlier, larger picture left there: it must
// never count.
struct Small {
    Raster g;
    PictureGeometry geo = PictureGeometry::visIr(window(2, 2));
    Small(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
        g.setGrey(0, 0, a);
        g.setGrey(0, 1, b);
        g.setGrey(1, 0, c);
        g.setGrey(1, 1, d);
    }
    // Picture pixel of raster cell (row, col).
    const std::uint8_t* at(const Image24& img, int row, int col) const {
        return img.pixel(geo.pictureX(col), geo.pictureY(row));
    }
};

// Statistics of Small(10, 20, 0, 255): 10 and 20 count, N = 3.
const double kMean = 10.0;
const double kSd = std::sqrt(500.0 / 3 - 100);

TEST(PlaneStatistics, LeaveOutMarksAndStartTheCountAtOne) {
    const Small s(10, 20, 0, 255);
    const auto st = planeStatistics(s.g, s.geo);
    EXPECT_DOUBLE_EQ(st.mean[0], kMean);  // 30 / (2 + 1)
    EXPECT_NEAR(st.sd[0], kSd, 1e-12);
    EXPECT_TRUE(st.anyValid[2]);
    const Small empty(0, 255, 255, 0);
    const auto none = planeStatistics(empty.g, empty.geo);
    EXPECT_EQ(none.mean[2], 0.0);
    EXPECT_EQ(none.sd[2], 120.0);
    EXPECT_FALSE(none.anyValid[2]);
}

TEST(StatisticalStretch, GainsInversionAndClipping) {
    const Small s(10, 20, 0, 255);
    auto expect = [&](double gain, int v, bool inverted) {
        const double d = std::trunc(gain * (v - kMean) / (kSd + 0.1));
        return static_cast<int>(std::clamp(inverted ? 127 - d : 127 + d, 0.0, 255.0));
    };
    const struct {
        int level;
        PictureKind kind;
        bool inverted;
        double gain;
    } cases[] = {
        {0, PictureKind::SingleVisIr, false, 90},  {-2, PictureKind::SingleVisIr, false, 10},
        {4, PictureKind::SingleVisIr, false, 250}, {0, PictureKind::SingleVisIr, true, 90},
        {0, PictureKind::SingleHrv, true, 100},    {-2, PictureKind::SingleHrv, false, 50},
        {4, PictureKind::SingleHrv, false, 230},   {4, PictureKind::Composite, true, 250},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        ContrastControls k;
        k.contrastLevel = c.level;
        k.inverted = c.inverted;
        const auto img = bitmapea_c(s.g, s.geo, c.kind, k);
        // Only single-channel VIS/IR pictures are inverted by the stretch.
        const bool inv = c.inverted && c.kind == PictureKind::SingleVisIr;
        EXPECT_EQ(s.at(img, 0, 1)[0], expect(c.gain, 20, inv));
        EXPECT_EQ(s.at(img, 0, 0)[1], expect(c.gain, 10, inv));
        EXPECT_EQ(s.at(img, 1, 1)[2], expect(c.gain, 255, inv));
    }
}

TEST(StatisticalStretch, NothingValidInBlueMakesVisIrAndCompositesBlack) {
    Small s(10, 20, 30, 40);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) s.g.at(2, r, c) = 255;
    for (auto kind : {PictureKind::Composite, PictureKind::SingleVisIr}) {
        const auto img = bitmapea_c(s.g, s.geo, kind, {});
        EXPECT_TRUE(std::all_of(img.rgb.begin(), img.rgb.end(), [](auto v) { return v == 0; }));
    }
    const auto hrv = bitmapea_c(s.g, s.geo, PictureKind::SingleHrv, {});
    EXPECT_NE(s.at(hrv, 0, 1)[0], 0);
}

// Rasters already in screen order: picture row and column are raster row and column, and the
// values are those of the flipped rendering of the same cells.
TEST(StatisticalStretch, ScreenOrderTakesRasterRowsAsTheyAre) {
    const Small s(10, 20, 0, 255);
    PictureGeometry screen;
    screen.width = 2;
    screen.height = 2;
    screen.screenOrder = true;
    const auto flipped = bitmapea_c(s.g, s.geo, PictureKind::SingleVisIr, {});
    const auto reverse = bitmapea_c(s.g, screen, PictureKind::SingleVisIr, {});
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c)
            EXPECT_EQ(reverse.pixel(c, r)[0], s.at(flipped, r, c)[0]) << r << ' ' << c;
    EXPECT_EQ(reverse.pixel(1, 0)[0], 127 + static_cast<int>(90 * 10 / (kSd + 0.1)));
}

TEST(Equalize, LogisticAroundTheMean) {
    const Small s(10, 20, 0, 255);
    ContrastControls k;  // adjust height 3: no shift
    k.adjustHeight = 3;
    const auto img = bitmapea_x(s.g, s.geo, PictureKind::SingleVisIr, k);
    EXPECT_EQ(s.at(img, 0, 0)[0], 127);  // 255 / 2 at the mean
    EXPECT_EQ(s.at(img, 0, 1)[0], static_cast<int>(255 / (1 + std::exp(-1.6 * 10 / 42))));
    k.adjustHeight = 5;  // shift (5 - 3) * sd * 2 / 10
    const auto shifted = bitmapea_x(s.g, s.geo, PictureKind::SingleVisIr, k);
    EXPECT_EQ(s.at(shifted, 0, 0)[0],
              static_cast<int>(255 / (1 + std::exp(-1.6 * (0.4 * kSd) / 42))));
    k.contrastLevel = 4;  // gain (4 + 3.2) / 2
    k.adjustHeight = 3;
    EXPECT_EQ(s.at(bitmapea_x(s.g, s.geo, PictureKind::SingleVisIr, k), 0, 1)[0],
              static_cast<int>(255 / (1 + std::exp(-3.6 * 10 / 42))));
    k = {};
    k.adjustHeight = 5;
    k.inverted = true;
    EXPECT_EQ(s.at(bitmapea_x(s.g, s.geo, PictureKind::SingleVisIr, k), 0, 0)[0],
              255 - s.at(shifted, 0, 0)[0]);
}

// A plane of zeros sits exactly at its mean of 0, which alone would give 127.
TEST(Equalize, EmptyPlanesOfAVisIrPictureWithNothingInBlueAreBlack) {
    Small s(10, 20, 30, 40);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            s.g.at(0, r, c) = 0;
            s.g.at(2, r, c) = 255;
        }
    ContrastControls k;
    k.adjustHeight = 3;  // no shift
    const auto composite = bitmapea_x(s.g, s.geo, PictureKind::Composite, k);
    EXPECT_EQ(s.at(composite, 0, 0)[0], 0);
    EXPECT_GT(s.at(composite, 1, 1)[1], 0);  // green has values: its mean is not 0
    EXPECT_EQ(s.at(composite, 0, 0)[2], 0);
    EXPECT_EQ(s.at(bitmapea_x(s.g, s.geo, PictureKind::SingleHrv, k), 0, 0)[0], 127);
}

TEST(HeightFocus, ThresholdLevelAndGammaFromTheControls) {
    const struct {
        int ncha, adjust, gammaStrength;
        bool tails;
        int fxmin, fxmax;
        int threshold;
        double level, gamma;
    } cases[] = {
        {1, 1, 2, false, 0, 1000, 800, 204, 2},   // visible: h = 5 - 1, four steps of 200
        {1, 1, 2, true, 0, 1000, 800, 204, 0.5},  // tails: 1 / gamma
        {12, 1, 0, false, 0, 1000, 800, 204, 1},  // HRV counts as visible
        {9, 0, 6, false, 0, 1000, 1, 0, 4},       // infrared at 0: one above the minimum
        {9, 5, 2, false, 0, 1000, 999, 255, 2},   // infrared at 5: just below the maximum
        {4, 2, 2, false, 100, 1100, 500, 102, 2},
        {9, 3, 2, false, 500, 503, 501, 153, 2},  // step 0: kept above the minimum
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ncha << " adjust " << c.adjust);
        ContrastControls k;
        k.adjustHeight = c.adjust;
        k.gammaStrength = c.gammaStrength;
        k.tails = c.tails;
        const HeightFocusMap map(c.fxmin, c.fxmax, c.ncha, k);
        EXPECT_EQ(map.threshold, c.threshold);
        EXPECT_DOUBLE_EQ(map.level, c.level);
        EXPECT_DOUBLE_EQ(map.gamma, c.gamma);
    }
}

TEST(HeightFocus, BytesBelowAtAndBeyondTheExtremes) {
    const HeightFocusMap visible(0, 1000, 1, {});  // threshold 800, level 204, gamma 2
    const HeightFocusMap marked(0, 1022, 9, {});   // 1023 marks cells out of range
    const HeightFocusMap tight(500, 501, 9, {});   // step 0 and nothing above the threshold
    const struct {
        const HeightFocusMap* map;
        int o;
        int expected;
    } cases[] = {
        {&visible, -5, 0},
        {&visible, 0, 0},
        {&visible, 400, 51},  // 204 (1/2)^2
        {&visible, 800, 204},
        {&visible, 900, static_cast<int>(std::lround(204 + 51 * std::sqrt(0.5)))},
        {&visible, 1000, 255},
        {&visible, 1023, 255},
        {&marked, 1022, 255},
        {&marked, 1023, 255},  // beyond the maximum: 255, never 0
        {&tight, 499, 0},
        {&tight, 500, 0},
        {&tight, 501, 255},
        {&tight, 1023, 255},
    };
    for (const auto& c : cases) EXPECT_EQ((*c.map)(c.o), c.expected) << c.o;
}

// A work plane over the 2 x 2 picture of Small, extremes followed by put().
struct Focus {
    Small s{7, 7, 7, 7};
    WorkPlane fx;
    Focus() { fx.resetExtremes(); }
    void set(int component, std::array<int, 4> v) {
        for (int i = 0; i < 4; ++i) fx.put(component, i / 2, i % 2, v[static_cast<std::size_t>(i)]);
    }
    bool untouched() const {
        for (int p = 0; p < 3; ++p)
            for (int i = 0; i < 4; ++i)
                if (s.g.at(p, i / 2, i % 2) != 7) return false;
        return true;
    }
};

TEST(HeightFocus, NoRangeLeavesTheRasterAsItWas) {
    Focus never;  // nothing written: fxmin 1023 above fxmax 0
    Focus constant;
    constant.set(0, {100, 100, 100, 100});
    constant.set(1, {100, 100, 100, 100});
    for (auto* f : {&never, &constant}) {
        resalta(f->s.g, f->fx, f->s.geo, 1, {});
        resalta_c(f->s.g, f->fx, f->s.geo, 1, 1, {});
        resalta_ca(f->s.g, f->fx, f->s.geo, 1, 1, {});
        resalta_ck(f->s.g, f->fx, f->s.geo, 1, 1, {});
        EXPECT_TRUE(f->untouched());
    }
}

TEST(HeightFocus, EachMappingWritesItsPlanesFromItsComponent) {
    Focus f;
    f.set(0, {100, 200, 300, 600});
    f.set(1, {300, 300, 300, 300});
    const HeightFocusMap map(100, 600, 1, {});

    resalta(f.s.g, f.fx, f.s.geo, 1, {});  // component 0, grey
    for (int p = 0; p < 3; ++p) EXPECT_EQ(f.s.g.at(p, 0, 1), map(200));

    Focus c = f;
    c.s.g.fill(7);
    resalta_c(c.s.g, c.fx, c.s.geo, 2, 1, {});  // component 0 into plane 2 only
    EXPECT_EQ(c.s.g.at(2, 1, 1), 255);
    EXPECT_EQ(c.s.g.at(0, 1, 1), 7);

    for (auto mapping : {&resalta_ca, &resalta_ck}) {
        Focus a = f;
        a.s.g.fill(7);
        mapping(a.s.g, a.fx, a.s.geo, 1, 1, {});  // component 1 into plane 1 only
        EXPECT_EQ(a.s.g.at(1, 1, 1), map(300));
        EXPECT_EQ(a.s.g.at(0, 1, 1), 7);
        EXPECT_EQ(a.s.g.at(2, 1, 1), 7);
    }
}

TEST(HeightFocus, OutOfRangeMarksOfADifferenceCompositeBecomeWhite) {
    Focus f;
    f.set(2, {0, 400, 1022, 700});
    f.fx.at(2, 1, 1) = 1023;  // the mark, above the declared maximum of 1022
    resalta_ca(f.s.g, f.fx, f.s.geo, 2, 9, {});
    EXPECT_EQ(f.s.g.at(2, 1, 1), 255);
    EXPECT_EQ(f.s.g.at(2, 1, 0), 255);
    EXPECT_EQ(f.s.g.at(2, 0, 0), 0);
}

// An HRV picture of two lines and three pixels: raster rows 0 to 5 were filled, the picture
// shows rows 3 down to 0.
struct Hrv {
    PictureGeometry geo = PictureGeometry::hrvSingle(window(2, 3));
    Raster g;
    Hrv() {
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 3; ++c) g.setGrey(r, c, static_cast<std::uint8_t>(10 + 10 * r + c));
    }
};

TEST(HrvPictures, RenderingHistogramAndProbeFollowTheHrvGeometry) {
    const Hrv h;
    ASSERT_EQ(h.geo.width, 3);
    ASSERT_EQ(h.geo.height, 4);
    EXPECT_EQ(bitmapea(h.g, h.geo).pixel(0, 0)[0], 42);  // raster row 3, column 2
    EXPECT_EQ(bitmapea(h.g, h.geo).pixel(2, 3)[0], 10);  // raster row 0, column 0
    EXPECT_EQ(bitmapea_r(h.g, h.geo).pixel(0, 0)[1], 255 - 42);

    const auto counts = histogram(h.g, h.geo);
    EXPECT_EQ(counts[0][42], 1);
    EXPECT_EQ(counts[0][52], 0);  // row 4 lies above the picture
    EXPECT_EQ(std::accumulate(counts[2].begin(), counts[2].end(), 0), 12);

    // The probe's square is clipped to raster rows 0 to 3: twelve cells, 10 to 42.
    double s = 0, q = 0;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            s += 10 + 10 * r + c;
            q += (10 + 10 * r + c) * (10 + 10 * r + c);
        }
    const double mean = s / 13, sd = std::sqrt(q / 13 - mean * mean);
    const auto p = fijaclix(h.g, h.geo, 0, 0, 1, 1, 1);
    EXPECT_EQ(p.sliders[0], std::lround(mean / 5 - 1));
    EXPECT_EQ(p.spreads[0], std::lround(sd) - 1);
}

TEST(HrvPictures, HeightFocusWritesTheThreeRowsOfEveryLine) {
    Hrv h;
    WorkPlane fx;
    fx.resetExtremes();
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 3; ++c) fx.put(0, r, c, 100 * r);
    fx.at(0, 6, 0) = 500;             // beyond the picture's rows
    resalta(h.g, fx, h.geo, 12, {});  // threshold 400, level 204
    EXPECT_EQ(h.g.at(0, 4, 0), 204);
    EXPECT_EQ(h.g.at(1, 5, 2), 255);
    EXPECT_EQ(h.g.at(0, 6, 0), 70);
}

TEST(FineContrast, HistogramCountsEveryCellOfThePicture) {
    const Small s(130, 160, 182, 0);
    const auto h = histogram(s.g, s.geo);
    EXPECT_EQ(h[0][130], 1);
    EXPECT_EQ(h[2][182], 1);
    EXPECT_EQ(h[1][0], 1);
    EXPECT_EQ(h[0][1], 0);  // the rest of the raster
    EXPECT_EQ(std::accumulate(h[1].begin(), h[1].end(), 0), 4);
}

TEST(FineContrast, CentreAndSpreadRendering) {
    const Small s(130, 160, 182, 0);
    const std::array<float, 3> media{130, 130, 130}, contraste{31, 31, 31};
    const struct {
        bool infrared, hrv;
        int row, col, expected;
    } cases[] = {
        {false, false, 0, 0, 0},       {false, false, 0, 1, 96},   // 30 x 100 / 31
        {false, false, 1, 1, 0},       {false, false, 1, 0, 167},  // 52 x 100 / 31, truncated
        {true, false, 0, 1, 255 - 96}, {true, false, 0, 0, 255},
        {true, true, 0, 1, 96},  // HRV pictures are never complemented
    };
    for (const auto& c : cases) {
        const auto img = bitmapea_c_more(s.g, s.geo, media, contraste, c.infrared, c.hrv);
        EXPECT_EQ(s.at(img, c.row, c.col)[0], c.expected) << c.row << ' ' << c.col;
    }
}

TEST(FineContrast, ProbeSettingsFromTheSquareAroundTheClick) {
    const Small s(130, 160, 182, 0);
    // The probe leaves out 0, 255 and coast cells: 130 and 160 with N = 3.
    const double mean = 290.0 / 3;
    const double sd = std::sqrt((130.0 * 130 + 160.0 * 160) / 3 - mean * mean);
    const struct {
        int x, y, area;
        double divisor, offset;
        std::array<int, 3> sliders, spreads;
    } cases[] = {
        {0, 0, 1, 1, 1, {18, 18, 18}, {68, 68, 68}},  // mean / 5 - 1, sd - 1
        {1, 1, 2, 2, 0, {19, 19, 19}, {34, 34, 34}},  // mean / 5, sd / 2 - 1
        {5000, 5000, 2, 1, 1, {4, 4, 4}, {3, 3, 3}},  // off the raster: mean 25, sd 2
        {-5000, 0, 4, 1, 1, {4, 4, 4}, {3, 3, 3}},
    };
    ASSERT_EQ(std::lround(mean / 5 - 1), 18);
    ASSERT_EQ(std::lround(sd) - 1, 68);
    for (const auto& c : cases) {
        const auto p = fijaclix(s.g, s.geo, c.x, c.y, c.area, c.divisor, c.offset);
        EXPECT_EQ(p.sliders, c.sliders) << c.x;
        EXPECT_EQ(p.spreads, c.spreads) << c.x;
    }
}

// The square around the clicked cell runs from w before it to w - 1 after it.
TEST(FineContrast, ProbeSquareBounds) {
    Raster g;
    g.fill(0);
    const auto geo = PictureGeometry::visIr(window(40, 40));
    const int row = geo.rasterRow(20), col = geo.rasterCol(20);
    g.setGrey(row - 8, col, 100);  // inside
    g.setGrey(row, col - 8, 100);  // inside
    g.setGrey(row + 8, col, 50);   // outside
    g.setGrey(row, col + 8, 50);   // outside
    const auto p = fijaclix(g, geo, 20, 20, 1, 1, 1);
    // 100 and 100 with N = 3: mean 200 / 3, sd sqrt(20000 / 3 - mean^2).
    const double mean = 200.0 / 3, sd = std::sqrt(20000.0 / 3 - mean * mean);
    EXPECT_EQ(p.sliders[1], std::lround(mean / 5 - 1));
    EXPECT_EQ(p.spreads[1], std::lround(sd) - 1);
}

}  // namespace
