#include "viewer/display/remap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tesmar::display {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kToRad = kPi / 180.0;

int roundHalfEven(double v) { return nav::roundHalfEven(v); }
}  // namespace

ProjPoint merc_dir(double lon, double lat, bool plateCarree) {
    if (plateCarree) return {lon / 180.0, lat / 90.0};
    lat = std::clamp(lat, -89.9, 89.9);
    return {lon / 180.0, std::log(std::tan(lat * kPi / 360.0 + kPi / 4))};
}

nav::GeoPoint merc_inv(double x, double y, bool plateCarree) {
    if (plateCarree) return {180.0 * x, 90.0 * y};
    return {180.0 * x, std::clamp((2 * std::atan(std::exp(y)) - kPi / 2) * 180.0 / kPi, -89.9, 89.9)};
}

std::optional<ProjPoint> polar_dir(double lon0, double lat0, double lon, double lat) {
    const double denom = 1 + std::sin(lat * kToRad);
    if (!(std::fabs(denom) > 1e-12)) return std::nullopt;
    const double k = (1 + std::sin(lat0 * kToRad)) * std::cos(lat * kToRad) / denom;
    const double d = (lon - lon0) * kToRad;
    const ProjPoint p{-k * std::sin(d), k * std::cos(d)};
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
    return p;
}

std::optional<nav::GeoPoint> polar_inv(double lon0, double lat0, double x, double y) {
    if (x == 0 && y == 0) return nav::GeoPoint{lon0, 90.0};  // the pole itself
    const double lon = y == 0 ? lon0 + (x > 0 ? -90.0 : 90.0)
                              : lon0 + (-std::atan(x / y) - (y < 0 ? kPi : 0.0)) * 180.0 / kPi;
    const double lat =
        (kPi / 2 - 2 * std::atan(std::sqrt(x * x + y * y) / (1 + std::sin(lat0 * kToRad)))) * 180.0 / kPi;
    if (!std::isfinite(lon) || !std::isfinite(lat)) return std::nullopt;
    return nav::GeoPoint{lon, lat};
}

namespace {

struct CornerPoints {
    std::array<nav::GeoPoint, 4> p;  // A south-east, B south-west, C north-east, D north-west
    std::array<bool, 4> off{};
};

CornerPoints corners(const NativeScene& s, const DataWindow& w, const nav::Context& nav, bool hrv, int hrvTop) {
    CornerPoints c;
    const int south = w.fil + s.sol, north = hrv ? w.lal + s.sol - hrvTop : w.lal + s.sol - 1;
    const int east = hrv ? (w.fic + w.visof) / 3 : w.fic + s.eac;
    const int west = hrv ? (w.lac + w.visof) / 3 : w.lac + s.eac - 1;
    const std::array<std::pair<int, int>, 4> grid = {{{south, east}, {south, west}, {north, east}, {north, west}}};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto g = nav::lintogeo(grid[i].first, grid[i].second, nav);
        c.off[i] = !g;
        c.p[i] = g ? *g : nav::GeoPoint{w.fi, w.la};
    }
    return c;
}

double oneDecimal(double v) { return std::round(v * 10) / 10; }

}  // namespace

Corners mercatorCorners(const NativeScene& s, const DataWindow& w, const nav::Context& nav, bool hrv) {
    const auto c = corners(s, w, nav, hrv, 0);
    const auto &a = c.p[0], &b = c.p[1], &cc = c.p[2], &d = c.p[3];
    Corners out;
    out.east = c.off[0] ? cc.lon : c.off[2] ? a.lon : std::min(a.lon, cc.lon);
    out.south = c.off[0] ? b.lat : c.off[1] ? a.lat : std::max(a.lat, b.lat);
    out.west = c.off[1] ? d.lon : c.off[3] ? b.lon : std::max(b.lon, d.lon);
    out.north = c.off[2] ? d.lat : c.off[3] ? cc.lat : std::min(cc.lat, d.lat);
    return {oneDecimal(out.east), oneDecimal(out.south), oneDecimal(out.west), oneDecimal(out.north)};
}

Corners polarCorners(const NativeScene& s, const DataWindow& w, const nav::Context& nav, bool hrv) {
    const auto c = corners(s, w, nav, hrv, 1);
    return {oneDecimal(std::min(c.p[0].lon, c.p[2].lon)), oneDecimal(std::min(c.p[0].lat, c.p[1].lat)),
            oneDecimal(std::min(c.p[1].lon, c.p[3].lon)), oneDecimal(std::min(c.p[2].lat, c.p[3].lat))};
}

