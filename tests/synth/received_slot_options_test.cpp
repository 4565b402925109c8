// What the options of a received slot change: the rapid scan's missing segments, dropped, cut
// and left-out files, slow writing, refused options, and the Earth scene of the slot time.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <set>

#include "common/native_layout.h"
#include "common/segment_name.h"
#include "tests/support/temp_dir.h"
#include "tools/synth/received_slot.h"

namespace {

namespace fs = std::filesystem;
namespace seg = station::segments;
using synth::ReceivedSlotOptions;
using synth::SegmentKey;
using testing_support::TempDir;

constexpr const char* kSlot = "201906211200";

std::string imageName(const ReceivedSlotOptions& o, int channel, int segment,
                      bool compressed = true) {
    return seg::SegmentName{'H',     o.satellite, o.rapidScan, seg::Part::Image,
                            channel, segment,     o.slot,      compressed}
        .build();
}

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
    return names;
}

std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A Pattern slot of three segments at the corners of the grid, with prologue and epilogue.
ReceivedSlotOptions few() {
    ReceivedSlotOptions o;
    o.slot = kSlot;
    o.content = synth::Content::Pattern;
    o.only = std::set<SegmentKey>{{1, 1}, {9, 8}, {12, 24}};
    return o;
}

TEST(ReceivedSlot, RapidScanNeverSendsTheSouthernSegments) {
    ReceivedSlotOptions o;
    o.slot = "201906211205";
    o.rapidScan = true;
    o.content = synth::Content::Pattern;
    const auto plan = synth::plannedFiles(o);
    EXPECT_EQ(plan.size(), static_cast<std::size_t>(seg::kSlotFiles - seg::kRssMissingHrv -
                                                    seg::kRssMissingOther));
    for (const auto& f : plan) {
        EXPECT_TRUE(f.id.rapidScan);
        EXPECT_EQ(seg::parse(f.name), f.id);
        if (f.id.part == seg::Part::Image) {
            EXPECT_GT(f.id.segment, f.id.channel == 12 ? 15 : 5) << f.name;
        }
    }

    // The writer follows the plan: of the segments asked for, the southern ones never come.
    o.only = std::set<SegmentKey>{{1, 5}, {1, 6}, {12, 15}, {12, 16}};
    TempDir dir;
    const auto written = synth::writeReceivedSlot(o, dir.path());
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(written->size(), 4u);
    EXPECT_EQ(namesIn(dir.path()),
              (std::set<std::string>{seg::prologueName('4', true, o.slot), imageName(o, 1, 6),
                                     imageName(o, 12, 16), seg::epilogueName('4', true, o.slot)}));
}

