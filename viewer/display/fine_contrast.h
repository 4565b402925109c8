#pragma once
// The fine-contrast window's arithmetic: histogram, rendering with a centre and spread per
// plane, and the statistics probe that sets them from a square around a double click.

#include <array>

#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"

namespace tesmar::display {

using Histogram = std::array<std::array<int, 256>, 3>;

// Counts of every byte value per plane over the picture's cells.
Histogram histogram(const Raster& g, const PictureGeometry& geo);

// Each component (v - media) x 100 / contraste, clipped; single-channel infrared pictures
// take the complement (HRV pictures never do).
Image24 bitmapea_c_more(const Raster& g, const PictureGeometry& geo, const std::array<float, 3>& media,
                        const std::array<float, 3>& contraste, bool singleInfrared, bool hrv);

struct ProbeResult {
    std::array<int, 3> sliders{};  // centre sliders, 1 to 51
    std::array<int, 3> spreads{};  // spread entries
};

// Statistics of the square of half-size 8 x referenceArea around picture pixel (x, y),
// leaving out 0, 255 and the coast value; turned into slider and spread settings.
ProbeResult fijaclix(const Raster& g, const PictureGeometry& geo, int x, int y, int referenceArea, double divisor,
                     double offset);

}  // namespace tesmar::display
