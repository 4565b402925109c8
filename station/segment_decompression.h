#pragma once
// The cycle's segment decompression: the station's `deco` program, several at once, each
// output checked against its segment's nominal size.

#include <chrono>
#include <filesystem>

#include "station/reception_cycle.h"

namespace station {

DecompressSegments stationDeco(const std::filesystem::path& stationDir,
                               std::chrono::milliseconds timeout = std::chrono::seconds(60), int children = 2);

}  // namespace station
