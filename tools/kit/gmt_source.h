#pragma once
// Coast lines and national borders from the GSHHG set, through GMT's `coast` module (Debian
// packages gmt and gmt-gshhg-low), at intermediate resolution.

#include <filesystem>
#include <string_view>
#include <vector>

#include "common/result.h"
#include "tools/kit/coast_text.h"

namespace kit {

// The Debian packages that provide the data, for messages and the setup script.
inline constexpr std::string_view kGmtPackages = "gmt gmt-gshhg-low";

// GMT's multisegment text: a line starting with ">" separates segments, "#" lines are
// comments, any other line is "lon lat" (more columns are ignored). Longitudes are brought
// into -180..180. A line that is not two numbers fails, naming its line number.
station::Result<std::vector<GeoLine>> parseGmtSegments(std::string_view text);

// Runs `gmt` (a name looked up on PATH, or a path) for the shorelines, then for the national
// borders, of the part of the Earth a satellite at 0 degrees sees. Fails with the reason and
// the packages to install when gmt cannot be run, fails, or yields no shoreline.
station::Result<std::vector<GeoLine>> fetchCoastsAndBorders(const std::filesystem::path& gmt);

}  // namespace kit
