#pragma once
// Colour slicing: every pixel of a grey picture whose physical value lies strictly between a
// lower and an upper value is painted with the colour of its place in that range. Only the
// picture is painted; the raster keeps its bytes, so any later redraw removes the colours.

#include <string>

#include "viewer/compose/composites.h"
#include "viewer/display/overlays.h"
#include "viewer/display/raster.h"
#include "viewer/scene/native_scene.h"

namespace tesmar::compose {

// The slice controls of the "Colour editor" with their start values.
struct ColourSliceSettings {
    std::string lower = "250";  // shown blue (red when reversed)
    std::string upper = "310";  // shown red (blue when reversed)
    std::string rangeLabel = "Temperature (kelvin)";
    bool reverse = false;  // "reverse colour"
};

// What the slice reads of the picture on screen.
struct SliceSubject {
    int prodnr = 0;               // 1 single channel, 3 temperature difference, 7 taken from
                                  // the Projection window
    int channel = 0;              // the single-channel box as a number
    ChannelCalibration cal;       // of that channel
    double mindf = 0, maxdf = 0;  // the temperature difference's range
    bool heightFocus = false;
    // The picture on screen has the HRV layout, whatever the box says now.
    bool hrvPicture = false;
    // The boxes as typed, for the status line.
    std::string singleBox, redBox, greenBox;
};

enum class SliceRefusal {
    None,
    NotEnabled,  // height-focus, or an HRV picture: the message table's own status line text
    NotANumber,  // a range field is not a number: the platform's conversion message
    NoValues,    // the picture holds no values a slice can read
    EmptyRange,  // the upper value is not above the lower one
    NoPicture,
};

struct SliceResult {
    bool ok = false;
    SliceRefusal refusal = SliceRefusal::None;
    std::string error;         // why nothing was painted
    std::string status;        // "Sliced (250 ; 310) Single Channel 9"; empty: the line stays
    int painted = 0;           // pixels coloured
    display::DrawList legend;  // the legend's texts (its bar is painted on the picture)
};

// The slice of the main picture. Cell (r, c) of the window's picture reads raster plane 2 and
// shows at pixel (W - 1 - c, H - 1 - r):
// - kind 1 or 7, channels 1 to 3: albedo in percent of the count 4 x byte with the sun at the
//   cell's own grid position (cells off the disk have no value); channels 4 to 11: the
//   brightness temperature of that count;
// - kind 3: byte x (maxdf - mindf) / 255 + mindf, the inverse of the difference scaling.
// Cells marked in plane 0 of `coast` with the coast value keep their pixel, so the coast
// lines stay drawn over the colours (pass the coast mask burnt into a cleared raster, or
// nullptr when coast lines are off).
//
// Refused, with the picture untouched: height-focus on, an HRV picture or a channel of 12 or
// more, a range field that is not a number, an upper value not above the lower one, a
// picture of another kind, a channel below 1, a temperature difference without a finite
// range, a solar channel of a scene whose time cannot be read, no picture.
SliceResult colourslice(const Scene& s, const display::Raster& g, const SliceSubject& subject,
                        const ColourSliceSettings& settings, const display::Raster* coast,
                        display::Image24& picture);

// The same slice of the Projection window's picture: the byte of cell (r, c) is plane 0 of
// the remapped raster `gp` at row r, column W - 1 - c (the cell "Take to Main" would copy to
// (r, c)), and pixels, legend and texts go to that window's picture. Only kind 1 counts as a
// single channel here. The sun of an albedo cell is still taken at the main window's grid
// position of (r, c), not at the remapped point. Coast lines belong to the main picture and
// are not drawn here.
SliceResult colourslice3(const Scene& s, const display::Raster& gp, const SliceSubject& subject,
                         const ColourSliceSettings& settings, display::Image24& projection);

}  // namespace tesmar::compose
