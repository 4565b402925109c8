// xRIT header records and the stand-in decompressor's verdict on a segment. A header the
// reader accepts lies within the bytes, and writing its facts back gives a header that reads
// the same; deco passes on only what the reader calls an uncompressed image.

#include <cstdint>
#include <string>

#include "common/xrit_header.h"
#include "fuzz/fuzz_support.h"
#include "tools/deco/segment_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzzing::require;
    namespace xrit = station::xrit;
    const auto bytes = fuzzing::asText(data, size);

    const auto header = xrit::parseHeader(bytes);
    const auto verdict = deco::checkSegment(bytes, "segment");
    require((verdict.code == deco::kWritten) ==
                (header && header->image && header->image->compression == 0),
            "deco's verdict disagrees with the header", verdict.why);
    if (!header) return 0;
    require(header->totalHeaderLength >= 16 && header->totalHeaderLength <= size,
            "a header longer than its bytes");
    require(header->annotation.size() + 3 <= header->totalHeaderLength,
            "an annotation longer than its header");

    const auto again = xrit::makeHeader(header->fileType, header->totalHeaderLength,
                                        header->dataFieldBits, header->image, header->annotation);
    if (again.empty()) return 0;  // the facts leave no room for the filling record
    require(again.size() == header->totalHeaderLength, "a rewritten header of another length");
    const auto reread = xrit::parseHeader(again);
    require(reread.has_value(), "a rewritten header does not read");
    require(reread->fileType == header->fileType &&
                reread->dataFieldBits == header->dataFieldBits &&
                reread->annotation == header->annotation &&
                reread->image.has_value() == header->image.has_value(),
            "a rewritten header reads differently");
    if (header->image)
        require(reread->image->bitsPerPixel == header->image->bitsPerPixel &&
                    reread->image->columns == header->image->columns &&
                    reread->image->lines == header->image->lines &&
                    reread->image->compression == header->image->compression,
                "a rewritten image structure reads differently");
    return 0;
}
