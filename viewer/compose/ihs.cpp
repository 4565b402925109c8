#include "viewer/compose/ihs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tesmar::compose {

namespace {

constexpr double kSqrt2 = std::numbers::sqrt2;
constexpr double kSqrt3 = std::numbers::sqrt3;
const double kSqrt6 = std::sqrt(6.0);
const double kSqrt15 = std::sqrt(1.5);
constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kRadiansPerHueByte = 0.024639942381096417557;  // 2 pi / 255
constexpr double kHueBytesPerRadian = 40.58451048843331;        // 255 / 2 pi
constexpr double kSaturationPerByte = 0.24494117647058823529;

std::uint8_t limited(double v) {
    if (!(v > 0)) return 0;  // also NaN
    return v >= 255 ? 255 : static_cast<std::uint8_t>(v);
}

double saturation(std::uint8_t byte, SaturationScale scale) {
    return scale == SaturationScale::ColourEditor ? byte / kSqrt15
                                                  : byte * kSaturationPerByte + 0.2;
}

// The hue angle of (x, y) in 0 to 2 pi, as the hue byte measures it. At the origin (a black
// cell) the angle is 3 pi / 2.
double hueAngle(double x, double y) {
    if (x == 0) return y > 0 ? std::numbers::pi / 2 : 3 * std::numbers::pi / 2;
    const double a = std::atan(y / x);
    if (x > 0) return y < 0 ? a + kTwoPi : a;
    return a + std::numbers::pi;
}

double rotated(double angle, double degrees) {
    double a = angle + degrees * std::numbers::pi / 180;
    if (a > kTwoPi)
        a -= kTwoPi;
    else if (a < 0)
        a += kTwoPi;
    // Only a step field beyond a full turn gets here.
    if (a > kTwoPi || a < 0) {
        a = std::fmod(a, kTwoPi);
        if (a < 0) a += kTwoPi;
    }
    return a;
}

// The cells of the display area, row by row.
template <class PerCell>
void eachCell(DisplayArea area, PerCell f) {
    const int rows = std::min(area.gsizev + 1, display::kRasterRows);
    const int cols = std::min(area.gsize + 1, display::kRasterCols);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) f(r, c);
}

Bytes3 cell(const display::Raster& g, int r, int c) {
    return {g.at(0, r, c), g.at(1, r, c), g.at(2, r, c)};
}

void put(display::Raster& g, int r, int c, Bytes3 v) {
    for (int p = 0; p < 3; ++p) g.at(p, r, c) = v[static_cast<std::size_t>(p)];
}

}  // namespace

Bytes3 ihsToRgb(Bytes3 ihs, SaturationScale scale) {
    const double i = ihs[0];
    const double angle = ihs[1] * kRadiansPerHueByte;
    const double s = saturation(ihs[2], scale);
    const double c = s * std::cos(angle) / kSqrt6;
    const double d = s * std::sin(angle) / kSqrt2;
    return {limited(std::trunc(i - c - d)), limited(std::trunc(i - c + d)),
            limited(std::trunc(i + 2 * c))};
}

Bytes3 rgbToIhs(Bytes3 rgb, const IhsGains& gains) {
    const double r = rgb[0], g = rgb[1], b = rgb[2];
    const double j = std::trunc(gains.intensity / 255 * (r + g + b) / kSqrt3);
    const double y = (g - r) / kSqrt2;
    const double x = (b - j / kSqrt3) * kSqrt15;
    const double angle = rotated(hueAngle(x, y), gains.hueDegrees);
    return {limited(std::trunc(j / kSqrt3)), limited(std::trunc(angle * kHueBytesPerRadian)),
            limited(std::trunc(kSqrt15 * gains.saturation / 255 * std::hypot(x, y)))};
}

void ihs2rgb(display::Raster& g, DisplayArea area, SaturationScale scale) {
    std::array<int, 3> lo{10000, 10000, 10000}, hi{-100, -100, -100};
    eachCell(area, [&](int r, int c) {
        const auto rgb = ihsToRgb(cell(g, r, c), scale);
        put(g, r, c, rgb);
        for (std::size_t p = 0; p < 3; ++p) {
            lo[p] = std::min<int>(lo[p], rgb[p]);
            hi[p] = std::max<int>(hi[p], rgb[p]);
        }
    });
    if (hi[0] < lo[0]) return;  // no cell
    eachCell(area, [&](int r, int c) {
        for (int p = 0; p < 3; ++p) {
            const auto k = static_cast<std::size_t>(p);
            auto& v = g.at(p, r, c);
            v = limited(std::trunc(255 * std::sqrt((v - lo[k]) / (hi[k] - lo[k] + 0.1))));
        }
    });
}

void rg2ih(display::Raster& g, DisplayArea area, const IhsGains& gains) {
    eachCell(area, [&](int r, int c) { put(g, r, c, rgbToIhs(cell(g, r, c), gains)); });
}

std::array<std::string_view, 3> ihsLabels(bool ihs) {
    if (ihs) return {"Intens", "Hue", "Saturat"};
    return {"Red", "Green", "Blue"};
}

}  // namespace tesmar::compose
