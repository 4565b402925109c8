// Segment names and the segment-list templates. A name the reader accepts must be rebuilt
// exactly by build(), so the reception can never look for a file under a name other than
// the one it read; the names a template gives for a slot are whole names of a segment.

#include <cstdint>
#include <string>
#include <vector>

#include "common/decompressor.h"
#include "common/segment_name.h"
#include "common/segment_templates.h"
#include "common/slot_time.h"
#include "fuzz/fuzz_support.h"

namespace {

namespace segments = station::segments;
using fuzzing::require;

void checkName(std::string_view text) {
    const auto name = segments::parse(text);
    if (name) {
        require(name->build() == text, "a segment name does not round-trip", text);
        require(name->nominalBytes() > 0, "a segment of no size");
        require(station::slot_time::epochSeconds(name->slot) ||
                    !station::slot_time::shortKey(name->slot),
                "a short key of a slot that is not a date");
        (void)station::slot_time::ant_fecha(-15, name->slot);
    }
    const auto decompressed = station::decompressedSegmentName(text);
    if (decompressed)
        require(decompressed->size() == text.size(), "the decompressed name changed length");
    if (fuzzing::plainFileName(text)) (void)station::nominalSegmentBytes(std::string(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = fuzzing::asText(data, size);
    checkName(text);

    // The same bytes as a template file, read as the reception reads it.
    const auto file = fuzzing::writeFile("hformat.txt", text);
    const auto lines = segments::readTemplate(file);
    const bool rapid = size % 2 == 1, compressed = size % 4 >= 2;
    const std::string scan(rapid ? segments::kRapidScan : segments::kFullDiskScan);
    const auto expected = segments::expectedSegments(lines, scan, "201903181200", compressed);
    for (const auto& e : expected) {
        require(e.name.size() == segments::kNameLength, "an expected name of the wrong length",
                e.name);
        checkName(e.name);
    }
    // The template's own name comes from the satellite digit of a received name.
    if (size > 0) {
        const char satellite = static_cast<char>(data[0]);
        const auto name = segments::templateFileName(satellite, '2');
        require(fuzzing::plainFileName(name), "a template file name with a path", name);
    }
    return 0;
}
