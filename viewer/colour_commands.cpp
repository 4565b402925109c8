// The colour editor and re-colouring commands: they work on the picture already shown.

#include "viewer/viewer.h"

namespace tesmar {

namespace {

compose::SliceSubject sliceSubject(Viewer& v) {
    compose::SliceSubject s;
    s.prodnr = v.prodnr;
    s.channel = v.ncha;
    s.cal = v.cal;
    s.mindf = v.mindf;
    s.maxdf = v.maxdf;
    s.heightFocus = v.controls.heightFocus;
    s.hrvPicture = v.shown.hrvSingle;
    s.singleBox = v.controls.channel;
    s.redBox = v.controls.red;
    s.greenBox = v.controls.green;
    return s;
}

}  // namespace

compose::ColourEditorOpening Viewer::open_col() {
    return compose::open_col({scene, window, navContext()}, sliceSubject(*this), maxg, ming);
}

bool Viewer::colourslice(const compose::ColourSliceSettings& settings) {
    if (prodnr == 0 || picture.width <= 0) {
        host.status("There is no picture to slice");
        return false;
    }
    station::BusyScope busy(host);
    // The coast cells keep their pixels: the mask burnt into a cleared raster tells which.
    std::unique_ptr<display::Raster> coast;
    if (controls.coastLines && std::filesystem::exists(coastBitmap)) {
        coast = std::make_unique<display::Raster>();
        coast->fill(0);
        display::overl({scene, window, shown.geometry, shown.hrvSingle, navContext()}, coastBitmap,
                       cdo() / "coastline_hrv.pbm", *coast);
    }
    display::Image24 painted = picture;
    const auto r = compose::colourslice({scene, window, navContext()}, g, sliceSubject(*this), settings, coast.get(),
                                        painted);
    if (!r.ok) {
        if (r.refusal == compose::SliceRefusal::NotEnabled) host.status(mess(23));
        else if (r.refusal == compose::SliceRefusal::NotANumber) host.message(r.error);
        else host.status(r.error);
        return false;
    }
    picture = std::move(painted);
    marks.insert(marks.end(), r.legend.begin(), r.legend.end());
    if (!r.status.empty()) {
        title = r.status;
        host.status(r.status);
    }
    return true;
}

bool Viewer::colourslice3(const compose::ColourSliceSettings& settings) {
    if (projection.width <= 0) {
        host.status("There is no projection to slice");
        return false;
    }
    display::Image24 painted = projection;
    const auto r = compose::colourslice3({scene, window, navContext()}, gp, sliceSubject(*this), settings, painted);
    if (!r.ok) {
        if (r.refusal == compose::SliceRefusal::NotEnabled) host.status(mess(23));
        else if (r.refusal == compose::SliceRefusal::NotANumber) host.message(r.error);
        else host.status(r.error);
        return false;
    }
    projection = std::move(painted);
    if (!r.status.empty()) host.status(r.status);
    return true;
}

bool Viewer::colourStep(compose::ColourStep step, const compose::ColourEditorSettings& settings) {
    if (shown.geometry.empty()) return false;
    const auto r = compose::colourEditorStep(g, {gsize, gsizev}, step, settings);
    if (!r.ok) {
        host.message(r.error);
        return false;
    }
    renderPicture();
    return true;
}

bool Viewer::recolour(const compose::RestrictColourSettings& settings) {
    compose::RestrictSubject subject;
    subject.ncha = ncha;
    subject.singleChannel = shows_single;
    subject.inverted = controls.inverted;
    subject.geometry = shown.geometry;
    subject.contrast = contrastControls();
    auto r = compose::recolour(settings, subject, g);
    if (!r.ok) {
        host.message(r.error);
        return false;
    }
    picture = std::move(r.picture);
    return true;
}

}  // namespace tesmar
