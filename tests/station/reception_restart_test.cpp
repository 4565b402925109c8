// A processor stopped between decompression and assembly: the next one goes on from what the
// first left on disk, the list of decompressed inputs among it.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "common/segment_name.h"
#include "common/slot_time.h"
#include "station/reception_cycle.h"
#include "tests/support/temp_dir.h"
#include "tools/kit/reception_files.h"

namespace {

namespace fs = std::filesystem;
namespace seg = station::segments;

constexpr const char* kSlot = "201906121030";

station::TimePoint at(std::int64_t epoch) {
    return station::TimePoint(std::chrono::seconds(epoch));
}

struct RestartedStation {
    testing_support::TempDir dir;
    station::ManualClock clock;
    station::StationPaths paths{dir / "station", dir / "received", dir / "received13"};
    int decompressed = 0;

    RestartedStation() {
        for (const auto& f : kit::receptionFiles()) dir.write("station/" + f.name, f.bytes);
        fs::create_directories(paths.received13);
        const auto start = *station::slot_time::epochSeconds(kSlot);
        clock.set(at(start + 17 * 60));
        // The whole slot, received a minute ago; sparse files, since only names and sizes count.
        const auto put = [&](const std::string& name, std::int64_t size) {
            dir.write("received/" + name, "");
            fs::resize_file(paths.received / name, static_cast<std::uintmax_t>(size));
            fs::last_write_time(paths.received / name,
                                fs::file_time_type::clock::from_sys(at(start + 16 * 60)));
        };
        put(seg::prologueName('4', false, kSlot), seg::kPrologueBytes);
        for (int k = 1; k <= 12; ++k)
            for (int s = 1; s <= seg::segmentsOf(k); ++s)
                put(seg::SegmentName{'H', '4', false, seg::Part::Image, k, s, kSlot, true}.build(),
                    seg::nominalBytes(seg::Part::Image, k));
        put(seg::epilogueName('4', false, kSlot), seg::kEpilogueBytes);
    }

    // A processor as one starts: a fresh cycle on the same station.
    std::unique_ptr<station::ReceptionCycle> start() {
        auto cycle = std::make_unique<station::ReceptionCycle>(
            paths, clock, station::CycleSettings{}, [this](const auto& inputs, const auto& work) {
                std::vector<station::DecompressOutcome> out;
                for (const auto& in : inputs) {
                    auto target = in.filename().string();
                    target.replace(target.size() - 3, 3, "-__");
                    fs::copy_file(in, work / target);
                    ++decompressed;
                    out.push_back({true, 0, {}});
                }
                return out;
            });
        cycle->start();
        return cycle;
    }

    int receivedLeft() const {
        int n = 0;
        for (const auto& e : fs::directory_iterator(paths.received))
            n += e.path().filename().string().rfind("H-000", 0) == 0;
        return n;
    }
};

TEST(ReceptionRestart, DecompressedInputsGoAfterARestartBetweenThePhases) {
    RestartedStation st;
    {
        auto first = st.start();
        first->tick();  // phase 0: the slot is decompressed, then the processor stops
    }
    ASSERT_EQ(st.decompressed, 112);
    EXPECT_EQ(st.receivedLeft(), 114) << "nothing goes before the assembly";

    auto second = st.start();
    second->tick();  // phase 0 again: the slot is done already
    second->tick();  // phase 1: assembly and the deletion of what was decompressed
    EXPECT_TRUE(fs::exists(st.paths.cdo / "nats" / (std::string(kSlot) + ".nat")));
    EXPECT_EQ(st.decompressed, 112) << "nothing decompressed twice";
    EXPECT_EQ(st.receivedLeft(), 2)
        << "the decompressed segments go; the prologue and epilogue stay for the purge";
}

}  // namespace
