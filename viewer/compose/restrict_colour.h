#pragma once
// "Restrict colour components": the colour planes whose boxes are unchecked are cleared in
// the picture's cells and the picture is drawn again.

#include <array>
#include <string>

#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"
#include "viewer/display/stretch.h"

namespace tesmar::compose {

// The boxes "Red", "Green", "Blue" (planes 0, 1, 2), all checked whenever the window opens.
struct RestrictColourSettings {
    std::array<bool, 3> keep{true, true, true};
};

// The picture on screen as the re-colouring needs it.
struct RestrictSubject {
    int ncha = 1;                // the current channel
    bool singleChannel = false;  // a single-channel picture is on screen
    bool inverted = false;       // "inverted"
    display::PictureGeometry geometry;
    display::ContrastControls contrast;  // for the automatic stretch of other pictures
};

struct RestrictResult {
    bool ok = false;
    std::string error;  // why the raster was left as it was
    display::Image24 picture;
};

// Clears every unchecked plane over the picture's cells, then renders the raster: a single
// channel plainly (complemented with "inverted" on), any other picture with the automatic
// stretch. Refused, with the raster untouched, when the current channel is above 11 (an HRV
// picture) or there is no picture.
RestrictResult recolour(const RestrictColourSettings& settings, const RestrictSubject& subject,
                        display::Raster& g);

}  // namespace tesmar::compose
