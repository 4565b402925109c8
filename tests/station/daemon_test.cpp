#include "station/daemon.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/child_process.h"
#include "common/segment_name.h"
#include "common/station_lock.h"
#include "common/slot_time.h"
#include "common/xrit_header.h"
#include "tests/support/temp_dir.h"
#include "tools/kit/reception_files.h"

namespace {

namespace fs = std::filesystem;
namespace seg = station::segments;
using testing_support::TempDir;

// A station whose received folder holds the slot that closed last, in the uncompressed form
// the stand-in deco takes, dated when its transmission ended.
struct DaemonStation {
    TempDir dir;
    std::string slot;

    DaemonStation() {
        for (const auto& f : kit::receptionFiles()) dir.write("station/" + f.name, f.bytes);
        fs::create_symlink(STATION_DECO_PROGRAM, dir / "station" / "deco");
        fs::create_directories(dir / "received13");
        dir.write("station/cd.txt", (dir / "station").string() + "\n" + (dir / "received").string() + "/\n" +
                                        (dir / "received13").string() + "/\n");
        const auto now = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
        const auto start = (now - 900) / 900 * 900;
        slot = station::slot_time::fromEpochSeconds(start);
        const auto ended = fs::file_time_type::clock::from_sys(std::chrono::system_clock::time_point(std::chrono::seconds(start + 900)));
        const auto put = [&](const std::string& name, std::string bytes) {
            dir.write("received/" + name, bytes);
            fs::last_write_time(dir / "received" / name, ended);
        };
        put(seg::prologueName('4', false, slot), std::string(seg::kPrologueBytes, '\0'));
        for (int k = 1; k <= 12; ++k)
            for (int s = 1; s <= seg::segmentsOf(k); ++s) {
                const auto name = seg::SegmentName{'H', '4', false, seg::Part::Image, k, s, slot, true}.build();
                const auto data = static_cast<std::uint64_t>(seg::nominalBytes(seg::Part::Image, k) - seg::kSegmentHeaderBytes);
                auto bytes = station::xrit::makeHeader(station::xrit::kFileTypeImage, seg::kSegmentHeaderBytes, data * 8,
                                                       station::xrit::ImageStructure{10, k == 12 ? 5568 : 3712, 464, 0}, name);
                bytes.append(data, '\0');
                put(name, bytes);
            }
        put(seg::epilogueName('4', false, slot), std::string(seg::kEpilogueBytes, '\0'));
    }
    fs::path native() const { return dir / "station" / "nats" / (slot + ".nat"); }
};

TEST(Tinrell, OnceMakesTheClosedSlotsNativeFile) {
    DaemonStation st;
    std::ostringstream out, err;
    const int code = station::runTinrellCommandLine({"--once", "--dir", (st.dir / "station").string(), "--settle", "0"}, out, err);
    EXPECT_EQ(code, 0) << err.str();
    EXPECT_TRUE(fs::exists(st.native())) << err.str();
    // Only the decompressed segments went; the prologue and epilogue stay for the purge.
    EXPECT_EQ(std::distance(fs::directory_iterator(st.dir / "received"), {}), 3) << "with check.tst";
}

TEST(Tinrell, RefusesWithoutConfigurationOrWhileAnotherRuns) {
    TempDir dir;
    std::ostringstream out, err;
    EXPECT_NE(station::runTinrellCommandLine({"--once", "--dir", dir.path().string()}, out, err), 0);
    EXPECT_NE(err.str().find("cd.txt"), std::string::npos) << err.str();

    DaemonStation st;
    const auto held = station::StationLock::tryAcquire(st.dir / "station", "reception-cycle");
    ASSERT_TRUE(held);
    std::ostringstream err2;
    EXPECT_NE(station::runTinrellCommandLine({"--once", "--dir", (st.dir / "station").string()}, out, err2), 0);
    EXPECT_NE(err2.str().find("Another reception processor"), std::string::npos) << err2.str();
}

TEST(Tinrell, HeadlessRunsUntilStoppedBySignal) {
    DaemonStation st;
    auto child = station::ChildProcess::start(TINRELL_PROGRAM, {"--headless", "--dir", (st.dir / "station").string(), "--settle", "0", "--interval", "1"},
                                              {st.dir.path(), std::chrono::seconds(120)});
    ASSERT_TRUE(child.ok()) << child.error();
    // The first two ticks: decompression, then assembly.
    for (int i = 0; i < 900 && !fs::exists(st.native()); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(fs::exists(st.native()));
    ::kill(child->pid(), SIGTERM);
    const auto& ended = child->wait();
    EXPECT_EQ(ended.exitCode, 0) << ended.err;
    EXPECT_NE(ended.err.find("tinrell: stopped"), std::string::npos) << ended.err;
}

}  // namespace
