#pragma once
// The mouse read-out: what lies under the pointer of the picture.

#include <array>
#include <optional>
#include <string>

#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"
#include "viewer/display/zoom.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"
#include "viewer/scene/navigation.h"

namespace tesmar::display {

struct ReadoutInput {
    const NativeScene& scene;
    const DataWindow& window;
    PictureGeometry geometry;
    nav::Context nav;
    const Raster& g;
    int prodnr = 1;
    bool hrvSingle = false;
    bool heightFocus = false;
    int ncha = 1;
    ChannelCalibration cal{};
    double mindf = 0, maxdf = 0;  // range of a temperature-difference picture
    // Distance measurement from an origin set by the transect tool.
    bool cursormeas = false;
    nav::GeoPoint distanceOrigin{};
    const ZoomState* zoom = nullptr;  // the picture's zoom levels, if any
};

struct ReadoutTexts {
    bool inside = false;   // the pointer lies on the picture
    bool onDisk = false;   // and the position is on the Earth's disk
    int line = 0, column = 0;
    double lon = 0, lat = 0;
    std::string lineText, columnText, lonText, latText, countText, valueText;
    std::string distanceText;  // only while distances are measured
    std::optional<std::array<std::uint8_t, 3>> bars;  // composite pictures: R, G, B bytes
};

// Read-out at picture position (x, y), already taken back through any zoom.
ReadoutTexts readtem(const ReadoutInput& in, int x, int y);

}  // namespace tesmar::display
