#pragma once
// The reception processor's cycle: every 30 seconds one of two phases. Phase 0 finds the
// closed slot, decompresses its segments into the slot's working folder and moves finished
// Native files on; phase 1 assembles the slot and cleans up. Every step leaves a mark on disk
// (the slot's epilogue in its working folder, its Native file in natstemp/ or nats/), so a
// restarted station goes on where the marks show.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "station/station_log.h"
#include "station/station_paths.h"

namespace station {

struct CycleSettings {
    char satellite = '4';
    bool rapidScan = false;
    bool purge = true;
    bool remote = false;   // the output root is the other computer's station directory
    bool noNats = false;   // no decompression nor assembly of MSG slots
    // A received file is taken once its modification time is at least this old: the reception
    // client may still be writing a younger one.
    std::chrono::seconds settle{20};

    int refresh() const { return rapidScan ? 5 : 15; }
    std::string scanField() const;
};

// Decompresses received segments into a working folder; one result per input, in order.
struct DecompressOutcome {
    bool ok = false;
    int exitCode = -1;
    std::string why;
};
using DecompressSegments = std::function<std::vector<DecompressOutcome>(const std::vector<std::filesystem::path>& inputs,
                                                                      const std::filesystem::path& workDir)>;

class ReceptionCycle {
public:
    ReceptionCycle(StationPaths paths, const Clock& clock, CycleSettings settings, DecompressSegments decompress);

    // Start-up: the log files, the first closed slot.
    void start();
    // One timer tick: the current phase, then the other one next time. A tick that arrives
    // while one is still running is skipped.
    void tick();
    // Both phases, as `tinrell --once` does.
    void tickBoth() {
        tick();
        tick();
    }

    // The steps, for the cycle and for tests.
    void cualesdatea();
    void deco();
    void local_transfi();
    void doma();
    void purga_lrit();

    const std::string& closedSlot() const { return datea_; }
    int phase() const { return phase_; }
    std::filesystem::path outputRoot() const;
    std::filesystem::path workDir(const std::string& slot) const { return paths_.cdo / slot; }
    StationLog& log() { return log_; }
    CycleSettings& settings() { return settings_; }
    const StationPaths& paths() const { return paths_; }
    std::optional<std::filesystem::path> remoteDir;  // from cdr.txt
    // Extra steps of phase 0 and phase 1 (other products, purge), set by the station.
    std::function<void()> afterDecompression;
    std::function<void()> afterAssembly;
    // What the window shows.
    std::string receivedMessage, missingMessage;

private:
    std::int64_t now() const;
    bool settled(const std::filesystem::path& file) const;

    StationPaths paths_;
    const Clock& clock_;
    CycleSettings settings_;
    DecompressSegments decompress_;
    StationLog log_;
    std::string datea_;
    std::int64_t srtime0_ = 0;  // UTC epoch seconds of the newest received file
    int phase_ = 0;
    bool running_ = false;
};

}  // namespace station
