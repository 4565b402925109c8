#include "viewer/display/readout.h"

#include <cstdio>

#include "viewer/scene/calibration.h"
#include "viewer/scene/channels.h"

namespace tesmar::display {

namespace {
std::string format(const char* fmt, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}
}  // namespace

ReadoutTexts readtem(const ReadoutInput& in, int x, int y) {
    ReadoutTexts t;
    const auto& geo = in.geometry;
    if (geo.empty() || x < 0 || y < 0 || x >= geo.width || y >= geo.height) return t;
    t.inside = true;
    const auto& s = in.scene;
    const auto& w = in.window;
    // The cell on screen, and the unzoomed cell it shows.
    const int row = geo.rasterRow(y), col = geo.rasterCol(x);
    RasterCell source{row, col};
    if (in.zoom) source = in.zoom->inverse(source);
    int visColumn = 0;
    if (in.hrvSingle) {
        t.line = w.fil + source.row / 3 + s.sol;
        t.column = w.fic + source.col + w.visof;  // HRV column
        visColumn = t.column / 3;
    } else {
        const int d = std::max(1, w.degra);
        t.line = w.fil + source.row * d + s.sol;
        t.column = w.fic + source.col * d + s.eac;
        visColumn = t.column;
    }
    t.lineText = "line: " + std::to_string(t.line);
    t.columnText = "column: " + std::to_string(t.column);
    if (const auto p = nav::lintogeo(t.line, visColumn, in.nav)) {
        t.onDisk = true;
        t.lon = p->lon;
        t.lat = p->lat;
        t.lonText = format("%.2f", p->lon) + " °E";
        t.latText = format("%.2f", p->lat) + " °N";
    }
    // Distances are measured on the disk only (the off-disk position has no coordinates).
    if (in.cursormeas && t.onDisk && in.ncha <= 11)
        t.distanceText = nav::distancias(in.distanceOrigin, t.lonText, t.latText);
    if (!Raster::inside(row, col)) return t;

    const std::uint8_t byte = in.g.at(0, row, col);
    if (in.prodnr == 1) {
        if (!in.heightFocus) t.countText = std::to_string(byte);
        if (channels::infrared(in.ncha)) {
            if (!in.heightFocus) {
                const double kelvin = calib::brightnessTemperature(in.ncha, in.cal, 4.0 * byte);
                t.valueText = "Brightness T: " + format("%.1f", kelvin - 273.15) + " °C";
            }
        } else if (!in.heightFocus && t.onDisk) {
            if (const auto sun = calib::geome(s.bsc)) {
                const double rho = calib::albedo(in.ncha, in.cal, *sun, byte, t.lon, t.lat);
                t.valueText = "Albedo: " + format("%.0f", 100 * rho) + " %";
            }
        }
    } else if (in.prodnr == 3) {
        t.valueText = "Difference value: " + format("%.1f", (in.maxdf - in.mindf) / 255.0 * byte + in.mindf);
    } else if (in.prodnr == 2 || in.prodnr == 5 || in.prodnr == 6) {
        t.bars = std::array<std::uint8_t, 3>{in.g.at(0, row, col), in.g.at(1, row, col), in.g.at(2, row, col)};
    }
    return t;
}

}  // namespace tesmar::display
