#pragma once
// The Meteosat-7 service over the Indian Ocean: every half hour of slot time its segments are
// decompressed into a folder of the station directory named after the slot ("yyyymmddhhmm_5"),
// and the cycle's next phase says how many of them are missing. The segment set comes from
// hformat5.txt, one line per segment whose first 46 characters begin the file name; the kit
// does not write it, so a station without one simply has no Meteosat-7 service.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/clock.h"
#include "common/decompressor.h"
#include "station/station_log.h"
#include "station/station_paths.h"

namespace station {

inline constexpr const char* kMeteosat7Template = "hformat5.txt";
inline constexpr std::size_t kMeteosat7PrefixLength = 46;
// The segment whose arrival says a slot has come in.
inline constexpr std::string_view kMeteosat7Trigger =
    "L-000-MTP___-MET7________-00_7_057E-000010___-";

struct Meteosat7Decompression {
    bool started = false;  // the slot's folder was made by this call
    bool waiting = false;  // its files are still being written: the next call tries again
    int received = 0;      // compressed segments of the slot found in received13
    std::vector<std::string> decompressed;
    std::vector<std::string> failed;  // logged; the missing count shows them too
    std::string message;              // the "received" message, when started
};

struct Meteosat7Check {
    bool reported = false;  // the count was made by this call
    int missing = 0;
    std::string message;  // the "missing" message, when reported
};

class Meteosat7 {
  public:
    // `paths.cdo` holds hformat5.txt, the `deco` program and the slot folders;
    // `paths.received13` the compressed segments.
    Meteosat7(StationPaths paths, const Clock& clock, StationLog& log)
        : paths_(std::move(paths)), clock_(clock), log_(log) {}

    // A file is taken once its modification time is at least this old.
    std::chrono::seconds settle{20};
    // How the segments are decompressed; an empty program is `deco` of the station directory.
    // The work directory is always the slot's folder.
    ExternalSettings deco;

    // Phase 0: decompresses the slot once, when its last character is '0', its trigger segment
    // has come in and its folder does not exist yet. The inputs stay in received13: the purge
    // of the reception client's folder takes care of them.
    Meteosat7Decompression deco_ana(const std::string& slot);
    // Phase 1: counts the missing segments of the newest decompressed slot, once.
    Meteosat7Check doma_ana(const std::string& slot);

    // Whether the newest folder has been reported; cleared when a new one is made.
    bool reported() const { return reported_; }
    std::filesystem::path slotFolder(const std::string& slot) const {
        return paths_.cdo / (slot + "_5");
    }

  private:
    std::string time() const { return localTimeText(clock_.now()); }
    bool settled(const std::filesystem::path& file) const;
    // The first 46 characters of each line of hformat5.txt long enough to have them; nothing
    // (said once in the log) when the station has no such file.
    std::optional<std::vector<std::string>> prefixes();

    StationPaths paths_;
    const Clock& clock_;
    StationLog& log_;
    bool reported_ = false;
    bool toldNoTemplate_ = false;
};

}  // namespace station
