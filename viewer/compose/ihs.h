#pragma once
// Reading a colour picture as intensity, hue and saturation. The raster then holds, per
// cell, plane 0 = intensity (0 to 255), plane 1 = hue byte (0 to 255 for the angle 0 to 2 pi)
// and plane 2 = saturation byte. Both conversions work on the whole display area, not only on
// the current picture's window.

#include <array>
#include <cstdint>
#include <string_view>

#include "viewer/display/raster.h"

namespace tesmar::compose {

// The display area `gsize` x `gsizev`: rows 0 to gsizev and columns 0 to gsize, both inclusive
// (clipped to the raster).
struct DisplayArea {
    int gsize = 920;
    int gsizev = 740;
};

// How a saturation byte becomes the saturation S. While the colour editor is open, the byte
// is read back as rg2ih wrote it (divided by sqrt(1.5)), so an unchanged step returns the
// picture; otherwise (composites) a byte spans 0.2 to 62.66, which keeps colours moderate.
enum class SaturationScale { Composite, ColourEditor };

// rg2ih's parameters: intensity gain and saturation gain (255 = unchanged), hue rotation in
// degrees.
struct IhsGains {
    double intensity = 255;
    double hueDegrees = 0;
    double saturation = 255;
};

using Bytes3 = std::array<std::uint8_t, 3>;

// One cell from intensity, hue and saturation bytes to red, green and blue. Results outside
// 0..255 are limited to it: keeping their low 8 bits would turn the brightest colours dark
// and the darkest bright before the stretch.
Bytes3 ihsToRgb(Bytes3 ihs, SaturationScale scale);

// One cell from red, green and blue to intensity, hue and saturation bytes.
Bytes3 rgbToIhs(Bytes3 rgb, const IhsGains& gains);

// IHS to RGB over the display area, then a square-root stretch per plane from the smallest
// to the largest value written: the darkest becomes 0, the brightest stays just below 255. A
// plane that came out constant becomes 0.
void ihs2rgb(display::Raster& g, DisplayArea area, SaturationScale scale);

// RGB to IHS over the display area.
void rg2ih(display::Raster& g, DisplayArea area, const IhsGains& gains);

// Labels of the red, green and blue channel boxes (of the main window and of the HRV
// colouring window) as the "IHS" option sets them.
std::array<std::string_view, 3> ihsLabels(bool ihs);

}  // namespace tesmar::compose
