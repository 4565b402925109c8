#include "tools/kit/bit_mask.h"

#include <cstddef>

namespace kit {

BitMask::BitMask(int width, int height, bool background)
    : width_(width),
      height_(height),
      rowBytes_((width + 7) / 8),
      bits_(static_cast<std::size_t>(rowBytes_) * static_cast<std::size_t>(height),
            background ? 0xFF : 0x00) {}

bool BitMask::test(int row, int bit) const {
    if (row < 0 || row >= height_ || bit < 0 || bit >= width_) return false;
    const auto at = static_cast<std::size_t>(row) * static_cast<std::size_t>(rowBytes_) +
                    static_cast<std::size_t>(bit / 8);
    return (bits_[at] & (0x80 >> (bit % 8))) != 0;
}

void BitMask::put(int row, int bit, bool value) {
    if (row < 0 || row >= height_ || bit < 0 || bit >= width_) return;
    const auto at = static_cast<std::size_t>(row) * static_cast<std::size_t>(rowBytes_) +
                    static_cast<std::size_t>(bit / 8);
    const auto m = static_cast<std::uint8_t>(0x80 >> (bit % 8));
    bits_[at] = value ? static_cast<std::uint8_t>(bits_[at] | m)
                      : static_cast<std::uint8_t>(bits_[at] & ~m);
}

std::span<const std::uint8_t> BitMask::row(int r) const {
    return std::span<const std::uint8_t>(bits_).subspan(
        static_cast<std::size_t>(r) * static_cast<std::size_t>(rowBytes_),
        static_cast<std::size_t>(rowBytes_));
}

}  // namespace kit
