#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/scripted_host.h"
#include "tests/support/viewer_station.h"
#include "viewer/cli.h"
#include "viewer/viewer.h"

namespace {

using testing_support::TempDir;

struct Fixture : testing_support::ViewerStation {
    void open(const synth::SyntheticScene& s) { ASSERT_TRUE(viewer.abrefiche_secre(dir.native("scene.nat", s))); }
};

synth::SyntheticScene band() { return testing_support::smallStandard(1700, 2000); }

TEST(ShowImage, DrawsTheChannelOverTheWindow) {
    Fixture f;
    f.open(band());
    f.viewer.controls.channel = "9";
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    f.viewer.nomcan();
    ASSERT_TRUE(f.viewer.geogracr());
    EXPECT_EQ(f.viewer.prodnr, 1);
    EXPECT_EQ(f.host.lastStatus(), "Single Channel 9");
    // Lines 1700 to 2000 are stored: the picture is clipped to them, 920 pixels wide.
    EXPECT_EQ(f.viewer.picture.width, 920);
    EXPECT_EQ(f.viewer.picture.height, f.viewer.window.lal - f.viewer.window.fil);
    const auto& w = f.viewer.window;
    EXPECT_EQ(f.viewer.g.at(0, 0, 0), synth::patternCount(9, w.fil, w.fic) / 4);

    // The read-out of a cell tells its grid position and the stored byte.
    const auto t = f.viewer.readtem(0, f.viewer.picture.height - 1);
    EXPECT_EQ(t.line, w.fil + f.viewer.scene.sol);
    EXPECT_EQ(t.column, w.lac - 1 + f.viewer.scene.eac);
    EXPECT_EQ(t.countText, std::to_string(f.viewer.g.at(0, 0, w.lac - 1 - w.fic)));
    EXPECT_EQ(t.valueText.rfind("Brightness T: ", 0), 0u);
}

TEST(ShowImage, NothingDrawnLeavesThePictureAlone) {
    Fixture f;
    f.open(band());
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    ASSERT_TRUE(f.viewer.geogracr());
    const auto before = f.viewer.picture.rgb;
    // A centre far north of the stored band, an absent channel, a channel out of range.
    f.viewer.controls.lat = "60";
    EXPECT_FALSE(f.viewer.geogracr());
    f.viewer.controls.lat = "0";
    for (const char* k : {"13", "0"}) {
        f.viewer.controls.channel = k;
        EXPECT_FALSE(f.viewer.geogracr());
    }
    EXPECT_EQ(f.viewer.picture.rgb, before);
    EXPECT_EQ(f.viewer.prodnr, 1);
}

TEST(ShowImage, TownsAndIncompleteFiles) {
    Fixture f;
    f.dir.write("town.txt", "LON LAT NAME\n0 0 Null Island\n700 4100 Ajaccio\n");
    const auto path = f.dir.native("scene.nat", band());
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 100 * 72830);
    ASSERT_TRUE(f.viewer.abrefiche_secre(path));
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    f.viewer.controls.towns = true;
    ASSERT_TRUE(f.viewer.geogracr());
    EXPECT_TRUE(f.viewer.shown.incomplete);
    EXPECT_NE(f.host.lastStatus().find("part of the picture is missing"), std::string::npos);
    ASSERT_EQ(f.viewer.marks.size(), 4u);  // square and name of each town
    EXPECT_EQ(f.viewer.marks[1].text, "Null Island");
}

TEST(ShowImage, MissingCoastMaskIsAskedForInteractivelyOnly) {
    Fixture f;
    f.open(band());
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    f.viewer.controls.coastLines = true;
    ASSERT_TRUE(f.viewer.geogracr());
    ASSERT_EQ(f.host.dialogs.size(), 1u);
    EXPECT_EQ(f.host.dialogs[0].title, "Choose a global coastline file");
    EXPECT_EQ(f.host.messages.back(), "Which is your COAST LINE bitmap for Meteosat?");
    f.viewer.unattended = true;
    ASSERT_TRUE(f.viewer.geogracr());
    EXPECT_EQ(f.host.dialogs.size(), 1u);
}

TEST(DisplaySize, FollowsTheWindow) {
    Fixture f;
    const struct {
        int w, h, gsize, gsizev;
    } cases[] = {{1000, 800, 920, 740}, {1400, 1000, 1200, 930}, {3000, 2000, 1280, 1024}, {1121, 811, 920, 740}};
    for (const auto& c : cases) {
        f.viewer.onresiz(c.w, c.h);
        EXPECT_EQ(f.viewer.gsize, c.gsize) << c.w;
        EXPECT_EQ(f.viewer.gsizev, c.gsizev) << c.h;
    }
}

