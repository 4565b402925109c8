#include "viewer/compose/restrict_colour.h"

#include "viewer/scene/channels.h"

namespace tesmar::compose {

RestrictResult recolour(const RestrictColourSettings& settings, const RestrictSubject& subject,
                        display::Raster& g) {
    RestrictResult out;
    if (subject.ncha > channels::kHrv - 1) {
        out.error = "Colour components cannot be restricted on a high resolution picture";
        return out;
    }
    const auto& geo = subject.geometry;
    if (geo.empty()) {
        out.error = "There is no picture to re-colour";
        return out;
    }
    for (int p = 0; p < 3; ++p) {
        if (settings.keep[static_cast<std::size_t>(p)]) continue;
        for (int y = 0; y < geo.height; ++y)
            for (int x = 0; x < geo.width; ++x) {
                const int row = geo.rasterRow(y), col = geo.rasterCol(x);
                if (display::Raster::inside(row, col)) g.at(p, row, col) = 0;
            }
    }
    if (!subject.singleChannel) {
        out.picture =
            display::bitmapea_c(g, geo, display::PictureKind::Composite, subject.contrast);
    } else {
        out.picture = subject.inverted ? display::bitmapea_r(g, geo) : display::bitmapea(g, geo);
    }
    out.ok = true;
    return out;
}

}  // namespace tesmar::compose
