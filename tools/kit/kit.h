#pragma once
// The station data kit: makes a working station directory, or completes one, from data
// Debian ships: coast lines and borders (GSHHG through GMT), the coast masks rasterised from
// them onto the satellite's grids, the towns of the time-zone table, the default label and
// the working folders. A file the directory already holds is never replaced.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "common/result.h"

namespace kit {

struct KitReport {
    std::vector<std::string> written;  // names created (folders end in '/')
    std::vector<std::string> kept;     // names that were there and were left alone
};

// Where the kit takes its data from; tests point these elsewhere.
struct KitSources {
    std::filesystem::path gmt = "gmt";  // looked up on PATH when it holds no slash
    std::vector<std::filesystem::path> zoneTables = {
        "/usr/share/zoneinfo/zone1970.tab", "/usr/share/zoneinfo/zone.tab"};  // first found is used
};

// Creates or completes the station directory `dir`, saying what it does on `log`. A part
// whose source is missing fails alone (the error lists every such part) and leaves no file
// of its own behind; running the kit again completes what is missing.
station::Result<KitReport> makeStationKit(const std::filesystem::path& dir, std::ostream& log,
                                          const KitSources& sources);
station::Result<KitReport> makeStationKit(const std::filesystem::path& dir, std::ostream& log);

}  // namespace kit
