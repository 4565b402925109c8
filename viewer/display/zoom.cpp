#include "viewer/display/zoom.h"

#include <algorithm>

namespace tesmar::display {

bool ZoomState::zoomIn(Raster& g, Raster& gp, const PictureGeometry& geo, int x, int y) {
    if (full() || geo.empty()) return false;
    const int lastRow = std::min(geo.lastRow, kRasterRows - 1), lastCol = std::min(geo.lastCol, kRasterCols - 1);
    const int m = lastRow / 4, l = lastCol / 4;
    // The half-size area centred on the click, kept a quarter of the picture from each edge.
    const int row = geo.rasterRow(std::clamp(y, 0, geo.height - 1));
    const int col = geo.rasterCol(std::clamp(x, 0, geo.width - 1));
    const RasterCell origin{std::clamp(row - m, 0, std::max(0, lastRow - 2 * m)),
                            std::clamp(col - l, 0, std::max(0, lastCol - 2 * l))};
    for (int p = 0; p < 3; ++p)
        for (int j = 0; j <= lastRow; ++j) {
            const std::uint8_t* src = g.row(p, std::min(lastRow, j / 2 + origin.row));
            std::uint8_t* dst = gp.row(p, j);
            for (int k = 0; k <= lastCol; ++k) dst[k] = src[std::min(lastCol, k / 2 + origin.col)];
        }
    // Smoothing with the neighbours above and to the side softens the doubled cells.
    for (int p = 0; p < 3; ++p)
        for (int t = 0; t <= lastRow; ++t) {
            const std::uint8_t* here = gp.row(p, t);
            const std::uint8_t* next = gp.row(p, std::min(lastRow, t + 1));
            std::uint8_t* dst = g.row(p, t);
            for (int j = 0; j <= lastCol; ++j)
                dst[j] = static_cast<std::uint8_t>((((next[j] + here[std::min(lastCol, j + 1)]) / 2) + here[j]) / 2);
        }
    clicks_[static_cast<std::size_t>(depth_)] = {y, x};
    origin_[static_cast<std::size_t>(depth_)] = origin;
    ++depth_;
    return true;
}

std::optional<RasterCell> ZoomState::forward(RasterCell cell, const PictureGeometry& geo) const {
    for (int i = 0; i < depth_; ++i) {
        const auto& o = origin_[static_cast<std::size_t>(i)];
        cell = {2 * (cell.row - o.row), 2 * (cell.col - o.col)};
        if (cell.row < 0 || cell.col < 0 || cell.row > geo.lastRow || cell.col > geo.lastCol) return std::nullopt;
    }
    return cell;
}

RasterCell ZoomState::inverse(RasterCell cell) const {
    for (int i = depth_ - 1; i >= 0; --i) {
        const auto& o = origin_[static_cast<std::size_t>(i)];
        cell = {cell.row / 2 + o.row, cell.col / 2 + o.col};
    }
    return cell;
}

}  // namespace tesmar::display