TEST(CliShow, WritesAPng) {
    TempDir dir;
    const auto scene = dir.native("scene.nat", band());
    const auto out = dir / "picture.png";
    std::ostringstream o, e;
    const int code = tesmar::runCli({"show", scene.string(), "--channel", "9", "--centre", "0", "0", "--scope", "2",
                                     "--out", out.string(), "--dir", dir.path().string()},
                                    o, e);
    ASSERT_EQ(code, 0) << e.str();
    std::ifstream png(out, std::ios::binary);
    char sig[8] = {};
    png.read(sig, 8);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    EXPECT_NE(o.str().find("\"width\": 920, \"height\": 150"), std::string::npos) << o.str();  // 300 lines at scope 2

    EXPECT_EQ(tesmar::runCli({"show", scene.string(), "--channel", "9", "--centre", "0", "60", "--out", out.string()},
                             o, e),
              1);
    EXPECT_EQ(tesmar::runCli({"show", scene.string(), "--channel", "9", "--out", out.string()}, o, e), 2);
    EXPECT_EQ(tesmar::runCli({"show", scene.string(), "--channel", "9", "--centre", "0", "0", "--scope", "9", "--out",
                              out.string()},
                             o, e),
              2);
}

}  // namespace

namespace {

TEST(Recipes, FillTheDialogAndBuildInFixedMode) {
    Fixture f;
    f.open(band());
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    f.viewer.controls.ihs = true;
    f.viewer.controls.tails = true;
    const auto* dust = tesmar::compose::findRecipe("dust");
    ASSERT_NE(dust, nullptr);
    ASSERT_TRUE(f.viewer.runRecipe(*dust));
    EXPECT_EQ(f.viewer.prodnr, 5);
    EXPECT_EQ(f.viewer.title, "Dust-type composite of T-differences (10-9)+(9-7)+(9-0)");
    EXPECT_TRUE(f.viewer.complex.fixedRanges);
    EXPECT_EQ(f.viewer.complex.planes[1].gamma, 5);
    EXPECT_FALSE(f.viewer.controls.ihs || f.viewer.controls.tails || f.viewer.controls.automaticStretch);
    // The product cycle's composite builds what the dialog holds, named "Complex".
    ASSERT_TRUE(f.viewer.night());
    EXPECT_EQ(f.viewer.title, "Complex composite of T-differences (10-9)+(9-7)+(9-0)");
}

TEST(Recipes, RefusedBuildKeepsTitleAndKind) {
    Fixture f;
    synth::SyntheticScene s = band();
    s.channels = "XXXXX-XXXXXX";  // no WV7.3: airmass cannot be made
    f.open(s);
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    ASSERT_TRUE(f.viewer.geogracr());
    const auto before = f.viewer.picture.rgb;
    EXPECT_FALSE(f.viewer.runRecipe(*tesmar::compose::findRecipe("airmass")));
    EXPECT_EQ(f.viewer.prodnr, 1);
    EXPECT_EQ(f.viewer.title, "Single Channel 1");
    EXPECT_EQ(f.viewer.picture.rgb, before);
}

TEST(CliShow, KindsWritePictures) {
    TempDir dir;
    const auto scene = dir.native("scene.nat", band());
    for (const char* kind : {"composite", "difference", "complex", "dust", "night", "convection", "airmass", "natural"}) {
        const auto out = dir / (std::string(kind) + ".png");
        std::ostringstream o, e;
        const int code = tesmar::runCli({"show", scene.string(), "--kind", kind, "--rgb", "9", "10", "4", "--centre",
                                         "0", "0", "--out", out.string(), "--dir", dir.path().string()},
                                        o, e);
        EXPECT_EQ(code, 0) << kind << ": " << e.str();
        EXPECT_TRUE(std::filesystem::exists(out)) << kind;
    }
    std::ostringstream o, e;
    EXPECT_EQ(tesmar::runCli({"show", scene.string(), "--kind", "rainbow", "--centre", "0", "0", "--out",
                              (dir / "x.png").string()},
                             o, e),
              2);
}

}  // namespace

namespace {

TEST(ChannelBoxes, CleanedWhileTypedAndHintedWhenAbsent) {
    Fixture f;
    synth::SyntheticScene s = band();
    s.channels = "XX-XXXXXXXXX";
    f.open(s);
    const struct {
        const char* typed;
        const char* kept;
        bool absent;
    } cases[] = {{"x", "2", false}, {"-", "-", false}, {"", "", false}, {"1", "1", false},
                 {"-3", "-3", true}, {"3", "3", true},  {"9", "9", false}};
    for (const auto& c : cases) {
        f.viewer.controls.green = c.typed;
        EXPECT_EQ(f.viewer.nc_c(1), c.absent) << c.typed;
        EXPECT_EQ(f.viewer.controls.green, c.kept) << c.typed;
    }
}

}  // namespace

