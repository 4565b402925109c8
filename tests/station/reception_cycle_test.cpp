#include "station/reception_cycle.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "common/native_assembly.h"
#include "common/segment_name.h"
#include "common/slot_time.h"
#include "station/segment_decompression.h"
#include "tests/support/temp_dir.h"
#include "tools/kit/reception_files.h"

namespace {

namespace fs = std::filesystem;
namespace seg = station::segments;
using testing_support::TempDir;

constexpr const char* kSlot = "201906121030";

std::int64_t slotEpoch(const std::string& slot) { return *station::slot_time::epochSeconds(slot); }
station::TimePoint at(std::int64_t epoch) { return station::TimePoint(std::chrono::seconds(epoch)); }

void setTime(const fs::path& p, std::int64_t epoch) {
    fs::last_write_time(p, fs::file_time_type::clock::from_sys(at(epoch)));
}

// A station with its kit files, the two reception folders, a clock and a decompressor that
// copies "-C_" files to "-__" unless told to fail.
struct Station {
    TempDir dir;
    station::ManualClock clock;
    station::StationPaths paths{dir / "station", dir / "received", dir / "received13"};
    std::set<std::string> failing;       // names the decompressor refuses
    std::set<std::string> wrongSize;     // names it cuts short
    int decompressed = 0;
    std::vector<std::string> logged;
    std::unique_ptr<station::ReceptionCycle> cycle;

    Station() {
        for (const auto& f : kit::receptionFiles()) dir.write("station/" + f.name, f.bytes);
        fs::create_directories(paths.received);
        fs::create_directories(paths.received13);
        clock.set(at(slotEpoch(kSlot) + 17 * 60));
        restart();
    }
    void restart() {
        cycle = std::make_unique<station::ReceptionCycle>(paths, clock, station::CycleSettings{}, [this](const auto& inputs, const auto& work) {
            std::vector<station::DecompressOutcome> out;
            for (const auto& in : inputs) {
                const auto name = in.filename().string();
                if (failing.count(name)) {
                    out.push_back({false, 1, "the tool failed"});
                    continue;
                }
                auto target = name;
                target.replace(target.size() - 3, 3, "-__");
                fs::copy_file(in, work / target, fs::copy_options::overwrite_existing);
                if (wrongSize.count(name)) fs::resize_file(work / target, 1000);
                ++decompressed;
                out.push_back({true, 0, {}});
            }
            return out;
        });
        cycle->log().echo = [this](const std::string& t) { logged.push_back(t); };
        cycle->start();
    }
    // The slot as received: image segments compressed in name, prologue and epilogue not;
    // all dated `age` seconds before now.
    void receive(const std::string& slot, std::set<std::string> drop = {}, bool epilogue = true, int age = 60) {
        const auto put = [&](const std::string& name, std::int64_t size) {
            if (drop.count(name)) return;
            const auto p = paths.received / name;
            std::ofstream(p, std::ios::binary).close();
            fs::resize_file(p, static_cast<std::uintmax_t>(size));  // sparse: the cycle only looks at names and sizes
            setTime(p, epochNow() - age);
        };
        put(seg::prologueName('4', false, slot), seg::kPrologueBytes);
        for (int k = 1; k <= 12; ++k)
            for (int s = 1; s <= seg::segmentsOf(k); ++s)
                put(name(k, s, slot), seg::nominalBytes(seg::Part::Image, k));
        if (epilogue) put(seg::epilogueName('4', false, slot), seg::kEpilogueBytes);
    }
    static std::string name(int k, int s, const std::string& slot = kSlot) {
        return seg::SegmentName{'H', '4', false, seg::Part::Image, k, s, slot, true}.build();
    }
    std::int64_t epochNow() const { return std::chrono::duration_cast<std::chrono::seconds>(clock.now().time_since_epoch()).count(); }
    fs::path native(const std::string& slot = kSlot) const { return paths.cdo / "nats" / (slot + ".nat"); }
    bool said(const std::string& part) const {
        for (const auto& l : logged)
            if (l.find(part) != std::string::npos) return true;
        return false;
    }
    int receivedLeft() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(paths.received)) n += e.path().filename().string().rfind("H-000", 0) == 0;
        return n;
    }
    // No partial Native file anywhere: nats/ holds complete files only, natstemp/ nothing.
    void expectNothingPartial() const {
        for (const auto* folder : {"nats", "natstemp"}) {
            if (!fs::exists(paths.cdo / folder)) continue;
            for (const auto& e : fs::directory_iterator(paths.cdo / folder))
                EXPECT_EQ(fs::file_size(e.path()), station::assembly::kAssembledBytes) << e.path();
        }
    }
};

