#include "viewer/compose/temporal_stats.h"

#include <algorithm>
#include <cmath>

#include "viewer/scene/calibration.h"

namespace tesmar::compose {

namespace {

constexpr std::array<std::pair<std::string_view, Statistic>, 8> kWords{{
    {"average", Statistic::Average},
    {"deviation", Statistic::Deviation},
    {"maximum", Statistic::Maximum},
    {"minimum", Statistic::Minimum},
    {"range", Statistic::Range},
    {"rise", Statistic::Rise},
    {"heating", Statistic::Heating},
    {"evolution", Statistic::Evolution},
}};

// A real value to a byte: truncated toward zero, limited to 0..255, 0 when not finite.
std::uint8_t byteOf(double v) {
    if (!(v > 0)) return 0;
    return v >= 255 ? 255 : static_cast<std::uint8_t>(v);
}

}  // namespace

std::optional<Statistic> statisticNamed(std::string_view word) {
    for (const auto& [w, s] : kWords)
        if (w == word) return s;
    return std::nullopt;
}

std::string_view statisticWord(Statistic s) {
    for (const auto& [w, st] : kWords)
        if (st == s) return w;
    return {};
}

CellArea CellArea::of(const display::PictureGeometry& geo) {
    if (geo.empty()) return {};
    return {std::min(geo.height, display::kRasterRows), std::min(geo.width, display::kRasterCols)};
}

TemporalAccumulator::TemporalAccumulator(Statistic statistic, CellArea area)
    : statistic_(statistic), area_(area) {
    const std::size_t n = 3 * area_.cells();
    switch (statistic_) {
        case Statistic::Average:
            ffx_.assign(n, 0.0);
            break;
        case Statistic::Deviation:
            ffx_.assign(n, 0.0);
            gg2_.assign(n, 0.0);
            break;
        case Statistic::Maximum:
        case Statistic::Evolution:
            gp_.assign(n, 0);
            break;
        case Statistic::Minimum:
            gp_.assign(n, 255);
            break;
        case Statistic::Range:
            gp_.assign(n, 0);
            goo_.assign(n, 255);
            break;
        case Statistic::Rise:
        case Statistic::Heating:
            gp_.assign(n, 0);
            goo_.assign(n, 0);
            break;
    }
}

void TemporalAccumulator::setActual(const display::Raster& g) {
    if (goo_.empty() || !comparesWithActual(statistic_)) return;
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < area_.rows; ++r)
            std::copy_n(g.row(p, r), area_.cols, &goo_[index(p, r, 0)]);
}

void TemporalAccumulator::add(const display::Raster& g) {
    const double m = m_;
    const auto cols = static_cast<std::size_t>(area_.cols);
    for (int p = 0; p < 3; ++p) {
        for (int r = 0; r < area_.rows; ++r) {
            const std::uint8_t* v = g.row(p, r);
            const std::size_t at = index(p, r, 0);
            switch (statistic_) {
                case Statistic::Average: {
                    double* f = &ffx_[at];
                    for (std::size_t c = 0; c < cols; ++c) f[c] = (m * f[c] + v[c]) / (m + 1);
                    break;
                }
                case Statistic::Deviation: {
                    double* f = &ffx_[at];
                    double* q = &gg2_[at];
                    for (std::size_t c = 0; c < cols; ++c) {
                        const double x = v[c];
                        f[c] = (m * f[c] + x) / (m + 1);
                        q[c] = std::sqrt((m * q[c] * q[c] + x * x) / (m + 1));
                    }
                    break;
                }
                case Statistic::Minimum: {
                    std::uint8_t* low = &gp_[at];
                    if (p == 0) {
                        // The red plane enters with the larger of its value and the green one;
                        // the planes of a single-channel picture are equal, so there it is the
                        // plain minimum.
                        const std::uint8_t* green = g.row(1, r);
                        for (std::size_t c = 0; c < cols; ++c)
                            low[c] = std::min(low[c], std::max(v[c], green[c]));
                    } else {
                        for (std::size_t c = 0; c < cols; ++c) low[c] = std::min(low[c], v[c]);
                    }
                    break;
                }
                case Statistic::Range: {
                    std::uint8_t* high = &gp_[at];
                    std::uint8_t* low = &goo_[at];
                    for (std::size_t c = 0; c < cols; ++c) {
                        high[c] = std::max(high[c], v[c]);
                        low[c] = std::min(low[c], v[c]);
                    }
                    break;
                }
                case Statistic::Maximum:
                case Statistic::Rise:
                case Statistic::Heating:
                case Statistic::Evolution: {
                    std::uint8_t* high = &gp_[at];
                    for (std::size_t c = 0; c < cols; ++c) high[c] = std::max(high[c], v[c]);
                    break;
                }
            }
        }
    }
    ++m_;
}

