// The "Show image" command and what every picture command shares: rendering the raster,
// the coast lines, the marks drawn on the picture, the read-out and the display size.

#include <algorithm>

#include "viewer/display/fine_contrast.h"
#include "viewer/display/height_focus.h"
#include "viewer/display/stretch.h"
#include "viewer/display/overlay_files.h"
#include "viewer/display/picture_fill.h"
#include "viewer/display/shapefile.h"
#include "viewer/scene/channels.h"
#include "viewer/viewer.h"

namespace tesmar {

namespace fs = std::filesystem;

namespace {
display::OverlayContext overlayContext(const Viewer& v) {
    return {v.scene, v.window, v.shown.geometry, v.shown.hrvSingle, v.navContext(), &v.zoom};
}
}  // namespace

bool Viewer::geogracr() {
    const auto channel = usableChannel();
    if (!channel) return false;
    if (scene.fich.empty() || !fs::exists(scene.fich)) {
        abrefiche();
        if (scene.fich.empty() || !fs::exists(scene.fich)) return false;
    }
    ncha = *channel;
    wavef();
    if (!lee()) {
        host.message("The calibration of channel " + std::to_string(ncha) + " cannot be read from " +
                     scene.fich.filename().string());
        return false;
    }
    station::BusyScope busy(host);
    if (!leedatos()) return false;
    if (window.empty()) {
        host.status("The chosen centre lies outside the stored image");
        return false;
    }

    const bool hrv = ncha == channels::kHrv;
    display::FillRequest request;
    request.channel = ncha;
    request.target = controls.heightFocus ? display::FillTarget::WorkPlane : display::FillTarget::Grey;
    fx.resetExtremes();
    const auto filled = display::fillChannel(scene, window, request, g, fx);
    if (!filled.ok) {
        host.message(filled.error);
        return false;
    }
    zoominchiv = false;
    shows_single = true;
    maxg = filled.maxg;
    ming = filled.ming;
    shown.hrvSingle = hrv;
    shown.geometry = hrv ? display::PictureGeometry::hrvSingle(window) : display::PictureGeometry::visIr(window);
    shown.incomplete = filled.incomplete;

    if (controls.heightFocus && fx.fxmax > fx.fxmin)
        display::resalta(g, fx, shown.geometry, ncha, contrastControls());
    superoverl();
    prodnr = 1;
    renderPicture();
    title = "Single Channel " + controls.channel;
    host.status(filled.incomplete ? title + " (the file ends early: part of the picture is missing)" : title);
    if (hrv) geogracr_hecho = true;
    marks.clear();
    drawMapMarks();
    prodnr = 1;
    pictureMade = true;
    return true;
}

display::ContrastControls Viewer::contrastControls() const {
    display::ContrastControls c;
    c.contrastLevel = controls.contrastLevel;
    c.adjustHeight = controls.adjustHeight;
    c.gammaStrength = controls.gammaStrength;
    c.tails = controls.tails;
    c.inverted = controls.inverted;
    return c;
}

void Viewer::renderPicture() {
    const auto& geo = shown.geometry;
    if (geo.empty()) return;
    const auto kind = shown.hrvSingle ? display::PictureKind::SingleHrv
                      : shows_single  ? display::PictureKind::SingleVisIr
                                      : display::PictureKind::Composite;
    // Each kind is rendered as its builder renders it.
    if (prodnr == 3) picture = display::bitmapea_x(g, geo, kind, contrastControls());
    else if (prodnr == 4) picture = display::bitmapea_c(g, geo, display::PictureKind::SingleHrv, contrastControls());
    else if (prodnr == 5) picture = display::bitmapea(g, geo);
    else if (controls.automaticStretch) picture = display::bitmapea_c(g, geo, kind, contrastControls());
    else if (shows_single && controls.inverted && !shown.hrvSingle) picture = display::bitmapea_r(g, geo);
    else picture = display::bitmapea(g, geo);
}

void Viewer::superoverl() {
    if (!controls.coastLines) return;
    if (!fs::exists(coastBitmap)) {
        if (unattended) {
            // Nobody can choose a mask now: the picture is made without coasts, and says so.
            host.message("No coast lines: the coast mask " + coastBitmap.string() + " is missing");
            return;
        }
        host.message(mess(1));
        station::FileDialog dialog;
        dialog.title = mess(6);
        dialog.filters = {{"Bitmap file", "*.bmp *.BMP"}};
        dialog.directory = cdo();
        const auto chosen = host.openFile(dialog);
        if (!chosen) return;
        coastBitmap = *chosen;
    }
    const auto burnt = display::overl(overlayContext(*this), coastBitmap, cdo() / "coastline_hrv.pbm", g);
    if (!burnt) host.message(burnt.error());
    host.status("");
}

void Viewer::drawMapMarks() {
    if (shown.geometry.empty()) return;
    const auto ctx = overlayContext(*this);
    auto append = [&](display::DrawList more) { marks.insert(marks.end(), more.begin(), more.end()); };
    if (controls.towns && fs::exists(townFile)) append(display::do_town(ctx, display::readTowns(townFile)));
    if (controls.towns && fs::exists(cdo() / "fire.txt"))
        append(display::do_town_fire(ctx, display::readFires(cdo() / "fire.txt")));
    if (controls.waterBounds && fs::exists(cdo() / "coast.txt"))
        append(display::overl2(ctx, display::readCoastPolylines(cdo() / "coast.txt"), scene.fich.string()));
}

display::ReadoutTexts Viewer::readtem(int x, int y) {
    clickposx = x;
    clickposy = y;
    if (scene.fich.empty() || prodnr == 0) return {};
    display::ReadoutInput in{scene, window, shown.geometry, navContext(), g};
    in.prodnr = prodnr;
    in.hrvSingle = shown.hrvSingle;
    in.heightFocus = controls.heightFocus;
    in.ncha = ncha;
    in.cal = cal;
    in.mindf = mindf;
    in.maxdf = maxdf;
    in.cursormeas = cursormeas;
    in.distanceOrigin = distanceOrigin;
    in.zoom = &zoom;
    clickposx = x;
    clickposy = y;
    return display::readtem(in, x, y);
}

void Viewer::change_coast() {
    station::FileDialog dialog;
    dialog.title = mess(6);
    dialog.filters = {{"Bitmap file", "*.bmp *.BMP"}};
    dialog.directory = cdo();
    if (const auto chosen = host.openFile(dialog)) coastBitmap = *chosen;
}

void Viewer::lee_shp() {
    const auto written = display::shapefileToCoast(cdo() / "shore.shp", cdo() / "coast.txt");
    if (!written) host.message(written.error());
    else host.status(std::to_string(*written) + " coast points written to coast.txt");
}

void Viewer::onresiz(int windowWidth, int windowHeight) {
    gsizev = windowHeight > 810 ? std::min(1024, (windowHeight - 70) / 2 * 2) : 740;
    gsize = windowWidth > 1120 ? std::min(1280, (windowWidth - 200) / 2 * 2) : 920;
}

}  // namespace tesmar
