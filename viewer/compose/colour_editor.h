#pragma once
// What Display > "Colour" opens: for a single channel or a temperature difference the slice
// controls, filled with the picture's own range; for every other picture the intensity, hue
// and saturation steps; for an HRV picture the enhancement instead of the editor.

#include <string>

#include "viewer/compose/colour_slice.h"
#include "viewer/compose/composites.h"

namespace tesmar::compose {

enum class ColourEditorMode {
    Enhancement,  // an HRV picture: run the enhancement ("morecont") and show no editor
    Slice,        // the slice controls, window height 292
    Ihs,          // the intensity, hue and saturation steps, window height 170
};

struct ColourEditorOpening {
    ColourEditorMode mode = ColourEditorMode::Ihs;
    int height = 170;
    // The range fields and label to put in the editor; empty texts leave the fields as they
    // are (no range could be read from the picture).
    std::string lower, upper, rangeLabel;
};

// `subject.channel` is the current channel; `ming` and `maxg` are the extremes of the grey
// bytes of the last single-channel picture. The range of a single channel is that of the
// counts 4 x ming and 4 x maxg: brightness temperatures with no decimals for channels 4 to
// 11, albedo in percent for channels 1 to 3 with the sun at the window's south-east corner
// (or, when that corner is off the disk, at the window's centre); a temperature difference
// shows its own range with one decimal.
ColourEditorOpening open_col(const Scene& s, const SliceSubject& subject, int maxg, int ming);

}  // namespace tesmar::compose
