#include "viewer/display/height_focus.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tesmar::display {

HeightFocusMap::HeightFocusMap(int lo, int hi, int ncha, const ContrastControls& c) : fxmin(lo), fxmax(hi) {
    gamma = 1 + 0.5 * c.gammaStrength;
    if (c.tails) gamma = 1 / gamma;
    const int step = (fxmax - fxmin) / 5;
    const int h = ncha >= 4 && ncha <= 11 ? c.adjustHeight : 5 - c.adjustHeight;
    threshold = std::max(std::min(fxmin + h * step, fxmax - 1), fxmin + 1);
    level = h * 255.0 / 5;
}

std::uint8_t HeightFocusMap::operator()(int o) const {
    if (o < fxmin) return 0;
    double v = 0;
    if (o < threshold) {
        v = level * std::pow(static_cast<double>(o - fxmin) / (threshold - fxmin), gamma);
    } else {
        // With extremes one apart the threshold is the maximum itself: nothing lies above it.
        if (fxmax <= threshold) return 255;
        v = level + (255 - level) * std::pow(static_cast<double>(o - threshold) / (fxmax - threshold), 1 / gamma);
    }
    if (!std::isfinite(v) || v >= 255) return 255;
    return static_cast<std::uint8_t>(std::lround(std::max(v, 0.0)));
}

namespace {

// The raster rows a picture's cells occupy: an HRV picture was filled three rows per line.
int rowsOf(const PictureGeometry& geo) {
    return std::min(geo.hrv ? geo.lastRow + 3 : geo.height, kRasterRows);
}

// The map over the counts' range as a table: one power per value instead of one per cell.
class MapTable {
public:
    explicit MapTable(const HeightFocusMap& map) : map_(map) {
        for (int o = 0; o < 1024; ++o) table_[static_cast<std::size_t>(o)] = map(o);
    }
    std::uint8_t operator()(int o) const {
        return o >= 0 && o < 1024 ? table_[static_cast<std::size_t>(o)] : map_(o);
    }

private:
    const HeightFocusMap& map_;
    std::array<std::uint8_t, 1024> table_{};
};

template <class Write>
void eachCell(const PictureGeometry& geo, Write write) {
    const int rows = rowsOf(geo), cols = std::min(geo.width, kRasterCols);
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) write(row, col);
}

}  // namespace

void resalta(Raster& g, const WorkPlane& fx, const PictureGeometry& geo, int ncha, const ContrastControls& c) {
    if (fx.fxmin >= fx.fxmax) return;
    const HeightFocusMap exact(fx.fxmin, fx.fxmax, ncha, c);
    const MapTable map(exact);
    eachCell(geo, [&](int row, int col) { g.setGrey(row, col, map(fx.at(0, row, col))); });
}

void resalta_c(Raster& g, const WorkPlane& fx, const PictureGeometry& geo, int plane, int ncha,
               const ContrastControls& c) {
    if (fx.fxmin >= fx.fxmax) return;
    const HeightFocusMap exact(fx.fxmin, fx.fxmax, ncha, c);
    const MapTable map(exact);
    eachCell(geo, [&](int row, int col) { g.at(plane, row, col) = map(fx.at(0, row, col)); });
}

void resalta_ca(Raster& g, const WorkPlane& fx, const PictureGeometry& geo, int plane, int ncha,
                const ContrastControls& c) {
    if (fx.fxmin >= fx.fxmax) return;
    const HeightFocusMap exact(fx.fxmin, fx.fxmax, ncha, c);
    const MapTable map(exact);
    eachCell(geo, [&](int row, int col) { g.at(plane, row, col) = map(fx.at(plane, row, col)); });
}

}  // namespace tesmar::display
