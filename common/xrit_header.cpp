#include "common/xrit_header.h"

namespace station::xrit {

namespace {

std::uint64_t bigEndian(std::string_view b, std::size_t at, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

void putBigEndian(std::string& out, std::uint64_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((v >> (8 * i)) & 0xff);
}

void putRecordStart(std::string& out, std::uint8_t type, std::size_t length) {
    out += static_cast<char>(type);
    putBigEndian(out, length, 2);
}

}  // namespace

std::optional<Header> parseHeader(std::string_view b) {
    if (b.size() < 16 || static_cast<std::uint8_t>(b[0]) != kPrimaryHeader || bigEndian(b, 1, 2) != 16)
        return std::nullopt;
    Header h;
    h.fileType = static_cast<std::uint8_t>(b[3]);
    h.totalHeaderLength = static_cast<std::uint32_t>(bigEndian(b, 4, 4));
    h.dataFieldBits = bigEndian(b, 8, 8);
    if (h.totalHeaderLength < 16 || h.totalHeaderLength > b.size()) return std::nullopt;
    std::size_t at = 16;
    while (at < h.totalHeaderLength) {
        if (at + 3 > h.totalHeaderLength) return std::nullopt;
        const auto type = static_cast<std::uint8_t>(b[at]);
        const auto length = static_cast<std::size_t>(bigEndian(b, at + 1, 2));
        if (length < 3 || at + length > h.totalHeaderLength) return std::nullopt;
        if (type == kImageStructure) {
            if (length != 9) return std::nullopt;
            h.image = ImageStructure{static_cast<int>(static_cast<std::uint8_t>(b[at + 3])),
                                     static_cast<int>(bigEndian(b, at + 4, 2)), static_cast<int>(bigEndian(b, at + 6, 2)),
                                     static_cast<int>(static_cast<std::uint8_t>(b[at + 8]))};
        } else if (type == kAnnotation) {
            h.annotation = std::string(b.substr(at + 3, length - 3));
        }
        at += length;
    }
    return at == h.totalHeaderLength ? std::optional<Header>(h) : std::nullopt;
}

std::string makeHeader(int fileType, std::uint32_t totalLength, std::uint64_t dataFieldBits,
                       const std::optional<ImageStructure>& image, const std::string& annotation) {
    std::string out;
    putRecordStart(out, kPrimaryHeader, 16);
    out += static_cast<char>(fileType);
    putBigEndian(out, totalLength, 4);
    putBigEndian(out, dataFieldBits, 8);
    if (image) {
        putRecordStart(out, kImageStructure, 9);
        out += static_cast<char>(image->bitsPerPixel);
        putBigEndian(out, static_cast<std::uint64_t>(image->columns), 2);
        putBigEndian(out, static_cast<std::uint64_t>(image->lines), 2);
        out += static_cast<char>(image->compression);
    }
    if (!annotation.empty()) {
        putRecordStart(out, kAnnotation, 3 + annotation.size());
        out += annotation;
    }
    if (out.size() == totalLength) return out;
    const std::size_t rest = totalLength > out.size() ? totalLength - out.size() : 0;
    if (rest < 3 || rest > 0xffff) return {};
    putRecordStart(out, kLineQuality, rest);
    out.append(rest - 3, '\0');
    return out;
}

}  // namespace station::xrit
