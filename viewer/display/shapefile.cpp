#include "viewer/display/shapefile.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "common/bytes.h"

namespace tesmar::display {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t kMainHeader = 100;
constexpr std::size_t kRecordHeader = 8;
constexpr std::int32_t kFileCode = 9994;
constexpr std::int32_t kPolyline = 3, kPolygon = 5;
// Shape type, bounding box, part count, point count.
constexpr std::size_t kPolyFixed = 4 + 32 + 4 + 4;

std::int32_t i32BE(Bytes b, std::size_t at) {
    return station::readI32BE(b.subspan(at).first<4>());
}

std::int32_t i32LE(Bytes b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(v);
}

double f64LE(Bytes b, std::size_t at) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
    return std::bit_cast<double>(v);
}

// Coordinates become hundredths only when they are finite and fit an int.
bool toHundredths(double degrees, long& out) {
    const double v = std::round(degrees * 100.0);
    if (!std::isfinite(v) || std::fabs(v) > 2.0e9) return false;
    out = static_cast<long>(v);
    return true;
}

// The points of one polyline or polygon record, appended to `out`; an error text when the
// record's counts do not fit it.
std::string convertPoly(Bytes content, std::string& out, int& points) {
    if (content.size() < kPolyFixed) return "too short for its shape";
    const std::int32_t parts = i32LE(content, 36), count = i32LE(content, 40);
    if (parts < 0 || count < 0) return "a negative part or point count";
    const auto need = kPolyFixed + 4 * std::size_t(parts) + 16 * std::size_t(count);
    if (need > content.size())
        return std::to_string(parts) + " parts and " + std::to_string(count) +
               " points do not fit its " + std::to_string(content.size()) + " bytes";

    const std::size_t pointsAt = kPolyFixed + 4 * std::size_t(parts);
    for (std::int32_t k = 0; k < parts; ++k) {
        const std::int32_t first = i32LE(content, kPolyFixed + 4 * std::size_t(k));
        const std::int32_t end =
            k + 1 < parts ? i32LE(content, kPolyFixed + 4 * std::size_t(k + 1)) : count;
        if (first < 0 || first > end || end > count)
            return "part " + std::to_string(k + 1) + " has the point range " +
                   std::to_string(first) + " to " + std::to_string(end) + " outside its " +
                   std::to_string(count) + " points";
        for (std::int32_t i = first; i < end; ++i) {
            const std::size_t at = pointsAt + 16 * std::size_t(i);
            long x = 0, y = 0;
            if (!toHundredths(f64LE(content, at), x) || !toHundredths(f64LE(content, at + 8), y))
                return "point " + std::to_string(i + 1) + " is not a usable coordinate";
            out += std::to_string(x);
            out += ' ';
            out += std::to_string(y);
            out += '\n';
            ++points;
        }
        out += ">\n";
    }
    return {};
}

}  // namespace

station::Result<int> shapefileToCoast(const std::filesystem::path& shp,
                                      const std::filesystem::path& coastTxt) {
    using R = station::Result<int>;
    std::ifstream in(shp, std::ios::binary);
    if (!in) return R::failure("Cannot open " + shp.string());
    const std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
    if (in.bad()) return R::failure("Cannot read " + shp.string());
    const Bytes file(data);
    const auto name = shp.filename().string();

    if (file.size() < kMainHeader || i32BE(file, 0) != kFileCode)
        return R::failure(name + " is not a shapefile");
    const auto stated = std::int64_t{i32BE(file, 24)} * 2;
    if (stated < std::int64_t{kMainHeader} || stated > std::int64_t(file.size()))
        return R::failure(name + " is cut short: its header gives " + std::to_string(stated) +
                          " bytes, the file has " + std::to_string(file.size()));
    const auto end =
        static_cast<std::size_t>(stated);  // bytes after the stated length are not records

    std::string out = ">0\n";
    int points = 0;
    std::int32_t previous = 0;
    for (std::size_t at = kMainHeader; at < end;) {
        // A record whose header cannot be trusted is named by its place.
        const auto where = [&] {
            return name + ": " +
                   (previous == 0 ? "the first record"
                                  : "the record after record " + std::to_string(previous)) +
                   " (byte " + std::to_string(at) + ")";
        };
        if (end - at < kRecordHeader) return R::failure(where() + " is cut short in its header");
        const std::int32_t number = i32BE(file, at);
        const auto length = std::int64_t{i32BE(file, at + 4)} * 2;
        if (length < 4 || length > std::int64_t(end - at - kRecordHeader))
            return R::failure(
                where() + " states " + std::to_string(length) + " bytes of content, which " +
                (length < 4 ? "cannot hold a shape type" : "run past the end of the file"));
        const Bytes content = file.subspan(at + kRecordHeader, static_cast<std::size_t>(length));

        out += '>';
        out += std::to_string(previous);
        out += '\n';
        const std::int32_t type = i32LE(content, 0);
        if (type == kPolyline || type == kPolygon) {
            if (const auto why = convertPoly(content, out, points); !why.empty())
                return R::failure(name + ": record " + std::to_string(number) +
                                  " is corrupt: " + why);
        }
        previous = number;
        at += kRecordHeader + static_cast<std::size_t>(length);
    }

    const auto written = station::writeFileAtomically(
        coastTxt, [&](std::ostream& o) { return static_cast<bool>(o << out); },
        station::IfExists::Replace);
    if (!written) return R::failure(written.error());
    return points;
}

}  // namespace tesmar::display
