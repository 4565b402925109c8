#include "tools/synth/earth_model.h"

#include <algorithm>
#include <cmath>

#include "viewer/scene/channels.h"

namespace synth {

namespace {

std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

double lattice(std::int64_t x, std::int64_t y, std::uint64_t seed) {
    const auto h = mix(static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ULL ^
                       mix(static_cast<std::uint64_t>(y) + seed * 0x632BE59BD9B4E019ULL));
    return static_cast<double>(h >> 11) / static_cast<double>(1ULL << 53);
}

double smooth(double t) { return t * t * (3 - 2 * t); }

double valueNoise(double x, double y, std::uint64_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<std::int64_t>(fx), iy = static_cast<std::int64_t>(fy);
    const double tx = smooth(x - fx), ty = smooth(y - fy);
    const double a = lattice(ix, iy, seed), b = lattice(ix + 1, iy, seed);
    const double c = lattice(ix, iy + 1, seed), d = lattice(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

float clamp01(double v) { return static_cast<float>(std::clamp(v, 0.0, 1.0)); }

}  // namespace

EarthModel::EarthModel(const SyntheticScene& scene)
    : scene_(scene),
      nav_{std::fabs(scene.subSatLon) > 4.0F ? scene.subSatLon : 0.0F},
      sun_(tesmar::calib::geome(scene.time).value_or(tesmar::calib::SolarGeometry{})) {}

double EarthModel::cloudNoise(double x, double y, int octaves) const {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(x, y, scene_.seed + static_cast<std::uint64_t>(o) * 7919);
        norm += amp;
        x *= 2.03;
        y *= 2.03;
        amp *= 0.5;
    }
    return sum / norm;
}

void EarthModel::lineState(int line, std::span<PixelState> out) const {
    for (std::size_t i = 0; i < out.size(); ++i) {
        const int column = static_cast<int>(i) + 1;
        PixelState& p = out[i];
        const auto geo = tesmar::nav::lintogeo(line, column, nav_);
        if (!geo) {
            p = PixelState{};
            continue;
        }
        p.onDisk = true;
        p.surface = surfaceAt(geo->lon, geo->lat);
        p.mu0 = static_cast<float>(tesmar::calib::cosSolarZenith(sun_, geo->lon, geo->lat));
        const double alat = std::fabs(geo->lat);
        // Cloud bands: the tropical convergence zone, the dry subtropics, the storm tracks.
        const double band = 0.56 - 0.12 * std::exp(-std::pow((geo->lat - 6) / 6, 2)) +
                            0.10 * std::exp(-std::pow((alat - 24) / 8, 2)) -
                            0.08 * std::exp(-std::pow((alat - 55) / 12, 2));
        // Large structures stretched along the parallels, with a little fine texture.
        const double n = cloudNoise(column / 420.0, line / 260.0, 5);
        p.cloud = clamp01((n - band) * 7.0);
        p.height = clamp01(cloudNoise(column / 300.0 + 50, line / 300.0 + 50, 4) * 1.6 - 0.45 +
                           0.35 * std::exp(-std::pow((geo->lat - 6) / 8, 2)) + 0.4 * p.cloud);
        const double seaT = 301.0 - 28.0 * std::pow(alat / 70.0, 2);
        double t = seaT;
        if (p.surface == Surface::Land || p.surface == Surface::Desert) {
            const double day = std::max(0.0f, p.mu0);
            t = seaT - 3 + (p.surface == Surface::Desert ? 24.0 : 14.0) * day - (p.mu0 < 0 ? 6.0 : 0.0);
        } else if (p.surface == Surface::Ice) {
            t = 250.0;
        }
        p.surfaceT = static_cast<float>(t);
    }
}

std::uint16_t EarthModel::countOfTemperature(int channel, double kelvin) const {
    const double lambda = tesmar::channels::wavelengthMicrons(channel) * 1e-6;
    const double r = tesmar::calib::fromSpectral(tesmar::calib::radiance(lambda, kelvin), lambda);
    const auto k = static_cast<std::size_t>(channel - 1);
    const double c = (r - scene_.offset[k]) / scene_.slope[k];
    return static_cast<std::uint16_t>(std::clamp(std::lround(c), 0L, 1023L));
}

std::uint16_t EarthModel::countOfReflectance(int channel, double rho, double mu0) const {
    const double w = tesmar::channels::wavelengthMicrons(channel);
    const double e = tesmar::channels::irradianceAlbe(channel);
    const double r = rho * e * std::max(mu0, 0.0) * w * w / 31.415926535897932385;
    const auto k = static_cast<std::size_t>(channel - 1);
    const double c = (r - scene_.offset[k]) / scene_.slope[k];
    return static_cast<std::uint16_t>(std::clamp(std::lround(c), 0L, 1023L));
}

std::uint16_t EarthModel::count(int channel, const PixelState& p) const {
    if (!p.onDisk) return 0;
    const double c = p.cloud;
    const double top = 285.0 - 78.0 * p.height;  // cloud-top temperature
    const double t9 = p.surfaceT * (1 - c) + std::min<double>(top, p.surfaceT) * c;
    const bool desert = p.surface == Surface::Desert;
    const bool sea = p.surface == Surface::Sea;
    const double day = std::max(0.0f, p.mu0);
    // Reflectances of the surface in the visible, near infrared and 1.6 micron channels.
    const double surf[3] = {sea ? 0.05 : desert ? 0.30 : p.surface == Surface::Ice ? 0.70 : 0.10,
                            sea ? 0.03 : desert ? 0.38 : p.surface == Surface::Ice ? 0.65 : 0.32,
                            sea ? 0.02 : desert ? 0.45 : p.surface == Surface::Ice ? 0.10 : 0.25};
    const double ice = p.height;  // high tops are ice clouds: darker at 1.6 micron
    const double cloudRho[3] = {0.78, 0.76, 0.62 - 0.35 * ice};
    switch (channel) {
        case 1:
        case 2:
        case 3: {
            const auto i = static_cast<std::size_t>(channel - 1);
            return countOfReflectance(channel, surf[i] * (1 - c) + cloudRho[i] * c, p.mu0);
        }
        case 4: return countOfTemperature(4, t9 + 2 + day * (desert ? 22 : 8) * (1 - c) + day * 30 * c * (1 - ice) - 3 * c * (p.mu0 < 0));
        case 5: return countOfTemperature(5, std::min(236.0 - 6 * c * p.height, top + 2));
        case 6: return countOfTemperature(6, std::min(252.0 - 8 * c * p.height, top + 1));
        case 7: return countOfTemperature(7, t9 - 1.5 - (desert ? 4.0 : 0.0) * (1 - c));
        case 8: return countOfTemperature(8, t9 - 14 * (1 - c) - 4 * c);
        case 9: return countOfTemperature(9, t9);
        case 10: return countOfTemperature(10, t9 - 1.8 * (1 - c) - 0.6 * c + (desert ? 1.5 : 0));
        case 11: return countOfTemperature(11, t9 - 22 * (1 - c) - 9 * c);
        default: return 0;
    }
}

std::uint16_t EarthModel::hrvCount(const PixelState& p, int hrvLine, int hrvColumn) const {
    if (!p.onDisk) return 0;
    const double base = 0.5 * (count(1, p) + count(2, p));
    const double detail = (lattice(hrvLine, hrvColumn, scene_.seed + 99) - 0.5) * 0.12 * base;
    const double counts1 = base + detail;
    // Counts of channels 1 and 2 as HRV radiance, then as HRV counts.
    const double r = scene_.offset[0] + scene_.slope[0] * counts1;
    const double c = (r * 1.0 - scene_.offset[11]) / scene_.slope[11];
    return static_cast<std::uint16_t>(std::clamp(std::lround(c), 0L, 1023L));
}

}  // namespace synth
