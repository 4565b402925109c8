#include "viewer/viewer.h"

#include <gtest/gtest.h>

#include "common/scripted_host.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

struct Fixture {
    TempDir dir;
    station::ScriptedHost host;
    station::ManualClock clock{station::TimePoint{} + std::chrono::hours(24 * 365 * 50)};
    tesmar::Viewer viewer{host, clock, dir.path()};
};

TEST(ViewerStartup, DefaultsAndStationFiles) {
    Fixture f;
    f.dir.write("label.txt", "My station\nsecond line\n");
    f.dir.write("product.txt", "## eur\nc\n9\n5\n4\n-3.5\n50\n2\n");
    f.viewer.oncre(800);
    EXPECT_EQ(f.viewer.label, "My station");
    EXPECT_EQ(f.viewer.controls.red, "9");
    EXPECT_EQ(f.viewer.controls.green, "5");
    EXPECT_EQ(f.viewer.controls.blue, "4");
    EXPECT_EQ(f.viewer.controls.lon, "-3.5");
    EXPECT_EQ(f.viewer.controls.lat, "50");
    EXPECT_EQ(f.viewer.controls.scopeSlider, 2);
    EXPECT_EQ(f.viewer.datea, "200301011200");
    EXPECT_EQ(f.viewer.srtime0, f.clock.now() - std::chrono::seconds(45000));
    ASSERT_EQ(f.host.messages.size(), 1u);  // the low screen
    EXPECT_NE(f.host.messages[0].find("screen resolution is low"), std::string::npos);
    EXPECT_EQ(f.host.lastStatus(), "Open a NATIVE file (CTRL + O)");
    EXPECT_TRUE(f.viewer.scene.fich.empty());
    EXPECT_EQ(f.viewer.scene.nol, 3711);
}

TEST(ViewerStartup, ShortHeaderTemplateIsNotAdopted) {
    Fixture f;
    f.dir.write("cabecero.nat", std::string(5153, ' '));
    f.viewer.oncre();
    EXPECT_TRUE(f.viewer.scene.fich.empty());
    EXPECT_EQ(f.viewer.scene.wec, 3711);  // start-up bounds stay
}

TEST(ViewerStartup, SampleSceneIsOpened) {
    Fixture f;
    synth::SyntheticScene s = testing_support::smallStandard();
    s.subSatLon = 9.5F;
    f.dir.native("nats/201004241200sample.nat", s);
    f.viewer.oncre();
    EXPECT_EQ(f.viewer.scene.fich.filename(), "201004241200sample.nat");
    EXPECT_EQ(f.host.facts[station::Fact::SceneTime], "2019-03-18 12:00");
    EXPECT_FLOAT_EQ(f.viewer.navContext().lonShift, 9.5F);  // navigated at its own longitude
}

TEST(ViewerOpen, DialogTitleFollowsTheLanguage) {
    Fixture f;
    f.viewer.oncre();
    const auto path = f.dir.native("201903181200.nat", testing_support::smallStandard());
    f.host.openAnswers.push_back(path);
    f.viewer.abrefiche();
    ASSERT_EQ(f.host.dialogs.size(), 1u);
    EXPECT_EQ(f.host.dialogs[0].title, "Open an image (NATIVE) file");
    EXPECT_EQ(f.viewer.scene.fich, path);
    EXPECT_TRUE(f.viewer.controls.idleVisible);
    EXPECT_EQ(f.host.lastStatus(), "Now choose an action from the menu");
    EXPECT_EQ(f.host.facts[station::Fact::ChannelString], "XXXXXXXXXXXX");

    f.viewer.transla();
    f.viewer.transla();  // a second time changes nothing
    f.viewer.abrefiche();
    EXPECT_EQ(f.host.dialogs.back().title, "Abra un fichero imagen (NATIVO)");
    EXPECT_EQ(f.host.lastStatus(), "Ahora escoja una acción del menú");
    EXPECT_EQ(f.viewer.lang, tesmar::Lang::Spanish);
}

