#pragma once
// The HRV picture in colour: the sharp high-resolution visible channel carries the colours of
// the coarser VIS/IR channels. The raster holds an HRV picture (three rows per VIS/IR line, one
// column per HRV pixel; see PictureGeometry::hrvSingle) and each colour plane may be blended
// with one VIS/IR channel.

#include <array>
#include <string>

#include "viewer/compose/ihs.h"
#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"
#include "viewer/display/stretch.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"

namespace tesmar::compose {

// The HRV renderer: north up, west left; the two upper sub-lines of the northernmost line are
// not shown. Empty when the window is empty.
display::Image24 bitmapea_hr(const display::Raster& g, const DataWindow& w);

// The entries of the "HRV coloured" window with their start values: the channel blended into
// the red, green and blue plane; 12 keeps the plane pure HRV.
struct HrvColourSettings {
    std::array<std::string, 3> channels{"12", "12", "12"};
};

// What hr_colo takes from the main window.
struct HrvColourOptions {
    bool ihs = false;  // "IHS": the three planes are read as intensity, hue and saturation
    SaturationScale scale = SaturationScale::Composite;  // ColourEditor while that is open
    DisplayArea area;                                    // the area ihs2rgb converts
    display::ContrastControls contrast;                  // for the automatic stretch
};

struct HrvColourResult {
    bool ok = false;
    std::string error;              // why the raster was left as it was
    bool incomplete = false;        // the file ended early: missing counts were blended as zeros
    std::array<int, 3> channels{};  // as converted
    std::string title;              // status line: "Coloured high resolution 12+12+9"
    display::PictureGeometry geometry;
    display::Image24 picture;  // the raster after the automatic stretch
};

// Blends channel b of the entry for plane p into that plane: each VIS/IR pixel covers a 3 x 3
// block of HRV cells, which become 70 % HRV and 30 % count div 4. Then, with "IHS" on, the
// raster is converted by ihs2rgb, and the picture is the automatic stretch of the HRV
// geometry whatever the "automatic stretch" option says.
//
// Refused, with the raster untouched: an entry that is not a number, a channel outside 1 to
// 12 or not in the file, a file without HRV, an empty window, a file that cannot be opened.
// VIS/IR columns outside the stored line leave their cells pure HRV; since the blend takes
// (lac - fic) div 3 columns, up to two HRV columns at the western edge stay pure HRV too.
HrvColourResult hr_colo(const NativeScene& scene, const DataWindow& w,
                        const HrvColourSettings& settings, const HrvColourOptions& options,
                        display::Raster& g);

}  // namespace tesmar::compose
