#pragma once
// Height-focus: a gamma-shaped mapping of work-plane values into raster bytes that stretches
// the values on one side of a threshold set by "adjust height".

#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"
#include "viewer/display/stretch.h"

namespace tesmar::display {

// The byte of work-plane value o, for extremes fxmin < fxmax.
struct HeightFocusMap {
    HeightFocusMap(int fxmin, int fxmax, int ncha, const ContrastControls& c);
    std::uint8_t operator()(int o) const;

    int fxmin, fxmax;
    int threshold;
    double level;
    double gamma;
};

// A single-channel picture: work-plane component 0 into all three planes (for HRV, into the
// three raster rows of each line). Nothing happens when fxmin >= fxmax.
void resalta(Raster& g, const WorkPlane& fx, const PictureGeometry& geo, int ncha, const ContrastControls& c);
// One plane from work-plane component 0 (composites with height-focus).
void resalta_c(Raster& g, const WorkPlane& fx, const PictureGeometry& geo, int plane, int ncha,
               const ContrastControls& c);
// One plane from work-plane component `plane` (difference composites).
void resalta_ca(Raster& g, const WorkPlane& fx, const PictureGeometry& geo, int plane, int ncha,
                const ContrastControls& c);
inline void resalta_ck(Raster& g, const WorkPlane& fx, const PictureGeometry& geo, int plane, int ncha,
                       const ContrastControls& c) {
    resalta_ca(g, fx, geo, plane, ncha, c);
}

}  // namespace tesmar::display
