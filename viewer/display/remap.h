#pragma once
// Remapping the picture on screen into a Mercator (or plate carrée) or a north polar
// stereographic grid over chosen corners. The source is the raster already filled; grid
// cells whose point is not in the displayed window stay black.

#include <optional>
#include <string>
#include <vector>

#include "viewer/display/overlay_files.h"
#include "viewer/display/overlays.h"
#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"
#include "viewer/scene/navigation.h"

namespace tesmar::display {

struct ProjPoint {
    double x = 0, y = 0;
};

// Mercator: x = lon/180, y = ln tan(pi/4 + lat/2) (latitudes held to +-89.9); with
// `plateCarree` y = lat/90.
ProjPoint merc_dir(double lon, double lat, bool plateCarree);
nav::GeoPoint merc_inv(double x, double y, bool plateCarree);
// North polar stereographic on the unit sphere, true scale at lat0; x grows westward.
// Empty at the south pole (no finite point) and, for the inverse, at the pole itself.
std::optional<ProjPoint> polar_dir(double lon0, double lat0, double lon, double lat);
std::optional<nav::GeoPoint> polar_inv(double lon0, double lat0, double x, double y);

// The corners the remap offers for the picture on screen: lower-east and upper-west.
struct Corners {
    double east = 0, south = 0, west = 0, north = 0;
};
Corners mercatorCorners(const NativeScene& s, const DataWindow& w, const nav::Context& nav, bool hrv);
Corners polarCorners(const NativeScene& s, const DataWindow& w, const nav::Context& nav, bool hrv);

struct RemapRequest {
    Corners corners;
    bool oneToOne = false;     // Mercator: "1:1 kilometer"; polar: "1:1 degree ratio"
    bool plateCarree = false;  // Mercator: "Google earth"
    bool polar = false;
    double lon0 = 0, lat0 = 0;  // polar: central reference
    bool towns = false, waterBounds = false;
    std::vector<Town> townList;
    std::vector<Polyline> coast;
    int gsize = 920, gsizev = 740;
};

struct RemapResult {
    bool ok = false;
    std::string error;
    double xmmin0 = 0, xmmax0 = 0, ymmin0 = 0, ymmax0 = 0, xint = 0, yint = 0;
    int lastRow = 0, lastCol = 0;  // grid size
    Corners used;                  // after the 1:1 adjustment
};

// Fills gp from g. `hrv` is a single-channel HRV picture.
RemapResult remap(const NativeScene& s, const DataWindow& w, const nav::Context& nav, bool hrv, const Raster& g,
                  const RemapRequest& request, Raster& gp);

// The product cycle's Mercator step reads its corners from the product line: after
// "mercator" and one more character, upper-west longitude and latitude, lower-east longitude
// and latitude, then "1" at the first character for 1:1 and at the third for frozen corners.
// Without such a line, or with a lower-east latitude missing, the offered corners stand (all
// zero corners with both options off when the line lacks its last value).
struct MercatorLine {
    Corners corners;
    bool oneToOne = false;
    bool frozen = false;
};
MercatorLine mercadea(const std::string& productLine, const Corners& offered);

// The Projection window's rendering: a statistical stretch of gp (`copy` keeps the bytes of
// fixed-range composites as they are).
Image24 bitmapea_cp(const Raster& gp, const PictureGeometry& geo, int contrastLevel, bool invertedSingle, bool copy,
                    bool hrv);

}  // namespace tesmar::display
