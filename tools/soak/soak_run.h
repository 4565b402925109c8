#pragma once
// The reception soak: a scratch station whose reception processor is driven by a manual clock,
// 15 minutes per slot, while a generator broadcasts synthetic slots into its received folder
// with faults drawn per slot. Every tick is followed by checks of what the station published,
// kept and deleted; the report counts what happened and lists every failed check.

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tools/soak/soak_plan.h"

namespace soak {

struct SoakOptions {
    int slots = 200;
    std::uint64_t seed = 1;
    std::filesystem::path dir;          // the scratch directory, existing and empty
    std::filesystem::path standInDeco;  // the stand-in decompressor the station's deco calls
    // The time limit of one decompression: a hanging deco is stopped after it.
    std::chrono::milliseconds decoTimeout{2000};
    std::string firstSlot = "201903302000";  // crosses a month's end and a daylight-saving change
    std::function<void(const std::string&)> progress;    // a line now and then, when set
    std::function<void(const std::string&)> stationLog;  // every line of logfile.txt, when set
};

struct SoakReport {
    std::uint64_t seed = 0;
    int slots = 0;
    int processed = 0;        // slots the station decompressed
    int nativesExpected = 0;  // slots that should become a Native file
    int natives = 0;          // Native files published in nats/
    std::array<int, kFaultKinds> faults{};
    int ticks = 0;
    int nativesPurged = 0;
    int folderPurged = 0;    // working folders
    int receivedPurged = 0;  // received files the purge took by age
    int decoys = 0, decoysIntact = 0;
    int agedDecoys = 0, agedDecoysKept = 0;  // received-folder files: kept through their retention
    std::vector<std::string> failures;
    double seconds = 0;

    int faultTotal() const;
    bool ok() const { return failures.empty(); }
    std::string summary() const;
};

SoakReport runSoak(const SoakOptions& options);

}  // namespace soak
