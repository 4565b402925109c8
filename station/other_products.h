#pragma once
// The other products the reception client drops into received13 beside the MSG low-rate
// segments: SAF files, DWD products, polar passes, wind and instability products. Each kind is
// copied into its folder under the output root, or first unpacked next to itself (to be copied
// by the next run), in a fixed order of rows. Every source that has been dealt with goes into
// todel_lrit.txt, which the cycle's purge later works through; a source that could not be dealt
// with stays out of it, so nothing unprocessed is ever deleted.

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/clock.h"
#include "common/decompressor.h"
#include "station/station_log.h"
#include "station/station_paths.h"

namespace station {

// The list of sources done with, in the station directory.
inline constexpr const char* kTodelLrit = "todel_lrit.txt";

// Whether a closed slot ("yyyymmddhhmm") is one the other products are looked at in: its
// minute is a multiple of 15.
bool otherProductsDue(std::string_view slot);

// What one run did, by file name. A name that fits two rows appears once per row.
struct OtherProductsReport {
    std::vector<std::string> moved;                // copied into their folder
    std::vector<std::string> alreadyThere;         // the folder holds the name: not copied again
    std::vector<std::string> decompressed;         // unpacked, or decompressed into lrit/
    std::vector<std::string> alreadyDecompressed;  // their output was there: not done again
    std::vector<std::string> failed;               // kept for a later look, not listed
    std::vector<std::string> waiting;              // still being written: left for a later run
    int segments = 0;                              // MSG low-rate segments taken
};

class OtherProducts {
  public:
    // `paths.cdo` holds todel_lrit.txt and the `deco` program, `paths.received13` the files.
    OtherProducts(StationPaths paths, const Clock& clock, StationLog& log)
        : paths_(std::move(paths)), clock_(clock), log_(log) {}

    // A file is taken once its modification time is at least this old.
    std::chrono::seconds settle{20};
    // How the low-rate segments are decompressed; an empty program is `deco` of the station
    // directory. The work directory is always lrit/ of the output root.
    ExternalSettings deco;

    // One run into `outputRoot` (the station directory, or the other computer's with remote
    // generation): todel_lrit.txt starts afresh, then every row in turn.
    OtherProductsReport deco_lrit(const std::filesystem::path& outputRoot) const;

  private:
    StationPaths paths_;
    const Clock& clock_;
    StationLog& log_;
};

}  // namespace station