TEST(ReceivedSlot, LeavesOutTheFilesAsked) {
    const auto name = [](const std::string& token) {
        const auto o = few();
        if (token == "pro") return seg::prologueName('4', false, kSlot);
        if (token == "epi") return seg::epilogueName('4', false, kSlot);
        const auto k = synth::parseSegmentKey(token);
        return imageName(o, k->channel, k->segment);
    };
    struct Case {
        const char* what;
        std::function<std::string(ReceivedSlotOptions&)> change;  // gives an error, or empty
        std::set<std::string> expected;
    };
    const Case cases[] = {
        {"nothing", [](auto&) { return std::string{}; }, {"pro", "1:1", "9:8", "12:24", "epi"}},
        {"a segment by number",
         [](auto& o) { return synth::dropFile(o, "9:8"); },
         {"pro", "1:1", "12:24", "epi"}},
        {"a segment by name",
         [](auto& o) { return synth::dropFile(o, imageName(o, 12, 24)); },
         {"pro", "1:1", "9:8", "epi"}},
        {"a segment by its decompressed name",
         [](auto& o) { return synth::dropFile(o, imageName(o, 1, 1, false)); },
         {"pro", "9:8", "12:24", "epi"}},
        {"the prologue by name",
         [](auto& o) { return synth::dropFile(o, seg::prologueName('4', false, kSlot)); },
         {"1:1", "9:8", "12:24", "epi"}},
        {"the epilogue by name",
         [](auto& o) { return synth::dropFile(o, seg::epilogueName('4', false, kSlot)); },
         {"pro", "1:1", "9:8", "12:24"}},
        {"no prologue",
         [](auto& o) {
             o.prologue = false;
             return std::string{};
         },
         {"1:1", "9:8", "12:24", "epi"}},
        {"no epilogue",
         [](auto& o) {
             o.epilogue = false;
             return std::string{};
         },
         {"pro", "1:1", "9:8", "12:24"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto o = few();
        ASSERT_EQ(c.change(o), "");
        TempDir dir;
        ASSERT_TRUE(synth::writeReceivedSlot(o, dir.path()).ok());
        std::set<std::string> expected;
        for (const auto& token : c.expected) expected.insert(name(token));
        EXPECT_EQ(namesIn(dir.path()), expected);
    }
}

// A cut segment is the start of the whole one; slow writing gives the same bytes as writing at
// once, including the last partial chunk.
TEST(ReceivedSlot, CutAndSlowFilesHoldTheBytesOfTheWholeOnes) {
    TempDir dir;
    auto whole = few();
    ASSERT_TRUE(synth::writeReceivedSlot(whole, dir / "whole").ok());

    auto cut = few();
    cut.truncate = synth::Truncation{{9, 8}, 100000};
    cut.chunkPause = std::chrono::milliseconds(1);
    cut.chunkBytes = 1000000;  // not a divisor of any file size
    const auto written = synth::writeReceivedSlot(cut, dir / "cut");
    ASSERT_TRUE(written.ok()) << written.error();

    ASSERT_EQ(namesIn(dir / "cut"), namesIn(dir / "whole"));
    for (const auto& f : *written) {
        const auto expected = readAll(dir / "whole" / f.name);
        const auto got = readAll(dir / "cut" / f.name);
        EXPECT_EQ(static_cast<std::int64_t>(got.size()), f.bytes) << f.name;
        if (f.name == imageName(cut, 9, 8)) {
            EXPECT_EQ(f.bytes, 100000);
            EXPECT_TRUE(got == expected.substr(0, 100000)) << f.name;
        } else {
            EXPECT_TRUE(got == expected) << f.name;
        }
    }
}

TEST(ReceivedSlot, NeverReplacesAFileOfTheSlot) {
    TempDir dir;
    const auto o = few();
    dir.write(imageName(o, 9, 8), "mine");
    const auto written = synth::writeReceivedSlot(o, dir.path());
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().find(imageName(o, 9, 8)), std::string::npos) << written.error();
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{imageName(o, 9, 8)})
        << "nothing else written";
    EXPECT_EQ(readAll(dir / imageName(o, 9, 8)), "mine");
}

TEST(ReceivedSlot, RefusesOptionsThatMakeNoSlot) {
    struct Case {
        const char* what;
        std::function<void(ReceivedSlotOptions&)> change;
        const char* error;  // part of the message; empty: accepted
    };
    const Case cases[] = {
        {"the default", [](auto&) {}, ""},
        {"eleven digits", [](auto& o) { o.slot = "20190621120"; }, "not yyyymmddhhmm"},
        {"no such month", [](auto& o) { o.slot = "201913211200"; }, "not yyyymmddhhmm"},
        {"full disk off its cycle", [](auto& o) { o.slot = "201906211205"; }, "15-minute"},
        {"rapid scan on its cycle",
         [](auto& o) {
             o.rapidScan = true;
             o.slot = "201906211205";
         },
         ""},
        {"rapid scan off its cycle",
         [](auto& o) {
             o.rapidScan = true;
             o.slot = "201906211207";
         },
         "5-minute"},
        {"satellite not a digit", [](auto& o) { o.satellite = 'x'; }, "digit"},
        {"uniform content", [](auto& o) { o.content = synth::Content::Uniform; },
         "Earth or Pattern"},
        {"centred HRV windows",
         [](auto& o) {
             o.hrv = {5000, 2785, 8352, 1};
         },
         ""},
        {"narrow HRV window", [](auto& o) { o.hrv.lowerWest = 5000; }, "HRV windows"},
        {"upper HRV window off the grid", [](auto& o) { o.hrv.upperEast = 6000; }, "HRV windows"},
        {"unknown segment dropped",
         [](auto& o) {
             o.drop.insert({1, 9});
         },
         "no segment 9 of channel 1"},
        {"unknown segment chosen",
         [](auto& o) {
             o.only = std::set<SegmentKey>{{13, 1}};
         },
         "of channel 13"},
        {"cut to its whole size",
         [](auto& o) {
             o.truncate = synth::Truncation{{9, 8}, seg::kVisIrSegmentBytes};
         },
         "fewer"},
        {"cut to nothing",
         [](auto& o) {
             o.truncate = synth::Truncation{{9, 8}, 0};
         },
         ""},
        {"cut a dropped segment",
         [](auto& o) {
             o.drop.insert({9, 8});
             o.truncate = synth::Truncation{{9, 8}, 10};
         },
         "not written"},
        {"cut a segment a rapid scan never sends",
         [](auto& o) {
             o.rapidScan = true;
             o.slot = "201906211205";
             o.truncate = synth::Truncation{{12, 15}, 10};
         },
         "not written"},
        {"slow with empty chunks",
         [](auto& o) {
             o.chunkPause = std::chrono::milliseconds(5);
             o.chunkBytes = 0;
         },
         "chunks"},
    };
    for (const auto& c : cases) {
        ReceivedSlotOptions o;
        o.slot = kSlot;
        c.change(o);
        const auto why = synth::optionsError(o);
        if (*c.error == '\0')
            EXPECT_EQ(why, "") << c.what;
        else
            EXPECT_NE(why.find(c.error), std::string::npos) << c.what << ": " << why;
    }

    TempDir dir;
    ReceivedSlotOptions o;
    o.slot = "201906211205";
    EXPECT_FALSE(synth::writeReceivedSlot(o, dir / "slot").ok());
    EXPECT_FALSE(fs::exists(dir / "slot")) << "nothing made for a refused slot";
}

