#include "viewer/scene/calibration.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "viewer/scene/channels.h"

namespace tesmar::calib {

namespace {
constexpr double kTenPi = 31.415926535897932385;
constexpr double kDayAngle = 0.017202423838958484536;  // 2 pi / 365.25
constexpr double kHourAngle = -0.26179938779914943653;  // -pi / 12 per hour
constexpr double kTilt = -0.40613811693908049257;
constexpr double kDegree = 3.14159265358979323846 / 180.0;

std::optional<int> twoDigits(std::string_view s, std::size_t at) {
    if (s.size() < at + 2) return std::nullopt;
    int v = 0;
    auto [p, ec] = std::from_chars(s.data() + at, s.data() + at + 2, v);
    if (ec != std::errc{} || p != s.data() + at + 2) return std::nullopt;
    return v;
}
}  // namespace

double temperature(double lambda, double L) {
    if (L <= 0 || lambda <= 0) return 0.0;
    const double c1 = kPlanck * kLight / (kBoltzmann * lambda);
    return c1 / std::log(1.0 + 2.0 * kPlanck * kLight * kLight / (std::pow(lambda, 5) * L));
}

double radiance(double lambda, double T) {
    if (T <= 0) return 0.0;
    return (2.0 * kPlanck * kLight * kLight / std::pow(lambda, 5)) /
           (std::exp(kPlanck * kLight / (lambda * kBoltzmann * T)) - 1.0);
}

double brightnessTemperature(int channel, const ChannelCalibration& c, double count) {
    const double lambda = channels::wavelengthMicrons(channel) * 1e-6;
    return temperature(lambda, toSpectral(countRadiance(c, count), lambda));
}

std::optional<SolarGeometry> geome(std::string_view bsc) {
    const auto mes = twoDigits(bsc, 4), dia = twoDigits(bsc, 6), hora = twoDigits(bsc, 8),
               minu = twoDigits(bsc, 10);
    if (!mes || !dia || !hora || !minu) return std::nullopt;
    SolarGeometry g;
    g.mes = *mes;
    g.dia = *dia;
    g.hora = *hora;
    g.minu = *minu;
    const int n = 30 * (g.mes - 1) + g.dia;  // every month counted as 30 days
    g.ju = n * kDayAngle;
    g.zzl = -(9.87 * std::sin(2 * g.ju) - 7.53 * std::cos(g.ju) - 1.5 * std::sin(g.ju));
    // The 7 minutes place the scan of the disk after the nominal slot start.
    g.fis = ((g.minu + g.zzl + 7) / 60.0 + g.hora - 12) * kHourAngle;
    g.las = kTilt * std::cos(2 * 3.14159265358979323846 * (n + 7) / 365.25);
    return g;
}

double cosSolarZenith(const SolarGeometry& g, double lon, double lat) {
    const double lo = lon * kDegree, la = lat * kDegree;
    return std::cos(g.fis) * std::cos(g.las) * std::cos(lo) * std::cos(la) +
           std::sin(g.fis) * std::cos(g.las) * std::sin(lo) * std::cos(la) + std::sin(g.las) * std::sin(la);
}

double albe(int channel, const ChannelCalibration& c, const SolarGeometry& g, double count, double lon,
            double lat) {
    if (channels::infrared(channel)) return 5.0;
    if (channel == 0) return 0.0;
    const double e = channels::irradianceAlbe(channel);
    const double mu = std::max(cosSolarZenith(g, lon, lat), 0.0001);
    const double w = channels::wavelengthMicrons(channel);
    const double rho = (count * c.slope + c.offset) * kTenPi / (w * w) / e / mu;
    // 1.99 and above is not a reflectance but a fault of the geometry: treated as invalid.
    return rho > 0 && rho < 1.99 ? rho : 0.0;
}

double albedo(int channel, const ChannelCalibration& c, const SolarGeometry& g, double value, double lon,
              double lat) {
    const double e = channels::irradianceReadout(channel);
    const double mu0 = cosSolarZenith(g, lon, lat);
    double rho = 0.0;
    if (channel != 0 && mu0 != 0.0) {
        const double w = channels::wavelengthMicrons(channel);
        rho = (4 * value * c.slope + c.offset) * kTenPi / (w * w) / e / mu0;
    }
    if (rho > 1.99) rho = 1.99;
    if (rho < 0 || !std::isfinite(rho)) rho = 0;
    return rho;
}

SunSatellite cosol(const SolarGeometry& g, double lon, double lat, double h) {
    SunSatellite r;
    r.mu0 = cosSolarZenith(g, lon, lat);
    const double lo = lon * kDegree, la = lat * kDegree;
    const double rr = (1 + std::fabs(std::sin(la)) / 297) * h / 6378;
    const double a = rr - std::cos(lo) * std::cos(la);
    const double num = a * std::cos(g.fis) * std::cos(g.las) - std::sin(lo) * std::cos(la) * std::sin(g.fis) * std::cos(g.las) -
                       std::sin(la) * std::sin(g.las);
    const double cl = std::cos(la) * std::sin(lo);
    r.cs = num / std::sqrt(a * a + cl * cl + std::sin(la) * std::sin(la));
    return r;
}

std::optional<double> channelValue(int channel, const ChannelCalibration& c, const SolarGeometry& g,
                                   double count, double lon, double lat) {
    if (!channels::valid(channel)) return std::nullopt;
    const double v = channels::infrared(channel) ? brightnessTemperature(channel, c, count)
                                                 : 100.0 * albe(channel, c, g, count, lon, lat);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace tesmar::calib
