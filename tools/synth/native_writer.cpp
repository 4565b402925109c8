#include "tools/synth/native_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <span>
#include <vector>

#include "common/bytes.h"
#include "common/native_layout.h"
#include "tools/synth/line_source.h"
#include "viewer/scene/calibration.h"
#include "viewer/scene/channels.h"

namespace synth {

namespace native = station::native;

std::array<double, 12> SyntheticScene::defaultSlopes() {
    return {0.0230, 0.0294, 0.0228, 0.0037, 0.0083, 0.0390, 0.1280, 0.0970, 0.1900, 0.2190, 0.1540, 0.0310};
}

std::array<double, 12> SyntheticScene::defaultOffsets() {
    auto o = defaultSlopes();
    for (auto& v : o) v *= -51.0;
    return o;
}

int SyntheticScene::storedLines() const { return mark ? north : north - south + 1; }

int SyntheticScene::visirPixels() const {
    if (mark || visirColumns <= 0) return west - east + 1;
    return visirColumns;
}

int SyntheticScene::hrvPixels() const {
    if (mark) return hrv.lowerWest - hrv.lowerEast + 1;
    return hrvColumns == native::kHrvGrid ? native::kHrvLinePixels : hrvColumns;
}

std::uint16_t countForTemperature(const SyntheticScene& scene, int channel, double kelvin) {
    const double lambda = tesmar::channels::wavelengthMicrons(channel) * 1e-6;
    const double r = tesmar::calib::fromSpectral(tesmar::calib::radiance(lambda, kelvin), lambda);
    const auto k = static_cast<std::size_t>(channel - 1);
    return static_cast<std::uint16_t>(std::clamp(std::lround((r - scene.offset[k]) / scene.slope[k]), 0L, 1023L));
}

std::uint16_t patternCount(int channel, std::int64_t u, int p) {
    return static_cast<std::uint16_t>((u * 31 + p * 7 + channel * 97 + (u * p) % 13) % 1024);
}

namespace {

void putText(std::string& h, std::int64_t at, const std::string& text) {
    std::memcpy(h.data() + at, text.data(), text.size());
}

// An ASCII header record: 30 bytes of name, then the value padded with blanks.
void putRecord(std::string& h, std::int64_t valueAt, const std::string& name, const std::string& value) {
    std::string record = name;
    record.resize(28, ' ');
    record += ": " + value;
    record.resize(30 + native::kAsciiValueWidth, ' ');
    putText(h, valueAt - 30, record);
}

void putI32(std::string& h, std::int64_t at, std::int32_t v) {
    station::writeU32BE(std::span<std::uint8_t, 4>(reinterpret_cast<std::uint8_t*>(h.data() + at), 4),
                        static_cast<std::uint32_t>(v));
}

void putDouble(std::string& h, std::int64_t at, double v) {
    station::writeDoubleBE(std::span<std::uint8_t, 8>(reinterpret_cast<std::uint8_t*>(h.data() + at), 8), v);
}

bool present(const SyntheticScene& s, int channel) {
    if (s.mark) return true;  // assembled files hold every channel
    return channel > static_cast<int>(s.channels.size()) || s.channels[static_cast<std::size_t>(channel - 1)] != '-';
}

}  // namespace

std::string headerBytes(const SyntheticScene& s) {
    std::string h(native::kImageStart, '\0');
    putText(h, 0, "FormatName                  : NATIVE\r\n");
    h[native::kSceneTimeLength] = static_cast<char>(s.time.size());
    putText(h, native::kSceneTime, s.time.substr(0, 12));
    putRecord(h, native::kChannelString, "SelectedBandIDs", s.channels);
    const char* names[8] = {"SouthLineSelectedRectangle", "NorthLineSelectedRectangle",
                            "EastColumnSelectedRectangle", "WestColumnSelectedRectangle",
                            "NumberLinesVISIR",            "NumberColumnsVISIR",
                            "NumberLinesHRV",              "NumberColumnsHRV"};
    const int values[8] = {s.south, s.north, s.east, s.west, s.north - s.south + 1, s.visirPixels(),
                           3 * (s.north - s.south + 1), s.hrvColumns};
    for (int i = 0; i < 8; ++i)
        putRecord(h, native::kRectSouth + i * native::kAsciiRecordStep, names[i], std::to_string(values[i]));

    station::writeU32BE(std::span<std::uint8_t, 4>(reinterpret_cast<std::uint8_t*>(h.data() + native::kSubSatLongitude), 4),
                        std::bit_cast<std::uint32_t>(s.subSatLon));
    putI32(h, native::kPlannedSouth, s.south);
    putI32(h, native::kPlannedSouth + 4, s.north);
    putI32(h, native::kPlannedSouth + 8, s.east);
    putI32(h, native::kPlannedSouth + 12, s.west);
    putI32(h, native::kHrvLowerNorth - 4, 1);
    putI32(h, native::kHrvLowerNorth, s.hrv.lowerNorth);
    putI32(h, native::kHrvLowerEast, s.hrv.lowerEast);
    putI32(h, native::kHrvLowerWest, s.hrv.lowerWest);
    putI32(h, native::kHrvUpperEast - 8, s.hrv.lowerNorth + 1);
    putI32(h, native::kHrvUpperEast - 4, native::kHrvGrid);
    putI32(h, native::kHrvUpperEast, s.hrv.upperEast);
    putI32(h, native::kHrvUpperEast + 4, s.hrv.upperEast + native::kHrvLinePixels - 1);
    for (int k = 1; k <= 12; ++k) {
        putDouble(h, native::calibrationSlopeOffset(k), s.slope[static_cast<std::size_t>(k - 1)]);
        putDouble(h, native::calibrationSlopeOffset(k) + 8, s.offset[static_cast<std::size_t>(k - 1)]);
    }
    h[native::kAssemblerMark] = s.mark;
    return h;
}

station::Result<std::uintmax_t> writeNative(const SyntheticScene& s, const std::filesystem::path& path) {
    using R = station::Result<std::uintmax_t>;
    const auto tmp = path.parent_path() / (path.filename().string() + ".part");
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    if (!out) return R::failure("cannot create " + tmp.string());

    const std::string header = headerBytes(s);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));

    // A line block: each present channel's record, then the three HRV records, each record
    // after its (zero) line header.
    LineSource source(s);
    const auto visBytes = static_cast<std::size_t>(source.visIrBytes());
    const auto hrvBytes = static_cast<std::size_t>(source.hrvBytes());
    const bool hrv = present(s, 12);
    std::size_t blockBytes = 0;
    for (int k = 1; k <= 11; ++k)
        if (present(s, k)) blockBytes += native::kLineHeaderBytes + visBytes;
    if (hrv) blockBytes += 3 * (native::kLineHeaderBytes + hrvBytes);

    std::vector<std::uint8_t> block(blockBytes, 0);
    for (int u = 0; u < s.storedLines(); ++u) {
        const int line = source.firstLine() + u;
        std::span<std::uint8_t> at(block);
        for (int k = 1; k <= 11; ++k) {
            if (!present(s, k)) continue;
            source.visIr(k, line, at.subspan(native::kLineHeaderBytes));
            at = at.subspan(native::kLineHeaderBytes + visBytes);
        }
        for (int i = 0; hrv && i < 3; ++i) {
            source.hrv(3 * (line - 1) + i + 1, at.subspan(native::kLineHeaderBytes));
            at = at.subspan(native::kLineHeaderBytes + hrvBytes);
        }
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
    }
    out.close();
    if (!out) return R::failure("cannot write " + tmp.string());
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) return R::failure("cannot rename " + tmp.string() + ": " + ec.message());
    return std::filesystem::file_size(path);
}

}  // namespace synth
