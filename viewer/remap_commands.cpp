// Remapping into Mercator or polar stereographic grids, and taking the result back.

#include "viewer/display/overlay_files.h"
#include "viewer/viewer.h"

namespace tesmar {

std::optional<display::Corners> Viewer::mercator(bool polar) {
    if (zoominchiv || zoom.depth() > 0) {
        host.message(mess(31));
        return std::nullopt;
    }
    if (shown.geometry.empty()) {
        host.status("There is no picture to remap");
        return std::nullopt;
    }
    return polar ? display::polarCorners(scene, window, navContext(), shown.hrvSingle)
                 : display::mercatorCorners(scene, window, navContext(), shown.hrvSingle);
}

bool Viewer::remapPicture(display::RemapRequest request) {
    if (zoominchiv || zoom.depth() > 0) {
        host.message(mess(31));
        return false;
    }
    request.towns = controls.towns && std::filesystem::exists(townFile);
    request.waterBounds = controls.waterBounds && std::filesystem::exists(cdo() / "coast.txt");
    if (request.towns) request.townList = display::readTowns(townFile);
    if (request.waterBounds) request.coast = display::readCoastPolylines(cdo() / "coast.txt");
    request.gsize = gsize;
    request.gsizev = gsizev;
    auto r = display::remap(scene, window, navContext(), shown.hrvSingle, g, request, gp);
    if (!r.ok) {
        host.message(r.error);
        return false;
    }
    remapped = r;
    display::PictureGeometry geo;
    geo.width = r.lastCol + 1;
    geo.height = r.lastRow + 1;
    geo.lastRow = r.lastRow;
    geo.lastCol = r.lastCol;
    projection = display::bitmapea_cp(gp, geo, controls.contrastLevel, shows_single && controls.inverted, prodnr == 5,
                                      shown.hrvSingle);
    return true;
}

bool Viewer::taketomain() {
    if (projection.width <= 0) return false;
    const int w = std::min(shown.geometry.width, remapped.lastCol + 1);
    const int h = std::min(shown.geometry.height, remapped.lastRow + 1);
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c) g.at(p, r, c) = gp.at(p, r, w - 1 - c);
    picture = display::bitmapea_c(g, shown.geometry, display::PictureKind::Composite, contrastControls());
    marks.clear();
    prodnr = 7;
    title = "Projection";
    return true;
}

}  // namespace tesmar
