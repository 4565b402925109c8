#pragma once
// Where the reception processor works: its station directory, the folders the reception client
// writes into, and the other computer's station directory for remote generation. They are kept
// in cd.txt (station, received, received13, a line each) and cdr.txt (the remote station).

#include <filesystem>
#include <optional>
#include <string>

#include "common/result.h"

namespace station {

struct StationPaths {
    std::filesystem::path cdo;         // the station directory
    std::filesystem::path received;    // compressed HRIT segments
    std::filesystem::path received13;  // everything else the reception client writes
};

// Reads cd.txt of `dir`; nothing when it is missing or has fewer than three non-empty lines.
std::optional<StationPaths> readCd(const std::filesystem::path& dir);
// Writes cd.txt of `dir` (never replacing one): `dir` and the two reception folders.
Result<bool> writeCd(const std::filesystem::path& dir, const std::filesystem::path& received,
                     const std::filesystem::path& received13);
std::optional<std::filesystem::path> readCdr(const std::filesystem::path& dir);
// Writes cdr.txt afresh.
Result<bool> writeCdr(const std::filesystem::path& dir, const std::filesystem::path& remote);

}  // namespace station
