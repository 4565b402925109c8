#include "viewer/display/overlays.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/scenes.h"
#include "tests/support/temp_dir.h"
#include "viewer/display/picture_fill.h"
#include "viewer/display/readout.h"

namespace {

using namespace tesmar::display;
using testing_support::TempDir;

// A coast mask file with only the given bits set (VIS/IR: set = coast) or cleared (HRV).
struct MaskBit {
    int row, bit;
};

std::filesystem::path visIrMask(const TempDir& dir, const std::vector<MaskBit>& bits) {
    const auto p = dir / "coastline_m11.bmp";
    { std::ofstream(p, std::ios::binary) << std::string(62, 'B'); }
    std::filesystem::resize_file(p, 62 + 464 * 3712);
    std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
    for (const auto& b : bits) {
        f.seekg(62 + 464 * b.row + b.bit / 8);
        char c = 0;
        f.read(&c, 1);
        c = static_cast<char>(c | (0x80 >> (b.bit % 8)));
        f.seekp(62 + 464 * b.row + b.bit / 8);
        f.write(&c, 1);
    }
    return p;
}

std::filesystem::path hrvMask(const TempDir& dir, int firstRow, int lastRow, const std::vector<MaskBit>& cleared) {
    const auto p = dir / "coastline_hrv.pbm";
    { std::ofstream(p, std::ios::binary) << std::string(38, 'P'); }
    std::filesystem::resize_file(p, 38 + std::int64_t{1392} * 11136);
    std::fstream f(p, std::ios::in | std::ios::out | std::ios::binary);
    const std::string land(1392, static_cast<char>(0xFF));
    for (int r = firstRow; r <= lastRow; ++r) {
        f.seekp(38 + std::int64_t{1392} * r);
        f.write(land.data(), 1392);
    }
    for (const auto& b : cleared) {
        f.seekp(38 + std::int64_t{1392} * b.row + b.bit / 8);
        const char c = static_cast<char>(0xFF & ~(0x80 >> (b.bit % 8)));
        f.write(&c, 1);
    }
    return p;
}

using testing_support::makeWindow;

tesmar::NativeScene standardScene() { return testing_support::standardFullDiskScene(); }

TEST(CoastMask, BurnsSampledCellsOnly) {
    TempDir dir;
    const auto s = standardScene();
    // Grid line a, column i lie in mask row a, bit 3711 - i.
    const auto mask = visIrMask(dir, {{1500, 3711 - 1800}, {1501, 3711 - 1801}, {1500, 3711 - 1801},
                                      {1500, 3711 - 1450}, {3711, 0}});
    const struct {
        int degra;
        std::vector<std::pair<int, int>> cells;  // raster row, column burnt
    } cases[] = {
        {1, {{1500 - 1 - 1400, 1800 - 1 - 1500}, {1501 - 1 - 1400, 1801 - 1 - 1500}, {1500 - 1 - 1400, 1801 - 1 - 1500}}},
        // At scope 2 the cells hold lines 1400 + 2r and pixels 1500 + 2c: grid line 1501 and
        // column 1801 are the sampled ones.
        {2, {{(1501 - 1 - 1400) / 2, (1801 - 1 - 1500) / 2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degra);
        const auto w = makeWindow(1400, 1600, 1500, 1900, c.degra);
        Raster g;
        const OverlayContext ctx{s, w, PictureGeometry::visIr(w), false, {}};
        const auto burnt = overl(ctx, mask, dir / "none.pbm", g);
        ASSERT_TRUE(burnt.ok()) << burnt.error();
        EXPECT_EQ(*burnt, static_cast<int>(c.cells.size()));
        for (const auto& [row, col] : c.cells) EXPECT_EQ(g.at(1, row, col), kCoastValue) << row << "," << col;
    }
}

TEST(CoastMask, EdgesOfTheMaskAndPicture) {
    TempDir dir;
    auto s = standardScene();
    // The last grid line would need mask row 3712; the first column bit 3710; a window on the
    // grid's eastern edge looks at bits past the row's end.
    const auto mask = visIrMask(dir, {{3711, 3711 - 1}, {3711, 0}});
    const auto w = makeWindow(3700, 3712, 0, 40, 1);
    Raster g;
    const OverlayContext ctx{s, w, PictureGeometry::visIr(w), false, {}};
    const auto burnt = overl(ctx, mask, dir / "none.pbm", g);
    ASSERT_TRUE(burnt.ok());
    EXPECT_EQ(*burnt, 1);  // grid line 3711, column 1
    EXPECT_EQ(g.at(0, 3711 - 1 - 3700, 0), kCoastValue);
    EXPECT_FALSE(overl(ctx, dir / "missing.bmp", dir / "none.pbm", g).ok());
}

TEST(CoastMask, ShiftedSatelliteRenavigatesAndDropsCellsOffThePicture) {
    TempDir dir;
    auto s = standardScene();
    // A coast pixel at 0 N, 0 E seen from 9.5 E lies further east on the grid.
    const auto mask = visIrMask(dir, {{1856, 3711 - 1856}});
    const tesmar::nav::Context shifted{9.5};
    const auto p = tesmar::nav::geoToVisIr(tesmar::nav::lintogeo(1856, 1856, {})->lon,
                                           tesmar::nav::lintogeo(1856, 1856, {})->lat, shifted);
    ASSERT_TRUE(p);
    const auto w = makeWindow(1800, 1900, p->column - 1 - 50, p->column - 1 + 50, 1);
    Raster g;
    const OverlayContext ctx{s, w, PictureGeometry::visIr(w), false, shifted};
    ASSERT_EQ(*overl(ctx, mask, dir / "none.pbm", g), 1);
    EXPECT_EQ(g.at(0, p->line - 1 - 1800, p->column - 1 - w.fic), kCoastValue);
    // Without the shift the same pixel lies outside this window: nothing is clamped onto
    // the picture's edge.
    Raster g2;
    const OverlayContext plain{s, w, PictureGeometry::visIr(w), false, {}};
    EXPECT_EQ(*overl(plain, mask, dir / "none.pbm", g2), 0);
}

TEST(CoastMask, HrvMaskMarksClearedBits) {
    TempDir dir;
    auto s = standardScene();
    auto w = makeWindow(1500, 1510, 100, 200, 1);
    w.visof = 2000;
    // VIS/IR line a = 1505 (stored 1504), sub-line 1, HRV column 2150.
    const int a = 1505, m = 1, i = 2150;
    const int row = 11135 - 3 * a - m;
    const auto mask = hrvMask(dir, 11135 - 3 * (w.lal + s.sol), 11135 - 3 * (w.fil + s.sol), {{row, 11133 - i}});
    Raster g;
    const OverlayContext ctx{s, w, PictureGeometry::hrvSingle(w), true, {}};
    const auto burnt = overl(ctx, dir / "none.bmp", mask, g);
    ASSERT_TRUE(burnt.ok()) << burnt.error();
    EXPECT_EQ(*burnt, 1);
    EXPECT_EQ(g.at(0, 3 * (a - w.fil - s.sol) + m, i - w.fic - w.visof), kCoastValue);
}

TEST(PicturePosition, AgreesWithTheReadOutAtEveryScope) {
    const auto s = standardScene();
    Raster g;
    for (int degra : {1, 3, 5}) {
        const auto w = makeWindow(3000, 3300, 1500, 1900, degra);
        const auto geo = PictureGeometry::visIr(w);
        const OverlayContext ctx{s, w, geo, false, {}};
        const ReadoutInput in{s, w, geo, {}, g};
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {17, 23}, {geo.width - 1, geo.height - 1}}) {
            const auto r = readtem(in, x, y);
            ASSERT_TRUE(r.onDisk);
            // The centre of the cell read out comes back to the same picture pixel.
            const auto centre = tesmar::nav::lintogeo(r.line, r.column, {});
            const auto p = picturePosition(ctx, centre->lon, centre->lat);
            ASSERT_TRUE(p);
            EXPECT_EQ(p->x, x) << degra;
            EXPECT_EQ(p->y, y) << degra;
        }
    }
}

TEST(Marks, WaterBoundsTownsAndFires) {
    const auto s = standardScene();
    const auto w = makeWindow(2900, 3400, 1400, 2000, 1);
    const OverlayContext ctx{s, w, PictureGeometry::visIr(w), false, {}};
    const std::vector<Polyline> coast = {{{7.05, 41.23}, {8.0, 42.0}, {120, 0}, {9.0, 43.0}}, {{5, 40}}};
    const auto lines = overl2(ctx, coast, "/x/201903181200.nat");
    ASSERT_EQ(lines.size(), 2u);  // the invisible point is skipped without breaking the line
    EXPECT_EQ(lines[0].pen, (Rgb{255, 255, 255}));
    EXPECT_EQ(lines[0].x2, lines[1].x1);

    // Files of the satellite moved to 41.5 E: corrected only when the scene is not shifted.
    auto moved = s;
    moved.bsc = "201609011200";
    const OverlayContext movedCtx{moved, w, ctx.geometry, false, {}};
    const auto before = overl2(movedCtx, {{{48.5, 41.23}, {49.5, 42.0}}}, "/x/MSG1-201609011200.nat");
    ASSERT_EQ(before.size(), 1u);
    EXPECT_EQ(before[0].x1, picturePosition(ctx, 7.0, 41.23)->x);
    const OverlayContext shiftedCtx{moved, w, ctx.geometry, false, {41.5}};
    const auto once = overl2(shiftedCtx, {{{48.5, 41.23}, {49.5, 42.0}}}, "/x/MSG1-201609011200.nat");
    ASSERT_EQ(once.size(), 1u);
    EXPECT_EQ(once[0].x1, picturePosition(shiftedCtx, 48.5, 41.23)->x);

    const auto towns = do_town(ctx, {{{7, 41}, "Ajaccio"}, {{120, 0}, "Hidden"}});
    ASSERT_EQ(towns.size(), 2u);
    EXPECT_EQ(towns[0].kind, DrawOp::Kind::Square);
    EXPECT_EQ(towns[0].x2 - towns[0].x1, 6);
    EXPECT_EQ(towns[1].text, "Ajaccio");

    const auto fires = do_town_fire(ctx, {{{7, 41}, 250}, {{7.1, 41}, 800}});
    ASSERT_EQ(fires.size(), 2u);
    EXPECT_EQ(fires[0].fill, (Rgb{127, 193, 127}));
    EXPECT_EQ(fires[1].fill, (Rgb{255, 0, 127}));
    EXPECT_EQ(fires[0].pen, (Rgb{0, 255, 255}));
}

TEST(OverlayFiles, ParseLeniently) {
    TempDir dir;
    dir.write("coast.txt", ">0\r\n705 4123\r\n-1234 -567\r\nnonsense\r\n>\r\n100 200\r\n");
    const auto coast = readCoastPolylines(dir / "coast.txt");
    ASSERT_EQ(coast.size(), 2u);
    ASSERT_EQ(coast[0].size(), 2u);
    EXPECT_DOUBLE_EQ(coast[0][0].lon, 7.05);
    EXPECT_DOUBLE_EQ(coast[0][0].lat, 41.23);
    EXPECT_DOUBLE_EQ(coast[0][1].lon, -12.34);
    EXPECT_DOUBLE_EQ(coast[0][1].lat, -5.67);

    dir.write("town.txt", "LON LAT NAME\r\n-370 4042   madrid Madrid\r\n-442 3672 M\xE1laga\n100 200 ## hidden\nx y Bad\n");
    const auto towns = readTowns(dir / "town.txt");
    ASSERT_EQ(towns.size(), 2u);
    EXPECT_EQ(towns[0].name, "Madrid");
    EXPECT_EQ(towns[1].name, "M\xC3\xA1laga");
    EXPECT_DOUBLE_EQ(towns[1].at.lat, 36.72);

    dir.write("fire.txt", "700,4100,250\n## 1,2,3\n1,2\n705,4110,900\r\n");
    const auto fires = readFires(dir / "fire.txt");
    ASSERT_EQ(fires.size(), 2u);
    EXPECT_EQ(fires[1].value, 900);
    EXPECT_TRUE(readTowns(dir / "missing.txt").empty());
}

}  // namespace

namespace {

TEST(Readout, DistanceIsMeasuredOnTheDiskWhateverTheDigits) {
    tesmar::NativeScene s;
    s.sol = 1;
    s.eac = 1;
    const auto w = makeWindow(1800, 1900, 1200, 2200);
    Raster g;
    ReadoutInput in{s, w, PictureGeometry::visIr(w), {}, g};
    in.cursormeas = true;
    in.ncha = 9;
    in.distanceOrigin = {0, 0};
    // Cells whose read-out holds "00" (1.00 N, say) are measured like any other.
    bool sawZeros = false;
    for (int y = 0; y < 100; y += 7)
        for (int x = 0; x < 1000; ++x) {
            const auto t = readtem(in, x, y);
            ASSERT_TRUE(t.onDisk);
            EXPECT_FALSE(t.distanceText.empty());
            sawZeros = sawZeros || (t.lonText + t.latText).find("00") != std::string::npos;
        }
    EXPECT_TRUE(sawZeros);
    in.ncha = 12;
    EXPECT_TRUE(readtem(in, 10, 10).distanceText.empty());
    in.ncha = 9;
    in.cursormeas = false;
    EXPECT_TRUE(readtem(in, 10, 10).distanceText.empty());
}

}  // namespace
