#include "viewer/scene/native_scene.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <string_view>
#include <vector>

#include "common/bytes.h"

namespace tesmar {

using station::Result;

namespace {

struct HeaderBytes {
    std::span<const std::uint8_t> bytes;

    std::int32_t int32(std::int64_t at) const {
        return station::readI32BE(std::span<const std::uint8_t, 4>(bytes.data() + at, 4));
    }
    std::uint32_t word(std::int64_t at) const {
        return station::readU32BE(std::span<const std::uint8_t, 4>(bytes.data() + at, 4));
    }
    double float64(std::int64_t at) const { return station::lwtodouble(word(at), word(at + 4)); }
    std::string text(std::int64_t at, std::size_t n) const {
        return {reinterpret_cast<const char*>(bytes.data() + at), n};
    }
    std::optional<int> asciiDecimal(std::int64_t at) const {
        return station::parseHeaderDecimal(text(at, native::kAsciiValueWidth));
    }
};

// Whether the one-based positions first..last lie in a grid of `grid` positions. Compared as
// they stand: a header word may be any 32-bit value, and subtracting from it could overflow.
bool inGrid(int first, int last, int grid) { return first >= 1 && first <= last && last <= grid; }

// A one-based header position made zero-based; the most negative word stays as it is, outside
// every grid, rather than overflowing.
int zeroBased(std::int32_t position) {
    return position == std::numeric_limits<std::int32_t>::min() ? position : position - 1;
}

std::string badBounds(std::string_view what) {
    return "The header states impossible " + std::string(what) + "; the file cannot be read";
}

}  // namespace

bool NativeScene::channelPresent(int channel) const {
    native::ChannelMap map;
    map.cn = cn;
    map.nnn = nnn;
    return map.present(channel);
}

native::BlockLayout NativeScene::layout() const {
    native::BlockLayout l;
    l.nobyco = nobyco;
    l.nobyco_hrv = nobyco_hrv;
    l.map.cn = cn;
    l.map.nnn = nnn;
    return l;
}

std::int64_t NativeScene::storedLines(std::int64_t fileBytes) const {
    if (blocall <= 0 || fileBytes <= native::kImageStart) return 0;
    return (fileBytes - native::kImageStart) / blocall;
}

float longitudeShift(float salong) { return std::fabs(salong) > 4.0F ? salong : 0.0F; }

Result<NativeScene> parseNativeHeader(std::span<const std::uint8_t> header) {
    if (static_cast<std::int64_t>(header.size()) < native::kMinHeaderBytes)
        return Result<NativeScene>::failure("The file is too short to hold a Native header");
    const HeaderBytes h{header};
    NativeScene s;

    // The time is read at 2504 whatever the length byte before it holds.
    s.bsc = h.text(native::kSceneTime, 12);
    s.channels = h.text(native::kChannelString, 12);
    s.salong = station::lwtosingle(h.word(native::kSubSatLongitude));
    if (!std::isfinite(s.salong))
        return Result<NativeScene>::failure(badBounds("sub-satellite longitude"));
    if (s.salong > 180.0F) s.salong -= 180.0F;
    s.p95 = longitudeShift(s.salong);
    s.b105 = header[native::kAssemblerMark];

    s.hrv_wec = zeroBased(h.int32(native::kHrvLowerWest));
    s.hrv_eac_nor = zeroBased(h.int32(native::kHrvUpperEast));
    s.hrv_eac = zeroBased(h.int32(native::kHrvLowerEast));
    s.vis_off_h = zeroBased(h.int32(native::kHrvLowerNorth));
    if (s.vis_off_h == native::kHrvGrid - 1) s.hrv_eac_nor = s.hrv_eac;

    // An assembled file always holds all twelve channels, whatever its template says.
    const auto map = s.marked() ? native::ChannelMap::allPresent()
                                : native::ChannelMap::fromSelection(s.channels);
    s.cn = map.cn;
    s.nnn = map.nnn;

    if (s.marked()) {
        const int south = h.int32(native::kPlannedSouth);
        const int north = h.int32(native::kPlannedSouth + 4);
        const int east = h.int32(native::kPlannedSouth + 8);
        const int west = h.int32(native::kPlannedSouth + 12);
        if (!inGrid(south, north, native::kVisIrGrid) || !inGrid(east, west, native::kVisIrGrid))
            return Result<NativeScene>::failure(badBounds("image bounds"));
        s.sol = 0;  // the first block of an assembled file is the grid's first line
        s.nol = north - 1;
        s.eac = east - 1;
        s.wec = west - 1;
        s.visir_columns = s.wec - s.eac + 1;
        // Beyond an int when the window's words are extreme: such a width is refused below.
        const std::int64_t hrvPixels = std::int64_t{s.hrv_wec} - s.hrv_eac + 1;
        const bool plausible = hrvPixels >= 1 && hrvPixels <= native::kHrvGrid;
        s.nopico_hrv = plausible ? static_cast<int>(hrvPixels) : 0;
    } else {
        std::array<std::optional<int>, 8> v;
        for (int i = 0; i < 8; ++i) v[i] = h.asciiDecimal(native::kRectSouth + i * native::kAsciiRecordStep);
        for (const auto& x : v)
            if (!x) return Result<NativeScene>::failure(badBounds("image bounds (a value is not a number)"));
        s.sol = *v[0];
        s.nol = *v[1];
        s.eac = *v[2];
        s.wec = *v[3];
        s.visir_lines_stated = *v[4];
        s.visir_columns = *v[5];
        s.hrv_lines_stated = *v[6];
        s.hrv_columns_stated = *v[7];
        if (!inGrid(s.sol, s.nol, native::kVisIrGrid) || !inGrid(s.eac, s.wec, native::kVisIrGrid))
            return Result<NativeScene>::failure(badBounds("image bounds"));
        if (s.visir_columns < 1 || s.visir_columns > native::kVisIrGrid)
            return Result<NativeScene>::failure(badBounds("line length"));
        s.nopico_hrv = s.hrv_columns_stated == native::kHrvGrid ? native::kHrvLinePixels
                                                                : s.hrv_columns_stated;
        const bool fullDisk = s.wec == 3712 && s.nol == 3712 && s.eac == 1 && s.sol == 1;
        if (!fullDisk && s.hrv_columns_stated != native::kHrvGrid) {
            s.hrv_eac = s.hrv_eac_nor = 3 * s.eac;
            s.vis_off_h = native::kHrvGrid;
        }
    }

    if (map.hrvPresent()) {
        const bool origins = s.hrv_eac >= 0 && s.hrv_eac < native::kHrvGrid && s.hrv_eac_nor >= 0 &&
                             s.hrv_eac_nor < native::kHrvGrid;
        if (s.nopico_hrv < 1 || s.nopico_hrv > native::kHrvGrid || !origins ||
            s.vis_off_h < 0 || s.vis_off_h > native::kHrvGrid)
            return Result<NativeScene>::failure(badBounds("HRV bounds"));
    }

    s.nobyco = native::packedBytes(s.visir_columns);
    // Without HRV the stated HRV width is never checked (nor used): it gives no record length.
    s.nobyco_hrv = map.hrvPresent() ? native::packedBytes(s.nopico_hrv) : 0;
    s.blocall = s.layout().blocall();
    if (s.blocall <= 0) return Result<NativeScene>::failure("The header lists no channel; the file cannot be read");

    for (int k = 1; k <= native::kChannels; ++k) {
        const auto at = native::calibrationSlopeOffset(k);
        s.calibration[k - 1] = {h.float64(at), h.float64(at + 8)};
    }
    return s;
}

Result<NativeScene> readNativeHeader(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Result<NativeScene>::failure("Cannot open " + path.string());
    std::vector<std::uint8_t> header(native::kMinHeaderBytes);
    in.read(reinterpret_cast<char*>(header.data()), static_cast<std::streamsize>(header.size()));
    header.resize(static_cast<std::size_t>(in.gcount()));
    auto scene = parseNativeHeader(header);
    if (!scene) return Result<NativeScene>::failure(path.filename().string() + ": " + scene.error());
    scene->fich = path;
    return scene;
}

}  // namespace tesmar

