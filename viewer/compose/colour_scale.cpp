#include "viewer/compose/colour_scale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tesmar::compose {

namespace {
std::uint8_t byte(int v) {
    return static_cast<std::uint8_t>(v);
}
}  // namespace

display::Rgb roveaz(int a, bool reverse) {
    a = std::clamp(a, 0, kScaleSteps - 1);
    if (reverse) a = kScaleSteps - 1 - a;
    if (a < 64) return {0, byte(4 * a), 255};                // blue to cyan
    if (a < 128) return {0, 255, byte(255 - 4 * (a - 64))};  // cyan to green
    if (a < 192) return {byte(4 * (a - 128)), 255, 0};       // green to yellow
    return {255, byte(255 - 4 * (a - 192)), 0};              // yellow to red
}

std::optional<int> scaleIndex(double value, double lo, double hi) {
    if (!std::isfinite(value) || !std::isfinite(lo) || !std::isfinite(hi)) return std::nullopt;
    if (!(lo < value && value < hi)) return std::nullopt;
    const double step = std::trunc((value - lo) * 255.0 / (hi - lo));
    // A range wider than the largest double overflows to infinity.
    if (!std::isfinite(step)) return std::nullopt;
    return static_cast<int>(std::clamp(step, 0.0, 255.0));
}

display::Image24 scaleImage(bool reverse) {
    display::Image24 image(kScaleSteps, kScaleImageHeight);
    for (int a = 0; a < kScaleSteps; ++a) {
        const auto c = roveaz(a, reverse);
        for (int y = 0; y < kScaleImageHeight; ++y) {
            std::uint8_t* px = image.pixel(a, y);
            px[0] = c.r;
            px[1] = c.g;
            px[2] = c.b;
        }
    }
    return image;
}

RangeColours rangeFieldColours(bool reverse) {
    constexpr display::Rgb kBlue{0, 0, 255}, kRed{255, 0, 0};
    return reverse ? RangeColours{kRed, kBlue} : RangeColours{kBlue, kRed};
}

}  // namespace tesmar::compose
