#include "tools/synth/native_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <span>
#include <vector>

#include "common/bytes.h"
#include "common/native_layout.h"
#include "common/unpack10.h"
#include "tools/synth/earth_model.h"
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

    const int visPixels = s.visirPixels(), hrvPixels = s.hrvPixels();
    const int nobyco = native::packedBytes(visPixels), nobycoHrv = native::packedBytes(hrvPixels);
    const bool hrv = present(s, 12);
    // Grid position of stored line 0 and pixel 0: an assembled file starts at the grid's
    // first line; the columns start at the eastern bound in both kinds.
    const int firstLine = s.mark ? 1 : s.south;
    const int vis_off_h = s.hrv.lowerNorth - 1;

    std::unique_ptr<EarthModel> earth;
    std::vector<PixelState> row;
    if (s.content == Content::Earth) {
        earth = std::make_unique<EarthModel>(s);
        row.resize(native::kVisIrGrid);
    }

    std::vector<std::uint16_t> counts(static_cast<std::size_t>(std::max(visPixels, hrvPixels)));
    std::vector<std::uint8_t> packed(static_cast<std::size_t>(std::max(nobyco, nobycoHrv)));
    const std::vector<char> lineHeader(native::kLineHeaderBytes, 0);
    std::string block;

    auto emit = [&](int pixels, int bytes) {
        block.append(lineHeader.data(), lineHeader.size());
        station::pack10(std::span(counts).first(static_cast<std::size_t>(pixels)),
                        std::span(packed).first(static_cast<std::size_t>(bytes)));
        block.append(reinterpret_cast<const char*>(packed.data()), static_cast<std::size_t>(bytes));
    };

    for (int u = 0; u < s.storedLines(); ++u) {
        block.clear();
        const int line = firstLine + u;
        if (earth) earth->lineState(line, row);
        for (int k = 1; k <= 11; ++k) {
            if (!present(s, k)) continue;
            for (int p = 0; p < visPixels; ++p) {
                const int column = s.east + p;
                counts[static_cast<std::size_t>(p)] =
                    s.content == Content::Uniform ? s.uniformCounts[static_cast<std::size_t>(k - 1)]
                    : earth ? (column <= native::kVisIrGrid ? earth->count(k, row[static_cast<std::size_t>(column - 1)]) : 0)
                            : patternCount(k, u, p);
            }
            emit(visPixels, nobyco);
        }
        if (hrv) {
            // The reader takes the HRV column origin from the VIS/IR line, as the header plans.
            const bool lower = 3 * line < vis_off_h || vis_off_h == native::kHrvGrid - 1;
            const int origin = lower ? s.hrv.lowerEast - 1 : s.hrv.upperEast - 1;
            for (int i = 0; i < 3; ++i) {
                const int hrvLine = 3 * (line - 1) + i + 1;
                for (int p = 0; p < hrvPixels; ++p) {
                    const int hrvColumn = origin + p + 1;
                    const int column = std::clamp((hrvColumn + 2) / 3, 1, native::kVisIrGrid);
                    counts[static_cast<std::size_t>(p)] =
                        s.content == Content::Uniform ? s.uniformCounts[11]
                        : earth ? earth->hrvCount(row[static_cast<std::size_t>(column - 1)], hrvLine, hrvColumn)
                                : patternCount(12, 3 * std::int64_t{u} + i, p);
                }
                emit(hrvPixels, nobycoHrv);
            }
        }
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    out.close();
    if (!out) return R::failure("cannot write " + tmp.string());
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) return R::failure("cannot rename " + tmp.string() + ": " + ec.message());
    return std::filesystem::file_size(path);
}

}  // namespace synth
