#include "common/unpack10.h"

#include <algorithm>
#include <cstring>

namespace station {

void unpack10(std::span<const std::uint8_t> packed, std::span<std::uint16_t> out) {
    std::size_t i = 0;
    // Whole groups of four pixels in five bytes, while all five bytes are in the record.
    const std::size_t groups = std::min(out.size() / 4, packed.size() / 5);
    const std::uint8_t* p = packed.data();
    std::uint16_t* o = out.data();
    // Groups with three bytes to spare are read as one 64-bit big-endian word.
    const std::size_t wide = packed.size() >= 8 ? std::min(groups, (packed.size() - 8) / 5 + 1) : 0;
    for (std::size_t g = 0; g < wide; ++g, p += 5, i += 4) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        w = __builtin_bswap64(w) >> 24;  // the group's 40 bits, first pixel highest
        o[i] = static_cast<std::uint16_t>((w >> 30) & 0x3FF);
        o[i + 1] = static_cast<std::uint16_t>((w >> 20) & 0x3FF);
        o[i + 2] = static_cast<std::uint16_t>((w >> 10) & 0x3FF);
        o[i + 3] = static_cast<std::uint16_t>(w & 0x3FF);
    }
    for (std::size_t g = wide; g < groups; ++g, p += 5, i += 4) {
        o[i] = static_cast<std::uint16_t>((p[0] << 2) | (p[1] >> 6));
        o[i + 1] = static_cast<std::uint16_t>(((p[1] & 0x3F) << 4) | (p[2] >> 4));
        o[i + 2] = static_cast<std::uint16_t>(((p[2] & 0x0F) << 6) | (p[3] >> 2));
        o[i + 3] = static_cast<std::uint16_t>(((p[3] & 0x03) << 8) | p[4]);
    }
    for (; i < out.size(); ++i) out[i] = unpackPixel(packed, i);
}

void unpack10From(std::span<const std::uint8_t> packed, std::size_t first, std::span<std::uint16_t> out) {
    std::size_t i = 0;
    // Pixels up to the next group of four one by one, then whole groups at once.
    for (; i < out.size() && (first + i) % 4 != 0; ++i) out[i] = unpackPixel(packed, first + i);
    const std::size_t byte = std::min((first + i) / 4 * 5, packed.size());
    unpack10(packed.subspan(byte), out.subspan(i));
}

void pack10(std::span<const std::uint16_t> counts, std::span<std::uint8_t> out) {
    for (auto& b : out) b = 0;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const unsigned v = counts[i] & 0x3FFu;
        const std::size_t bit = 10 * i;
        const std::size_t b = bit / 8;
        const unsigned s = static_cast<unsigned>(bit % 8);
        // The 10 bits span bytes b and b+1, starting s bits into byte b.
        const unsigned word = v << (6 - s);  // aligned to a 16-bit window over bytes b, b+1
        if (b < out.size()) out[b] = static_cast<std::uint8_t>(out[b] | (word >> 8));
        if (b + 1 < out.size()) out[b + 1] = static_cast<std::uint8_t>(out[b + 1] | (word & 0xFF));
    }
}

}  // namespace station
