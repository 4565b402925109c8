#pragma once
// Zooming a picture in place: each level doubles the half-size area around a clicked point,
// up to eight levels. Every level keeps the raster cell its enlarged area starts at, so the
// overlays (forward) and the read-out (inverse) map through exactly the same cells.

#include <array>
#include <optional>

#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"

namespace tesmar::display {

inline constexpr int kMaxZoom = 8;

struct RasterCell {
    int row = 0, col = 0;
};

class ZoomState {
public:
    int depth() const { return depth_; }
    bool full() const { return depth_ >= kMaxZoom; }
    void clear() { depth_ = 0; }

    // The click of a level (picture pixels), kept so "Zoom out" can replay the levels.
    RasterCell click(int level) const { return clicks_[static_cast<std::size_t>(level)]; }

    // One level around picture pixel (x, y): g is enlarged into gp, then smoothed back into
    // g. Works in place, without allocating. False when eight levels are on already.
    bool zoomIn(Raster& g, Raster& gp, const PictureGeometry& geo, int x, int y);

    // The raster cell of an unzoomed cell in the zoomed picture; empty when it has left it.
    std::optional<RasterCell> forward(RasterCell cell, const PictureGeometry& geo) const;
    // The unzoomed raster cell under a cell of the zoomed picture.
    RasterCell inverse(RasterCell cell) const;

private:
    int depth_ = 0;
    std::array<RasterCell, kMaxZoom> clicks_{};  // picture pixel x in col, y in row
    std::array<RasterCell, kMaxZoom> origin_{};  // first source cell of each level
};

}  // namespace tesmar::display
