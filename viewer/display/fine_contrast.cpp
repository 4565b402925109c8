#include "viewer/display/fine_contrast.h"

#include <algorithm>
#include <cmath>

#include "viewer/display/overlays.h"

namespace tesmar::display {

Histogram histogram(const Raster& g, const PictureGeometry& geo) {
    Histogram h{};
    for (int y = 0; y < geo.height; ++y)
        for (int x = 0; x < geo.width; ++x) {
            const int row = geo.rasterRow(y), col = geo.rasterCol(x);
            if (!Raster::inside(row, col)) continue;
            for (int p = 0; p < 3; ++p) ++h[static_cast<std::size_t>(p)][g.at(p, row, col)];
        }
    return h;
}

Image24 bitmapea_c_more(const Raster& g, const PictureGeometry& geo, const std::array<float, 3>& media,
                        const std::array<float, 3>& contraste, bool singleInfrared, bool hrv) {
    Image24 out(std::max(geo.width, 0), std::max(geo.height, 0));
    const bool complement = singleInfrared && !hrv;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int row = geo.rasterRow(y), col = geo.rasterCol(x);
            if (!Raster::inside(row, col)) continue;
            for (int p = 0; p < 3; ++p) {
                const auto i = static_cast<std::size_t>(p);
                const double spread = contraste[i] != 0 ? contraste[i] : 1;
                const double v = std::trunc((g.at(p, row, col) - media[i]) * 100 / spread);
                const double clipped = std::clamp(std::isfinite(v) ? v : 0.0, 0.0, 255.0);
                out.pixel(x, y)[p] = static_cast<std::uint8_t>(complement ? 255 - clipped : clipped);
            }
        }
    return out;
}

ProbeResult fijaclix(const Raster& g, const PictureGeometry& geo, int x, int y, int referenceArea, double divisor,
                     double offset) {
    const int w = 8 * referenceArea;
    // The clicked cell and the square around it, in raster rows and columns.
    const int r0 = geo.rasterRow(y), c0 = geo.rasterCol(x);
    const int lastRow = std::min(geo.hrv ? geo.lastRow : geo.height - 1, kRasterRows - 1);
    const int lastCol = std::min(geo.width - 1, kRasterCols - 1);
    ProbeResult out;
    for (int p = 0; p < 3; ++p) {
        double s = 0, q = 0;
        long n = 0;
        for (int row = std::max(r0 - w, 0); row <= std::min(r0 + w - 1, lastRow); ++row)
            for (int col = std::max(c0 - w, 0); col <= std::min(c0 + w - 1, lastCol); ++col) {
                const int v = g.at(p, row, col);
                if (v == 0 || v == 255 || v == kCoastValue) continue;
                s += v;
                q += static_cast<double>(v) * v;
                ++n;
            }
        const double count = static_cast<double>(n + 1);
        const double mean = count < 2 ? 25.0 : s / count;
        const double var = q / count - (s / count) * (s / count);
        const double sd = count < 2 || !(var > 0) ? 2.0 : std::sqrt(var);
        const auto i = static_cast<std::size_t>(p);
        out.sliders[i] = std::max(1, static_cast<int>(std::lround(mean / 5 - offset)));
        out.spreads[i] = std::max(3, static_cast<int>(std::lround(sd / (divisor != 0 ? divisor : 1))) - 1);
    }
    return out;
}

}  // namespace tesmar::display
