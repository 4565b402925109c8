#include "viewer/scene/navigation.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tesmar::nav {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kToRad = kPi / 180.0;
constexpr double kToDeg = 180.0 / kPi;
constexpr double kHrvEccentricity2 = 0.00675701;

// The satellite's view angles (x east-west, y north-south) of a point; empty when hidden.
struct ViewAngles {
    double x, y;
};
}  // namespace

namespace {

std::optional<ViewAngles> viewAngles(const LatitudeTerms& la, const LongitudeTerms& lo) {
    if (!(la.rs * lo.cosLon * la.cosG > 1)) return std::nullopt;
    const double r1 = la.rs - la.cosG * lo.cosLon;
    const double r2 = la.cosG * lo.sinLon;
    const double r3 = -la.sinG;
    const double rn = std::sqrt(r1 * r1 + r2 * r2 + r3 * r3);
    const ViewAngles v{std::atan(r2 / r1), -std::asin(r3 / rn)};
    if (!std::isfinite(v.x) || !std::isfinite(v.y)) return std::nullopt;
    return v;
}

std::optional<GridPoint> toGrid(const std::optional<ViewAngles>& v, double centre, double scale) {
    if (!v) return std::nullopt;
    return GridPoint{roundHalfEven(centre + v->y * scale / kPi), roundHalfEven(centre - v->x * scale / kPi)};
}
}  // namespace

int roundHalfEven(double v) {
    const double r = v - std::remainder(v, 1.0);  // remainder rounds the quotient half to even
    return static_cast<int>(r);
}

std::optional<GeoPoint> lintogeo(int line, int column, const Context& ctx) {
    const double rs = kH / 6378.1;
    const double q2 = kQ * kQ;
    const double y = std::fabs(line - kMiddleOth) * kStep;
    const double x = -std::fabs(kMiddleOth - column) * kStep;
    const double cx = std::cos(x), cy = std::cos(y), sy = std::sin(y);
    const double k = cy * cy + sy * sy / q2;
    const double d = cx * cx * cy * cy - (1 - 1 / (rs * rs)) * k;
    if (d <= 0) return std::nullopt;
    const double sn = (cx * cy - std::sqrt(d)) / k;
    const double s1 = 1 - sn * cx * cy;
    const double s2 = sn * std::sin(x) * cy;
    const double s3 = -sn * sy;
    const double sxy = std::sqrt(s1 * s1 + s2 * s2);
    const double phi = std::atan(s3 / sxy / q2);
    const double lambda = std::asin(s2 / sxy);
    GeoPoint p;
    p.lat = (line >= 1856 ? std::fabs(phi) : -std::fabs(phi)) * kToDeg;
    p.lon = (column >= 1856 ? -std::fabs(lambda) : std::fabs(lambda)) * kToDeg;
    p.lon += ctx.lonShift;
    return p;
}

LatitudeTerms latitudeTerms(double lat, bool hrv) {
    const double e2 = hrv ? kHrvEccentricity2 : 1 - kQ * kQ;
    const double g = std::atan(kQ * kQ * std::tan(lat * kToRad));
    const double rl = 6357.0 / std::sqrt(1 - e2 * std::cos(g) * std::cos(g));
    return {std::cos(g), std::sin(g), kH / rl};
}

LongitudeTerms longitudeTerms(double lon, const Context& ctx) {
    const double lo = (lon - ctx.lonShift) * kToRad;
    return {std::cos(lo), std::sin(lo)};
}

std::optional<GridPoint> geoToVisIr(const LatitudeTerms& la, const LongitudeTerms& lo) {
    return toGrid(viewAngles(la, lo), kMiddleOth, kPiOverStep);
}

std::optional<GridPoint> geoToHrv(const LatitudeTerms& la, const LongitudeTerms& lo) {
    return toGrid(viewAngles(la, lo), kMiddleHrv, kThreePiOverStep);
}

std::optional<GridPoint> geoToVisIr(double lon, double lat, const Context& ctx) {
    return geoToVisIr(latitudeTerms(lat, false), longitudeTerms(lon, ctx));
}

std::optional<GridPoint> geoToHrv(double lon, double lat, const Context& ctx) {
    return geoToHrv(latitudeTerms(lat, true), longitudeTerms(lon, ctx));
}

void geotolin(int ncha, int& line, int& column, double lon, double lat, const Context& ctx) {
    const auto p = geoToVisIr(lon, lat, ctx);
    if (!p) {
        line = column = 0;
        return;
    }
    if (ncha <= 11) {
        line = p->line;
        column = p->column;
    }
}

void geotolin_vis_sin(int ncha, int& line, int& column, double lon, double lat, const Context& ctx) {
    const auto p = geoToHrv(lon, lat, ctx);
    if (!p) {
        line = -3;
        return;
    }
    if (ncha >= 12) {
        line = p->line;
        column = p->column;
    }
}

void geotolin_vis(int ncha, int& line, int& column, double lon, double lat, const Context& ctx) {
    geotolin_vis_sin(ncha, line, column, lon, lat, ctx);
    line = hrvLineToVisIrLine(line);
}

std::optional<double> greatCircleKm(GeoPoint from, GeoPoint to) {
    const double f1 = from.lon * kToRad, l1 = from.lat * kToRad;
    const double f2 = to.lon * kToRad, l2 = to.lat * kToRad;
    const double cs = std::cos(f1) * std::cos(f2) * std::cos(l1) * std::cos(l2) +
                      std::sin(f1) * std::sin(f2) * std::cos(l1) * std::cos(l2) + std::sin(l1) * std::sin(l2);
    if (!std::isfinite(cs)) return std::nullopt;
    // Rounding can carry the cosine of two nearby points just past 1.
    return std::acos(std::clamp(cs, -1.0, 1.0)) * 6378.0;
}

namespace {
std::optional<double> leadingNumber(std::string_view text) {
    const auto blank = text.find(' ');
    if (blank != std::string_view::npos) text = text.substr(0, blank);
    double v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || p != text.data() + text.size()) return std::nullopt;
    return v;
}
}  // namespace

std::string distancias(GeoPoint origin, std::string_view lonText, std::string_view latText) {
    double km = 0.0;
    const auto lon = leadingNumber(lonText), lat = leadingNumber(latText);
    if (lon && lat)
        if (const auto d = greatCircleKm(origin, {*lon, *lat})) km = *d;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.0f km", km);
    return buf;
}

}  // namespace tesmar::nav
