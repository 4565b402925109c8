#include "viewer/products/animation.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace tesmar::products;
using testing_support::TempDir;

std::vector<std::string> names(const std::vector<fs::path>& files) {
    std::vector<std::string> n;
    for (const auto& f : files) n.push_back(f.filename().string());
    return n;
}

// Files that exist, in the order given.
std::vector<fs::path> pictures(const TempDir& dir, std::initializer_list<const char*> list) {
    std::vector<fs::path> files;
    for (const char* name : list) {
        dir.write(name, "x");
        files.push_back(dir / name);
    }
    return files;
}

std::vector<fs::path> numbered(const TempDir& dir, int count) {
    std::vector<fs::path> files;
    for (int i = 0; i < count; ++i) {
        std::string name = "eur_s9r5_2015032012";
        name += std::to_string(10 + i);
        name += ".jpg";
        dir.write(name, "x");
        files.push_back(dir / name);
    }
    return files;
}

// Every frame of a play, until it ends.
std::vector<Frame> drain(FrameList& list) {
    std::vector<Frame> frames;
    while (auto f = list.nextFrame()) frames.push_back(*f);
    return frames;
}

TEST(FrameTime, IsTheTwelveDigitsAtADotOfTheFileName) {
    const struct {
        const char* path;
        const char* time;  // empty: none
    } cases[] = {
        {"creas/eur_c321r5_201503201300.jpg", "201503201300"},
        {"201503201300.bmp", "201503201300"},
        {"a.b_201503201300.jpg", "201503201300"},  // the first dot has no time in front
        {"eur_201503201300.tar.gz", "201503201300"},
        {"archive_201901011200.d/notes.jpg", ""},  // a folder's time is not the file's
        {"20150320130000.jpg", ""},                // fourteen digits are not a slot time
        {"1503201300.jpg", ""},                    // nor are ten
        {"eur_201503201300", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        const auto t = frameTime(c.path);
        EXPECT_EQ(t.value_or(""), c.time) << c.path;
    }
}

TEST(FrameOrder, ByTheFullTimeInTheFileName) {
    const struct {
        const char* what;
        std::vector<fs::path> chosen;
        std::vector<std::string> played;
    } cases[] = {
        {"the product names of one day",
         {"c/eur_c321r5_201503201300.jpg", "c/eur_c321r5_201503201200.jpg",
          "c/eur_c321r5_201503201215.jpg"},
         {"eur_c321r5_201503201200.jpg", "eur_c321r5_201503201215.jpg",
          "eur_c321r5_201503201300.jpg"}},
        // A ten-digit key of the year's last two digits runs past 32 bits in 2022, and puts
        // the year 2000 before 1999.
        {"across new years and centuries",
         {"202201010000.jpg", "202112312345.jpg", "200001010000.jpg", "199912312345.jpg"},
         {"199912312345.jpg", "200001010000.jpg", "202112312345.jpg", "202201010000.jpg"}},
        {"a dot in a folder name",
         {"v1.2_201001011200.d/201503201300.jpg", "v1.2_201001011200.d/201503201200.jpg"},
         {"201503201200.jpg", "201503201300.jpg"}},
        {"files without a time last, as chosen",
         {"notes.jpg", "x_201503201300.jpg", "copy.bmp", "x_201503201200.jpg"},
         {"x_201503201200.jpg", "x_201503201300.jpg", "notes.jpg", "copy.bmp"}},
        {"equal times as chosen",
         {"b_201503201200.jpg", "a_201503201200.bmp"},
         {"b_201503201200.jpg", "a_201503201200.bmp"}},
        {"nothing chosen", {}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(names(orderFrames(c.chosen)), c.played) << c.what;
}

TEST(FrameList, HoldsEveryFileChosen) {
    std::vector<fs::path> many;
    for (int i = 0; i < 500; ++i) many.emplace_back("frame_" + std::to_string(i) + ".jpg");
    FrameList list;
    list.choose(many);
    EXPECT_EQ(list.files().size(), 500u);
}

TEST(PlaySchedule, PausesAndHoldsOfEachPlay) {
    const struct {
        PlayKind kind;
        int speed;
        int pause, hold;
    } cases[] = {
        {PlayKind::First, 7, 1500, 100},  // the first play does not look at the speed
        {PlayKind::Restart, 2, 2000, 100},
        {PlayKind::Restart, 5, 2000, 250},
        {PlayKind::Idle, 3, 1500, 150},
        {PlayKind::Idle, 0, 1500, 50},  // below the slider's range: its lowest setting
    };
    for (const auto& c : cases) {
        const auto s = scheduleOf(c.kind, c.speed);
        EXPECT_EQ(s.roundPauseMs, c.pause) << static_cast<int>(c.kind) << " speed " << c.speed;
        EXPECT_EQ(s.frameHoldMs, c.hold) << static_cast<int>(c.kind) << " speed " << c.speed;
    }
}

TEST(FramePlay, TenFilesGiveSeventeenRoundsAndNineFrames) {
    TempDir dir;
    FrameList list;
    list.choose(numbered(dir, 10));
    ASSERT_TRUE(list.play(PlayKind::First, 2));
    const auto frames = drain(list);
    ASSERT_EQ(frames.size(), 179u);
    EXPECT_FALSE(list.playing());
    int pauses = 0;
    for (std::size_t k = 0; k < frames.size(); ++k) {
        EXPECT_EQ(frames[k].index, k % 10);
        EXPECT_EQ(frames[k].holdAfterMs, 100);
        if (frames[k].pauseBeforeMs) {
            EXPECT_EQ(frames[k].index, 0u);
            EXPECT_EQ(frames[k].pauseBeforeMs, 1500);
            ++pauses;
        }
    }
    EXPECT_EQ(pauses, 18);  // 17 full rounds and the one that stops at its ninth frame
    EXPECT_EQ(frames.back().index, 8u);
}

TEST(FramePlay, OneFileIsPausedBeforeEveryFrame) {
    TempDir dir;
    FrameList list;
    list.choose(pictures(dir, {"201503201200.jpg"}));
    for (const auto& [kind, pause] :
         {std::pair{PlayKind::First, 1500}, std::pair{PlayKind::Restart, 2000}}) {
        ASSERT_TRUE(list.play(kind, 2));
        const auto frames = drain(list);
        ASSERT_EQ(frames.size(), 179u);
        for (const auto& f : frames) EXPECT_EQ(f.pauseBeforeMs, pause);
    }
}

TEST(FramePlay, StopEndsThePlay) {
    TempDir dir;
    FrameList list;
    list.choose(numbered(dir, 3));
    list.play(PlayKind::Idle, 2);
    ASSERT_TRUE(list.nextFrame());
    list.stop();
    EXPECT_FALSE(list.playing());
    EXPECT_FALSE(list.nextFrame());
}

TEST(FrameSteps, WrapAroundAndShareTheRestartsIndex) {
    TempDir dir;
    FrameList list;
    list.choose(numbered(dir, 4));

    // "Previous frame" right after a restart that stopped on the first frame: the last one.
    list.play(PlayKind::Restart, 2);
    EXPECT_EQ(list.nextFrame()->index, 0u);
    list.stop();
    EXPECT_EQ(list.stepPrevious()->index, 3u);
    EXPECT_EQ(list.stepNext()->index, 0u);
    EXPECT_EQ(list.stepNext()->index, 1u);

    // The first play keeps its own index: the steps go on from where they were.
    list.play(PlayKind::First, 2);
    for (int i = 0; i < 3; ++i) list.nextFrame();
    list.stop();
    EXPECT_EQ(list.stepNext()->index, 2u);

    // A new list starts before its first frame.
    list.choose(numbered(dir, 4));
    EXPECT_EQ(list.stepPrevious()->index, 3u);
    list.choose(numbered(dir, 4));
    EXPECT_EQ(list.stepNext()->index, 0u);
}

TEST(FrameSteps, OneFileStaysOnIt) {
    TempDir dir;
    FrameList list;
    list.choose(pictures(dir, {"201503201200.jpg"}));
    EXPECT_EQ(list.stepNext()->index, 0u);
    EXPECT_EQ(list.stepNext()->index, 0u);
    EXPECT_EQ(list.stepPrevious()->index, 0u);
}

TEST(FrameList, AnEmptyListDoesNothing) {
    FrameList list;
    list.choose({});
    for (const auto kind : {PlayKind::First, PlayKind::Restart, PlayKind::Idle}) {
        EXPECT_FALSE(list.play(kind, 2));
        EXPECT_FALSE(list.playing());
        EXPECT_FALSE(list.nextFrame());
    }
    EXPECT_FALSE(list.stepNext());
    EXPECT_FALSE(list.stepPrevious());
    EXPECT_FALSE(list.idleTick({}, 2));
}

TEST(FrameList, PurgedFramesArePassedOver) {
    TempDir dir;
    FrameList list;
    const auto files =
        pictures(dir, {"p_201503201200.jpg", "p_201503201215.jpg", "p_201503201230.jpg"});
    list.choose(files);
    fs::remove(files[1]);
    list.play(PlayKind::Restart, 2);
    const auto frames = drain(list);
    ASSERT_FALSE(frames.empty());
    for (const auto& f : frames) EXPECT_NE(f.index, 1u);
    EXPECT_LE(frames.size(), 179u);
    EXPECT_EQ(list.stepNext()->index, 2u);  // on from where the restart ended, over the gap
    EXPECT_EQ(list.stepPrevious()->index, 0u);

    // The first frame gone: the round's pause moves to the frame that is shown.
    fs::remove(files[0]);
    list.play(PlayKind::First, 2);
    const auto first = list.nextFrame();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->index, 2u);
    EXPECT_EQ(first->pauseBeforeMs, 1500);

    // Every file gone: the play ends and the steps find nothing.
    fs::remove(files[2]);
    EXPECT_TRUE(list.play(PlayKind::Idle, 2));
    EXPECT_FALSE(list.nextFrame());
    EXPECT_FALSE(list.playing());
    EXPECT_FALSE(list.stepNext());
    EXPECT_FALSE(list.stepPrevious());
}

TEST(FrameList, AnIdleTickWhileFramesPlayIsDropped) {
    TempDir dir;
    FrameList list;
    const auto first = numbered(dir, 4);
    ASSERT_TRUE(list.idleTick(first, 2));
    ASSERT_TRUE(list.nextFrame());

    const auto second = pictures(dir, {"q_201503201200.jpg", "q_201503201215.jpg",
                                       "q_201503201230.jpg", "q_201503201245.jpg"});
    EXPECT_FALSE(list.idleTick(second, 2));
    EXPECT_EQ(list.files(), first);
    EXPECT_TRUE(list.playing());

    drain(list);  // the tick's 179 frames are over
    EXPECT_TRUE(list.idleTick(second, 2));
    EXPECT_EQ(list.files(), second);
    const auto frame = list.nextFrame();
    EXPECT_EQ(frame->pauseBeforeMs, 1500);
    EXPECT_EQ(frame->holdAfterMs, 100);
}

TEST(SequenceNames, TheSceneTimeAndTheFormat) {
    const fs::path dest = "/st/creas";
    EXPECT_EQ(sequencePicture(dest, "201503201200", false).value_or(""), dest / "201503201200.jpg");
    EXPECT_EQ(sequencePicture(dest, "201503201200", true).value_or(""), dest / "201503201200.bmp");
    EXPECT_FALSE(sequencePicture(dest, "            ", false));  // a time that could not be read
    EXPECT_FALSE(sequencePicture(dest, "2015032012", false));
    EXPECT_FALSE(sequencePicture(dest, "../201503201", false));

    const struct {
        const char* name;
        bool ours;
    } cases[] = {
        {"201503201200.jpg", true},       {"201503201200.bmp", true},
        {"201503201200.png", false},      {"201503201200.JPG", false},
        {"201513201200.jpg", false},      {"eur_201503201200.jpg", false},
        {"201503201200.jpg.part", false}, {".201503201200.jpg.part", false},
        {"2015032012.jpg", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isSequencePicture(c.name), c.ours) << c.name;
}

TEST(SequenceCleaning, RefusesTheStationItsParentsHomeAndSystemFolders) {
    TempDir dir;
    const fs::path station = dir / "station";
    const fs::path home = dir / "home";
    fs::create_directories(station / "creas");
    fs::create_directories(home);
    fs::create_directory_symlink(station, dir / "link-to-station");
    const struct {
        fs::path folder;
        bool refused;
    } cases[] = {
        {station, true},
        {station / "creas" / "..", true},
        {dir / "link-to-station", true},
        {dir.path(), true},
        {home, true},
        {"/", true},
        {"/usr", true},
        {"/usr/share/doc", true},
        {"/etc", true},
        {"/tmp", true},
        {"/home", true},
        {"", true},
        {station / "creas", false},
        {station / "creas" / "europe", false},
        {home / "loops", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cleaningRefusal(c.folder, station, home).has_value(), c.refused) << c.folder;
}

TEST(SequenceCleaning, OnlyThePicturesASequenceWrites) {
    TempDir dir;
    for (const char* name :
         {"loop/201503201200.jpg", "loop/201503201215.bmp", "loop/notes.txt",
          "loop/eur_c321r5_201503201200.jpg", "loop/201503201230.jpg/inside", "outside.jpg"})
        dir.write(name, "x");
    fs::create_symlink(dir / "outside.jpg", dir / "loop/201503201245.jpg");
    EXPECT_EQ(names(filesToClean(dir / "loop")),
              (std::vector<std::string>{"201503201200.jpg", "201503201215.bmp"}));
    EXPECT_TRUE(filesToClean(dir / "missing").empty());
}

TEST(SequenceTypes, EachKeyNamesItsOwnType) {
    for (const auto t : kSequenceTypes) EXPECT_EQ(sequenceTypeOfKey(sequenceTypeKey(t)), t);
    EXPECT_FALSE(sequenceTypeOfKey("airmass"));
}

}  // namespace