TEST(ViewerOpen, RejectedFilesLeaveTheSceneAsItWas) {
    Fixture f;
    f.viewer.oncre();
    const auto good = f.dir.native("201903181200.nat", testing_support::smallStandard());
    f.host.openAnswers.push_back(good);
    f.viewer.abrefiche();
    ASSERT_EQ(f.viewer.scene.fich, good);
    const int nol = f.viewer.scene.nol;

    f.dir.write("picture.jpg", "not native");
    f.dir.write("broken.nat", std::string(1000, 'x'));
    synth::SyntheticScene bad = testing_support::smallStandard();
    bad.west = 5000;
    const auto impossible = f.dir.native("impossible.nat", bad);
    for (const auto& p : {f.dir / "picture.jpg", f.dir / "broken.nat", f.dir / "missing.nat", impossible}) {
        f.host.messages.clear();
        f.host.openAnswers.push_back(p);
        f.viewer.abrefiche();
        EXPECT_EQ(f.viewer.scene.fich, good) << p;
        EXPECT_EQ(f.viewer.scene.nol, nol) << p;
        EXPECT_EQ(f.host.messages.size(), 1u) << p;
    }
}

TEST(ViewerOpen, ThirdCancelWithoutAFileEndsTheViewer) {
    Fixture f;
    f.viewer.oncre();
    f.viewer.abrefiche();
    f.viewer.abrefiche();
    EXPECT_FALSE(f.host.quitCalled);
    f.viewer.abrefiche();
    EXPECT_TRUE(f.host.quitCalled);
    EXPECT_EQ(f.host.messages.back(), "This program requires a NATIVE format to work");
}

TEST(ViewerChannel, EntryChecksAndCalibration) {
    Fixture f;
    f.viewer.oncre();
    synth::SyntheticScene s = testing_support::smallStandard();
    s.channels = "XX-XXXXXXXX-";
    ASSERT_TRUE(f.viewer.abrefiche_secre(f.dir.native("a.nat", s)));

    f.viewer.controls.channel = "abc";
    f.viewer.nomcan();
    EXPECT_EQ(f.viewer.controls.channel, "1");
    EXPECT_EQ(f.host.facts[station::Fact::ChannelName], "Visible 0.6");

    f.viewer.controls.channel = "3";
    f.viewer.nomcan();
    EXPECT_TRUE(f.viewer.controls.channelHint);
    EXPECT_FALSE(f.viewer.usableChannel());

    f.viewer.controls.channel = "9";
    f.viewer.nomcan();
    EXPECT_FALSE(f.viewer.controls.channelHint);
    EXPECT_TRUE(f.viewer.controls.inverted);
    EXPECT_EQ(f.viewer.usableChannel(), 9);
    EXPECT_TRUE(f.viewer.lee());
    EXPECT_DOUBLE_EQ(f.viewer.cal.slope, 0.19);
    f.viewer.wavef();
    EXPECT_NEAR(f.viewer.ncha * f.viewer.wave_fac, 10.763, 1e-6);

    for (const char* k : {"0", "12", "13", "14"}) {
        f.viewer.controls.channel = k;
        f.host.messages.clear();
        EXPECT_FALSE(f.viewer.usableChannel()) << k;
        EXPECT_EQ(f.host.messages.size(), 1u) << k;
    }
}

TEST(ViewerChannel, FailedCalibrationReadIsMarkedInvalid) {
    Fixture f;
    f.viewer.oncre();
    const auto path = f.dir.native("a.nat", testing_support::smallStandard());
    ASSERT_TRUE(f.viewer.abrefiche_secre(path));
    ASSERT_TRUE(f.viewer.lee());
    std::filesystem::remove(path);
    EXPECT_FALSE(f.viewer.lee());  // the Open dialog is cancelled
    EXPECT_FALSE(f.viewer.calValid);
}

TEST(ViewerWindow, CentreEntriesAndWindow) {
    Fixture f;
    f.viewer.oncre();
    ASSERT_TRUE(f.viewer.abrefiche_secre(f.dir.native("a.nat", testing_support::smallStandard(1, 3712))));
    f.viewer.controls.lon = "0";
    f.viewer.controls.lat = "0";
    f.viewer.controls.red = "x";
    ASSERT_TRUE(f.viewer.leedatos());
    EXPECT_EQ(f.viewer.window.fil, 1485);
    EXPECT_EQ(f.viewer.window.lal, 2225);
    EXPECT_EQ(f.viewer.controls.red, "3");
    EXPECT_EQ(f.host.facts[station::Fact::Line], "line: 1856");
    f.viewer.controls.lon = "7,5";  // a decimal comma is taken as a point
    EXPECT_TRUE(f.viewer.leedatos());
    EXPECT_DOUBLE_EQ(f.viewer.window.fi, 7.5);
    f.viewer.controls.lat = "north";
    EXPECT_FALSE(f.viewer.leedatos());
}

}  // namespace
