#include "viewer/display/overlay_files.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <string_view>

namespace tesmar::display {

namespace {

std::vector<std::string> lines(const std::filesystem::path& path) {
    std::vector<std::string> out;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(std::move(line));
    }
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<int> whole(std::string_view s) {
    s = trim(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    int v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc{} || p != s.data() + s.size()) return std::nullopt;
    return v;
}

// Splits off the next blank-separated token.
std::string_view token(std::string_view& s) {
    s = trim(s);
    const auto end = s.find_first_of(" \t");
    const auto t = s.substr(0, end);
    s = end == std::string_view::npos ? std::string_view{} : s.substr(end);
    return t;
}

nav::GeoPoint hundredths(int lon, int lat) { return {lon / 100.0, lat / 100.0}; }

}  // namespace

std::vector<Polyline> readCoastPolylines(const std::filesystem::path& path) {
    std::vector<Polyline> out;
    const auto all = lines(path);
    Polyline current;
    for (std::size_t i = 1; i < all.size(); ++i) {
        std::string_view rest = all[i];
        if (rest.find('>') != std::string_view::npos) {
            if (!current.empty()) out.push_back(std::move(current));
            current.clear();
            continue;
        }
        const auto lon = whole(token(rest));
        const auto lat = whole(token(rest));
        if (!lon || !lat) continue;
        current.push_back(hundredths(*lon, *lat));
    }
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

std::vector<Town> readTowns(const std::filesystem::path& path) {
    std::vector<Town> out;
    const auto all = lines(path);
    for (std::size_t i = 1; i < all.size(); ++i) {
        std::string_view rest = all[i];
        const auto lon = whole(token(rest));
        const auto lat = whole(token(rest));
        if (!lon || !lat) continue;
        std::string name = toUtf8(std::string(rest));
        if (name.find("##") != std::string::npos) continue;
        const auto first = name.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
        name = first == std::string::npos ? std::string{} : name.substr(first);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        out.push_back({hundredths(*lon, *lat), name});
    }
    return out;
}

std::vector<Fire> readFires(const std::filesystem::path& path) {
    std::vector<Fire> out;
    for (const auto& line : lines(path)) {
        if (line.find("##") != std::string::npos) continue;
        const auto c1 = line.find(','), c2 = c1 == std::string::npos ? c1 : line.find(',', c1 + 1);
        if (c2 == std::string::npos) continue;
        const std::string_view l = line;
        const auto lon = whole(l.substr(0, c1)), lat = whole(l.substr(c1 + 1, c2 - c1 - 1)),
                   value = whole(l.substr(c2 + 1));
        if (!lon || !lat || !value) continue;
        out.push_back({hundredths(*lon, *lat), *value});
    }
    return out;
}

namespace {
bool validUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (n < 0 || i + static_cast<std::size_t>(n) >= s.size() + (n == 0 ? 1 : 0)) return false;
        for (int k = 1; k <= n; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) >> 6) != 2) return false;
        i += static_cast<std::size_t>(n) + 1;
    }
    return true;
}

void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr unsigned kCp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
}  // namespace

std::string toUtf8(const std::string& text) {
    if (validUtf8(text)) return text;
    std::string out;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(out, c < 0x80 ? c : c < 0xA0 ? kCp1252High[c - 0x80] : c);
    }
    return out;
}

}  // namespace tesmar::display
