#pragma once
// A coarse land mask of the part of the Earth a satellite at 0 degrees sees, from hand-drawn
// outlines of the continents. Good enough for a plausible picture, not for maps.

namespace synth {

enum class Surface : unsigned char { Sea, Land, Desert, Ice };

// Surface at a point (degrees).
Surface surfaceAt(double lon, double lat);

}  // namespace synth