void TemporalAccumulator::addPlane(int plane, const display::Raster& g) {
    if (gp_.empty() || plane < 0 || plane > 2) return;
    for (int r = 0; r < area_.rows; ++r) {
        const std::uint8_t* v = g.row(plane, r);
        std::uint8_t* high = &gp_[index(plane, r, 0)];
        for (int c = 0; c < area_.cols; ++c) high[c] = std::max(high[c], v[c]);
    }
    ++m_;
}

Extremes TemporalAccumulator::finish(display::Raster& g, const FinishContext& context) const {
    switch (statistic_) {
        case Statistic::Deviation:
            return finishDeviation(g);
        case Statistic::Heating:
            finishHeating(g, context);
            return {};
        case Statistic::Evolution:
            finishEvolution(g, context.lines);
            return {};
        default:
            break;
    }
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < area_.rows; ++r) {
            std::uint8_t* out = g.row(p, r);
            const std::size_t at = index(p, r, 0);
            for (int c = 0; c < area_.cols; ++c) {
                const auto i = at + static_cast<std::size_t>(c);
                switch (statistic_) {
                    case Statistic::Average:
                        out[c] = byteOf(ffx_[i]);
                        break;
                    case Statistic::Maximum:
                    case Statistic::Minimum:
                        out[c] = gp_[i];
                        break;
                    default:  // range and rise: never below 0
                        out[c] = static_cast<std::uint8_t>(std::max(0, gp_[i] - goo_[i]));
                        break;
                }
            }
        }
    return {};
}

Extremes TemporalAccumulator::finishDeviation(display::Raster& g) const {
    // The spread of each cell as a byte first, then stretched between the smallest and the
    // largest spread found, so a quiet series still shows where it varied most.
    Extremes e;
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < area_.rows; ++r) {
            std::uint8_t* out = g.row(p, r);
            const std::size_t at = index(p, r, 0);
            for (int c = 0; c < area_.cols; ++c) {
                const auto i = at + static_cast<std::size_t>(c);
                const double variance = gg2_[i] * gg2_[i] - ffx_[i] * ffx_[i];
                const std::uint8_t s = variance > 0 ? byteOf(std::sqrt(variance)) : 0;
                out[c] = s;
                e.maxg = std::max<int>(e.maxg, s);
                e.ming = std::min<int>(e.ming, s);
            }
        }
    const double scale = 255.0 / (e.maxg - e.ming + 0.0001);
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < area_.rows; ++r) {
            std::uint8_t* out = g.row(p, r);
            for (int c = 0; c < area_.cols; ++c) out[c] = byteOf((out[c] - e.ming) * scale);
        }
    return e;
}

void TemporalAccumulator::finishHeating(display::Raster& g, const FinishContext& context) const {
    // Quarter kelvins between the warmest value of the series and the picture on screen, both
    // read as counts 4 x value of the channel; a cooling shows as 0.
    std::array<double, 256> kelvin{};
    for (int v = 0; v < 256; ++v)
        kelvin[static_cast<std::size_t>(v)] =
            calib::brightnessTemperature(context.channel, context.cal, 4.0 * v);
    for (int r = 0; r < area_.rows; ++r) {
        const std::size_t at = index(0, r, 0);
        for (int c = 0; c < area_.cols; ++c) {
            const auto i = at + static_cast<std::size_t>(c);
            const double rise = kelvin[gp_[i]] - kelvin[goo_[i]];
            const std::uint8_t value = byteOf(std::trunc(rise * 4));
            for (int p = 0; p < 3; ++p) g.row(p, r)[c] = value;
        }
    }
}

