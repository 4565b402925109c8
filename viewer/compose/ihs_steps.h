#pragma once
// The intensity, hue and saturation steps of the "Colour editor": the picture on screen is
// converted to IHS with one component changed and converted back. Steps accumulate: each
// starts from the raster as the previous one left it.

#include <string>

#include "viewer/compose/ihs.h"

namespace tesmar::compose {

// The six buttons: "+" and "--" of the rows "Intensity", "Hue " and "Saturation ".
enum class ColourStep { posi_inte, nega_inte, posi_color, nega_color, posi_satu, nega_satu };

// The colour editor's entries with their start values.
struct ColourEditorSettings {
    std::string hueStep = "120";  // degrees
};

// rg2ih's parameters for a step with a hue step of `hueStepDegrees`.
IhsGains colourStepGains(ColourStep step, int hueStepDegrees);

struct ColourStepResult {
    bool ok = false;
    std::string error;  // why the raster was left as it was
};

// rg2ih with the step's parameters, then ihs2rgb as the open editor reads saturation. The
// caller renders the raster with the statistical stretch; the picture kind and the status
// line stay. A hue step field that is not a number refuses the hue steps and leaves the
// raster untouched.
ColourStepResult colourEditorStep(display::Raster& g, DisplayArea area, ColourStep step,
                                  const ColourEditorSettings& settings);

}  // namespace tesmar::compose
