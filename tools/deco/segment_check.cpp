#include "tools/deco/segment_check.h"

#include "common/xrit_header.h"

namespace deco {

Verdict checkSegment(std::string_view bytes, const std::string& what) {
    const auto header = station::xrit::parseHeader(bytes);
    if (!header) return {kUnreadable, what + " has a damaged xRIT header"};
    if (!header->image) return {kUnreadable, what + " has no image structure record"};
    const int flag = header->image->compression;
    if (flag == 1 || flag == 2)
        return {kCompressed,
                what + " holds " + (flag == 1 ? "lossless" : "lossy") +
                    " compressed data; point deco at an installed xRIT decompressor to handle it"};
    if (flag != 0)
        return {kUnreadable, what + " has an unknown compression flag " + std::to_string(flag)};
    return {};
}

}  // namespace deco
