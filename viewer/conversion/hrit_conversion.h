#pragma once
// "HRIT to NATIVE": archived segment files of a period become one Native file per slot. The
// segments of each slot are counted, the slots with enough of them are offered, and the chosen
// ones are copied into a private scratch folder, decompressed, completed with blanks and
// assembled into the destination.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/result.h"

namespace tesmar::conversion {

struct ConversionOptions {
    std::filesystem::path source;
    std::filesystem::path destination;
    std::string start = "201307071200";  // slot times, inclusive
    std::string end = "201612152100";
    bool recursive = false;         // also the immediate sub-folders of the source
    bool regional = false;          // rapid-scan segments rather than full-disk ones
    bool uncompressedOnly = false;  // leave the "-C_" segments out
    bool threshold = true;          // only slots with more than `percentage` % of their segments
    std::string percentage = "40";
    bool clean = true;              // remove the decompressed segments afterwards
};

// Checks the options as the window does; on refusal the message of the last failing check.
// A missing destination is created. An empty percentage becomes "40".
station::Result<bool> checkOptions(ConversionOptions& options);

struct SlotCount {
    std::string slot;  // "yyyymmddhhmm"
    int files = 0;
};

struct Census {
    std::vector<SlotCount> perSlot;  // in time order
    int uncompressed = 0;
    int compressed = 0;
    std::vector<std::string> skipped;  // files passed over, and why
};

// Counts the segment files of the source per slot.
Census countSegments(const ConversionOptions& options);
// Segments a slot needs to be offered: percentage of 114 (regional: 45), at least 1.
int offerThreshold(const ConversionOptions& options);
// The slots to offer, in time order.
std::vector<SlotCount> offeredSlots(const Census& census, const ConversionOptions& options);

struct SlotOutcome {
    std::string slot;
    std::filesystem::path file;  // the Native file made; empty when none was
    std::string why;             // why not
    int missingHrv = 0;
    int missingOther = 0;
};

// Turns compressed segments ("-C_") into decompressed ones ("-__") in `workDir`; one success
// flag per input, in input order.
using DecompressBatch =
    std::function<std::vector<bool>(const std::vector<std::filesystem::path>& inputs, const std::filesystem::path& workDir)>;
using Progress = std::function<void(const std::string&)>;

// Converts the chosen slots; `programDir` holds the templates, blanks and stand-by files.
std::vector<SlotOutcome> convert(const ConversionOptions& options, const std::vector<std::string>& chosenSlots,
                                 const std::filesystem::path& programDir, const DecompressBatch& decompress,
                                 const Progress& progress = {});

}  // namespace tesmar::conversion

namespace tesmar::conversion {

// The station's `deco` run on each segment in the work folder, a few at once, each output
// checked against its nominal size; a tool that hangs is stopped after `timeout`.
DecompressBatch stationDecoBatch(const std::filesystem::path& stationDir,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(60));

}  // namespace tesmar::conversion
