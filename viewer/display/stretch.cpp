#include "viewer/display/stretch.h"

#include <algorithm>
#include <cmath>

namespace tesmar::display {

namespace {

template <class PerComponent>
Image24 render(const Raster& g, const PictureGeometry& geo, PerComponent value) {
    Image24 out(std::max(geo.width, 0), std::max(geo.height, 0));
    for (int y = 0; y < out.height; ++y) {
        const int row = geo.rasterRow(y);
        for (int x = 0; x < out.width; ++x) {
            const int col = geo.rasterCol(x);
            std::uint8_t* px = out.pixel(x, y);
            if (!Raster::inside(row, col)) continue;
            for (int p = 0; p < 3; ++p) px[p] = value(p, g.at(p, row, col));
        }
    }
    return out;
}

// Gain of the statistical stretch for contrast levels -2 to 4. The HRV row is not linear at
// its ends (50 and 230): it is the table the users know.
double stretchGain(PictureKind kind, int level) {
    static constexpr double visIr[7] = {10, 50, 90, 130, 170, 210, 250};
    static constexpr double hrv[7] = {50, 70, 100, 130, 160, 190, 230};
    const auto i = static_cast<std::size_t>(std::clamp(level, -2, 4) + 2);
    return kind == PictureKind::SingleHrv ? hrv[i] : visIr[i];
}

std::uint8_t clip(double v) {
    if (!(v > 0)) return 0;  // also NaN
    return v >= 255 ? 255 : static_cast<std::uint8_t>(v);
}

}  // namespace

PlaneStats planeStatistics(const Raster& g, const PictureGeometry& geo) {
    PlaneStats st;
    for (int p = 0; p < 3; ++p) {
        double s = 0, q = 0;
        long n = 0;
        for (int y = 0; y < geo.height; ++y) {
            const int row = geo.rasterRow(y);
            for (int x = 0; x < geo.width; ++x) {
                const int col = geo.rasterCol(x);
                if (!Raster::inside(row, col)) continue;
                const int v = g.at(p, row, col);
                if (v == 0 || v == 255) continue;
                s += v;
                q += static_cast<double>(v) * v;
                ++n;
            }
        }
        const double count = static_cast<double>(n + 1);
        const double mean = s / count;
        const double var = q / count - mean * mean;
        st.mean[static_cast<std::size_t>(p)] = mean;
        st.sd[static_cast<std::size_t>(p)] = var > 0 ? std::sqrt(var) : 120.0;
        st.anyValid[static_cast<std::size_t>(p)] = n > 0;
    }
    return st;
}

Image24 bitmapea(const Raster& g, const PictureGeometry& geo) {
    return render(g, geo, [](int, std::uint8_t v) { return v; });
}

Image24 bitmapea_r(const Raster& g, const PictureGeometry& geo) {
    return render(g, geo, [](int, std::uint8_t v) { return static_cast<std::uint8_t>(255 - v); });
}

Image24 bitmapea_c(const Raster& g, const PictureGeometry& geo, PictureKind kind, const ContrastControls& c) {
    if (geo.empty()) return {};
    const auto st = planeStatistics(g, geo);
    const double gain = stretchGain(kind, c.contrastLevel);
    const bool invert = kind == PictureKind::SingleVisIr && c.inverted;
    // A picture whose blue plane holds nothing but marks and saturation shows black.
    const bool black = kind != PictureKind::SingleHrv && !st.anyValid[2];
    return render(g, geo, [&](int p, std::uint8_t v) -> std::uint8_t {
        if (black) return 0;
        const auto i = static_cast<std::size_t>(p);
        const double d = std::trunc(gain * (v - st.mean[i]) / (st.sd[i] + 0.1));
        return clip(invert ? 127 - d : 127 + d);
    });
}

Image24 bitmapea_x(const Raster& g, const PictureGeometry& geo, PictureKind kind, const ContrastControls& c) {
    if (geo.empty()) return {};
    const auto st = planeStatistics(g, geo);
    const double a = c.adjustHeight - 3;
    const double gain = (c.contrastLevel + 3.2) / 2;
    const bool visIr = kind != PictureKind::SingleHrv;
    const bool invert = kind == PictureKind::SingleVisIr && c.inverted;
    return render(g, geo, [&](int p, std::uint8_t v) -> std::uint8_t {
        const auto i = static_cast<std::size_t>(p);
        if (visIr && !st.anyValid[2] && st.mean[i] == 0) return 0;
        const double shift = a * st.sd[i] * std::fabs(a) / 10;
        const auto value = clip(std::trunc(255 / (1 + std::exp(-gain * (v - st.mean[i] + shift) / 42))));
        return invert ? static_cast<std::uint8_t>(255 - value) : value;
    });
}

}  // namespace tesmar::display