void TemporalAccumulator::finishEvolution(display::Raster& g, const RowLines& lines) const {
    // The seasonal maxima of a tall window differ from south to north by the sun and the
    // viewing angle alone; each plane is tilted so that the mean of its southern quarter meets
    // that of its northern quarter.
    const int span = lines.lal - lines.fil;
    const auto q = static_cast<int>(std::nearbyint(span / 4.0));
    for (int p = 0; p < 3; ++p) {
        double south = 0, north = 0;
        long inSouth = 0, inNorth = 0;
        for (int r = 0; r < area_.rows; ++r) {
            const int line = lines.lineOf(r);
            const bool s = line<lines.fil + q, n = line> lines.lal - q;
            if (!s && !n) continue;
            const std::size_t at = index(p, r, 0);
            double sum = 0;
            for (int c = 0; c < area_.cols; ++c) sum += gp_[at + static_cast<std::size_t>(c)];
            if (s) {
                south += sum;
                inSouth += area_.cols;
            }
            if (n) {
                north += sum;
                inNorth += area_.cols;
            }
        }
        // One more than the cells counted: an empty quarter gives a mean of 0, not a division by 0.
        const double a = south / static_cast<double>(inSouth + 1),
                     b = north / static_cast<double>(inNorth + 1);
        const double slope = span != 0 ? (b - a) / span : 0.0;
        for (int r = 0; r < area_.rows; ++r) {
            std::uint8_t* out = g.row(p, r);
            const double lift = (lines.lal - 1 - lines.lineOf(r)) * slope;
            const std::size_t at = index(p, r, 0);
            for (int c = 0; c < area_.cols; ++c)
                out[c] = byteOf(std::trunc(lift + gp_[at + static_cast<std::size_t>(c)]));
        }
    }
}

std::string kindDescription(const PictureKindText& k) {
    std::string t;
    switch (k.kind) {
        case 2:
            t = "composite images ";
            t += k.red;
            t += '+';
            t += k.green;
            t += '+';
            t += k.blue;
            return t;
        case 3:
            t = "T-Difference ";
            t += k.red;
            t += '-';
            t += k.green;
            return t;
        case 4:
            t = "Coloured high resolution ";
            t += k.hrvChannels[0];
            t += '+';
            t += k.hrvChannels[1];
            t += '+';
            t += k.hrvChannels[2];
            return t;
        case 5:
        case 6:
            t = "composite of T-differences ";
            for (std::size_t p = 0; p < 3; ++p) {
                t += p ? "+(" : "(";
                t += std::to_string(k.complexPlanes[p].a);
                t += '-';
                t += std::to_string(k.complexPlanes[p].b);
                t += ')';
            }
            return t;
        default:
            t = "single channel ";
            t += k.channel;
            return t;
    }
}

std::string statisticTitle(Statistic s, const PictureKindText& k) {
    std::string t;
    switch (s) {
        case Statistic::Average:
            t = "Average of ";
            break;
        case Statistic::Deviation:
            t = "Standard deviation of ";
            break;
        case Statistic::Minimum:
            t = "Minimum of ";
            break;
        case Statistic::Heating:
            t = "Maximum of single channel increase in K ";
            t += k.channel;
            t += " - Actual";
            return t;
        case Statistic::Evolution:
            return "Evolution RGB maximum";
        default:
            t = "Maximum of ";
            break;
    }
    t += kindDescription(k);
    if (s == Statistic::Range) {
        if (k.kind == 2)
            t += " - Minimum";
        else if (k.kind != 5 && k.kind != 6)
            t += " Maximum - Minimum";
    } else if (s == Statistic::Rise) {
        t += " - Actual";
    }
    return t;
}

std::optional<int> sceneMonth(std::string_view sceneTime) {
    if (sceneTime.size() < 6) return std::nullopt;
    const char a = sceneTime[4], b = sceneTime[5];
    if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
    const int month = (a - '0') * 10 + (b - '0');
    if (month < 1 || month > 12) return std::nullopt;
    return month;
}

std::optional<int> evolutionPlane(int month) {
    if (month < 1 || month > 9) return std::nullopt;
    return 2 - (month - 1) / 3;
}

}  // namespace tesmar::compose
