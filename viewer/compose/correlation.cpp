#include "viewer/compose/correlation.h"

#include <cmath>
#include <cstdio>

#include "common/atomic_file.h"
#include "common/unpack10.h"
#include "viewer/display/picture_fill.h"
#include "viewer/scene/line_reader.h"

namespace tesmar::compose {

std::optional<PrincipalAxis> calc_mycomp(double rxy, double rxz, double ryz) {
    const double h = -(rxy * rxy + rxz * rxz + ryz * ryz);
    const double g = 2 * rxy * rxz * ryz;
    double mu = 0.99;
    for (int step = 0; step < 8; ++step) {
        const double slope = 3 * mu * mu + h;
        if (slope == 0 || !std::isfinite(slope)) break;  // a flat point: stay where we are
        mu -= (mu * mu * mu + h * mu + g) / slope;
    }
    const double lambda = 1 - mu;
    if (!(lambda < 1)) return std::nullopt;
    PrincipalAxis axis;
    axis.lambda = lambda;
    axis.vx = 1;
    const double den = rxy * ryz - mu * rxz;
    if (den == 0) {
        axis.vy = axis.vz = 1;
    } else {
        axis.vy = (rxy * rxz - mu * ryz) / den;
        axis.vz = (mu * mu - rxy * rxy) / den;
    }
    return axis;
}

std::string corrisNumber(double r) {
    if (!std::isfinite(r)) r = -0.0001;
    char mantissa[32];
    int exponent = 0;
    double m = std::fabs(r);
    if (m != 0) {
        exponent = static_cast<int>(std::floor(std::log10(m)));
        m /= std::pow(10.0, exponent);
        // Rounding to 14 decimals can carry into the next power of ten.
        if (std::round(m * 1e14) >= 1e15) {
            m /= 10;
            ++exponent;
        }
    }
    std::snprintf(mantissa, sizeof mantissa, "%.14f", m);
    char out[48];
    std::snprintf(out, sizeof out, "%c%sE%c%04d", r < 0 ? '-' : ' ', mantissa, exponent < 0 ? '-' : '+',
                  std::abs(exponent));
    return out;
}

station::Result<CorrelationResult> two_channel_tt_correl(const NativeScene& scene, const DataWindow& window,
                                                         const display::PictureGeometry& geometry, int x, int y,
                                                         const std::filesystem::path& corris) {
    using R = station::Result<CorrelationResult>;
    const auto map = display::cellMapping(window);
    // The clicked cell in stored lines and pixels, and the block of 9 either side of it,
    // inside the window (whose ends are exclusive) and the record.
    x = std::clamp(x, 0, std::max(geometry.width - 1, 0));
    y = std::clamp(y, 0, std::max(geometry.height - 1, 0));
    const int line = map.storedLine(geometry.rasterRow(y));
    const int pixel = map.storedPixel(geometry.rasterCol(x));
    const int firstLine = std::max(window.fil, line - 9), lastLine = std::min(window.lal - 1, line + 9);
    const int firstPixel = std::max(window.fic, pixel - 9);
    const int lastPixel = std::min({window.lac - 1, pixel + 9, scene.visir_columns - 1});

    std::array<std::array<double, 12>, 12> sxy{};
    std::array<double, 12> sx{};
    int n = 0;
    if (!window.empty()) {
        auto reader = LineReader::open(scene);
        if (!reader) return R::failure(reader.error());
        std::array<std::vector<std::uint16_t>, 12> rows;
        for (int l = firstLine; l <= lastLine; ++l) {
            if (map.rowOf(l) < 0) continue;
            for (int k = 1; k <= 11; ++k) {
                rows[static_cast<std::size_t>(k)].clear();
                const auto record = reader->packedVisIr(k, l);
                for (int p = firstPixel; p <= lastPixel; ++p)
                    if (map.colOf(p) >= 0)
                        rows[static_cast<std::size_t>(k)].push_back(
                            record.empty() ? 0 : station::unpackPixel(record, static_cast<std::size_t>(p)));
            }
            const std::size_t cells = rows[1].size();
            for (std::size_t i = 0; i < cells; ++i) {
                ++n;
                for (int c = 1; c <= 11; ++c) {
                    const double xc = rows[static_cast<std::size_t>(c)][i];
                    sx[static_cast<std::size_t>(c)] += xc;
                    for (int p = c; p <= 11; ++p)
                        sxy[static_cast<std::size_t>(c)][static_cast<std::size_t>(p)] +=
                            xc * rows[static_cast<std::size_t>(p)][i];
                }
            }
        }
    }
    auto cov = [&](int c, int p) {
        const auto ci = static_cast<std::size_t>(c), pi = static_cast<std::size_t>(p);
        return sxy[ci][pi] / n - sx[ci] * sx[pi] / (static_cast<double>(n) * n);
    };
    CorrelationResult result;
    result.cells = n;
    result.pca_va = true;
    std::string text;
    for (int c = 1; c <= 11; ++c)
        for (int p = c; p <= 11; ++p) {
            double r = -0.0001;
            const bool present = scene.channelPresent(c) && scene.channelPresent(p);
            if (n > 0 && present && cov(c, c) > 0 && cov(p, p) > 0) r = cov(c, p) / std::sqrt(cov(c, c) * cov(p, p));
            else result.pca_va = false;
            text += std::to_string(c) + " " + std::to_string(p) + " " + corrisNumber(r) + "\n";
        }
    const auto written = station::writeFileAtomically(
        corris,
        [&](std::ostream& out) {
            out << text;
            return true;
        },
        station::IfExists::Replace);
    if (!written) return R::failure(written.error());
    return result;
}

}  // namespace tesmar::compose
