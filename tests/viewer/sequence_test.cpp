#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "tests/support/viewer_station.h"
#include "viewer/cli.h"
#include "viewer/display/picture_files.h"
#include "viewer/sequence_commands.h"
#include "viewer/viewer.h"

namespace {

namespace fs = std::filesystem;
using tesmar::products::SequenceSettings;
using tesmar::products::SequenceType;

// A station with small Native files around the equator, the viewer centred on them.
struct Station : testing_support::ViewerStation {
    std::vector<std::string> stamps;
    std::vector<int> zoomDepths;  // of each picture as it was stamped

    Station() {
        viewer.controls.lon = "0";
        viewer.controls.lat = "0";
        viewer.controls.channel = "9";
    }
    fs::path native(const std::string& time, const std::string& channels = "XXXXXXXXXXXX") {
        auto s = testing_support::smallStandard(1800, 1810);
        s.time = time;
        s.channels = channels;
        return dir.native("nats/" + time + ".nat", s);
    }
    SequenceSettings settings(const std::string& folder = "loop") const {
        SequenceSettings s;
        s.destination = dir / folder;
        return s;
    }
    tesmar::SequenceRun run(const SequenceSettings& s, const std::vector<fs::path>& natives) {
        return tesmar::go_loop(
            viewer, s, natives,
            [this](tesmar::display::Image24&, const tesmar::display::DrawList& marks) {
                stamps.push_back(marks.empty() ? std::string{} : marks.back().text);
                zoomDepths.push_back(viewer.zoom.depth());
            });
    }
    std::set<std::string> folder(const std::string& name = "loop") const {
        std::set<std::string> names;
        for (const auto& f : fs::directory_iterator(dir / name))
            names.insert(f.path().filename().string());
        return names;
    }
};

TEST(Sequence, ThreeFilesIntoACleanedFolderAreNamedByTheirSceneTimes) {
    Station st;
    const auto a = st.native("201305011215"), b = st.native("201305011200"),
               c = st.native("201305011230");
    // An earlier sequence's pictures, and a file that is not one of them.
    st.dir.write("loop/201001010000.jpg", "old");
    st.dir.write("loop/201001010015.bmp", "old");
    st.dir.write("loop/notes.txt", "mine");
    auto s = st.settings();
    s.clean = true;
    st.host.askAnswers = {true};

    const auto run = st.run(s, {a, b, c});
    ASSERT_TRUE(run.refusal.empty()) << run.refusal;
    EXPECT_EQ(run.cleaned.size(), 2u);
    ASSERT_EQ(st.host.messages.size(), 1u);  // the question, and nothing else
    EXPECT_NE(st.host.messages[0].find("Delete the 2 pictures"), std::string::npos)
        << st.host.messages[0];
    EXPECT_EQ(st.folder(), (std::set<std::string>{"201305011200.jpg", "201305011215.jpg",
                                                  "201305011230.jpg", "notes.txt"}));

    // Made oldest first, each stamped with its own date and title.
    ASSERT_EQ(run.pictures.size(), 3u);
    EXPECT_EQ(run.made(), 3);
    EXPECT_EQ(run.pictures[0].native, b);
    EXPECT_EQ(run.pictures[2].native, c);
    ASSERT_EQ(st.stamps.size(), 3u);
    EXPECT_EQ(st.stamps[0], "EUMETSAT 2013-05-01 12:00   Single Channel 9");
    EXPECT_EQ(st.stamps[2], "EUMETSAT 2013-05-01 12:30   Single Channel 9");
    const auto decoded = tesmar::display::readJpeg(st.dir / "loop/201305011215.jpg");
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(decoded->width, 920);
    EXPECT_FALSE(st.viewer.gate.quiet);
}

TEST(Sequence, CleaningIsAskedAndLimited) {
    Station st;
    const auto a = st.native("201305011200");
    st.dir.write("loop/201001010000.jpg", "old");

    // No: nothing is deleted, the sequence is still made.
    auto s = st.settings();
    s.clean = true;
    st.host.askAnswers = {false};
    auto run = st.run(s, {a});
    EXPECT_TRUE(run.cleaned.empty());
    EXPECT_EQ(st.folder(), (std::set<std::string>{"201001010000.jpg", "201305011200.jpg"}));

    // The station directory and the folders holding it are never cleaned, whatever the answer.
    st.dir.write("201001010000.jpg", "the user's");
    for (const fs::path& folder : {st.dir.path(), st.dir.path().parent_path()}) {
        s.destination = folder;
        st.host.askAnswers = {true};
        run = st.run(s, {a});
        EXPECT_NE(run.refusal.find("not cleaned"), std::string::npos) << folder;
        EXPECT_TRUE(run.pictures.empty());
        EXPECT_TRUE(fs::exists(st.dir / "201001010000.jpg"));
        EXPECT_FALSE(fs::exists(st.dir / "201305011200.jpg"));
    }
}

TEST(Sequence, AFileThatFailsIsReportedAndSkipped) {
    Station st;
    const auto good = st.native("201305011200");
    const auto noChannel9 = st.native("201305011215", "XXXXXXXX-XXX");
    const auto later = st.native("201305011230");
    st.dir.write("nats/broken.nat", "not a Native file");
    const auto twin = st.dir / "nats/copy.nat";
    fs::copy_file(good, twin);

    const auto run =
        st.run(st.settings(), {later, st.dir / "nats/broken.nat", noChannel9, good, twin});
    ASSERT_EQ(run.pictures.size(), 5u);
    EXPECT_EQ(run.made(), 2);
    EXPECT_EQ(st.folder(), (std::set<std::string>{"201305011200.jpg", "201305011230.jpg"}));
    std::map<std::string, std::string> why;
    for (const auto& p : run.pictures) why[p.native.filename().string()] = p.why;
    EXPECT_NE(why["201305011215.nat"].find("Channel 9"), std::string::npos)
        << why["201305011215.nat"];
    EXPECT_NE(why["broken.nat"].find("cannot be read"), std::string::npos) << why["broken.nat"];
    EXPECT_NE(why["copy.nat"].find("same scene time"), std::string::npos) << why["copy.nat"];
    EXPECT_EQ(run.pictures.back().native, st.dir / "nats/broken.nat");  // no time: last
    EXPECT_TRUE(st.host.messages.empty())
        << "no dialog while the files are made: " << st.host.messages.front();
}

TEST(Sequence, TheFileCurrentBeforeComesBackWithThePictureOfTheChosenKind) {
    Station st;
    const auto before = st.native("201305011100");
    const auto a = st.native("201305011200");
    ASSERT_TRUE(st.viewer.abrefiche_secre(before));
    st.viewer.controls.red = "9";
    st.viewer.controls.green = "10";

    auto s = st.settings();
    s.type = SequenceType::Difference;
    s.bitmap = true;
    const auto run = st.run(s, {a});
    EXPECT_EQ(run.made(), 1);
    EXPECT_TRUE(run.restoreWhy.empty()) << run.restoreWhy;
    EXPECT_EQ(st.folder(), std::set<std::string>{"201305011200.bmp"});
    EXPECT_EQ(st.viewer.scene.fich, before);
    EXPECT_EQ(st.viewer.scene.bsc, "201305011100");
    EXPECT_EQ(st.viewer.prodnr, 3);
}

TEST(Sequence, ZoomedAsInTheLastZooming) {
    Station st;
    const auto a = st.native("201305011200");
    auto s = st.settings();
    s.zoomed = true;
    // Nothing was zoomed yet: there is no zoom to repeat.
    auto run = st.run(s, {a});
    EXPECT_NE(run.refusal.find("zoom"), std::string::npos);
    EXPECT_FALSE(fs::exists(st.dir / "loop"));

    ASSERT_TRUE(st.viewer.abrefiche_secre(a));
    st.viewer.controls.scopeSlider = 5;  // every stored pixel: zooming is allowed
    ASSERT_TRUE(st.viewer.geogracr());
    st.viewer.clickposx = 460;
    st.viewer.clickposy = 5;
    ASSERT_TRUE(st.viewer.zoomin());
    st.viewer.clickposx = 0;  // the pointer moved on since
    run = st.run(s, {a});
    EXPECT_EQ(run.made(), 1);
    ASSERT_EQ(st.zoomDepths.size(), 1u);
    EXPECT_EQ(st.zoomDepths[0], 1);
    EXPECT_EQ(st.viewer.zoom.depth(), 0);  // the file current before is shown again unzoomed
    EXPECT_EQ(st.viewer.clickposx, 0);
}

struct Cli {
    int code;
    std::string out, err;
};

Cli sequence(std::vector<std::string> args) {
    std::ostringstream out, err;
    args.insert(args.begin(), "sequence");
    const int code = tesmar::runCli(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(CliSequence, OneLinePerFile) {
    Station st;
    const auto a = st.native("201305011215"), b = st.native("201305011200");
    const auto absent = st.native("201305011230", "XXXXXXXX-XXX");
    st.dir.write("loop/201001010000.bmp", "old");
    const std::string dir = st.dir.path().string(), out = (st.dir / "loop").string();

    const auto made =
        sequence({"--dir", dir, "--type", "single", "--channel", "9", "--centre", "0", "0",
                  "--scope", "2", "--bmp", "--clean", "--out", out, a.string(), b.string()});
    EXPECT_EQ(made.code, 0) << made.err;
    // The old picture goes first; then one line per picture, oldest first, with what it lacks.
    const auto deleted = made.out.find("deleted: " + out + "/201001010000.bmp\n");
    const auto first = made.out.find("written: " + out + "/201305011200.bmp  (No coast lines");
    const auto second = made.out.find("written: " + out + "/201305011215.bmp");
    EXPECT_EQ(deleted, 0u) << made.out;
    EXPECT_NE(first, std::string::npos) << made.out;
    EXPECT_NE(second, std::string::npos) << made.out;
    EXPECT_LT(first, second);
    EXPECT_EQ(st.folder(), (std::set<std::string>{"201305011200.bmp", "201305011215.bmp"}));

    const auto partly = sequence({"--dir", dir, "--type", "composite", "--rgb", "9", "10", "4",
                                  "--centre", "0", "0", "--out", out, absent.string(), a.string()});
    EXPECT_EQ(partly.code, 1);
    EXPECT_NE(partly.out.find("written: " + out + "/201305011215.jpg"), std::string::npos)
        << partly.out;
    EXPECT_NE(partly.out.find("failed:  " + absent.string() + ": "), std::string::npos)
        << partly.out;

    const struct {
        std::vector<std::string> args;
        const char* says;
    } refusals[] = {
        {{"--type", "airmass", "--out", out, a.string()}, "unknown --type"},
        {{"--type", "single", a.string()}, "--out"},
        {{"--type", "single", "--out", out}, "Native file"},
        {{"--type", "single", "--scope", "7", "--out", out, a.string()}, "--scope"},
        {{"--type", "single", "--zoom", "1", "2", "--out", out, a.string()},
         "unknown option --zoom"},
    };
    for (const auto& r : refusals) {
        const auto refused = sequence(r.args);
        EXPECT_EQ(refused.code, 2) << r.says;
        EXPECT_NE(refused.err.find(r.says), std::string::npos) << refused.err;
    }
    EXPECT_TRUE(tesmar::isCliInvocation({"sequence"}));
}

}  // namespace
