#pragma once
// Turning the raster into a visible picture: plain, complemented, the statistical stretch
// and the logistic "equalize". Every stretch works per colour plane and changes only the
// picture, never the raster.

#include <array>

#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"

namespace tesmar::display {

enum class PictureKind { SingleVisIr, SingleHrv, Composite };

// The contrast controls of the main window.
struct ContrastControls {
    int contrastLevel = 0;  // -2 to 4
    int adjustHeight = 1;   // 0 to 5
    int gammaStrength = 2;  // 0 to 6
    bool tails = false;
    bool inverted = false;
};

// Mean and spread of each plane over the picture's cells, leaving out 0 and 255 (the values
// of marks and saturation). The count starts at 1, so a plane with no such value has mean 0.
struct PlaneStats {
    std::array<double, 3> mean{}, sd{};
    std::array<bool, 3> anyValid{};
};
PlaneStats planeStatistics(const Raster& g, const PictureGeometry& geo);

Image24 bitmapea(const Raster& g, const PictureGeometry& geo);
Image24 bitmapea_r(const Raster& g, const PictureGeometry& geo);

// Statistical stretch: 127 + gain x (v - mean) / (sd + 0.1), the gain set by the contrast
// level. Use a geometry in screen order for rasters stored top-down (bitmapea_c_reverse).
Image24 bitmapea_c(const Raster& g, const PictureGeometry& geo, PictureKind kind, const ContrastControls& c);

// Logistic stretch around each plane's mean, shifted by "adjust height".
Image24 bitmapea_x(const Raster& g, const PictureGeometry& geo, PictureKind kind, const ContrastControls& c);

}  // namespace tesmar::display
