#pragma once
// The 256-step colour scale of colour slices and of every data overlay: blue, cyan, green,
// yellow, red. With "reverse colour" it runs the other way round.

#include <optional>

#include "viewer/display/overlays.h"
#include "viewer/display/raster.h"

namespace tesmar::compose {

inline constexpr int kScaleSteps = 256;
inline constexpr int kScaleImageHeight = 25;

// Colour of step a (0 to 255; steps outside are limited to it), reversed first when asked.
// Each quarter of the scale moves one component by 4 per step, so the end of a quarter
// stops 4 short of the next pure colour: roveaz(255) is (255, 3, 0).
display::Rgb roveaz(int a, bool reverse = false);

// The step of a value inside the open range (lo, hi): trunc((value - lo) * 255 / (hi - lo)).
// Empty when the value is not strictly between the two (an empty or inverted range holds
// nothing) or when the arithmetic is not finite.
std::optional<int> scaleIndex(double value, double lo, double hi);

// The scale image of the colour windows: 256 x 25 pixels, column a coloured roveaz(a).
display::Image24 scaleImage(bool reverse);

// Colours of the lower and upper range fields, which tell the user which end of the scale
// each value takes: blue and red, swapped when reversed.
struct RangeColours {
    display::Rgb lower, upper;
};
RangeColours rangeFieldColours(bool reverse);

}  // namespace tesmar::compose