RemapResult remap(const NativeScene& s, const DataWindow& w, const nav::Context& nav, bool hrv, const Raster& g,
                  const RemapRequest& q, Raster& gp) {
    RemapResult r;
    if (w.empty()) {
        r.error = "There is no picture to remap";
        return r;
    }
    double e = q.corners.east, so = q.corners.south, we = q.corners.west, n = q.corners.north;
    for (double v : {e, so, we, n, q.lon0, q.lat0})
        if (!std::isfinite(v)) {
            r.error = "The corners must be numbers";
            return r;
        }
    if (e == we) e = we + 1;
    if (so == n) n = so + 1;
    const int d = std::max(1, w.degra);
    const int lastRow = hrv ? 3 * (w.lal - w.fil) : (w.lal - w.fil) / d;
    const int lastCol = hrv ? w.lac - w.fic : (w.lac - w.fic) / d;
    if (q.oneToOne) {
        const double ratio = static_cast<double>(w.lac - w.fic) / (w.lal - w.fil);
        if (q.polar) {
            const double diff = (e - we) - (static_cast<double>(q.gsize) / q.gsizev) * (n - so);
            if (diff > 0) we += diff / 2, e -= diff / 2;
            else n += diff * (static_cast<double>(q.gsizev) / q.gsize) / 2, so -= diff * (static_cast<double>(q.gsizev) / q.gsize) / 2;
        } else {
            // At the poles the scale factor vanishes: no 1:1 adjustment is possible there.
            const double k = std::sqrt(std::cos((n + so) / 2 * kToRad));
            if (k > 1e-6) {
                const double diff = (e - we) * k - (n - so) * ratio / k;
                if (diff > 0) we += diff / (2 * k), e -= diff / (2 * k);
                else n += k * diff / (2 * ratio), so -= k * diff / (2 * ratio);
            }
        }
    }
    r.used = {e, so, we, n};
    std::optional<ProjPoint> p1, p2;
    if (q.polar) {
        p1 = polar_dir(q.lon0, q.lat0, e, so);
        p2 = polar_dir(q.lon0, q.lat0, we, n);
    } else {
        p1 = merc_dir(e, so, q.plateCarree);
        p2 = merc_dir(we, n, q.plateCarree);
    }
    if (!p1 || !p2) {
        r.error = "A corner lies at the pole opposite the projection";
        return r;
    }
    r.xmmin0 = std::min(p1->x, p2->x);
    r.xmmax0 = std::max(p1->x, p2->x);
    r.ymmin0 = std::min(p1->y, p2->y);
    r.ymmax0 = std::max(p1->y, p2->y);
    if (lastRow <= 0 || lastCol <= 0 || lastRow >= kRasterRows || lastCol >= kRasterCols) {
        r.error = "The picture is too small or too large to remap";
        return r;
    }
    r.xint = (r.xmmax0 - r.xmmin0) / lastCol;
    r.yint = (r.ymmax0 - r.ymmin0) / lastRow;
    r.lastRow = lastRow;
    r.lastCol = lastCol;
    gp.fill(0);

    // Where a grid point falls in the picture's raster, or nothing.
    auto sample = [&](const std::optional<nav::GridPoint>& pos, int row, int col) {
        if (!pos) return;
        int sr = 0, sc = 0;
        if (hrv) {
            if (!(3 * (w.fil + s.sol) < pos->line && pos->line < 3 * (w.lal + s.sol))) return;
            if (!(w.fic + w.visof < pos->column && pos->column < w.lac + w.visof)) return;
            sr = pos->line - 3 * (w.fil + s.sol) - 1;
            sc = pos->column - w.fic - w.visof - 1;
        } else {
            if (!(w.fil + s.sol < pos->line && pos->line < w.lal + s.sol)) return;
            if (!(w.fic + s.eac < pos->column && pos->column < w.lac + s.eac)) return;
            sr = (pos->line - w.fil - s.sol - 1) / d;
            sc = (pos->column - w.fic - s.eac - 1) / d;
        }
        if (!Raster::inside(sr, sc)) return;
        for (int pl = 0; pl < 3; ++pl) gp.at(pl, row, col) = g.at(pl, sr, sc);
    };

    if (!q.polar) {
        // Longitude depends on the column alone, latitude on the row alone.
        std::vector<nav::LongitudeTerms> lon(static_cast<std::size_t>(lastCol + 1));
        for (int c = 0; c <= lastCol; ++c)
            lon[static_cast<std::size_t>(c)] = nav::longitudeTerms(merc_inv(r.xmmin0 + c * r.xint, 0, q.plateCarree).lon, nav);
        for (int row = 0; row <= lastRow; ++row) {
            const auto lat = nav::latitudeTerms(merc_inv(0, r.ymmin0 + row * r.yint, q.plateCarree).lat, hrv);
            for (int c = 0; c <= lastCol; ++c) {
                const auto& lo = lon[static_cast<std::size_t>(c)];
                sample(hrv ? nav::geoToHrv(lat, lo) : nav::geoToVisIr(lat, lo), row, c);
            }
        }
    } else {
        for (int row = 0; row <= lastRow; ++row)
            for (int c = 0; c <= lastCol; ++c) {
                const auto geo = polar_inv(q.lon0, q.lat0, r.xmmin0 + c * r.xint, r.ymmin0 + row * r.yint);
                if (!geo) continue;
                sample(hrv ? nav::geoToHrv(geo->lon, geo->lat, nav) : nav::geoToVisIr(geo->lon, geo->lat, nav),
                       lastRow - row, lastCol - c);
            }
    }

    // Grid cell of a geographic point, when it lies strictly inside the extents.
    auto gridCell = [&](double lon, double lat) -> std::optional<std::pair<int, int>> {
        const auto p = q.polar ? polar_dir(q.lon0, q.lat0, lon, lat) : std::optional(merc_dir(lon, lat, q.plateCarree));
        if (!p || !(p->x > r.xmmin0 && p->x < r.xmmax0 && p->y > r.ymmin0 && p->y < r.ymmax0)) return std::nullopt;
        int row = roundHalfEven((p->y - r.ymmin0) / r.yint), col = roundHalfEven((p->x - r.xmmin0) / r.xint);
        if (q.polar) row = lastRow - row, col = lastCol - col;
        return std::pair{row, col};
    };
    auto paint = [&](int row, int col, Rgb c) {
        row = std::clamp(row, 0, lastRow);
        col = std::clamp(col, 0, lastCol);
        gp.at(0, row, col) = c.r;
        gp.at(1, row, col) = c.g;
        gp.at(2, row, col) = c.b;
    };
    if (q.towns)
        for (const auto& t : q.townList)
            if (const auto cell = gridCell(t.at.lon, t.at.lat)) {
                for (int dr = -2; dr <= 2; ++dr)
                    for (int dc = -2; dc <= 2; ++dc) paint(cell->first + dr, cell->second + dc, {0, 255, 0});
                for (int dr = -1; dr <= 1; ++dr)
                    for (int dc = -1; dc <= 1; ++dc) paint(cell->first + dr, cell->second + dc, {255, 0, 0});
            }
    if (q.waterBounds)
        for (const auto& line : q.coast)
            for (const auto& pt : line)
                if (const auto cell = gridCell(pt.lon, pt.lat)) paint(cell->first, cell->second, {255, 255, 0});
    r.ok = true;
    return r;
}

