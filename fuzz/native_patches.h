#pragma once
// The Native target's input: not a file but a short program of edits to one of a few small
// valid files made by the synthetic writer, so the fuzzer spends its time past the header's
// checks instead of rediscovering a 450 KB header. The corpus maker writes its seeds in the
// same language.
//
//   byte 0          which base file (modulo the number of bases)
//   then, repeated  an operation byte (modulo 5) and its operands:
//     0 bytes       offset (3 bytes, modulo the file size), count (1 byte), the bytes
//     1 field       field (1 byte), shift (1 signed byte), count (1 byte, 1..16), the bytes
//     2 decimal     ASCII field (1 byte), value (4 bytes big-endian, signed): the value
//                   written as the header writes it, blank-padded to the field's width
//     3 word        binary field (1 byte), value (4 bytes big-endian, signed)
//     4 cut         the file ends at an offset (3 bytes, modulo the file size)

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/native_layout.h"
#include "tools/synth/native_writer.h"

namespace fuzzing::native_patches {

namespace native = station::native;

enum Op : std::uint8_t { kBytes = 0, kField = 1, kDecimal = 2, kWord = 3, kCut = 4 };

// The scenes of the base files: a standard band of full lines, two regions (one with absent
// channels and no HRV), and the assembler's files of both marks.
inline std::vector<synth::SyntheticScene> baseScenes() {
    std::vector<synth::SyntheticScene> out;
    synth::SyntheticScene s;
    s.south = 1800;
    s.north = 1802;
    out.push_back(s);
    s.south = 1000;
    s.north = 1002;
    s.east = 101;
    s.west = 900;
    s.hrvColumns = 2400;
    out.push_back(s);
    s.east = 11;
    s.west = 17;
    s.hrvColumns = 21;
    s.channels = "X-XX-XXXXXX-";
    out.push_back(s);
    s = {};
    s.mark = 's';
    s.south = 1;
    s.north = 3;
    s.hrv = {8064, 2001, 7568, 101};
    out.push_back(s);
    s = {};
    s.mark = 'i';
    s.south = 1;
    s.north = 4;
    out.push_back(s);
    return out;
}

// Where the header fields the reader uses begin.
inline constexpr std::array<std::int64_t, 16> kFields{
    native::kSceneTimeLength, native::kSceneTime,
    native::kChannelString,   native::kRectSouth,
    native::kVisIrColumns,    native::kHrvColumns,
    native::kSubSatLongitude, native::kPlannedSouth,
    native::kHrvLowerNorth,   native::kHrvLowerEast,
    native::kHrvLowerWest,    native::kHrvUpperEast,
    native::kCalibration,     native::kCalibration + 16 * 11,
    native::kAssemblerMark,   native::kImageStart};

// The eight ASCII values of a standard file: bounds, then the stated line and column counts.
inline std::int64_t decimalField(unsigned i) {
    return native::kRectSouth + static_cast<std::int64_t>(i % 8) * native::kAsciiRecordStep;
}

// The binary words of an assembled file's bounds and HRV windows.
inline constexpr std::array<std::int64_t, 8> kWords{
    native::kPlannedSouth,      native::kPlannedSouth + 4, native::kPlannedSouth + 8,
    native::kPlannedSouth + 12, native::kHrvLowerNorth,    native::kHrvLowerEast,
    native::kHrvLowerWest,      native::kHrvUpperEast};

// The base files, written once per process into `dir` and kept in memory.
inline const std::vector<std::string>& bases(const std::filesystem::path& dir) {
    static const std::vector<std::string> files = [&] {
        std::vector<std::string> out;
        for (const auto& scene : baseScenes()) {
            const auto p = dir / "base.nat";
            if (!synth::writeNative(scene, p)) std::abort();
            std::ifstream in(p, std::ios::binary);
            out.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return out;
    }();
    return files;
}

// Applies the program to a copy of its base file, in `file` (whose storage is reused).
inline void apply(const std::vector<std::string>& baseFiles, const std::uint8_t* data,
                  std::size_t size, std::string& file) {
    file.assign(baseFiles[size == 0 ? 0 : data[0] % baseFiles.size()]);
    if (size == 0) return;
    std::size_t at = 1;
    auto left = [&] { return size - at; };
    auto byte = [&] { return data[at++]; };
    auto u24 = [&] {
        std::uint32_t v = 0;
        for (int i = 0; i < 3; ++i) v = (v << 8) | byte();
        return v;
    };
    auto i32 = [&] {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | byte();
        return static_cast<std::int32_t>(v);
    };
    auto put = [&](std::int64_t offset, const std::uint8_t* bytes, std::size_t n) {
        if (offset < 0) return;
        for (std::size_t i = 0; i < n && static_cast<std::size_t>(offset) + i < file.size(); ++i)
            file[static_cast<std::size_t>(offset) + i] = static_cast<char>(bytes[i]);
    };
    while (left() > 0 && !file.empty()) {
        switch (byte() % 5) {
            case kBytes: {
                if (left() < 4) return;
                const auto offset = u24() % file.size();
                const auto n = std::min<std::size_t>(byte(), left());
                put(static_cast<std::int64_t>(offset), data + at, n);
                at += n;
                break;
            }
            case kField: {
                if (left() < 3) return;
                const auto field = kFields[byte() % kFields.size()];
                const auto shift = static_cast<std::int8_t>(byte());
                const auto n = std::min<std::size_t>(byte() % 16 + 1, left());
                put(field + shift, data + at, n);
                at += n;
                break;
            }
            case kDecimal: {
                if (left() < 5) return;
                const auto field = decimalField(byte());
                std::string text = std::to_string(i32());
                text.resize(native::kAsciiValueWidth, ' ');
                put(field, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
                break;
            }
            case kWord: {
                if (left() < 5) return;
                const auto field = kWords[byte() % kWords.size()];
                const auto v = static_cast<std::uint32_t>(i32());
                const std::uint8_t word[4] = {
                    static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                    static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
                put(field, word, 4);
                break;
            }
            case kCut:
                if (left() < 3) return;
                file.resize(u24() % file.size());
                break;
        }
    }
}

}  // namespace fuzzing::native_patches
