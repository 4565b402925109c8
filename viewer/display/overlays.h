#pragma once
// Map overlays: coast masks burnt into the raster before rendering, and the marks drawn on
// the finished picture (water bounds, towns, fires) as a list the picture layer paints.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "viewer/display/overlay_files.h"
#include "viewer/display/picture_geometry.h"
#include "viewer/display/raster.h"
#include "viewer/display/zoom.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"

namespace tesmar::display {

inline constexpr std::uint8_t kCoastValue = 182;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct DrawOp {
    enum class Kind { Line, Square, Circle, Text };
    Kind kind = Kind::Line;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // Square, Circle: bounding box; Text: top-left corner
    Rgb pen, fill;
    std::string text;
    bool boxed = false;  // Text: on a light box, so it reads over dark space and night too
};
using DrawList = std::vector<DrawOp>;

// Paints marks (lines, squares, names) onto a rendered picture; supplied by the picture layer,
// absent where no fonts are at hand.
using MarkPainter = std::function<void(Image24&, const DrawList&)>;

// What the overlays need to know about the picture on screen.
struct OverlayContext {
    const NativeScene& scene;
    const DataWindow& window;
    PictureGeometry geometry;
    bool hrv = false;  // a single-channel HRV picture
    nav::Context nav;
    const ZoomState* zoom = nullptr;  // the picture's zoom levels, if any
};

struct PicturePoint {
    int x = 0, y = 0;
};

// Picture pixel of a geographic point through the same cell mapping the picture was filled
// with; empty when the point is not on the disk (navigation gives line or column below 1).
std::optional<PicturePoint> picturePosition(const OverlayContext& ctx, double lon, double lat);

// Burns the coast mask into the raster cells of the picture. `visIrMask` is the 3712-square
// bitmap, `hrvMask` the 11136-square one (may be missing). Returns the cells marked, or an
// error when the mask cannot be read.
station::Result<int> overl(const OverlayContext& ctx, const std::filesystem::path& visIrMask,
                           const std::filesystem::path& hrvMask, Raster& g);

// Water bounds: white polylines. `fich` decides the correction of files from the first
// satellite after its move east.
DrawList overl2(const OverlayContext& ctx, const std::vector<Polyline>& coast, const std::string& fich);
DrawList do_town(const OverlayContext& ctx, const std::vector<Town>& towns);
DrawList do_town_fire(const OverlayContext& ctx, const std::vector<Fire>& fires);

}  // namespace tesmar::display
