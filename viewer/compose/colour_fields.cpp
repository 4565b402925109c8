#include "viewer/compose/colour_fields.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

namespace tesmar::compose {

station::Result<double> realField(std::string_view text) {
    std::string_view t = text;
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
    if (t.size() > 1 && t.front() == '+' && t[1] != '-' && t[1] != '+') t.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (!t.empty() && ec == std::errc{} && end == t.data() + t.size() && std::isfinite(v)) return v;
    std::string why(1, '\'');
    why.append(text);
    why.append("' is not a valid floating point value");
    return station::Result<double>::failure(std::move(why));
}

std::string fixedText(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    // printf would round an exact half to even; adding 0.0 turns -0 into 0.
    const double scaled = value * scale;
    const double rounded = (std::isfinite(scaled) ? std::round(scaled) / scale : value) + 0.0;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, rounded);
    return buf;
}

}  // namespace tesmar::compose
