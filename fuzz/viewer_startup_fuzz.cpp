// The viewer's start-up on a station directory: label.txt (the input's first line and what
// follows it) and product.txt (the rest), whose first entry presets the channel boxes, the
// centre and the scope. Start-up takes what it can use and the preset then works: the
// centre makes a data window inside the scene or is refused with a message, and the boxes
// are checked like typed ones.

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/clock.h"
#include "common/host.h"
#include "fuzz/fuzz_support.h"
#include "tools/synth/native_writer.h"
#include "viewer/viewer.h"

namespace {

namespace fs = std::filesystem;
using fuzzing::require;

// The station directory, with a small scene as the sample start-up opens.
const fs::path& stationDir() {
    static const fs::path dir = [] {
        const auto d = fuzzing::scratch() / "station";
        fs::create_directories(d / "nats");
        synth::SyntheticScene s;
        s.south = 1800;
        s.north = 1803;
        if (!synth::writeNative(s, d / "nats" / "201004241200sample.nat")) std::abort();
        return d;
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = fuzzing::asText(data, size);
    const auto& dir = stationDir();
    const auto newline = text.find('\n');
    fuzzing::writeFile(dir, "label.txt", text);
    fuzzing::writeFile(
        dir, "product.txt",
        newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1));

    static station::ConsoleHost host;
    static const station::SystemClock clock;
    // One viewer for the run (its rasters are large); every start-up begins from the defaults.
    static tesmar::Viewer viewer(host, clock, dir);
    viewer.controls = tesmar::Controls{};
    viewer.label = "EUMETSAT ";
    viewer.gate.quiet = false;
    viewer.oncre();
    require(viewer.scene.fich.filename() == "201004241200sample.nat",
            "the sample scene was not opened");
    require(viewer.controls.scopeSlider >= 1 && viewer.controls.scopeSlider <= 5,
            "a scope outside the slider");
    require(viewer.label.find('\n') == std::string::npos, "a label of more than one line");

    // The preset at work; messages become status lines, which a console host keeps quiet.
    viewer.gate.quiet = true;
    for (int plane = 0; plane < 3; ++plane) (void)viewer.nc_c(plane);
    if (viewer.leedatos()) {
        const auto& w = viewer.window;
        require(w.degra >= 1 && w.degra <= 5, "a scope outside 1 to 5");
        if (!w.empty())
            require(w.fil >= 0 && w.fic >= 0 && w.lal <= viewer.scene.nol - viewer.scene.sol + 1 &&
                        w.lac <= viewer.scene.visir_columns,
                    "a data window outside the scene");
    }
    return 0;
}
