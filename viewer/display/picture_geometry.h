#pragma once
// Where each picture pixel comes from in the raster, and where each stored line and pixel of
// the window goes. One mapping serves the sampling, the rendering, the read-out and the
// overlays, so they cannot disagree.

#include "viewer/display/raster.h"
#include "viewer/scene/data_window.h"

namespace tesmar::display {

struct PictureGeometry {
    int width = 0;   // picture pixels
    int height = 0;
    bool hrv = false;         // a single-channel HRV picture: three raster rows per line
    bool screenOrder = false; // raster already stored top-down, left to right (no flipping)
    int lastRow = 0;          // raster row of picture row 0 (flipped pictures)
    int lastCol = 0;          // raster column of picture column 0

    // VIS/IR (and composite) pictures over a window, at its scope.
    static PictureGeometry visIr(const DataWindow& w);
    // Single-channel HRV pictures.
    static PictureGeometry hrvSingle(const DataWindow& w);

    bool empty() const { return width <= 0 || height <= 0; }
    int rasterRow(int y) const { return screenOrder ? y : lastRow - y; }
    int rasterCol(int x) const { return screenOrder ? x : lastCol - x; }
    // The picture pixel of a raster cell (inverse of the above).
    int pictureY(int row) const { return screenOrder ? row : lastRow - row; }
    int pictureX(int col) const { return screenOrder ? col : lastCol - col; }
};

}  // namespace tesmar::display
