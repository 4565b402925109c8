#pragma once
// The facts of the current Native file: its time, bounds, channel map and record arithmetic.
// Nothing of the image itself; every reader re-reads the lines it needs.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

#include "common/native_layout.h"
#include "common/result.h"

namespace tesmar {

namespace native = station::native;

struct ChannelCalibration {
    double slope = 0.0;
    double offset = 0.0;
};

struct NativeScene {
    std::filesystem::path fich;
    std::string bsc = std::string(12, ' ');  // "YYYYMMDDhhmm"
    std::string channels;                     // selection string as the header gives it
    float salong = 0.0F;
    float p95 = 0.0F;
    std::uint8_t b105 = 0;
    int sol = 0, nol = 3711, eac = 0, wec = 3711;
    int hrv_eac = 0, hrv_eac_nor = 0, hrv_wec = 0, vis_off_h = 0;
    int visir_columns = 0;  // pixels per stored VIS/IR line
    int nopico_hrv = 0;
    int nobyco = 0, nobyco_hrv = 0;
    std::int64_t blocall = 0;
    std::array<std::uint8_t, 13> cn{};
    int nnn = 0;
    // ASCII counts of standard files (read, not used further).
    int visir_lines_stated = 0, hrv_lines_stated = 0, hrv_columns_stated = 0;
    // Calibration of every channel, channel 1 first.
    std::array<ChannelCalibration, 12> calibration{};

    bool marked() const { return native::isAssemblerMark(b105); }
    bool channelPresent(int channel) const;
    native::BlockLayout layout() const;
    // Lines held in a file of `fileBytes` bytes (complete blocks only).
    std::int64_t storedLines(std::int64_t fileBytes) const;
};

// Reads the header fields from the first bytes of a Native file, checks that they describe a
// layout that can be read, and derives the record arithmetic. `header` must hold at least
// kMinHeaderBytes bytes.
station::Result<NativeScene> parseNativeHeader(std::span<const std::uint8_t> header);

// Reads the header of the file at `path` (one read of the header bytes).
station::Result<NativeScene> readNativeHeader(const std::filesystem::path& path);

// The longitude shift of navigation: the sub-satellite longitude when it is more than 4
// degrees away from 0, else 0.
float longitudeShift(float salong);

}  // namespace tesmar

namespace tesmar {

// The calibration of one channel, read afresh from the file; empty when it cannot be read.
std::optional<ChannelCalibration> readChannelCalibration(const std::filesystem::path& path, int channel);

// The 12 characters of the scene time; empty when the file cannot be read.
std::optional<std::string> readSceneTime(const std::filesystem::path& path);

}  // namespace tesmar
