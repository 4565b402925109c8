#pragma once
// One Native file from the decompressed segments of one slot, as both the reception processor
// and the viewer's conversion make it: the header template's ASCII headers with the slot time,
// the prologue's Level 1.5 header, the scan mark, and the image lines of the twelve channels
// interleaved block by block.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/result.h"

namespace station::assembly {

inline constexpr std::uint64_t kAssembledBytes = 270795360;
inline constexpr std::int64_t kTemplateBytes = 5153;

struct Slot {
    std::filesystem::path workDir;  // the decompressed segments, prologue and epilogue
    std::string slot;               // "yyyymmddhhmm"
    char satellite = '4';
    bool rapidScan = false;
};

// Writes the Native file `output`: through a temporary name, every write checked, its size
// confirmed and synced, then renamed into place without replacing an existing file. A missing
// or short input fails naming the file, and nothing is left under `output`.
station::Result<std::uint64_t> assemble(const Slot& slot, const std::filesystem::path& headerTemplate,
                                        const std::filesystem::path& output);

struct BlankingReport {
    int missingHrv = 0;
    int missingOther = 0;
    std::vector<std::string> setAside;  // wrong-size segments moved out of the way
    std::vector<std::string> failed;    // blanks that could not be written
};
// What blank_missing says as it goes ("Blanking missing HRV file " + path, ...).
using AssemblyLog = std::function<void(const std::string&)>;

// Completes the slot's image segments from the template lines: a segment that is missing, or
// not of its nominal size (then moved to the work directory's "set-aside" folder), gets a copy
// of the blank `zeroh` (HRV) or `zeron`. Never replaces an existing file.
BlankingReport blank_missing(const Slot& slot, const std::vector<std::string>& templateLines,
                             const std::filesystem::path& zeroh, const std::filesystem::path& zeron,
                             const AssemblyLog& log = {});

}  // namespace station::assembly
