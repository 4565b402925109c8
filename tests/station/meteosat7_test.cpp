#include "station/meteosat7.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "common/slot_time.h"
#include "tests/support/reception.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

constexpr const char* kSlot = "201906121030";

station::TimePoint at(const std::string& slot) {
    return station::TimePoint(std::chrono::seconds(*station::slot_time::epochSeconds(slot)));
}

// The first 46 characters of a Meteosat-7 segment name.
std::string prefix(int segment) {
    std::string number = std::to_string(segment);
    number.insert(0, 6 - number.size(), '0');
    std::string p = "L-000-MTP___-MET7________-00_7_057E-";
    p += number;
    p += "___-";
    return p;
}

// A station directory with a stand-in `deco` (it copies its argument to the decompressed name
// in the directory it runs in, and fails on a file that reads "broken") and received13.
struct Station {
    TempDir dir;
    station::ManualClock clock{at(kSlot) + std::chrono::minutes(17)};
    station::StationPaths paths{dir / "station", dir / "received", dir / "received13"};
    station::StationLog log{paths.cdo};
    station::Meteosat7 met7{paths, clock, log};
    std::vector<std::string> logged;

    Station() {
        fs::create_directories(paths.received13);
        fs::create_directories(paths.cdo);
        testing_support::writeScriptDeco(paths.cdo / "deco");
        log.echo = [this](const std::string& t) { logged.push_back(t); };
    }
    // Segments 1 to 4 and the trigger 10, with a line too short to be one, as a DOS file.
    void writeTemplate() const {
        std::string text;
        for (int s : {1, 2, 3, 4, 10}) text += prefix(s) + "\r\n";
        text += "end\r\n";
        dir.write("station/hformat5.txt", text);
    }
    fs::path receive(int segment, const std::string& slot = kSlot,
                     const std::string& bytes = "segment", int age = 60) const {
        const auto p = paths.received13 / (prefix(segment) + slot + "-C_");
        std::ofstream(p, std::ios::binary) << bytes;
        fs::last_write_time(
            p, fs::file_time_type::clock::from_sys(clock.now() - std::chrono::seconds(age)));
        return p;
    }
    fs::path decompressed(int segment, const std::string& slot = kSlot) const {
        return met7.slotFolder(slot) / (prefix(segment) + slot + "-__");
    }
    int saidCount(const std::string& part) const {
        return static_cast<int>(
            std::count_if(logged.begin(), logged.end(),
                          [&](const std::string& l) { return l.find(part) != std::string::npos; }));
    }
    std::string time() const { return station::localTimeText(clock.now()); }
};

TEST(Meteosat7, ASlotIsDecompressedOnceAndItsMissingSegmentsCountedOnce) {
    Station st;
    st.writeTemplate();
    for (int s : {1, 3, 10}) st.receive(s);

    const auto d = st.met7.deco_ana(kSlot);
    ASSERT_TRUE(d.started);
    EXPECT_EQ(d.received, 3);
    EXPECT_EQ(d.decompressed.size(), 3u);
    for (int s : {1, 3, 10}) EXPECT_TRUE(fs::exists(st.decompressed(s))) << s;
    EXPECT_EQ(d.message, st.time() + " Met-7: For 201906121030 received 3 compressed files");
    EXPECT_EQ(st.saidCount("-----------------starting decompression M7---------"), 1);
    EXPECT_EQ(st.logged.back(), d.message);
    EXPECT_TRUE(fs::exists(st.paths.received13 / (prefix(1) + kSlot + "-C_"))) << "inputs stay";
    EXPECT_FALSE(fs::exists(st.paths.cdo / "todel_lrit.txt")) << "and are not listed for deletion";

    EXPECT_FALSE(st.met7.deco_ana(kSlot).started) << "the folder marks the slot done";

    const auto c = st.met7.doma_ana(kSlot);
    ASSERT_TRUE(c.reported);
    EXPECT_EQ(c.missing, 2);  // segments 2 and 4
    EXPECT_EQ(c.message, st.time() + "     Missing 2 segments for Meteosat-India ");
    ASSERT_GE(st.logged.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(st.logged.end() - 3, st.logged.end()),
              (std::vector<std::string>{"", "MET-7", c.message}));
    EXPECT_FALSE(st.met7.doma_ana(kSlot).reported) << "told once";

    // The next half hour: a new folder makes the count due again.
    const std::string next = "201906121100";
    st.clock.set(at(next) + std::chrono::minutes(17));
    EXPECT_FALSE(st.met7.doma_ana(next).reported) << "nothing decompressed for it yet";
    for (int s : {1, 2, 3, 4, 10}) st.receive(s, next);
    EXPECT_TRUE(st.met7.deco_ana(next).started);
    const auto again = st.met7.doma_ana(next);
    EXPECT_TRUE(again.reported);
    EXPECT_EQ(again.missing, 0);
}

