#pragma once
// The text files of the map overlays: coast polylines, towns and fires, in hundredths of a
// degree. A malformed line is skipped, not the whole overlay; CRLF line ends are accepted.

#include <filesystem>
#include <string>
#include <vector>

#include "viewer/scene/navigation.h"

namespace tesmar::display {

using Polyline = std::vector<nav::GeoPoint>;

struct Town {
    nav::GeoPoint at;
    std::string name;  // UTF-8
};

struct Fire {
    nav::GeoPoint at;
    int value = 0;
};

// coast.txt: header line, then "LON LAT" points; a line holding ">" ends a polyline.
std::vector<Polyline> readCoastPolylines(const std::filesystem::path& path);

// town.txt: header line, then "LON LAT name"; names with "##" are left out, and leading
// characters are dropped until the name starts with a capital A to Z.
std::vector<Town> readTowns(const std::filesystem::path& path);

// fire.txt: "LON,LAT,VALUE" lines; lines with "##" are left out.
std::vector<Fire> readFires(const std::filesystem::path& path);

// Text that is not valid UTF-8 is taken as Windows-1252 and converted.
std::string toUtf8(const std::string& text);

}  // namespace tesmar::display
