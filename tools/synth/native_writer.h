#pragma once
// Writes Native files of our own making for tests, benchmarks and the demo: standard files
// (bounds in the ASCII header) and assembled files (bounds in the binary header, with the
// assembler's mark), any channel selection, any rectangle.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/result.h"

namespace synth {

enum class Content {
    Pattern,  // each count a function of channel and stored position, for exact tests
    Earth,    // a plausible disk: land and sea, clouds, day and night
    Uniform,  // every pixel of channel k holds uniformCounts[k - 1]
};

// The HRV windows as the binary header plans them (1-based HRV lines and columns).
struct HrvWindows {
    int lowerNorth = 11136;  // northern line of the lower window
    int lowerEast = 1;
    int lowerWest = 5568;
    int upperEast = 1;
};

struct SyntheticScene {
    char mark = 0;  // 0: standard file; 'i' or 's': assembled file
    std::string channels = "XXXXXXXXXXXX";
    // Rectangle of stored VIS/IR lines and columns, 1-based. An assembled file stores the
    // lines from 1 to `north`, as the assembler always starts at the grid's first line.
    int south = 1, north = 3712, east = 1, west = 3712;
    int visirColumns = 0;   // stated VIS/IR columns of a standard file; 0: west - east + 1
    int hrvColumns = 11136; // stated HRV columns of a standard file
    HrvWindows hrv;
    float subSatLon = 0.0F;
    std::string time = "201903181200";
    std::array<double, 12> slope = defaultSlopes();
    std::array<double, 12> offset = defaultOffsets();
    Content content = Content::Pattern;
    std::uint64_t seed = 1;  // varies the clouds of an Earth scene
    std::array<std::uint16_t, 12> uniformCounts{};

    static std::array<double, 12> defaultSlopes();
    static std::array<double, 12> defaultOffsets();  // -51 counts of each slope

    int storedLines() const;
    int visirPixels() const;
    int hrvPixels() const;
};

// Count of the position-coded pattern: stored line index u (HRV: its HRV sub-line index,
// 3u + i), pixel index p within the record.
std::uint16_t patternCount(int channel, std::int64_t u, int p);

// The count of an infrared channel nearest to a brightness temperature, with the scene's
// calibration (for planting known temperatures).
std::uint16_t countForTemperature(const SyntheticScene& scene, int channel, double kelvin);

// Writes the file (to a temporary name, renamed when complete).
station::Result<std::uintmax_t> writeNative(const SyntheticScene& scene, const std::filesystem::path& path);

// The header alone (450,400 bytes) as the writer makes it.
std::string headerBytes(const SyntheticScene& scene);

}  // namespace synth
