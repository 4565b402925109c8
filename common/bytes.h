#pragma once
// Big-endian fields of binary headers, and the header's ASCII decimal values.

#include <bit>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace station {

inline std::uint32_t readU32BE(std::span<const std::uint8_t, 4> b) {
    return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
           std::uint32_t{b[3]};
}

inline std::int32_t readI32BE(std::span<const std::uint8_t, 4> b) {
    return static_cast<std::int32_t>(readU32BE(b));
}

// One 32-bit big-endian word as an IEEE single.
inline float lwtosingle(std::uint32_t word) { return std::bit_cast<float>(word); }

// Two 32-bit words, high word first, as an IEEE double.
inline double lwtodouble(std::uint32_t high, std::uint32_t low) {
    return std::bit_cast<double>((std::uint64_t{high} << 32) | low);
}

inline void writeU32BE(std::span<std::uint8_t, 4> b, std::uint32_t v) {
    b[0] = static_cast<std::uint8_t>(v >> 24);
    b[1] = static_cast<std::uint8_t>(v >> 16);
    b[2] = static_cast<std::uint8_t>(v >> 8);
    b[3] = static_cast<std::uint8_t>(v);
}

inline void writeDoubleBE(std::span<std::uint8_t, 8> b, double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    writeU32BE(b.first<4>(), static_cast<std::uint32_t>(bits >> 32));
    writeU32BE(b.last<4>(), static_cast<std::uint32_t>(bits));
}

// A header value: its first character as it stands, then every directly following digit,
// read as a decimal integer ("3712   " gives 3712, "1  " gives 1). Empty when that text
// is not a number (a blank or letter first) or does not fit an int.
std::optional<int> parseHeaderDecimal(std::string_view field);

}  // namespace station
