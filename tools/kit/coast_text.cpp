#include "tools/kit/coast_text.h"

#include <cmath>
#include <utility>

#include "tools/kit/text_lines.h"

namespace kit {

std::optional<int> hundredths(double degrees) {
    const double v = degrees * 100.0;
    if (!std::isfinite(v) || std::fabs(v) > 36000.0) return std::nullopt;
    return static_cast<int>(std::lround(v));
}

std::vector<CoastLine> toCoastLines(const std::vector<GeoLine>& lines) {
    std::vector<CoastLine> out;
    for (const auto& line : lines) {
        CoastLine c;
        for (const auto& p : line) {
            const auto lon = hundredths(p.lon), lat = hundredths(p.lat);
            if (!lon || !lat) continue;
            const CoastPoint q{*lon, *lat};
            if (c.empty() || c.back() != q) c.push_back(q);
        }
        if (!c.empty()) out.push_back(std::move(c));
    }
    return out;
}

std::string formatCoastText(const std::vector<CoastLine>& lines) {
    std::string out = ">0\n";
    out.reserve(out.size() + pointCount(lines) * 11 + lines.size() * 2);
    for (const auto& line : lines) {
        for (const auto& p : line) {
            out += std::to_string(p.lon);
            out += ' ';
            out += std::to_string(p.lat);
            out += '\n';
        }
        out += ">\n";
    }
    return out;
}

std::vector<CoastLine> parseCoastText(std::string_view text) {
    std::vector<CoastLine> out;
    CoastLine current;
    bool header = true;
    text::forEachLine(text, [&](std::string_view line) {
        if (std::exchange(header, false)) return;
        if (line.find('>') != std::string_view::npos) {
            if (!current.empty()) out.push_back(std::move(current));
            current.clear();
            return;
        }
        const auto lon = text::number<int>(text::nextToken(line));
        const auto lat = text::number<int>(text::nextToken(line));
        if (lon && lat) current.push_back({*lon, *lat});
    });
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

std::size_t pointCount(const std::vector<CoastLine>& lines) {
    std::size_t n = 0;
    for (const auto& l : lines) n += l.size();
    return n;
}

}  // namespace kit
