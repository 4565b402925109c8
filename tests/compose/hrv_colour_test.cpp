#include "viewer/compose/hrv_colour.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scenes.h"
#include "tests/support/temp_dir.h"
#include "viewer/display/picture_fill.h"

namespace {

using namespace tesmar::compose;
using tesmar::display::Raster;
using testing_support::TempDir;

// A band of 12 lines and 100 VIS/IR columns (grid columns 1001 to 1100); the HRV lines hold
// 330 pixels from HRV column 3003 on, ten more than the VIS/IR columns cover.
synth::SyntheticScene bandScene(const std::string& channels = "XXXXXXXXXXXX") {
    synth::SyntheticScene s;
    s.channels = channels;
    s.south = 1001;
    s.north = 1012;
    s.east = 1001;
    s.west = 1100;
    s.hrvColumns = 330;
    return s;
}

tesmar::NativeScene load(const std::filesystem::path& p) { return testing_support::loadScene(p); }

tesmar::DataWindow hrvWindow(int fil, int lal, int fic, int lac, int visof) {
    return testing_support::makeWindow(fil, lal, fic, lac, 1, visof);
}

// The HRV picture of the window, as the single-channel picture leaves it in the raster.
void drawHrv(const tesmar::NativeScene& scene, const tesmar::DataWindow& w, Raster& g) {
    tesmar::display::WorkPlane fx;
    const auto r =
        tesmar::display::fillChannel(scene, w, {12, tesmar::display::FillTarget::Grey}, g, fx);
    ASSERT_TRUE(r.ok) << r.error;
}

int hrvByte(const tesmar::DataWindow& w, int row, int col) {
    return synth::patternCount(12, 3 * w.fil + row, w.fic + col) / 4;
}

bool sameRaster(const Raster& a, const Raster& b) {
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < tesmar::display::kRasterRows; ++r)
            for (int c = 0; c < tesmar::display::kRasterCols; ++c)
                if (a.at(p, r, c) != b.at(p, r, c)) return false;
    return true;
}

TEST(HrvRenderer, ShowsNorthUpWestLeftWithoutTheTopTwoSubLines) {
    Raster g;
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < 9; ++r)
            for (int c = 0; c < 4; ++c)
                g.at(p, r, c) = static_cast<std::uint8_t>(80 * p + 10 * r + c);
    // Three VIS/IR lines, four HRV pixels: 4 wide, 3 x 3 - 2 = 7 high.
    const auto pic = bitmapea_hr(g, hrvWindow(10, 13, 100, 104, 0));
    ASSERT_EQ(pic.width, 4);
    ASSERT_EQ(pic.height, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 4; ++x)
            for (int p = 0; p < 3; ++p)
                ASSERT_EQ(pic.pixel(x, y)[p], 80 * p + 10 * (6 - y) + (3 - x))
                    << x << "," << y << "," << p;
    EXPECT_EQ(bitmapea_hr(g, hrvWindow(10, 10, 100, 104, 0)).width, 0);
    EXPECT_EQ(bitmapea_hr(g, hrvWindow(10, 13, 104, 104, 0)).width, 0);
}

TEST(HrvColour, BlendsTheChannelIntoItsPlaneOnly) {
    TempDir dir;
    const auto scene = load(dir.native("a.nat", bandScene()));
    // First VIS/IR column (10 + 3003) div 3 - 1001 = 3; 32 HRV pixels take 10 VIS/IR columns.
    const auto w = hrvWindow(2, 8, 10, 42, 3003);
    Raster g;
    drawHrv(scene, w, g);
    HrvColourSettings s;
    s.channels = {"12", "12", " 09"};
    const auto r = hr_colo(scene, w, s, {}, g);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_FALSE(r.incomplete);
    EXPECT_EQ(r.title, "Coloured high resolution 12+12+9");
    EXPECT_EQ(r.picture.width, 32);
    EXPECT_EQ(r.picture.height, 16);
    for (int row = 0; row < 18; ++row)
        for (int col = 0; col < 32; ++col) {
            const int hrv = hrvByte(w, row, col);
            ASSERT_EQ(g.at(0, row, col), hrv) << row << "," << col;
            ASSERT_EQ(g.at(1, row, col), hrv) << row << "," << col;
            // The two westernmost HRV columns lie beyond the ten VIS/IR columns.
            const int blue =
                col < 30
                    ? (7 * hrv + 3 * (synth::patternCount(9, w.fil + row / 3, 3 + col / 3) / 4)) /
                          10
                    : hrv;
            ASSERT_EQ(g.at(2, row, col), blue) << row << "," << col;
        }
}

