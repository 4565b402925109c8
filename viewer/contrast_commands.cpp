// Contrast commands of the main window: they re-render the raster already filled.

#include <cstdlib>

#include "viewer/viewer.h"

namespace tesmar {

namespace {
display::PictureKind kindOf(const Viewer& v) {
    if (!v.shows_single) return display::PictureKind::Composite;
    return v.shown.hrvSingle ? display::PictureKind::SingleHrv : display::PictureKind::SingleVisIr;
}

void redrawMarks(Viewer& v) {
    v.marks.clear();
    v.drawMapMarks();
}
}  // namespace

void Viewer::contrastNormal() {
    if (shown.geometry.empty()) return;
    picture = display::bitmapea_c(g, shown.geometry, kindOf(*this), contrastControls());
    redrawMarks(*this);
}

void Viewer::equalize() {
    if (shown.geometry.empty()) return;
    picture = display::bitmapea_x(g, shown.geometry, kindOf(*this), contrastControls());
    redrawMarks(*this);
}

void Viewer::des_auto() { controls.automaticStretch = false; }

void Viewer::focus_change() {
    if (!controls.heightFocus) return;
    for (auto* entry : {&controls.red, &controls.green, &controls.blue}) {
        char* end = nullptr;
        const long v = std::strtol(entry->c_str(), &end, 10);
        if (end != entry->c_str() && *end == '\0') *entry = std::to_string(std::labs(v));
    }
}

std::array<std::array<int, 256>, 3> Viewer::pictureHistogram() const {
    return display::histogram(g, shown.geometry);
}

void Viewer::morecon(const std::array<int, 3>& sliders, const std::array<int, 3>& spreads) {
    for (int p = 0; p < 3; ++p) {
        contraste[static_cast<std::size_t>(p)] = static_cast<float>(spreads[static_cast<std::size_t>(p)] + 1);
        media[static_cast<std::size_t>(p)] = static_cast<float>(sliders[static_cast<std::size_t>(p)] * 5);
    }
    if (shown.geometry.empty()) return;
    const bool infrared = shows_single && ncha >= 4 && ncha <= 11;
    picture = display::bitmapea_c_more(g, shown.geometry, media, contraste, infrared, shown.hrvSingle);
    redrawMarks(*this);
}

std::array<std::uint8_t, 3> Viewer::cellBytes(int x, int y) const {
    const auto& geo = shown.geometry;
    if (x < 0 || y < 0 || x >= geo.width || y >= geo.height) return {};
    const int row = geo.rasterRow(y), col = geo.rasterCol(x);
    if (!display::Raster::inside(row, col)) return {};
    return {g.at(0, row, col), g.at(1, row, col), g.at(2, row, col)};
}

display::ProbeResult Viewer::fijaclix(int x, int y, int referenceArea, double divisor, double offset) {
    return display::fijaclix(g, shown.geometry, x, y, referenceArea, divisor, offset);
}

}  // namespace tesmar
