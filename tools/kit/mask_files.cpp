#include "tools/kit/mask_files.h"

#include <cstdint>

namespace kit {

namespace {

void putLE(std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool writeRows(std::ostream& out, const BitMask& mask, int paddedRowBytes) {
    const std::string pad(static_cast<std::size_t>(paddedRowBytes - mask.rowBytes()), '\0');
    for (int r = 0; r < mask.height() && out; ++r) {
        const auto row = mask.row(r);
        out.write(reinterpret_cast<const char*>(row.data()),
                  static_cast<std::streamsize>(row.size()));
        out.write(pad.data(), static_cast<std::streamsize>(pad.size()));
    }
    return static_cast<bool>(out);
}

}  // namespace

int bmpRowBytes(int width) {
    return (width + 31) / 32 * 4;
}

std::string bmpHeader(int width, int height) {
    const auto image =
        static_cast<std::uint32_t>(bmpRowBytes(width)) * static_cast<std::uint32_t>(height);
    std::string h = "BM";
    putLE(h, static_cast<std::uint32_t>(kBmpHeaderSize) + image, 4);  // file size
    putLE(h, 0, 4);                                                   // reserved
    putLE(h, static_cast<std::uint32_t>(kBmpHeaderSize), 4);          // offset of the rows
    putLE(h, 40, 4);                                                  // info header size
    putLE(h, static_cast<std::uint32_t>(width), 4);
    putLE(h, static_cast<std::uint32_t>(height), 4);  // positive: bottom-up
    putLE(h, 1, 2);                                   // planes
    putLE(h, 1, 2);                                   // bits per pixel
    putLE(h, 0, 4);                                   // no compression
    putLE(h, image, 4);
    putLE(h, 2835, 4);  // 72 dpi, both ways
    putLE(h, 2835, 4);
    putLE(h, 2, 4);         // colours used
    putLE(h, 2, 4);         // colours important
    putLE(h, 0x000000, 4);  // index 0: black
    putLE(h, 0xFFFFFF, 4);  // index 1: white
    return h;
}

bool writeBmp(std::ostream& out, const BitMask& mask) {
    out << bmpHeader(mask.width(), mask.height());
    return writeRows(out, mask, bmpRowBytes(mask.width()));
}

std::string pbmHeader(int width, int height, std::size_t size) {
    const std::string magic = "P4\n";
    const std::string dims = std::to_string(width) + " " + std::to_string(height) + "\n";
    std::string comment = "# coast mask";
    const std::size_t fixed = magic.size() + dims.size() + 1;  // 1: the comment's line end
    if (fixed + 1 > size) return {};
    if (fixed + comment.size() > size) comment = "#";
    comment.resize(size - fixed, ' ');
    return magic + comment + "\n" + dims;
}

bool writePbm(std::ostream& out, const BitMask& mask) {
    const auto header = pbmHeader(mask.width(), mask.height(), kPbmHeaderSize);
    if (header.empty()) return false;
    out << header;
    return writeRows(out, mask, mask.rowBytes());
}

}  // namespace kit