TEST(Meteosat7, NoDecompressionUnlessTheSlotIsDue) {
    struct Case {
        const char* why;
        std::string slot;
        bool trigger;
        bool folderThere;
    };
    const std::vector<Case> cases = {
        {"a quarter-past slot", "201906121045", true, false},
        {"no trigger segment", kSlot, false, false},
        {"decompressed before", kSlot, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Station st;
        st.writeTemplate();
        st.receive(1, c.slot);
        if (c.trigger) st.receive(10, c.slot);
        if (c.folderThere) fs::create_directories(st.met7.slotFolder(c.slot));
        EXPECT_FALSE(st.met7.deco_ana(c.slot).started);
        EXPECT_EQ(fs::exists(st.met7.slotFolder(c.slot)), c.folderThere);
        EXPECT_FALSE(fs::exists(st.decompressed(1, c.slot)));
    }
}

TEST(Meteosat7, ASegmentStillBeingWrittenHoldsTheSlotBack) {
    Station st;
    st.writeTemplate();
    st.receive(10);
    st.receive(2, kSlot, "segment", 5);
    const auto first = st.met7.deco_ana(kSlot);
    EXPECT_TRUE(first.waiting);
    EXPECT_FALSE(fs::exists(st.met7.slotFolder(kSlot)));

    st.clock.advance(std::chrono::seconds(60));
    const auto second = st.met7.deco_ana(kSlot);
    EXPECT_TRUE(second.started);
    EXPECT_TRUE(fs::exists(st.decompressed(2)));
}

TEST(Meteosat7, AFailedSegmentIsToldAndCountedMissing) {
    Station st;
    st.writeTemplate();
    st.receive(10);
    st.receive(3, kSlot, "broken");
    const auto d = st.met7.deco_ana(kSlot);
    EXPECT_EQ(d.received, 2);
    EXPECT_EQ(d.failed, std::vector<std::string>{prefix(3) + kSlot + "-C_"});
    EXPECT_EQ(st.saidCount("cannot read"), 1) << "the tool's own words reach the log";
    EXPECT_FALSE(fs::exists(st.decompressed(3)));
    EXPECT_EQ(st.met7.doma_ana(kSlot).missing, 4);
}

TEST(Meteosat7, WithoutItsTemplateTheServiceIsOffAndSaysSoOnce) {
    Station st;
    st.receive(1);
    st.receive(10);
    EXPECT_FALSE(st.met7.deco_ana(kSlot).started);
    EXPECT_FALSE(st.met7.deco_ana(kSlot).started);
    EXPECT_FALSE(fs::exists(st.met7.slotFolder(kSlot)));
    fs::create_directories(st.met7.slotFolder(kSlot));  // made by hand, or before the file went
    EXPECT_FALSE(st.met7.doma_ana(kSlot).reported);
    EXPECT_EQ(st.saidCount("hformat5.txt"), 1);
}

}  // namespace