TEST(ReceivedSlot, ReadsSegmentsAndFileNamesOfTheSlotOnly) {
    struct Key {
        const char* text;
        std::optional<SegmentKey> key;
    };
    const Key keys[] = {
        {"9:8", SegmentKey{9, 8}}, {"12:24", SegmentKey{12, 24}}, {"1:1", SegmentKey{1, 1}},
        {"1:9", std::nullopt},     {"12:25", std::nullopt},       {"13:1", std::nullopt},
        {"0:1", std::nullopt},     {"9:", std::nullopt},          {":8", std::nullopt},
        {"9-8", std::nullopt},     {"9:8x", std::nullopt},        {"-1:1", std::nullopt}};
    for (const auto& k : keys) EXPECT_EQ(synth::parseSegmentKey(k.text), k.key) << k.text;

    ReceivedSlotOptions o;
    o.slot = kSlot;
    auto other = o;
    other.slot = "201906211215";
    auto rapid = o;
    rapid.rapidScan = true;
    auto satellite = o;
    satellite.satellite = '3';
    for (const auto& name : {imageName(other, 9, 8), imageName(rapid, 9, 8),
                             imageName(satellite, 9, 8), std::string("IR_108"), std::string("9")})
        EXPECT_NE(synth::dropFile(o, name), "") << name;
    EXPECT_TRUE(o.drop.empty());
    EXPECT_TRUE(o.prologue && o.epilogue);
}

// An Earth slot holds the lines of the Earth scene at the slot time, with its HRV windows: the
// lines of a small standard file of that scene across the switch from the lower to the upper
// HRV window (VIS/IR line 1625 is the first the reader places in the upper window).
TEST(ReceivedSlot, EarthSegmentsHoldTheScenesLinesAtTheSlotTime) {
    ReceivedSlotOptions o;
    o.slot = "201906210900";
    o.hrv = {4874, 2785, 8352, 1};
    o.seed = 5;
    o.only = std::set<SegmentKey>{{1, 4}, {9, 4}, {12, 11}};
    o.prologue = o.epilogue = false;
    TempDir dir;
    ASSERT_TRUE(synth::writeReceivedSlot(o, dir.path()).ok());

    synth::SyntheticScene scene;
    scene.content = synth::Content::Earth;
    scene.time = o.slot;
    scene.hrv = o.hrv;
    scene.seed = o.seed;
    scene.south = 1622;
    scene.north = 1627;
    const auto nat = dir.native("band.nat", scene);
    const auto native = readAll(nat);
    const station::native::BlockLayout layout{4640, 6960,
                                              station::native::ChannelMap::allPresent()};

    for (const int channel : {1, 9, 12}) {
        const auto segment = readAll(dir / imageName(o, channel, channel == 12 ? 11 : 4));
        for (int line = scene.south; line <= scene.north; ++line)
            for (int i = 0; i < (channel == 12 ? 3 : 1); ++i) {
                const std::size_t lineBytes =
                    channel == 12 ? seg::kHrvLineBytes : seg::kVisIrLineBytes;
                // Line of the segment, from 0: VIS/IR segment 4 starts at line 1393, HRV segment
                // 11 at HRV line 4641.
                const int inSegment = channel == 12 ? 3 * (line - 1) + i - 4640 : line - 1393;
                const auto at =
                    layout.pixelOffset(channel, line - scene.south) + i * layout.hrvSubLineStep();
                EXPECT_TRUE(
                    segment.substr(
                        seg::kSegmentHeaderBytes + lineBytes * static_cast<std::size_t>(inSegment),
                        lineBytes) == native.substr(static_cast<std::size_t>(at), lineBytes))
                    << "channel " << channel << " line " << line << " HRV sub-line " << i;
            }
    }
}

}  // namespace
