#include "viewer/display/picture_geometry.h"

#include <algorithm>

namespace tesmar::display {

PictureGeometry PictureGeometry::visIr(const DataWindow& w) {
    PictureGeometry g;
    if (w.empty() || w.degra < 1) return g;
    g.width = std::min((w.lac - w.fic - 1) / w.degra + 1, kRasterCols);
    g.height = std::min((w.lal - w.fil - 1) / w.degra + 1, kRasterRows);
    g.lastRow = g.height - 1;
    g.lastCol = g.width - 1;
    return g;
}

PictureGeometry PictureGeometry::hrvSingle(const DataWindow& w) {
    PictureGeometry g;
    g.hrv = true;
    if (w.empty()) return g;
    g.width = std::min(w.lac - w.fic, kRasterCols);
    g.lastRow = std::min(3 * (w.lal - w.fil - 1), kRasterRows - 1);
    g.height = g.lastRow + 1;
    g.lastCol = g.width - 1;
    return g;
}

}  // namespace tesmar::display
