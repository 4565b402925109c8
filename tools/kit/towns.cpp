#include "tools/kit/towns.h"

#include <array>

#include "tools/kit/coast_text.h"
#include "tools/kit/text_lines.h"

namespace kit {

namespace {

// Parses a sign and `degreeDigits` digits of degrees, then minutes and optional seconds.
// `withSeconds` is decided by the caller from the total length.
std::optional<double> angle(std::string_view s, std::size_t degreeDigits, bool withSeconds,
                            double most) {
    if (s.size() != 1 + degreeDigits + (withSeconds ? 4 : 2) || (s[0] != '+' && s[0] != '-'))
        return std::nullopt;
    for (std::size_t i = 1; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
    const auto field = [&](std::size_t at, std::size_t n) {
        return *text::number<int>(s.substr(at, n));
    };
    const int deg = field(1, degreeDigits);
    const int min = field(1 + degreeDigits, 2);
    const int sec = withSeconds ? field(3 + degreeDigits, 2) : 0;
    if (min >= 60 || sec >= 60) return std::nullopt;
    const double v = deg + min / 60.0 + sec / 3600.0;
    if (v > most) return std::nullopt;
    return s[0] == '-' ? -v : v;
}

}  // namespace

std::optional<tesmar::nav::GeoPoint> parseIso6709(std::string_view text) {
    const bool withSeconds = text.size() == 15;
    if (text.size() != 11 && !withSeconds) return std::nullopt;
    const std::size_t split = withSeconds ? 7 : 5;
    const auto lat = angle(text.substr(0, split), 2, withSeconds, 90);
    const auto lon = angle(text.substr(split), 3, withSeconds, 180);
    if (!lat || !lon) return std::nullopt;
    return tesmar::nav::GeoPoint{*lon, *lat};
}

std::string townName(std::string_view zone) {
    if (const auto slash = zone.rfind('/'); slash != std::string_view::npos)
        zone.remove_prefix(slash + 1);
    std::string name(zone);
    for (auto& c : name)
        if (c == '_') c = ' ';
    return name;
}

std::optional<Place> parseZoneLine(std::string_view line) {
    if (line.empty() || line.front() == '#') return std::nullopt;
    std::array<std::string_view, 3> fields;
    for (auto& f : fields) {
        const auto tab = line.find('\t');
        f = line.substr(0, tab);
        line = tab == std::string_view::npos ? std::string_view{} : line.substr(tab + 1);
    }
    const auto at = parseIso6709(fields[1]);
    auto name = townName(fields[2]);
    if (!at || name.empty() || name.front() < 'A' || name.front() > 'Z') return std::nullopt;
    return Place{*at, std::move(name)};
}

std::vector<Place> visiblePlaces(std::string_view table) {
    std::vector<Place> out;
    text::forEachLine(table, [&](std::string_view line) {
        auto p = parseZoneLine(line);
        if (p && tesmar::nav::geoToVisIr(p->at.lon, p->at.lat, {})) out.push_back(std::move(*p));
    });
    return out;
}

std::string formatTownText(const std::vector<Place>& places) {
    std::string out = "LON LAT NAME (x100 degrees)\n";
    for (const auto& p : places) {
        // Parsed coordinates are within +-180 degrees, so they always round.
        out += std::to_string(*hundredths(p.at.lon)) + ' ' + std::to_string(*hundredths(p.at.lat)) +
               ' ' + p.name + '\n';
    }
    return out;
}

}  // namespace kit
