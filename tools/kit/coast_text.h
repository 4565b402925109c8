#pragma once
// coast.txt, the coast lines and borders drawn over pictures: a header line ">0", then one
// "LON LAT" line per point in whole hundredths of a degree, and a ">" line after each
// polyline. Readers take the latitude from the characters after the first blank, so a point
// line has exactly one blank and no padding.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/scene/navigation.h"

namespace kit {

using GeoLine = std::vector<tesmar::nav::GeoPoint>;  // degrees

// A point of coast.txt, in hundredths of a degree.
struct CoastPoint {
    int lon = 0;
    int lat = 0;
    bool operator==(const CoastPoint&) const = default;
};
using CoastLine = std::vector<CoastPoint>;

// Degrees to whole hundredths (nearest, halves away from zero); empty when not finite or
// beyond a full turn.
std::optional<int> hundredths(double degrees);

// Rounds polylines to hundredths. A point that rounds onto the one before it adds nothing
// and is dropped; so is a point that cannot be rounded, and a line left with no point.
std::vector<CoastLine> toCoastLines(const std::vector<GeoLine>& lines);

std::string formatCoastText(const std::vector<CoastLine>& lines);

// Reads coast.txt's text: the first line is the header; malformed lines are skipped.
std::vector<CoastLine> parseCoastText(std::string_view text);

// Number of points in all lines.
std::size_t pointCount(const std::vector<CoastLine>& lines);

}  // namespace kit