namespace tesmar {

namespace {
// Reads exactly n bytes at `at`; empty when the file is missing or shorter.
std::optional<std::vector<std::uint8_t>> readExactly(const std::filesystem::path& path, std::int64_t at,
                                                     std::size_t n) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(at);
    std::vector<std::uint8_t> bytes(n);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(n));
    if (static_cast<std::size_t>(in.gcount()) != n) return std::nullopt;
    return bytes;
}
}  // namespace

std::optional<ChannelCalibration> readChannelCalibration(const std::filesystem::path& path, int channel) {
    if (channel < 1 || channel > native::kChannels) return std::nullopt;
    const auto bytes = readExactly(path, native::calibrationSlopeOffset(channel), 16);
    if (!bytes) return std::nullopt;
    auto word = [&](std::size_t at) {
        return station::readU32BE(std::span<const std::uint8_t, 4>(bytes->data() + at, 4));
    };
    ChannelCalibration c{station::lwtodouble(word(0), word(4)), station::lwtodouble(word(8), word(12))};
    if (!std::isfinite(c.slope) || !std::isfinite(c.offset)) return std::nullopt;
    return c;
}

std::optional<std::string> readSceneTime(const std::filesystem::path& path) {
    const auto bytes = readExactly(path, native::kSceneTime, 12);
    if (!bytes) return std::nullopt;
    return std::string(bytes->begin(), bytes->end());
}

}  // namespace tesmar