TEST(ReceptionCycle, ClosedSlotFollowsTheNewestFileAndIgnoresTestFiles) {
    Station st;
    st.clock.set(at(slotEpoch("201906121055")));
    std::ofstream(st.paths.received / "x").close();
    setTime(st.paths.received / "x", slotEpoch("201906121052"));
    std::ofstream(st.paths.received / "check.tst").close();  // newer, but a test file
    setTime(st.paths.received / "check.tst", slotEpoch("201906121058"));
    std::ofstream(st.paths.received / "late").close();       // dated in the future
    setTime(st.paths.received / "late", st.epochNow() + 86400);
    st.cycle->cualesdatea();
    EXPECT_EQ(st.cycle->closedSlot(), "201906121030");  // 10:52 - 15 min, rounded down
    EXPECT_TRUE(st.said("dated in the future"));
}

TEST(ReceptionCycle, ASlotBecomesOneNativeFileAndItsInputsGo) {
    Station st;
    st.receive(kSlot);
    st.cycle->tickBoth();
    ASSERT_TRUE(fs::exists(st.native())) << st.logged.back();
    EXPECT_EQ(fs::file_size(st.native()), station::assembly::kAssembledBytes);
    EXPECT_EQ(st.decompressed, 112);
    EXPECT_EQ(st.receivedLeft(), 2) << "the prologue and epilogue stay for the purge";
    EXPECT_TRUE(st.said("Missing 0 segments in hrv and 0 in other channels"));
    st.expectNothingPartial();

    // The next cycles find the marks and do nothing again.
    st.cycle->tickBoth();
    EXPECT_EQ(st.decompressed, 112);
}

