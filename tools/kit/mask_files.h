#pragma once
// The two picture formats of the coast masks, both uncompressed one bit per cell with the
// mask's rows in file order: a Windows BMP (bottom-up, so mask row 0 is the picture's lowest)
// and a binary PBM whose header is padded to a fixed size, so row R sits at a fixed offset.

#include <cstddef>
#include <ostream>
#include <string>

#include "tools/kit/bit_mask.h"

namespace kit {

inline constexpr std::size_t kBmpHeaderSize = 62;  // file header, info header, two colours
inline constexpr std::size_t kPbmHeaderSize = 38;

// BMP header of a 1-bit picture, palette index 0 black and 1 white.
std::string bmpHeader(int width, int height);
// Bytes of one BMP row: whole bytes rounded up to a multiple of four.
int bmpRowBytes(int width);
bool writeBmp(std::ostream& out, const BitMask& mask);

// "P4" header padded with a comment to exactly `size` bytes; empty when it cannot fit.
std::string pbmHeader(int width, int height, std::size_t size);
// PBM with a kPbmHeaderSize-byte header (a set bit is black in PBM terms).
bool writePbm(std::ostream& out, const BitMask& mask);

}  // namespace kit
