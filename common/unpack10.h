#pragma once
// 10-bit counts packed without gaps, most significant bit first, as the image lines hold them.

#include <cstdint>
#include <span>

namespace station {

// Count of pixel i of a packed line. Bytes beyond the record read as zero, so a line whose
// pixel count is not a multiple of four never reads past its own record.
inline std::uint16_t unpackPixel(std::span<const std::uint8_t> packed, std::size_t i) {
    const std::size_t b = 10 * i / 8;
    const unsigned s = static_cast<unsigned>(10 * i - 8 * b);
    const unsigned hi = b < packed.size() ? packed[b] : 0u;
    const unsigned lo = b + 1 < packed.size() ? packed[b + 1] : 0u;
    return static_cast<std::uint16_t>(((hi % (1u << (8 - s))) << (s + 2)) + (lo >> (6 - s)));
}

// Unpacks out.size() pixels.
void unpack10(std::span<const std::uint8_t> packed, std::span<std::uint16_t> out);

// Unpacks out.size() pixels starting at pixel `first`, at the speed of whole groups.
void unpack10From(std::span<const std::uint8_t> packed, std::size_t first, std::span<std::uint16_t> out);

// Packs the counts (only their low 10 bits); `out` must hold counts.size() * 10 / 8 bytes,
// the last partial byte (if any) is dropped just as a reader truncates the record length.
void pack10(std::span<const std::uint16_t> counts, std::span<std::uint8_t> out);

}  // namespace station