MercatorLine mercadea(const std::string& line, const Corners& offered) {
    MercatorLine out;
    out.corners = offered;
    const auto at = line.find("mercator");
    if (at == std::string::npos) return out;
    std::string rest = line.size() > at + 9 ? line.substr(at + 9) : std::string{};
    std::array<std::string, 4> words;
    for (auto& w : words) {
        const auto blank = rest.find(' ');
        w = rest.substr(0, blank);
        rest = blank == std::string::npos ? std::string{} : rest.substr(blank + 1);
    }
    auto number = [](const std::string& t) -> std::optional<double> {
        char* end = nullptr;
        const double v = std::strtod(t.c_str(), &end);
        if (t.empty() || *end != '\0' || !std::isfinite(v)) return std::nullopt;
        return v;
    };
    const auto west = number(words[0]), north = number(words[1]), east = number(words[2]), south = number(words[3]);
    if (!south) return {{0, 0, 0, 0}, false, false};
    out.corners = {east.value_or(0), *south, west.value_or(0), north.value_or(0)};
    out.oneToOne = !rest.empty() && rest[0] == '1';
    out.frozen = rest.size() > 2 && rest[2] == '1';
    return out;
}

Image24 bitmapea_cp(const Raster& gp, const PictureGeometry& geo, int contrastLevel, bool invertedSingle, bool copy,
                    bool hrv) {
    Image24 out(std::max(geo.width, 0), std::max(geo.height, 0));
    if (geo.empty()) return out;
    std::array<double, 3> mean{}, sd{};
    std::array<long, 3> count{};
    for (int p = 0; p < 3; ++p) {
        double sum = 0, sq = 0;
        long n = 1;
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x) {
                const int v = gp.at(p, y, x);
                if (v == 0 || v == 255) continue;
                sum += v;
                sq += static_cast<double>(v) * v;
                ++n;
            }
        const auto i = static_cast<std::size_t>(p);
        mean[i] = sum / static_cast<double>(n);
        const double var = sq / static_cast<double>(n) - mean[i] * mean[i];
        sd[i] = var > 0 ? std::sqrt(var) : 120.0;
        count[i] = n;
    }
    const double gain = contrastLevel < -1 ? 20 : contrastLevel > 3 ? 320 : 120 + 50 * contrastLevel;
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int row = out.height - 1 - y;
            for (int p = 0; p < 3; ++p) {
                const auto i = static_cast<std::size_t>(p);
                const int v = gp.at(p, row, x);
                double value = 0;
                if (!hrv && count[2] == 1 && mean[i] == 0) value = 0;
                else if (!hrv && copy) value = v;
                else {
                    const double dlt = std::trunc((v - mean[i]) * gain / (sd[i] + 0.1));
                    value = !hrv && invertedSingle ? 127 - dlt : 127 + dlt;
                }
                out.pixel(x, y)[p] = static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
            }
        }
    return out;
}

}  // namespace tesmar::display
