// Native files: the header reader and the line reader, on edited copies of small valid files
// (see native_patches.h). A header that passes validation must describe records that lie in
// the grid, and reading any stored line of any channel, HRV included, must stay inside the
// buffers whatever the file holds or lacks.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/native_patches.h"
#include "viewer/scene/line_reader.h"
#include "viewer/scene/native_scene.h"

namespace {

namespace native = station::native;
using fuzzing::require;

// Reads stored line u of every channel; a channel reads exactly when the file holds it.
void readLine(tesmar::LineReader& reader, std::int64_t u, std::vector<std::uint16_t>& counts,
              std::vector<std::uint16_t>& south, std::vector<std::uint16_t>& middle,
              std::vector<std::uint16_t>& north) {
    const auto& scene = reader.scene();
    for (int k = 1; k <= native::kChannels; ++k) {
        const bool present = scene.channelPresent(k);
        if (k == native::kHrvChannel) {
            require(reader.readHrv(u, south, middle, north) == present,
                    "HRV read despite its absence");
            continue;
        }
        require(reader.readVisIr(k, u, counts) == present, "a channel read despite its absence");
    }
}

void readLines(const tesmar::NativeScene& scene) {
    auto reader = tesmar::LineReader::open(scene);
    if (!reader) return;
    const std::int64_t stored = scene.storedLines(reader->fileBytes());
    // As the picture builders size them: one line of the scene's own widths.
    std::vector<std::uint16_t> counts(static_cast<std::size_t>(scene.visir_columns));
    const int hrvPixels = scene.channelPresent(native::kHrvChannel) ? scene.nopico_hrv : 0;
    std::vector<std::uint16_t> south(static_cast<std::size_t>(std::max(hrvPixels, 0))),
        middle(south.size()), north(south.size());
    // The lines the file holds whole read whole...
    for (const std::int64_t u : {std::int64_t{0}, std::int64_t{1}, stored - 1})
        if (u >= 0 && u < stored) readLine(*reader, u, counts, south, middle, north);
    require(!reader->incomplete(), "a stored line read as incomplete");
    // ...and those past its end read as zeros, marked incomplete.
    for (const std::int64_t u : {stored, stored + 1})
        readLine(*reader, u, counts, south, middle, north);
    require(reader->incomplete(), "lines past the end of the file read as complete");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& bases = fuzzing::native_patches::bases(fuzzing::scratch());
    static std::string bytes;
    fuzzing::native_patches::apply(bases, data, size, bytes);
    const auto file = fuzzing::writeFile("scene.nat", bytes);

    for (int k = 0; k <= native::kChannels + 1; ++k) (void)tesmar::readChannelCalibration(file, k);
    if (const auto time = tesmar::readSceneTime(file))
        require(time->size() == 12, "scene time not 12 characters");

    const auto scene = tesmar::readNativeHeader(file);
    if (!scene) return 0;
    // What validation promises the readers.
    require(scene->visir_columns >= 1 && scene->visir_columns <= native::kVisIrGrid,
            "line length outside the grid");
    require(scene->sol >= 0 && scene->sol <= scene->nol && scene->nol <= native::kVisIrGrid,
            "lines outside the grid");
    require(scene->eac >= 0 && scene->eac <= scene->wec && scene->wec <= native::kVisIrGrid,
            "columns outside the grid");
    require(scene->blocall > 0, "no block length");
    if (scene->channelPresent(native::kHrvChannel))
        require(scene->nopico_hrv >= 1 && scene->nopico_hrv <= native::kHrvGrid,
                "HRV line length outside the grid");
    readLines(*scene);
    return 0;
}
