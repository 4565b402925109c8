#pragma once
// The legend of a colour slice: the scale as a bar of 256 x 25 pixels painted on the picture,
// with the lower value, the upper value and their middle written over it.

#include <string>

#include "viewer/display/overlays.h"
#include "viewer/display/raster.h"
#include "viewer/scene/data_window.h"

namespace tesmar::compose {

// Where the legend goes for a window, with H' = (lal - fil) div degra and W' = (lac - fic) div
// degra. The bar's left edge follows the picture height and its top the picture width (so the
// start-up picture of 920 x 740 has it at x 600 to 855, y 701 to 725); on other shapes it may
// fall partly or wholly off the picture, and what falls off is not drawn.
struct LegendPlacement {
    int barX = 0, barY = 0;  // top-left pixel of the bar
    int lowerX = 0, upperX = 0, middleX = 0, textY = 0;

    static LegendPlacement forWindow(const DataWindow& w);
};

// Paints the bar into the picture, clipped to it, and returns the three texts as marks for
// the picture layer; a text whose corner lies off the picture is left out. `lower` and
// `upper` are the range fields as typed; the middle is written with no decimals.
display::DrawList paintSliceLegend(display::Image24& picture, const LegendPlacement& at,
                                   const std::string& lower, const std::string& upper, double lo,
                                   double hi, bool reverse);

}  // namespace tesmar::compose
