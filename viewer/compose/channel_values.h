#pragma once
// Physical values of the counts of a window, for the builders that combine channels: kelvin
// for channels 4 to 11 through a table of the 1024 counts, percent albedo for channels 1 to 3
// with the sun of each cell, 0 at or below the zero-radiance count.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "viewer/display/picture_fill.h"
#include "viewer/scene/calibration.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/line_reader.h"
#include "viewer/scene/native_scene.h"

namespace tesmar::compose {

// Reads sampled rows of the window: row r holds stored line fil + r*degra, column c stored
// pixel fic + c*degra (the mapping every picture uses).
class WindowSampler {
public:
    static station::Result<WindowSampler> open(const NativeScene& scene, const DataWindow& window);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    // Counts of channel 1..11 over the sampled columns of raster row `row`.
    const std::vector<std::uint16_t>& counts(int channel, int row);
    bool incomplete() const { return reader_.incomplete(); }
    const display::CellMapping& mapping() const { return map_; }

private:
    WindowSampler(LineReader reader, const DataWindow& w);
    LineReader reader_;
    display::CellMapping map_;
    int rows_ = 0, columns_ = 0, lastPixel_ = 0;
    std::vector<std::uint16_t> counts_;
};

// The value of every count of one channel. Channel 0 means no channel (value 0). With
// `countsForSolar`, channels 1 to 3 give the raw count instead of the albedo.
class ChannelValues {
public:
    ChannelValues(const NativeScene& scene, int channel, bool countsForSolar);

    bool solar() const { return solar_; }
    // Value of a count; `cosZenith` is needed for solar channels only.
    double value(std::uint16_t count, double cosZenith = 1.0) const;

private:
    int channel_ = 0;
    bool solar_ = false;
    std::array<double, 1024> table_{};  // kelvin, raw counts, or the albedo at overhead sun
};

// The cosine of the solar zenith angle of every sampled cell, computed once per picture.
class SunGrid {
public:
    SunGrid(const NativeScene& scene, const DataWindow& window, const nav::Context& nav, int rows, int columns);
    double at(int row, int col) const { return mu0_[static_cast<std::size_t>(row) * columns_ + col]; }

private:
    int columns_ = 0;
    std::vector<double> mu0_;
};

}  // namespace tesmar::compose
