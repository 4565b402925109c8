#pragma once
// The header records at the start of an xRIT file: each record is a type byte and a 16-bit
// big-endian length (counting those three bytes). The primary header (type 0) gives the total
// header length; the image structure (type 1) says how the data after it is packed and whether
// it is compressed. The stand-in decompressor and the synthetic reception both rely on these.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace station::xrit {

inline constexpr std::uint8_t kPrimaryHeader = 0;
inline constexpr std::uint8_t kImageStructure = 1;
inline constexpr std::uint8_t kAnnotation = 4;
inline constexpr std::uint8_t kLineQuality = 131;

inline constexpr std::uint8_t kFileTypeImage = 0;
inline constexpr std::uint8_t kFileTypePrologue = 128;
inline constexpr std::uint8_t kFileTypeEpilogue = 129;

struct ImageStructure {
    int bitsPerPixel = 10;
    int columns = 0;
    int lines = 0;
    int compression = 0;  // 0 none, 1 lossless, 2 lossy
};

struct Header {
    int fileType = 0;
    std::uint32_t totalHeaderLength = 0;
    std::uint64_t dataFieldBits = 0;
    std::optional<ImageStructure> image;
    std::string annotation;  // the file name the sender gave, when present
};

// Reads the header records from the first bytes of a file; nothing when the records do not
// chain up to the stated total header length or the primary header is missing.
std::optional<Header> parseHeader(std::string_view bytes);

// A header of exactly `totalLength` bytes: primary header, image structure when given, the
// annotation, and one line-quality record filling the rest. Empty when it cannot fit.
std::string makeHeader(int fileType, std::uint32_t totalLength, std::uint64_t dataFieldBits,
                       const std::optional<ImageStructure>& image, const std::string& annotation);

}  // namespace station::xrit
