#pragma once
// Purging old files, once per cycle while "purging old files" is on. How long things are kept
// is in purge.txt of the station directory (ten lines; lines 1, 3, 5 and 8 are comments):
//   2  minutes to keep the files of the received folder (compressed HRIT)
//   4  minutes to keep the files of received13 (everything else the reception client writes)
//   6  hours to keep every Native file, 7 hours to keep one per hour
//   9  hours to keep every product of prods/, 10 hours to keep one per hour
// Only names the station itself makes are ever deleted; a folder whose purge could reach the
// user's own files (the root, the home directory, the station directory or one above it) is
// refused and said so in the log.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "common/result.h"
#include "station/station_paths.h"

namespace station {

inline constexpr const char* kPurgeFile = "purge.txt";

struct PurgePolicy {
    int receivedMinutes = 120;    // received: compressed HRIT segments
    int received13Minutes = 120;  // received13: the other formats
    int nativeAllHours = 12;      // nats/ and natstemp/: every file of the last hours...
    int nativeHourlyHours = 48;   // ...and those of minute 00 up to these hours
    int productAllHours = 12;     // prods/, the same way
    int productHourlyHours = 48;
    bool operator==(const PurgePolicy&) const = default;
};

// The six values as texts, in the order of the file and of the editor's fields.
using PurgeFields = std::array<std::string, 6>;

PurgeFields purgeFields(const PurgePolicy& policy);
// Whole numbers of zero or more (spaces around them allowed); a refusal names the field.
Result<PurgePolicy> parsePurgeFields(const PurgeFields& fields);

// The six value lines of purge.txt as written, creating the file with the defaults when it is
// missing. A refusal when it cannot be read or has fewer than ten lines.
Result<PurgeFields> readPurgeFields(const std::filesystem::path& cdo);
// The values of purge.txt (see readPurgeFields); a refusal says which line is wrong.
Result<PurgePolicy> readPurgePolicy(const std::filesystem::path& cdo);
// Writes purge.txt afresh, whole or not at all.
Result<bool> writePurgePolicy(const std::filesystem::path& cdo, const PurgePolicy& policy);

// The disk space the editor asks for, in GB: whole GB of
// N1 x 0.008 + N2 x 0.004 + (4 K1 + K2) x 0.3 + (4 P1 + P2) x 0.01, plus 2. An empty field
// counts as 0; a field that is not a whole number gives no estimate.
std::optional<int> purgeDiskEstimateGb(const PurgeFields& fields);
std::string purgeDiskEstimateText(int gb);

// Why the files of `folder` may not be purged, or nothing when they may: an empty path (the
// folder is not configured), the root of the file system, the station directory `cdo` or a
// folder holding it, or the home directory `home` (empty: the user's own).
std::optional<std::string> purgeRefusal(const std::filesystem::path& folder,
                                        const std::filesystem::path& cdo,
                                        const std::filesystem::path& home = {});

// The names the purge recognises, by character position.
// "yyyymmddhhmm" of a real date and time.
bool isSlotName(std::string_view name);
// slot + ".nat".
bool isNativeName(std::string_view name);
// The slot time of a product's name (three characters, "_", a middle, "_", the slot time, an
// extension: "eur_c321r5_201305011200.jpg"), or nothing when the name is not one.
std::optional<std::string> productSlot(std::string_view name);

struct PurgeContext {
    StationPaths paths;
    const Clock& clock;
    std::string closedSlot;     // the slot the cycle works on
    std::string receivingSlot;  // the slot coming in now
    std::function<void(const std::string&)> log;
    std::filesystem::path home;  // empty: the user's home directory
};

struct PurgeReport {
    std::vector<std::filesystem::path> deleted;  // files and working directories, in order
    std::vector<std::string> refused;            // what was not purged and why, as logged
    bool policyRead = false;  // false: purge.txt was refused and its purges were not made
};

// One purge of the station directory (never the remote output root) and the received folders.
// Ages are those of the modification times against the clock. A deletion that fails is
// passed over; the next cycle tries again.
PurgeReport purga(const PurgeContext& context);

}  // namespace station
