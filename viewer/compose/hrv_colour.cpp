#include "viewer/compose/hrv_colour.h"

#include <algorithm>
#include <vector>

#include "common/unpack10.h"
#include "viewer/compose/hrv_ihs_fields.h"
#include "viewer/scene/channels.h"
#include "viewer/scene/line_reader.h"

namespace tesmar::compose {

namespace {

// The channels of the three entries, or why they cannot be blended into this scene.
station::Result<std::array<int, 3>> blendChannels(const NativeScene& scene,
                                                  const HrvColourSettings& s) {
    using Channels = station::Result<std::array<int, 3>>;
    std::array<int, 3> bands{};
    for (std::size_t p = 0; p < 3; ++p) {
        const auto b = integerField(s.channels[p]);
        if (!b) return Channels::failure(b.error());
        bands[p] = *b;
    }
    for (const int b : bands) {
        if (!channels::valid(b)) return Channels::failure("Channels are numbered 1 to 12");
        if (!scene.channelPresent(b))
            return Channels::failure("Channel " + std::to_string(b) +
                                     " is not in this file. Choose an existing channel");
    }
    return bands;
}

// Blends VIS/IR channel `b` into plane `plane` of the HRV picture of window `w`.
void blendPlane(LineReader& reader, const NativeScene& scene, const DataWindow& w, int b,
                display::Raster& g, int plane) {
    // First VIS/IR column of the window, counted within the stored line.
    const int c0 = (w.fic + w.visof) / 3 - scene.eac;
    const int n = (w.lac - w.fic) / 3;
    // Columns off the stored line have no count: their cells stay as they are.
    const int first = std::max(c0, 0);
    const int last = std::min({c0 + n, scene.visir_columns, c0 + display::kRasterCols / 3});
    if (first >= last) return;
    std::vector<std::uint16_t> counts(static_cast<std::size_t>(last - first));
    for (int u = w.fil; u < w.lal && 3 * (u - w.fil) < display::kRasterRows; ++u) {
        station::unpack10From(reader.packedVisIr(b, u), static_cast<std::size_t>(first), counts);
        const int row0 = 3 * (u - w.fil);
        for (int i = 0; i < 3 && row0 + i < display::kRasterRows; ++i) {
            std::uint8_t* row = g.row(plane, row0 + i);
            for (int c = first; c < last; ++c) {
                const int v = counts[static_cast<std::size_t>(c - first)] / 4;
                // 70 % HRV, 30 % the channel, in whole numbers so no cell loses a unit to
                // rounding.
                for (int j = 0; j < 3; ++j) {
                    std::uint8_t& cell = row[3 * (c - c0) + j];
                    cell = static_cast<std::uint8_t>((7 * cell + 3 * v) / 10);
                }
            }
        }
    }
}

}  // namespace

display::Image24 bitmapea_hr(const display::Raster& g, const DataWindow& w) {
    if (w.empty()) return {};
    return display::bitmapea(g, display::PictureGeometry::hrvSingle(w));
}

HrvColourResult hr_colo(const NativeScene& scene, const DataWindow& w,
                        const HrvColourSettings& settings, const HrvColourOptions& options,
                        display::Raster& g) {
    HrvColourResult out;
    // Said first: without HRV every other complaint would be beside the point.
    if (!scene.channelPresent(channels::kHrv)) {
        out.error = "This file holds no HRV channel: there is no high resolution picture to colour";
        return out;
    }
    const auto bands = blendChannels(scene, settings);
    if (!bands) {
        out.error = bands.error();
        return out;
    }
    if (w.empty()) {
        out.error = "The chosen centre lies outside the stored image";
        return out;
    }
    auto reader = LineReader::open(scene);
    if (!reader) {
        out.error = reader.error();
        return out;
    }

    for (int p = 0; p < 3; ++p) {
        const int b = (*bands)[static_cast<std::size_t>(p)];
        if (b != channels::kHrv) blendPlane(*reader, scene, w, b, g, p);
    }
    if (options.ihs) ihs2rgb(g, options.area, options.scale);

    out.ok = true;
    out.incomplete = reader->incomplete();
    out.channels = *bands;
    out.title = "Coloured high resolution " + std::to_string((*bands)[0]) + "+" +
                std::to_string((*bands)[1]) + "+" + std::to_string((*bands)[2]);
    out.geometry = display::PictureGeometry::hrvSingle(w);
    out.picture =
        display::bitmapea_c(g, out.geometry, display::PictureKind::SingleHrv, options.contrast);
    return out;
}

}  // namespace tesmar::compose
