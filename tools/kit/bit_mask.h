#pragma once
// A rectangle of bits, one per grid cell, stored row by row with the first cell of a row in
// the highest bit of its first byte: the layout of 1-bit BMP and PBM pictures.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace kit {

class BitMask {
  public:
    // Every bit starts as `background`.
    BitMask(int width, int height, bool background);

    int width() const { return width_; }
    int height() const { return height_; }
    int rowBytes() const { return rowBytes_; }

    bool test(int row, int bit) const;
    // Cells outside the rectangle are ignored.
    void put(int row, int bit, bool value);

    std::span<const std::uint8_t> row(int r) const;
    std::span<const std::uint8_t> bytes() const { return bits_; }

  private:
    int width_, height_, rowBytes_;
    std::vector<std::uint8_t> bits_;
};

// Calls `plot(x, y)` for every cell of the straight line from (x0, y0) to (x1, y1), both ends
// included, one cell per step along the longer axis.
template <class Plot>
void forEachCellOnLine(int x0, int y0, int x1, int y1, Plot plot) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        plot(x0, y0);
        if (x0 == x1 && y0 == y1) return;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

}  // namespace kit
