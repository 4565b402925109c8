// Zoom and re-centre: they change what the picture shows without reading a new window.

#include <cstdio>

#include "viewer/viewer.h"

namespace tesmar {

namespace {

// The zoom of one level with the picture's own geometry; towns when the picture fills the
// display, water bounds always.
bool zoomStep(Viewer& v, int x, int y) {
    if (!v.zoom.zoomIn(v.g, v.gp, v.shown.geometry, x, y)) return false;
    v.zoom_c = v.zoom.depth();
    v.renderPicture();
    v.marks.clear();
    v.drawMapMarks();
    return true;
}

}  // namespace

bool Viewer::zoomin() {
    if (shown.geometry.empty() || prodnr == 0) {
        host.status("There is no picture to zoom");
        return false;
    }
    if (window.degra != 1 && !shown.hrvSingle) {
        host.message(mess(2));
        return false;
    }
    if (zoom.full()) {
        host.message("The picture is zoomed eight times already: zoom out first");
        return false;
    }
    if (!zoomStep(*this, clickposx, clickposy)) return false;
    lastZoom = display::RasterCell{.row = clickposy, .col = clickposx};
    zoominchiv = true;
    return true;
}

std::optional<bool> Viewer::rebuildPicture() {
    switch (prodnr) {
        case 1: return geogracr();
        case 2: return composite();
        case 3: return two_channel_tt();
        case 4: return hr_colour() && hr_colo(hrvColour);
        case 5:
        case 6: return compose();
        default: return std::nullopt;
    }
}

bool Viewer::zoom_out() {
    const int depth = zoom.depth();
    if (depth == 0) return false;
    // The clicks of the levels that stay, before the rebuild forgets them.
    std::vector<display::RasterCell> clicks;
    for (int i = 0; i + 1 < depth; ++i) clicks.push_back(zoom.click(i));
    const auto rebuilt = rebuildPicture();
    if (!rebuilt) {
        host.message("This picture cannot be rebuilt: it stays zoomed");
        return false;
    }
    if (!*rebuilt) return false;
    for (const auto& c : clicks) zoomStep(*this, c.col, c.row);
    zoominchiv = zoom.depth() > 0;
    return true;
}

bool Viewer::recentre() {
    const auto t = readtem(clickposx, clickposy);
    if (!t.onDisk) return false;  // a click off the disk changes nothing
    char lon[32], lat[32];
    std::snprintf(lon, sizeof lon, "%.2f", t.lon);
    std::snprintf(lat, sizeof lat, "%.2f", t.lat);
    controls.lon = lon;
    controls.lat = lat;
    return true;
}

bool Viewer::mausea() {
    clickposx = gsize / 2;
    clickposy = gsizev / 2;
    return recentre();
}

}  // namespace tesmar
