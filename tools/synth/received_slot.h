#pragma once
// The files of one received repeat cycle, named as the broadcast names them, so the reception
// can be run and tested end to end without real data. Image segments carry the compressed
// suffix but hold uncompressed data (compression flag 0), which the station's stand-in
// decompressor passes on; their lines are those a Native file of the same scene stores.
// Faults of a real reception can be staged: missing files, a file cut short, files that grow
// while being written.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "common/segment_name.h"
#include "tools/synth/native_writer.h"

namespace synth {

// An image segment of the slot: channel 1..12 and segment 1..8 (1..24 for HRV).
struct SegmentKey {
    int channel = 0;
    int segment = 0;
    auto operator<=>(const SegmentKey&) const = default;
};

struct Truncation {
    SegmentKey segment;
    std::int64_t bytes = 0;  // bytes kept, fewer than the nominal size
};

struct ReceivedSlotOptions {
    std::string slot = "201903181200";  // yyyymmddhhmm, also the scene time (for the sun)
    char satellite = '4';
    bool rapidScan = false;            // 5-minute slot; the southern segments never arrive
    Content content = Content::Earth;  // Earth or Pattern
    HrvWindows hrv;
    std::uint64_t seed = 1;     // varies the clouds of an Earth scene
    std::set<SegmentKey> drop;  // image segments that never arrive
    std::optional<Truncation> truncate;
    bool prologue = true;
    bool epilogue = true;
    // Only these image segments, when given (tests that need a few segments of a slot).
    std::optional<std::set<SegmentKey>> only;
    // Slow mode: each file written under its own name chunk by chunk, pausing after every
    // chunk but the last, so the reception meets files still growing.
    std::chrono::milliseconds chunkPause{0};
    std::size_t chunkBytes = 256 * 1024;
};

struct SlotFile {
    station::segments::SegmentName id;
    std::string name;
    std::int64_t bytes = 0;  // as written (the cut size of a truncated segment)
};

// The scene whose lines the segments hold and whose header the prologue carries.
SyntheticScene sceneOf(const ReceivedSlotOptions& options);

// Why the options make no slot; empty when they are fine.
std::string optionsError(const ReceivedSlotOptions& options);

// The files the options make, in the order they are written: the prologue, the image segments
// group by group from the south (segment g of channels 1..11, then HRV segments 3g-2..3g,
// which cover the same lines), the epilogue.
std::vector<SlotFile> plannedFiles(const ReceivedSlotOptions& options);

// Writes the planned files into `dir` (created when missing). An existing file of the slot is
// never replaced: the slot is refused before anything is written. `onWritten` hears of each
// file as it is complete.
station::Result<std::vector<SlotFile>> writeReceivedSlot(
    const ReceivedSlotOptions& options, const std::filesystem::path& dir,
    const std::function<void(const SlotFile&)>& onWritten = {});

// "CHANNEL:SEGMENT" (for example "9:8" or "12:24"), checked against the channel's segments.
std::optional<SegmentKey> parseSegmentKey(std::string_view text);

// Leaves out one file: "CHANNEL:SEGMENT" or the name of one of the slot's files (an image
// segment, the prologue or the epilogue; either suffix). Empty on success, else why not.
std::string dropFile(ReceivedSlotOptions& options, std::string_view what);

}  // namespace synth