// Each case ends with no lost or corrupted Native file and no deletion of unprocessed input.
TEST(ReceptionCycle, FaultMatrix) {
    {
        SCOPED_TRACE("a segment still being written");
        Station st;
        st.receive(kSlot);
        setTime(st.paths.received / Station::name(9, 3), st.epochNow() - 2);
        st.cycle->tickBoth();
        EXPECT_FALSE(fs::exists(st.native()));
        EXPECT_EQ(st.decompressed, 0);
        EXPECT_EQ(st.receivedLeft(), 114);
        EXPECT_TRUE(st.said("still being written"));
        st.clock.advance(std::chrono::seconds(60));
        st.cycle->tickBoth();
        EXPECT_TRUE(fs::exists(st.native()));
    }
    {
        SCOPED_TRACE("missing segments, no epilogue, a decompressor that fails");
        Station st;
        st.receive(kSlot, {Station::name(12, 5), Station::name(1, 8)}, false);
        st.failing = {Station::name(3, 2)};
        // The epilogue never came; the next slot's first file closes this one.
        st.clock.advance(std::chrono::seconds(120));
        const auto next = st.paths.received / seg::prologueName('4', false, "201906121045");
        std::ofstream(next).close();
        setTime(next, st.epochNow() - 30);
        st.cycle->tickBoth();
        ASSERT_TRUE(fs::exists(st.native()));
        EXPECT_TRUE(st.said("Missing 1 segments in hrv and 2 in other channels"));
        EXPECT_TRUE(fs::exists(st.paths.received / Station::name(3, 2))) << "not decompressed: kept";
        EXPECT_TRUE(st.said("not decompressed: the tool failed"));
        st.expectNothingPartial();
    }
    {
        SCOPED_TRACE("a wrong-size segment");
        Station st;
        st.receive(kSlot);
        st.wrongSize = {Station::name(9, 1)};
        st.cycle->tickBoth();
        ASSERT_TRUE(fs::exists(st.native()));
        EXPECT_TRUE(st.said("Set aside the wrong-size segment"));
    }
    {
        SCOPED_TRACE("a restart between the phases");
        Station st;
        st.receive(kSlot);
        st.cycle->tick();
        EXPECT_EQ(st.decompressed, 112);
        st.restart();
        st.cycle->tickBoth();
        EXPECT_EQ(st.decompressed, 112) << "nothing decompressed twice";
        EXPECT_TRUE(fs::exists(st.native()));
    }
    {
        SCOPED_TRACE("the Native file cannot be written");
        Station st;
        st.receive(kSlot);
        st.dir.write("station/natstemp", "a file where the folder should be");
        st.cycle->tickBoth();
        EXPECT_FALSE(fs::exists(st.native()));
        EXPECT_TRUE(st.said("failed"));
        fs::remove(st.paths.cdo / "natstemp");
        st.cycle->tickBoth();  // the next cycle tries again
        EXPECT_TRUE(fs::exists(st.native()));
        st.expectNothingPartial();
    }
}

// The real decompression path: the station's `deco` missing, or hanging past its time limit.
TEST(ReceptionCycle, DecompressorMissingOrHanging) {
    for (const bool hanging : {false, true}) {
        SCOPED_TRACE(hanging ? "hanging" : "missing");
        Station st;
        if (hanging) {
            st.dir.write("station/deco", "#!/bin/sh\nsleep 30\n");
            fs::permissions(st.paths.cdo / "deco", fs::perms::owner_all);
        }
        st.cycle = std::make_unique<station::ReceptionCycle>(st.paths, st.clock, station::CycleSettings{},
                                                             station::stationDeco(st.paths.cdo, std::chrono::milliseconds(300), 16));
        st.cycle->log().echo = [&st](const std::string& t) { st.logged.push_back(t); };
        st.cycle->start();
        st.receive(kSlot);
        st.cycle->tickBoth();
        // Nothing decompressed: no file of blanks is made, and every input stays for a later try.
        EXPECT_FALSE(fs::exists(st.native()));
        st.expectNothingPartial();
        st.cycle->purga_lrit();
        EXPECT_EQ(st.receivedLeft(), 114);
        EXPECT_TRUE(st.said(hanging ? "timed out" : "not decompressed"));
    }
}

TEST(ReceptionCycle, DaylightSavingChangesNeitherSkipNorRepeatASlot) {
    // Local time jumps from 02:00 to 03:00 in Madrid at 01:00 UTC on 31 March 2019.
    const char* oldTz = std::getenv("TZ");
    setenv("TZ", "Europe/Madrid", 1);
    tzset();
    Station st;
    st.clock.set(at(slotEpoch("201903310030") + 17 * 60));
    st.restart();
    std::vector<std::string> made;
    for (const std::string slot : {"201903310030", "201903310045", "201903310100", "201903310115"}) {
        st.clock.set(at(slotEpoch(slot) + 17 * 60));
        st.receive(slot);
        st.cycle->tickBoth();
        st.cycle->tickBoth();
        if (fs::exists(st.native(slot))) made.push_back(slot);
    }
    if (oldTz) setenv("TZ", oldTz, 1);
    else unsetenv("TZ");
    tzset();
    EXPECT_EQ(made, (std::vector<std::string>{"201903310030", "201903310045", "201903310100", "201903310115"}));
    EXPECT_EQ(st.decompressed, 4 * 112);
}

}  // namespace
