// The overlay texts coast.txt, town.txt and fire.txt (the same bytes as each), read as the
// viewer reads them and drawn over a picture, and coast.txt as the kit reads it. The two
// readers of coast.txt must find the same points, town names come out as valid UTF-8, and
// no coordinate, however far off the disk, upsets the mapping onto the picture.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "tests/support/scene_facts.h"
#include "tools/kit/coast_text.h"
#include "viewer/display/overlay_files.h"
#include "viewer/display/overlays.h"
#include "viewer/scene/data_window.h"

namespace {

namespace display = tesmar::display;
using fuzzing::require;

// A VIS/IR picture over Europe at scope 5 and an HRV one, as the viewer would make them.
struct Picture {
    tesmar::NativeScene scene = testing_support::standardFullDiskScene();
    tesmar::DataWindow window;
    display::PictureGeometry geometry;
    bool hrv;

    explicit Picture(bool hrvPicture) : hrv(hrvPicture) {
        tesmar::WindowRequest r;
        r.ncha = hrv ? 12 : 1;
        r.scopeSlider = hrv ? 5 : 1;
        window = tesmar::leedatos(scene, {}, r);
        geometry = hrv ? display::PictureGeometry::hrvSingle(window)
                       : display::PictureGeometry::visIr(window);
    }
    display::OverlayContext context() const { return {scene, window, geometry, hrv, {}}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = fuzzing::asText(data, size);
    const auto coastFile = fuzzing::writeFile("coast.txt", text);
    const auto townFile = fuzzing::writeFile("town.txt", text);
    const auto fireFile = fuzzing::writeFile("fire.txt", text);

    const auto coast = display::readCoastPolylines(coastFile);
    const auto towns = display::readTowns(townFile);
    const auto fires = display::readFires(fireFile);

    // The kit's reader and the viewer's agree on every point.
    const auto kitLines = kit::parseCoastText(text);
    require(kitLines.size() == coast.size(), "the coast readers find different polylines");
    for (std::size_t i = 0; i < coast.size(); ++i) {
        require(kitLines[i].size() == coast[i].size(), "the coast readers find different points");
        for (std::size_t j = 0; j < coast[i].size(); ++j)
            require(kitLines[i][j].lon / 100.0 == coast[i][j].lon &&
                        kitLines[i][j].lat / 100.0 == coast[i][j].lat,
                    "the coast readers place a point differently");
    }
    // Written by the kit, the lines read back as they were.
    require(kit::parseCoastText(kit::formatCoastText(kitLines)) == kitLines,
            "coast.txt does not read back");

    for (const auto& t : towns)
        require(display::toUtf8(t.name) == t.name, "a town name that is not UTF-8", t.name);
    const std::string raw(text);
    const auto converted = display::toUtf8(raw);
    require(display::toUtf8(converted) == converted, "a conversion to UTF-8 that is not UTF-8");

    static const Picture pictures[] = {Picture(false), Picture(true)};
    for (const auto& p : pictures) {
        const auto ctx = p.context();
        (void)display::overl2(ctx, coast, "MSG1-201903181200.nat");
        (void)display::do_town(ctx, towns);
        (void)display::do_town_fire(ctx, fires);
    }
    return 0;
}
