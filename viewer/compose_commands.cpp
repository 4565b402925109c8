// The Merge commands: pictures of several channels built by the composition library, then
// coasts, rendering and marks as for every picture.

#include <cstdlib>

#include "viewer/viewer.h"

namespace tesmar {

namespace {

// What every multi-channel command does before building: a file, a VIS/IR data window.
bool prepare(Viewer& v) {
    if (v.scene.fich.empty() || !std::filesystem::exists(v.scene.fich)) {
        v.abrefiche();
        if (v.scene.fich.empty() || !std::filesystem::exists(v.scene.fich)) return false;
    }
    // Composites are drawn on the VIS/IR grid: an HRV channel entry goes back to 1.
    if (v.ncha > 11) {
        v.ncha = 1;
        v.controls.channel = std::string("1");  // moved in: GCC 12 misreads a literal assignment
    }
    v.zoom_c = 0;
    v.zoom.clear();
    return v.leedatos();
}

enum class Render { Stretch, Plain, Equalize };

// After a successful build: the picture's state, coasts, rendering and marks.
bool finish(Viewer& v, const compose::BuildResult& r, Render render) {
    if (!r.ok) {
        v.host.message(r.error);
        return false;
    }
    v.shows_single = false;
    v.zoominchiv = false;
    v.shown.hrvSingle = false;
    v.shown.geometry = display::PictureGeometry::visIr(v.window);
    v.shown.incomplete = r.incomplete;
    v.superoverl();
    if (v.controls.ihs && render != Render::Equalize)
        compose::ihs2rgb(v.g, {v.gsize, v.gsizev},
                         v.colourEditorOpen ? compose::SaturationScale::ColourEditor : compose::SaturationScale::Composite);
    if (render == Render::Equalize) {
        v.picture = display::bitmapea_x(v.g, v.shown.geometry, display::PictureKind::Composite, v.contrastControls());
    } else if (render == Render::Stretch && v.controls.automaticStretch) {
        v.picture = display::bitmapea_c(v.g, v.shown.geometry, display::PictureKind::Composite, v.contrastControls());
    } else {
        v.picture = display::bitmapea(v.g, v.shown.geometry);
    }
    v.title = r.title;
    v.host.status(r.incomplete ? r.title + " (the file ends early: part of the picture is missing)" : r.title);
    v.marks = r.marks;
    v.drawMapMarks();
    v.prodnr = r.prodnr;
    v.pictureMade = true;
    return true;
}

compose::Scene sceneOf(const Viewer& v) { return {v.scene, v.window, v.navContext()}; }

}  // namespace

bool Viewer::hr_colour() {
    controls.channel = std::string("12");
    geogracr_hecho = false;
    nomcan();
    return geogracr() && geogracr_hecho;
}

bool Viewer::hr_colo(const compose::HrvColourSettings& settings) {
    hrvColour = settings;
    compose::HrvColourOptions options;
    options.ihs = controls.ihs;
    options.scale = colourEditorOpen ? compose::SaturationScale::ColourEditor : compose::SaturationScale::Composite;
    options.area = {gsize, gsizev};
    options.contrast = contrastControls();
    const auto r = compose::hr_colo(scene, window, settings, options, g);
    if (!r.ok) {
        host.message(r.error);
        return false;
    }
    ncha = 12;
    picture = r.picture;
    shown.geometry = r.geometry;
    shown.hrvSingle = true;
    shown.incomplete = r.incomplete;
    shows_single = false;
    marks.clear();
    drawMapMarks();
    title = r.title;
    host.status(r.incomplete ? r.title + " (the file ends early: part of the picture is missing)" : r.title);
    prodnr = 4;
    pictureMade = true;
    return true;
}

bool Viewer::nc_c(int plane) {
    std::string& box = plane == 0 ? controls.red : plane == 1 ? controls.green : controls.blue;
    if (box.empty() || box == "-" || box == "1") return false;
    char* end = nullptr;
    const long v = std::strtol(box.c_str(), &end, 10);
    if (end == box.c_str() || *end != '\0') {
        box = std::string("2");
        return false;
    }
    const long channel = std::labs(v);
    return channel >= 1 && channel <= 12 && !scene.channelPresent(static_cast<int>(channel));
}

bool Viewer::composite() {
    controls.compositionPanel = true;
    focus_change();
    if (!prepare(*this)) return false;
    const auto r = compose::composite(sceneOf(*this), {controls.red, controls.green, controls.blue},
                                      controls.heightFocus, ncha, contrastControls(), g, fx);
    return finish(*this, r, Render::Stretch);
}

bool Viewer::two_channel_tt() {
    controls.inverted = false;
    if (!prepare(*this)) return false;
    const auto r = compose::two_channel_tt(sceneOf(*this), controls.red, controls.green, g);
    if (!finish(*this, r, Render::Equalize)) return false;
    mindf = r.mindf;
    maxdf = r.maxdf;
    rangeLabel = r.rangeLabel;
    return true;
}

bool Viewer::compose() {
    controls.inverted = false;
    rangeLabel.clear();
    if (!prepare(*this)) return false;
    fx = display::WorkPlane{};
    if (complex.fixedRanges)
        return finish(*this, compose::superseis_f(sceneOf(*this), complex, controls.tails, g, fx), Render::Plain);
    return finish(*this, compose::superseis(sceneOf(*this), complex, contrastControls(), g, fx), Render::Stretch);
}

bool Viewer::runRecipe(const compose::Recipe& recipe) {
    complex.noColourAbove = false;
    controls.ihs = false;
    controls.tails = false;
    controls.automaticStretch = false;
    complex.planes = recipe.planes;
    complex.fixedRanges = true;
    complex.name = std::string(recipe.name);
    return compose();
}

bool Viewer::night() {
    complex.noColourAbove = false;
    controls.ihs = false;
    controls.tails = false;
    controls.automaticStretch = false;
    complex.name = std::string("Complex");
    rangeLabel.clear();
    controls.inverted = false;
    if (!prepare(*this)) return false;
    fx = display::WorkPlane{};
    return finish(*this, compose::superseis_f(sceneOf(*this), complex, controls.tails, g, fx), Render::Plain);
}

}  // namespace tesmar
