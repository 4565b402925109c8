#pragma once
// The name of a program's single-instance channel (a local socket) for one station, so that
// "is it running, show its window" asks the program itself, never a window title or a
// process list.

#include <filesystem>
#include <cstdint>
#include <string>

namespace station {

inline std::string instanceName(const std::string& program, const std::filesystem::path& stationDir) {
    std::error_code ec;
    auto dir = std::filesystem::weakly_canonical(stationDir, ec);
    if (ec) dir = stationDir;
    // FNV-1a: the same name in every build of either program.
    std::uint64_t h = 1469598103934665603ull;
    for (const unsigned char c : dir.string()) h = (h ^ c) * 1099511628211ull;
    return program + "-" + std::to_string(h);
}

}  // namespace station