namespace {

TEST(ColourSliceCommand, PaintsThePictureOrSaysWhyNot) {
    Fixture f;
    f.open(band());
    f.viewer.controls.channel = "9";
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    f.viewer.nomcan();
    ASSERT_TRUE(f.viewer.geogracr());
    const auto grey = f.viewer.picture.rgb;
    tesmar::compose::ColourSliceSettings wide;
    wide.lower = "1";
    wide.upper = "400";
    ASSERT_TRUE(f.viewer.colourslice(wide));
    EXPECT_EQ(f.viewer.title, "Sliced (1 ; 400) Single Channel 9");
    EXPECT_NE(f.viewer.picture.rgb, grey);
    EXPECT_EQ(f.viewer.prodnr, 1);

    ASSERT_TRUE(f.viewer.geogracr());
    const auto before = f.viewer.picture.rgb;
    f.viewer.controls.heightFocus = true;
    EXPECT_FALSE(f.viewer.colourslice(wide));
    EXPECT_EQ(f.host.lastStatus(), "Slicing not enabled for height-focus or hrv imagery");
    f.viewer.controls.heightFocus = false;
    wide.upper = "x";
    EXPECT_FALSE(f.viewer.colourslice(wide));
    EXPECT_EQ(f.viewer.picture.rgb, before);
}

}  // namespace

namespace {

TEST(ZoomCommands, ZoomOutReplaysTheLevelsThatStay) {
    Fixture f;
    f.open(testing_support::smallStandard(1500, 2200));
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    ASSERT_TRUE(f.viewer.geogracr());
    const std::pair<int, int> clicks[] = {{100, 600}, {700, 50}, {460, 370}};
    for (const auto& [x, y] : clicks) {
        f.viewer.clickposx = x;
        f.viewer.clickposy = y;
        ASSERT_TRUE(f.viewer.zoomin());
    }
    EXPECT_EQ(f.viewer.zoom_c, 3);
    ASSERT_TRUE(f.viewer.zoom_out());
    EXPECT_EQ(f.viewer.zoom_c, 2);
    const auto replayed = f.viewer.picture.rgb;
    // The same two levels made afresh give the same picture.
    ASSERT_TRUE(f.viewer.geogracr());
    for (int i = 0; i < 2; ++i) {
        f.viewer.clickposx = clicks[i].first;
        f.viewer.clickposy = clicks[i].second;
        ASSERT_TRUE(f.viewer.zoomin());
    }
    EXPECT_EQ(f.viewer.picture.rgb, replayed);
    // The read-out of a zoomed pixel names the cell it shows.
    const auto t = f.viewer.readtem(460, 370);
    EXPECT_TRUE(t.onDisk);
}

TEST(ZoomCommands, RefusalsAndRecentre) {
    Fixture f;
    f.open(testing_support::smallStandard(1, 3712));
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    f.viewer.controls.scopeSlider = 1;  // every fifth pixel: no zoom
    ASSERT_TRUE(f.viewer.geogracr());
    EXPECT_FALSE(f.viewer.zoomin());
    EXPECT_EQ(f.host.messages.back(), "No zoom for images at low resolution. Please use the slider");
    // Re-centre on a click in space changes nothing; on the disk it takes the point.
    f.viewer.clickposx = 0;
    f.viewer.clickposy = 0;
    EXPECT_FALSE(f.viewer.recentre());
    EXPECT_EQ(f.viewer.controls.lon, "0");
    f.viewer.clickposx = f.viewer.picture.width / 2;
    f.viewer.clickposy = f.viewer.picture.height / 2;
    ASSERT_TRUE(f.viewer.recentre());
    EXPECT_NEAR(std::stod(f.viewer.controls.lon), 0.0, 0.2);
    EXPECT_NEAR(std::stod(f.viewer.controls.lat), 0.0, 0.2);
    // Eight levels, then a refusal.
    f.viewer.controls.scopeSlider = 5;
    ASSERT_TRUE(f.viewer.geogracr());
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(f.viewer.zoomin());
    EXPECT_FALSE(f.viewer.zoomin());
    EXPECT_EQ(f.viewer.zoom_c, 8);
}

}  // namespace

namespace {

TEST(RemapCommands, ZoomedPicturesAreRefusedAndTakeToMainMakesKindSeven) {
    Fixture f;
    f.open(testing_support::smallStandard(2900, 3400));
    f.viewer.controls.lon = "7";
    f.viewer.controls.lat = "45";
    ASSERT_TRUE(f.viewer.geogracr());
    const auto corners = f.viewer.mercator(false);
    ASSERT_TRUE(corners);
    tesmar::display::RemapRequest request;
    request.corners = *corners;
    ASSERT_TRUE(f.viewer.remapPicture(request));
    EXPECT_GT(f.viewer.projection.width, 0);
    ASSERT_TRUE(f.viewer.taketomain());
    EXPECT_EQ(f.viewer.prodnr, 7);

    ASSERT_TRUE(f.viewer.geogracr());
    f.viewer.clickposx = 100;
    f.viewer.clickposy = 100;
    ASSERT_TRUE(f.viewer.zoomin());
    EXPECT_FALSE(f.viewer.mercator(false));
    EXPECT_FALSE(f.viewer.remapPicture(request));
    EXPECT_EQ(f.host.messages.back(), "Choose your area at standard resolution");
}

}  // namespace
