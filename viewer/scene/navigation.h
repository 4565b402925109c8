#pragma once
// Geostationary navigation: the satellite's full-disk grid to latitude/longitude and back.
// Results must match these formulas to the last rounding, because tools compare returned
// grid positions with stored lines and pixels.

#include <optional>
#include <string>
#include <string_view>

namespace tesmar::nav {

inline constexpr double kH = 42164.0;           // satellite distance from the Earth's centre, km
inline constexpr double kMiddleOth = 1855.5;     // VIS/IR grid centre
inline constexpr double kMiddleHrv = 5566.0;     // HRV grid centre
inline constexpr double kStep = 8.384322872254247e-05;  // rad between neighbouring VIS/IR pixels
inline constexpr double kPiOverStep = 37469.84343823499;
inline constexpr double kThreePiOverStep = 112409.53031470496;
inline constexpr double kQ = 0.9967074317968015;  // polar over equatorial radius

// The longitude the satellite stands at (shift of every longitude), 0 for the nominal 0 deg.
struct Context {
    double lonShift = 0.0;
};

struct GeoPoint {
    double lon = 0.0;
    double lat = 0.0;
};

struct GridPoint {
    int line = 0;
    int column = 0;
};

// Half to even, as the grid positions are rounded (1855.5 gives 1856).
int roundHalfEven(double v);

// VIS/IR grid position to degrees; empty when the point is off the Earth's disk.
std::optional<GeoPoint> lintogeo(int line, int column, const Context& ctx);

// Degrees to the VIS/IR grid position; empty when the point is not visible.
std::optional<GridPoint> geoToVisIr(double lon, double lat, const Context& ctx);
// Degrees to the HRV grid position (HRV line and column); empty when not visible.
std::optional<GridPoint> geoToHrv(double lon, double lat, const Context& ctx);
// The parts of the conversion that depend on the latitude or the longitude alone, so a grid
// of points computes each once per row and column (with results identical to the above).
struct LatitudeTerms {
    double cosG, sinG, rs;
};
struct LongitudeTerms {
    double cosLon, sinLon;
};
LatitudeTerms latitudeTerms(double lat, bool hrv);
LongitudeTerms longitudeTerms(double lon, const Context& ctx);
std::optional<GridPoint> geoToVisIr(const LatitudeTerms& lat, const LongitudeTerms& lon);
std::optional<GridPoint> geoToHrv(const LatitudeTerms& lat, const LongitudeTerms& lon);

// HRV line to the VIS/IR line that holds it (0 for the off-disk marker -3).
inline int hrvLineToVisIrLine(int hrvLine) { return hrvLine / 3 + 1; }

// The main window's operations, keeping their channel gates: `geotolin` writes only for
// channels up to 11, the HRV ones only for 12 and above; an invisible point gives (0, 0)
// and line -3 (HRV, column untouched) respectively.
void geotolin(int ncha, int& line, int& column, double lon, double lat, const Context& ctx);
void geotolin_vis(int ncha, int& line, int& column, double lon, double lat, const Context& ctx);
void geotolin_vis_sin(int ncha, int& line, int& column, double lon, double lat, const Context& ctx);

// Great-circle distance (km, Earth radius 6378) between two points in degrees.
std::optional<double> greatCircleKm(GeoPoint from, GeoPoint to);
// The read-out text of `distancias`: the point comes as the read-out's texts, whose numbers
// end at their first blank; a text that is not a number gives a distance of 0.
std::string distancias(GeoPoint origin, std::string_view lonText, std::string_view latText);

}  // namespace tesmar::nav
