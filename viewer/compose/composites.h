#pragma once
// Pictures of two or three channels: the plain composite, the temperature difference and the
// complex composite (free mode, and the fixed mode that makes every standard RGB). Each
// builder checks its inputs first and leaves the raster untouched when it fails.

#include <array>
#include <string>

#include "viewer/compose/recipes.h"
#include "viewer/display/overlays.h"
#include "viewer/display/raster.h"
#include "viewer/display/stretch.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"
#include "viewer/scene/navigation.h"

namespace tesmar::compose {

struct BuildResult {
    bool ok = false;
    std::string error;        // why nothing was drawn
    bool incomplete = false;  // the file ended early
    std::string title;        // the picture's title line
    int prodnr = 0;
    // Temperature difference: its range, label and the markers of its extremes.
    double mindf = 0, maxdf = 0;
    std::string rangeLabel;
    display::DrawList marks;
};

struct Scene {
    const NativeScene& scene;
    const DataWindow& window;
    nav::Context nav;
};

// One channel per plane, as typed in the boxes; a negative number inverts its plane. Raw
// counts (or the work plane with height-focus, mapped per plane).
BuildResult composite(const Scene& s, const std::array<std::string, 3>& boxes, bool heightFocus, int ncha,
                      const display::ContrastControls& controls, display::Raster& g, display::WorkPlane& fx);

// Red box channel minus green box channel, in grey between its own extremes.
BuildResult two_channel_tt(const Scene& s, const std::string& redBox, const std::string& greenBox,
                           display::Raster& g);

// Complex composite in free mode: each plane's difference between its own extremes, mapped
// with the main window's height controls.
BuildResult superseis(const Scene& s, const ComplexSettings& settings, const display::ContrastControls& controls,
                      display::Raster& g, display::WorkPlane& fx);

// Complex composite in fixed mode: fixed ranges and a gamma per plane.
BuildResult superseis_f(const Scene& s, const ComplexSettings& settings, bool tails, display::Raster& g,
                        display::WorkPlane& fx);

// The channel numbers a complex composite takes from its settings: absolute values, above
// 11 read as 2.
int cleanComplexChannel(int channel);

}  // namespace tesmar::compose
