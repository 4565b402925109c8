#pragma once
// town.txt from the time-zone table (tzdata's zone1970.tab or zone.tab): each zone's
// representative city, named after the last element of the zone's name.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/scene/navigation.h"

namespace kit {

struct Place {
    tesmar::nav::GeoPoint at;
    std::string name;
};

// ISO 6709 as the zone tables write it: "+DDMM+DDDMM" or "+DDMMSS+DDDMMSS".
std::optional<tesmar::nav::GeoPoint> parseIso6709(std::string_view text);

// "America/Sao_Paulo" gives "Sao Paulo".
std::string townName(std::string_view zone);

// One table line (tab-separated: countries, coordinates, zone, comment); empty for comments,
// malformed lines, and names that do not begin with a capital A to Z.
std::optional<Place> parseZoneLine(std::string_view line);

// The places of a whole table that a satellite at 0 degrees sees, in table order.
std::vector<Place> visiblePlaces(std::string_view table);

// Header line, then "LON LAT Name" with hundredths of a degree.
std::string formatTownText(const std::vector<Place>& places);

}  // namespace kit
