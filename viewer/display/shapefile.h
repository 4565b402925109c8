#pragma once
// Coast lines from an ESRI shapefile: its polylines and polygons become coast.txt, so a
// station can draw a shoreline set of the user's choice.

#include <filesystem>

#include "common/result.h"

namespace tesmar::display {

// Rewrites `coastTxt` from the polyline (3) and polygon (5) records of `shp`: the header
// ">0", then for each record a line ">" with the number of the record before it (0 for the
// first), then each part's points as "LON LAT" in whole hundredths of a degree, each part
// ended by ">". Records of other shapes are passed over. Every length, count and part index
// is checked against the record and the file; a corrupt record stops the conversion with a
// message naming it, and coast.txt is replaced only on success. Gives the points written.
station::Result<int> shapefileToCoast(const std::filesystem::path& shp,
                                      const std::filesystem::path& coastTxt);

}  // namespace tesmar::display
