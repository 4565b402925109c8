#include <gtest/gtest.h>

#include <cmath>

#include "viewer/display/fine_contrast.h"
#include "viewer/display/height_focus.h"
#include "viewer/display/stretch.h"

namespace {

using namespace tesmar::display;

// A 2 x 2 picture whose four cells hold the given grey values.
struct Small {
    Raster g;
    tesmar::DataWindow w;
    PictureGeometry geo;
    Small(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
        w.fil = 0;
        w.lal = 2;
        w.fic = 0;
        w.lac = 2;
        w.degra = 1;
        geo = PictureGeometry::visIr(w);
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

TEST(PlaneStatistics, LeaveOutMarksAndStartTheCountAtOne) {
    const Small s(10, 20, 0, 255);
    const auto st = planeStatistics(s.g, s.geo);
    EXPECT_DOUBLE_EQ(st.mean[0], 10.0);  // 30 / (2 + 1)
    EXPECT_NEAR(st.sd[0], std::sqrt(500.0 / 3 - 100), 1e-12);
    const Small empty(0, 255, 255, 0);
    const auto none = planeStatistics(empty.g, empty.geo);
    EXPECT_EQ(none.mean[2], 0.0);
    EXPECT_EQ(none.sd[2], 120.0);
    EXPECT_FALSE(none.anyValid[2]);
}

TEST(StatisticalStretch, GainsInversionAndClipping) {
    const Small s(10, 20, 0, 255);
    const double sd = std::sqrt(500.0 / 3 - 100);
    auto expect = [&](double gain, int v, bool inverted) {
        const double d = std::trunc(gain * (v - 10) / (sd + 0.1));
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
        {4, PictureKind::Composite, true, 250},
    };
    for (const auto& c : cases) {
        ContrastControls k;
        k.contrastLevel = c.level;
        k.inverted = c.inverted;
        const auto img = bitmapea_c(s.g, s.geo, c.kind, k);
        // Only single-channel VIS/IR pictures are inverted by the stretch.
        const bool inv = c.inverted && c.kind == PictureKind::SingleVisIr;
        EXPECT_EQ(s.at(img, 0, 1)[0], expect(c.gain, 20, inv)) << c.level;
        EXPECT_EQ(s.at(img, 0, 0)[1], expect(c.gain, 10, inv)) << c.level;
        EXPECT_EQ(s.at(img, 1, 1)[2], expect(c.gain, 255, inv)) << c.level;
    }
}

TEST(StatisticalStretch, CompositeWithNothingInBlueIsBlack) {
    Small s(10, 20, 30, 40);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) s.g.at(2, r, c) = 255;
    const auto img = bitmapea_c(s.g, s.geo, PictureKind::Composite, {});
    for (auto v : img.rgb) EXPECT_EQ(v, 0);
    const auto hrv = bitmapea_c(s.g, s.geo, PictureKind::SingleHrv, {});
    EXPECT_NE(s.at(hrv, 0, 1)[0], 0);
}

TEST(Equalize, LogisticAroundTheMean) {
    const Small s(10, 20, 0, 255);
    ContrastControls k;  // adjust height 3: no shift
    k.adjustHeight = 3;
    const auto img = bitmapea_x(s.g, s.geo, PictureKind::SingleVisIr, k);
    EXPECT_EQ(s.at(img, 0, 0)[0], 127);  // 255 / 2 at the mean
    const double sd = std::sqrt(500.0 / 3 - 100);
    EXPECT_EQ(s.at(img, 0, 1)[0], static_cast<int>(255 / (1 + std::exp(-1.6 * 10 / 42))));
    k.adjustHeight = 5;  // shift (5 - 3) * sd * 2 / 10
    const auto shifted = bitmapea_x(s.g, s.geo, PictureKind::SingleVisIr, k);
    EXPECT_EQ(s.at(shifted, 0, 0)[0], static_cast<int>(255 / (1 + std::exp(-1.6 * (0.4 * sd) / 42))));
    k.inverted = true;
    EXPECT_EQ(s.at(bitmapea_x(s.g, s.geo, PictureKind::SingleVisIr, k), 0, 0)[0],
              255 - s.at(shifted, 0, 0)[0]);
}

TEST(HeightFocus, ThresholdLevelAndGamma) {
    ContrastControls k;  // adjust height 1, gamma strength 2
    const HeightFocusMap visible(0, 1000, 1, k);
    EXPECT_EQ(visible.threshold, 800);  // h = 4: four steps of 200
    EXPECT_DOUBLE_EQ(visible.level, 204);
    EXPECT_DOUBLE_EQ(visible.gamma, 2);
    EXPECT_EQ(visible(400), 51);                                   // 204 (1/2)^2
    EXPECT_EQ(visible(900), std::lround(204 + 51 * std::sqrt(0.5)));  // above: exponent 1/2
    EXPECT_EQ(visible(-5), 0);
    EXPECT_EQ(visible(1023), 255);  // above the maximum: 255, never 0

    k.tails = true;
    EXPECT_DOUBLE_EQ(HeightFocusMap(0, 1000, 1, k).gamma, 0.5);
    k.tails = false;
    k.adjustHeight = 0;  // infrared at 0: threshold one step above the minimum, level 0
    const HeightFocusMap infrared(0, 1000, 9, k);
    EXPECT_EQ(infrared.threshold, 1);
    EXPECT_EQ(infrared(1000), 255);

    // Extremes one apart: no division of zero by zero.
    const HeightFocusMap tight(500, 501, 9, {});
    EXPECT_EQ(tight(500), 0);
    EXPECT_EQ(tight(501), 255);
}

TEST(HeightFocus, WritesPlanesOnlyWhenThereIsARange) {
    Small s(1, 1, 1, 1);
    WorkPlane fx;
    fx.resetExtremes();
    fx.put(0, 0, 0, 100);
    fx.put(0, 0, 1, 100);
    fx.put(0, 1, 0, 100);
    fx.put(0, 1, 1, 100);
    resalta(s.g, fx, s.geo, 1, {});
    EXPECT_EQ(s.g.at(0, 0, 0), 1);  // constant counts: the raster keeps its bytes
    fx.put(0, 1, 1, 600);
    fx.put(1, 1, 1, 300);
    resalta(s.g, fx, s.geo, 1, {});
    EXPECT_EQ(s.g.at(1, 0, 0), 0);
    EXPECT_EQ(s.g.at(2, 1, 1), 255);
    resalta_ca(s.g, fx, s.geo, 1, 1, {});  // component 1 into plane 1
    EXPECT_EQ(s.g.at(1, 1, 1), HeightFocusMap(100, 600, 1, {})(300));
    EXPECT_EQ(s.g.at(0, 1, 1), 255);
}

TEST(FineContrast, HistogramRenderingAndProbe) {
    const Small s(130, 160, 182, 0);
    const auto h = histogram(s.g, s.geo);
    EXPECT_EQ(h[0][130], 1);
    EXPECT_EQ(h[2][182], 1);
    EXPECT_EQ(h[1][0], 1);

    const std::array<float, 3> media{130, 130, 130}, contraste{31, 31, 31};
    const auto plain = bitmapea_c_more(s.g, s.geo, media, contraste, false, false);
    EXPECT_EQ(s.at(plain, 0, 0)[0], 0);
    EXPECT_EQ(s.at(plain, 0, 1)[0], 96);  // 30 x 100 / 31
    const auto infrared = bitmapea_c_more(s.g, s.geo, media, contraste, true, false);
    EXPECT_EQ(s.at(infrared, 0, 1)[0], 255 - 96);
    EXPECT_EQ(s.at(bitmapea_c_more(s.g, s.geo, media, contraste, true, true), 0, 1)[0], 96);

    // The probe leaves out 0, 255 and coast cells: mean (130 + 160) / 3, spread from it.
    const auto p = fijaclix(s.g, s.geo, 0, 0, 1, 1, 1);
    const double mean = 290.0 / 3, sd = std::sqrt((130.0 * 130 + 160.0 * 160) / 3 - mean * mean);
    EXPECT_EQ(p.sliders[0], std::lround(mean / 5 - 1));
    EXPECT_EQ(p.spreads[0], std::lround(sd) - 1);
    // A click entirely off the raster counts nothing.
    const auto off = fijaclix(s.g, s.geo, 5000, 5000, 2, 1, 1);
    EXPECT_EQ(off.sliders, (std::array<int, 3>{4, 4, 4}));
    EXPECT_EQ(off.spreads, (std::array<int, 3>{3, 3, 3}));
}

}  // namespace
