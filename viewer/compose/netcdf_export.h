#pragma once
// Brightness temperatures of a picture over a fixed region (about 8.23 W to 1.91 W, 37.28 N
// to 43.25 N) for other programs: a small netCDF file of one short variable "bt" over the
// dimensions "point" (12501) and "value" (3), each row holding temperature x 10,
// (longitude + 180) x 100 and (latitude + 90) x 100 of one point; rows without a point are 0.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "common/result.h"
#include "viewer/display/raster.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"
#include "viewer/scene/navigation.h"

namespace tesmar::compose {

inline constexpr int kExportPoints = 12501;
inline constexpr int kExportValues = 3;

// Temperature x 10, (longitude + 180) x 100, (latitude + 90) x 100.
using ExportRow = std::array<std::int16_t, kExportValues>;

// The region in the units of the rows; a point is taken strictly inside.
struct ExportRegion {
    int lonLow = 17177, lonHigh = 17809;
    int latLow = 12728, latHigh = 13325;
};

// The temperatures of the picture's values (count 4 x value) of one infrared channel.
struct ExportTemperature {
    int channel = 9;
    ChannelCalibration cal;
};

// A real value truncated toward zero and limited to what the file's short holds (0..32767);
// 0 when it is not finite.
std::int16_t exportValue(double v);

// The points of plane 0 of a VIS/IR picture over `window`: the stored lines fil..lal-1 and
// pixels fic..lac-1 at the window's scope, line by line from the south, each line from the
// east, until kExportPoints are taken. A point needs a temperature (none at all without
// `temperature`, i.e. unless the picture is one infrared channel) and a place inside the region.
std::vector<ExportRow> selectExportRows(const display::Raster& g, const DataWindow& window,
                                        const NativeScene& scene, const nav::Context& nav,
                                        const std::optional<ExportTemperature>& temperature,
                                        const ExportRegion& region = {});

// Writes the classic-format file anew (through a temporary name beside it): the rows given,
// then zero rows up to kExportPoints. Gives the file written.
station::Result<std::filesystem::path> writeExportNetcdf(const std::filesystem::path& file,
                                                         std::span<const ExportRow> rows);

}  // namespace tesmar::compose