TEST(HrvColour, ColumnsOffTheStoredLineStayPureHrv) {
    TempDir dir;
    const auto scene = load(dir.native("a.nat", bandScene()));
    struct Case {
        int fic, lac, visof;
        int c0;                  // first VIS/IR column of the window, record-relative
        int blendFrom, blendTo;  // raster columns blended
    };
    const std::vector<Case> cases{
        // (1 + 2990) div 3 - 1001 = -4: the first four VIS/IR columns lie east of the line.
        {1, 31, 2990, -4, 12, 30},
        // (280 + 3003) div 3 - 1001 = 93, 16 columns: the line ends after column 99.
        {280, 328, 3003, 93, 0, 21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fic);
        const auto w = hrvWindow(1, 4, c.fic, c.lac, c.visof);
        Raster g;
        drawHrv(scene, w, g);
        HrvColourSettings s;
        s.channels = {"4", "12", "12"};
        ASSERT_TRUE(hr_colo(scene, w, s, {}, g).ok);
        for (int row = 0; row < 9; ++row)
            for (int col = 0; col < c.lac - c.fic; ++col) {
                const int hrv = hrvByte(w, row, col);
                const bool blended = col >= c.blendFrom && col < c.blendTo;
                const int v = synth::patternCount(4, w.fil + row / 3, c.c0 + col / 3) / 4;
                ASSERT_EQ(g.at(0, row, col), blended ? (7 * hrv + 3 * v) / 10 : hrv)
                    << row << "," << col;
            }
    }
}

TEST(HrvColour, AllPlanesPureHrvIsTheStretchedHrvPicture) {
    TempDir dir;
    const auto scene = load(dir.native("a.nat", bandScene()));
    const auto w = hrvWindow(2, 8, 10, 42, 3003);
    Raster g;
    drawHrv(scene, w, g);
    const Raster before = g;
    HrvColourOptions o;
    o.contrast.contrastLevel = 1;
    const auto r = hr_colo(scene, w, {}, o, g);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.title, "Coloured high resolution 12+12+12");
    EXPECT_TRUE(sameRaster(g, before));
    const auto geo = tesmar::display::PictureGeometry::hrvSingle(w);
    EXPECT_EQ(r.picture.rgb, tesmar::display::bitmapea_c(
                                 g, geo, tesmar::display::PictureKind::SingleHrv, o.contrast)
                                 .rgb);
}

TEST(HrvColour, IhsConvertsTheBlendedRaster) {
    TempDir dir;
    const auto scene = load(dir.native("a.nat", bandScene()));
    const auto w = hrvWindow(2, 8, 10, 42, 3003);
    HrvColourSettings s;
    s.channels = {"12", "1", "9"};
    HrvColourOptions o;
    o.area = {40, 30};
    Raster plain, converted;
    drawHrv(scene, w, plain);
    drawHrv(scene, w, converted);
    ASSERT_TRUE(hr_colo(scene, w, s, o, plain).ok);
    ihs2rgb(plain, o.area, SaturationScale::ColourEditor);
    o.ihs = true;
    o.scale = SaturationScale::ColourEditor;
    ASSERT_TRUE(hr_colo(scene, w, s, o, converted).ok);
    EXPECT_TRUE(sameRaster(plain, converted));
}

TEST(HrvColour, RefusalsLeaveTheRasterUntouched) {
    TempDir dir;
    const auto withHrv = load(dir.native("a.nat", bandScene()));
    const auto noHrv = load(dir.native("b.nat", bandScene("XXXXXXXXXXX-")));
    const auto noChannel2 = load(dir.native("c.nat", bandScene("X-XXXXXXXXXX")));
    auto gone = withHrv;
    gone.fich = dir / "gone.nat";
    const auto w = hrvWindow(2, 8, 10, 42, 3003);
    struct Case {
        const tesmar::NativeScene* scene;
        std::array<std::string, 3> channels;
        tesmar::DataWindow window;
        std::string why;
    };
    const std::vector<Case> cases{
        {&noHrv, {"12", "12", "9"}, w, "no HRV channel"},
        {&noHrv, {"12", "12", "12"}, w, "no HRV channel"},
        {&withHrv, {"12", "x", "9"}, w, "'x' is not a valid integer value"},
        {&withHrv, {"12", "", "9"}, w, "'' is not a valid integer value"},
        {&withHrv, {"0", "12", "12"}, w, "numbered 1 to 12"},
        {&withHrv, {"12", "12", "13"}, w, "numbered 1 to 12"},
        {&noChannel2, {"2", "12", "12"}, w, "Channel 2 is not in this file"},
        {&withHrv, {"12", "12", "9"}, hrvWindow(5, 5, 10, 42, 3003), "outside the stored image"},
        {&gone, {"12", "12", "9"}, w, "Cannot open"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Raster g;
        g.fill(77);
        const Raster before = g;
        HrvColourSettings s;
        s.channels = c.channels;
        HrvColourOptions o;
        o.ihs = true;
        const auto r = hr_colo(*c.scene, c.window, s, o, g);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.why), std::string::npos) << r.error;
        EXPECT_TRUE(r.title.empty());
        EXPECT_EQ(r.picture.width, 0);
        EXPECT_TRUE(sameRaster(g, before));
    }
}

}  // namespace
