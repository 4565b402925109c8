#pragma once
// Segment files for the decompressor tests, made with the station's own header writer.

#include <cstddef>
#include <string>

#include "common/segment_name.h"
#include "common/xrit_header.h"

namespace testing_support {

// The broadcast name of an image segment of channel 1 ("-C_" when compressed).
inline std::string segmentName(int segment, bool compressed = true) {
    namespace seg = station::segments;
    return seg::SegmentName{'H', '4',     false,          seg::Part::Image,
                            1,   segment, "201906121030", compressed}
        .build();
}

// A segment whose image structure record carries `flag` (none when negative), followed by
// `dataBytes` of patterned data, so a copy that drops or moves a byte shows.
inline std::string segmentBytes(int flag, std::size_t dataBytes = 1000) {
    namespace xrit = station::xrit;
    std::optional<xrit::ImageStructure> image;
    if (flag >= 0) image = xrit::ImageStructure{10, 3712, 464, flag};
    std::string bytes =
        xrit::makeHeader(xrit::kFileTypeImage, station::segments::kSegmentHeaderBytes,
                         dataBytes * 8, image, segmentName(1));
    bytes.reserve(bytes.size() + dataBytes);
    for (std::size_t i = 0; i < dataBytes; ++i) bytes += static_cast<char>((i * 7 + 3) & 0xff);
    return bytes;
}

// Channel 1's decompressed size: 2,159,158 bytes.
inline constexpr std::size_t kNominalDataBytes =
    std::size_t{station::segments::kLinesPerSegment} * station::segments::kVisIrLineBytes;

}  // namespace testing_support
