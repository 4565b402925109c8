#pragma once
// The display raster `g` and the work plane `fx`: the common currency of the picture
// commands. Row 0 is the southernmost displayed line, column 0 the easternmost pixel.

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tesmar::display {

inline constexpr int kRasterRows = 1025;
inline constexpr int kRasterCols = 1281;

// Three planes of bytes (0 red, 1 green, 2 blue). Never cleared between pictures: a picture
// command writes only the cells of its window.
class Raster {
public:
    Raster() : data_(3 * kRasterRows * kRasterCols, 1) {}

    static bool inside(int row, int col) { return row >= 0 && row < kRasterRows && col >= 0 && col < kRasterCols; }

    std::uint8_t& at(int plane, int row, int col) { return data_[index(plane, row, col)]; }
    std::uint8_t at(int plane, int row, int col) const { return data_[index(plane, row, col)]; }
    void setGrey(int row, int col, std::uint8_t v) {
        for (int p = 0; p < 3; ++p) at(p, row, col) = v;
    }
    void fill(std::uint8_t v) { std::fill(data_.begin(), data_.end(), v); }
    // The cells of one row of a plane, for filling whole rows at once.
    std::uint8_t* row(int plane, int r) { return &data_[index(plane, r, 0)]; }
    const std::uint8_t* row(int plane, int r) const { return &data_[index(plane, r, 0)]; }

private:
    static std::size_t index(int plane, int row, int col) {
        return (static_cast<std::size_t>(plane) * kRasterRows + static_cast<std::size_t>(row)) * kRasterCols +
               static_cast<std::size_t>(col);
    }
    std::vector<std::uint8_t> data_;
};

// Integer values per cell, three components (single-channel pictures use component 0), with
// the extremes of what was written.
class WorkPlane {
public:
    WorkPlane() : data_(3 * kRasterRows * kRasterCols, 0) {}

    std::int32_t& at(int component, int row, int col) {
        return data_[(static_cast<std::size_t>(component) * kRasterRows + static_cast<std::size_t>(row)) * kRasterCols +
                     static_cast<std::size_t>(col)];
    }
    std::int32_t at(int component, int row, int col) const {
        return data_[(static_cast<std::size_t>(component) * kRasterRows + static_cast<std::size_t>(row)) * kRasterCols +
                     static_cast<std::size_t>(col)];
    }
    std::int32_t* row(int component, int r) {
        return &data_[(static_cast<std::size_t>(component) * kRasterRows + static_cast<std::size_t>(r)) * kRasterCols];
    }
    // Writes a value and follows the extremes.
    void put(int component, int row, int col, std::int32_t v) {
        at(component, row, col) = v;
        fxmax = std::max(fxmax, v);
        fxmin = std::min(fxmin, v);
    }
    void resetExtremes() {
        fxmax = 0;
        fxmin = 1023;
    }

    std::int32_t fxmax = 0;
    std::int32_t fxmin = 1023;

private:
    std::vector<std::int32_t> data_;
};

// A rendered 24-bit picture, rows from the top, red first.
struct Image24 {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // width * height * 3

    Image24() = default;
    Image24(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0) {}
    std::uint8_t* pixel(int x, int y) { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
    const std::uint8_t* pixel(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

}  // namespace tesmar::display
