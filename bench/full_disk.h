#pragma once
// The synthetic full-disk scene the benchmarks share: the demo station's, else one written
// once to the temporary directory.

#include <cstdlib>
#include <filesystem>

#include "tools/synth/native_writer.h"
#include "viewer/scene/native_scene.h"

namespace bench {

inline std::filesystem::path stationDir() {
    const char* dir = std::getenv("STATION_DIR");
    return dir ? dir : "demo-station";
}

inline const std::filesystem::path& fullDiskPath() {
    static const std::filesystem::path path = [] {
        const auto demo = stationDir() / "nats" / "201903181200.nat";
        if (std::filesystem::exists(demo)) return demo;
        auto p = std::filesystem::temp_directory_path() / "station-bench-fulldisk.nat";
        if (!std::filesystem::exists(p) || std::filesystem::file_size(p) != 270795360) {
            synth::SyntheticScene s;
            s.content = synth::Content::Earth;
            s.hrv = {8064, 2800, 8367, 2000};
            if (!synth::writeNative(s, p)) std::abort();
        }
        return p;
    }();
    return path;
}

inline tesmar::NativeScene fullDiskScene() {
    auto s = tesmar::readNativeHeader(fullDiskPath());
    if (!s) std::abort();
    return *s;
}

}  // namespace bench
