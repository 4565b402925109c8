#pragma once
// Google-Earth files: the single ground overlay of a remapped picture, its nudged rewrite,
// and the index of an animation of frames.

#include <string>
#include <vector>

namespace tesmar::display {

// A number with two decimals and a point, whatever the locale.
std::string twoDecimals(double v);
// Text made safe inside XML elements.
std::string xmlEscape(const std::string& text);

struct OverlayCorners {
    std::string north, south, east, west;  // as typed, or formatted
};

// The seven lines of a single overlay whose picture is `baseName`.jpg beside it.
std::string groundOverlayKml(const std::string& baseName, const OverlayCorners& corners);

// A corner moved by its nudge setting (0 to 100, 50 leaves it): 0.02 degrees a step.
inline double nudged(double corner, int setting) { return corner + (setting - 50) * 0.02; }

struct AnimationCorners {
    double north = 0, south = 0, east = 0, west = 0;  // already nudged
};

// The index of frames "ge_" + time + ".jpg": sorted by their full times, each shown from its
// time for the frame length (the step between the first two times x 1.26, at least 15
// minutes), its end rounded down to the quarter hour. Empty when there are no frames.
std::string animationKml(std::vector<std::string> times, const AnimationCorners& corners, const std::string& lookLon,
                         const std::string& lookLat);

}  // namespace tesmar::display
