#include "viewer/compose/composites.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "viewer/compose/channel_values.h"
#include "viewer/display/height_focus.h"
#include "viewer/display/picture_fill.h"
#include "viewer/display/picture_geometry.h"

namespace tesmar::compose {

namespace {

std::optional<int> boxNumber(const std::string& text) {
    int v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || p != text.data() + text.size()) return std::nullopt;
    return v;
}

BuildResult failure(std::string why) {
    BuildResult r;
    r.error = std::move(why);
    return r;
}

// Channels 1 to 11 present in the file; 0 allowed where `zeroAllowed`.
std::optional<std::string> refuseChannel(const NativeScene& scene, int channel, bool zeroAllowed) {
    if (channel == 0 && zeroAllowed) return std::nullopt;
    if (channel < 1 || channel > 11) return "Channel " + std::to_string(channel) + " cannot be combined (1 to 11)";
    if (!scene.channelPresent(channel)) return "Channel " + std::to_string(channel) + " is not in this file";
    return std::nullopt;
}

std::string fixed1(double v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.1f", v);
    return buf;
}

std::string pairs(const std::array<PlaneRecipe, 3>& planes) {
    std::string t;
    for (std::size_t k = 0; k < 3; ++k) {
        t += k ? "+(" : "(";
        t += std::to_string(cleanComplexChannel(planes[k].a));
        t += '-';
        t += std::to_string(cleanComplexChannel(planes[k].b));
        t += ')';
    }
    return t;
}

// Values of two channels over the sampled window, row by row.
class PairReader {
public:
    PairReader(const Scene& s, int a, int b, bool countsForSolar, WindowSampler& sampler, const SunGrid* sun)
        : a_(a), b_(b), va_(s.scene, a, countsForSolar), vb_(s.scene, b, countsForSolar), sampler_(sampler), sun_(sun) {}

    // Fills the values of row `row` into va, vb.
    void row(int r, std::vector<double>& va, std::vector<double>& vb) {
        const auto n = static_cast<std::size_t>(sampler_.columns());
        va.assign(n, 0.0);
        vb.assign(n, 0.0);
        fill(a_, va_, r, va);
        fill(b_, vb_, r, vb);
    }

private:
    void fill(int channel, const ChannelValues& values, int r, std::vector<double>& out) {
        if (channel == 0) return;
        const auto& counts = sampler_.counts(channel, r);
        for (std::size_t c = 0; c < out.size(); ++c)
            out[c] = values.value(counts[c], values.solar() && sun_ ? sun_->at(r, static_cast<int>(c)) : 1.0);
    }

    int a_, b_;
    ChannelValues va_, vb_;
    WindowSampler& sampler_;
    const SunGrid* sun_;
};

std::unique_ptr<SunGrid> sunIfNeeded(const Scene& s, const WindowSampler& sampler, std::initializer_list<int> channels,
                                     bool countsForSolar) {
    if (countsForSolar) return nullptr;
    for (int c : channels)
        if (c >= 1 && c <= 3) return std::make_unique<SunGrid>(s.scene, s.window, s.nav, sampler.rows(), sampler.columns());
    return nullptr;
}

// A complex composite plane's cell: both values and whether it may be drawn.
bool validCell(double v, double w, int a, int b) { return (v > 0 && (w > 0 || b == 0)) || (w > 0 && (v > 0 || a == 0)); }

}  // namespace

int cleanComplexChannel(int channel) {
    const int c = std::abs(channel);
    return c > 11 ? 2 : c;
}

BuildResult composite(const Scene& s, const std::array<std::string, 3>& boxes, bool heightFocus, int ncha,
                      const display::ContrastControls& controls, display::Raster& g, display::WorkPlane& fx) {
    std::array<int, 3> channel{};
    std::array<bool, 3> positive{};
    for (std::size_t p = 0; p < 3; ++p) {
        const auto typed = boxNumber(boxes[p]);
        if (!typed) return failure("The channel boxes must hold channel numbers");
        channel[p] = std::abs(*typed);
        positive[p] = channel[p] == *typed;
        if (auto why = refuseChannel(s.scene, channel[p], false)) return failure(*why);
    }
    if (s.window.empty()) return failure("The chosen centre lies outside the stored image");

    display::Raster built = g;
    BuildResult r;
    const auto geo = display::PictureGeometry::visIr(s.window);
    for (std::size_t p = 0; p < 3; ++p) {
        display::FillRequest request;
        request.channel = channel[p];
        request.plane = static_cast<int>(p);
        request.normal = positive[p];
        request.target = heightFocus ? display::FillTarget::WorkPlane : display::FillTarget::Plane;
        fx.resetExtremes();
        const auto filled = display::fillChannel(s.scene, s.window, request, built, fx);
        if (!filled.ok) return failure(filled.error);
        r.incomplete = r.incomplete || filled.incomplete;
        if (heightFocus) display::resalta_c(built, fx, geo, static_cast<int>(p), ncha, controls);
    }
    g = std::move(built);
    r.ok = true;
    r.title = "Composite image " + boxes[0] + "+" + boxes[1] + "+" + boxes[2];
    r.prodnr = 2;
    return r;
}

BuildResult two_channel_tt(const Scene& s, const std::string& redBox, const std::string& greenBox,
                           display::Raster& g) {
    const auto ra = boxNumber(redBox), rb = boxNumber(greenBox);
    if (!ra || !rb) return failure("The channel boxes must hold channel numbers");
    const int a = std::abs(*ra), b = std::abs(*rb);
    if (auto why = refuseChannel(s.scene, a, false)) return failure(*why);
    if (auto why = refuseChannel(s.scene, b, true)) return failure(*why);
    if (s.window.empty()) return failure("The chosen centre lies outside the stored image");
    auto sampler = WindowSampler::open(s.scene, s.window);
    if (!sampler) return failure(sampler.error());
    const auto sun = sunIfNeeded(s, *sampler, {a, b}, false);
    PairReader values(s, a, b, false, *sampler, sun.get());

    // Pass 1: the extremes and the cells holding them (the first cell to reach one keeps it).
    double lo = 5000000, hi = -5000000;
    int loRow = -1, loCol = -1, hiRow = -1, hiCol = -1;
    std::vector<double> v, w;
    for (int r = 0; r < sampler->rows(); ++r) {
        values.row(r, v, w);
        for (int c = 0; c < sampler->columns(); ++c) {
            const auto i = static_cast<std::size_t>(c);
            if (!(v[i] > 0 && w[i] >= 0)) continue;
            const double d = v[i] - w[i];
            if (d < lo) lo = d, loRow = r, loCol = c;
            if (d > hi) hi = d, hiRow = r, hiCol = c;
        }
    }
    if (loRow < 0) return failure("No cell of the window has values in both channels");
    if (lo == hi) hi += 0.1;

    // Pass 2: grey between the extremes.
    display::Raster built = g;
    for (int r = 0; r < sampler->rows(); ++r) {
        values.row(r, v, w);
        for (int c = 0; c < sampler->columns(); ++c) {
            const auto i = static_cast<std::size_t>(c);
            const double scaled = v[i] > 0 && w[i] >= 0 ? std::trunc((v[i] - w[i] - lo) * 255 / (hi - lo)) : 0.0;
            built.setGrey(r, c, static_cast<std::uint8_t>(std::clamp(scaled, 0.0, 255.0)));
        }
    }
    g = std::move(built);

    BuildResult out;
    out.ok = true;
    out.incomplete = sampler->incomplete();
    out.mindf = lo;
    out.maxdf = hi;
    const char* unit = a > 3 && b > 3 ? ") Kelvin" : a <= 3 && b <= 3 ? ") %" : ")mixUnit";
    out.rangeLabel = "Range:(" + fixed1(lo) + ".." + fixed1(hi) + unit;
    out.title = "T-Difference " + redBox + "-" + greenBox;
    out.prodnr = 3;
    const auto geo = display::PictureGeometry::visIr(s.window);
    for (const auto& [row, col] : {std::pair{hiRow, hiCol}, std::pair{loRow, loCol}}) {
        const int x = geo.pictureX(col), y = geo.pictureY(row);
        out.marks.push_back({display::DrawOp::Kind::Circle, x - 3, y - 3, x + 3, y + 3, {255, 0, 0}, {255, 255, 0}, {}});
    }
    return out;
}

namespace {

// Checks and opens what every complex composite needs.
struct ComplexInputs {
    std::array<int, 3> a{}, b{};
    std::optional<std::string> error;
};

ComplexInputs complexInputs(const Scene& s, const ComplexSettings& settings) {
    ComplexInputs in;
    for (std::size_t k = 0; k < 3; ++k) {
        in.a[k] = cleanComplexChannel(settings.planes[k].a);
        in.b[k] = cleanComplexChannel(settings.planes[k].b);
        if (auto why = refuseChannel(s.scene, in.a[k], true)) in.error = why;
        if (auto why = refuseChannel(s.scene, in.b[k], true)) in.error = why;
        if (in.a[k] == 0 && in.b[k] == 0) in.error = "Each colour needs at least one channel";
    }
    if (s.window.empty()) in.error = "The chosen centre lies outside the stored image";
    return in;
}

}  // namespace

BuildResult superseis(const Scene& s, const ComplexSettings& settings, const display::ContrastControls& controls,
                      display::Raster& g, display::WorkPlane& fx) {
    const auto in = complexInputs(s, settings);
    if (in.error) return failure(*in.error);
    auto sampler = WindowSampler::open(s.scene, s.window);
    if (!sampler) return failure(sampler.error());
    const auto geo = display::PictureGeometry::visIr(s.window);
    display::Raster built = g;
    std::vector<double> v, w;
    bool anyValid = false;
    for (std::size_t k = 0; k < 3; ++k) {
        // Free mode compares raw counts for the solar channels.
        PairReader values(s, in.a[k], in.b[k], true, *sampler, nullptr);
        double lo = 5000000, hi = -5000000;
        for (int r = 0; r < sampler->rows(); ++r) {
            values.row(r, v, w);
            for (int c = 0; c < sampler->columns(); ++c) {
                const auto i = static_cast<std::size_t>(c);
                if (!validCell(v[i], w[i], in.a[k], in.b[k])) continue;
                lo = std::min(lo, v[i] - w[i]);
                hi = std::max(hi, v[i] - w[i]);
                anyValid = true;
            }
        }
        if (lo == hi) hi += 0.1;
        for (int r = 0; r < sampler->rows(); ++r) {
            values.row(r, v, w);
            for (int c = 0; c < sampler->columns(); ++c) {
                const auto i = static_cast<std::size_t>(c);
                const bool valid = validCell(v[i], w[i], in.a[k], in.b[k]);
                const double scaled = valid ? std::trunc((v[i] - w[i] - lo) * 1023 / (hi - lo)) : 0.0;
                fx.at(0, r, c) = static_cast<std::int32_t>(std::clamp(scaled, 0.0, 1023.0));
            }
        }
        fx.fxmax = 1023;
        fx.fxmin = 0;
        display::resalta_c(built, fx, geo, static_cast<int>(k), 1, controls);
    }
    if (!anyValid) return failure("No cell of the window has values in these channels");
    g = std::move(built);
    BuildResult out;
    out.ok = true;
    out.incomplete = sampler->incomplete();
    out.title = "Composite of T-differences " + pairs(settings.planes);
    out.prodnr = 6;
    return out;
}

BuildResult superseis_f(const Scene& s, const ComplexSettings& settings, bool tails, display::Raster& g,
                        display::WorkPlane& fx) {
    const auto in = complexInputs(s, settings);
    if (in.error) return failure(*in.error);
    auto sampler = WindowSampler::open(s.scene, s.window);
    if (!sampler) return failure(sampler.error());
    const auto sun = sunIfNeeded(s, *sampler, {in.a[0], in.b[0], in.a[1], in.b[1], in.a[2], in.b[2]}, false);
    const auto geo = display::PictureGeometry::visIr(s.window);
    const int above = settings.noColourAbove ? 0 : 1023;
    display::Raster built = g;
    std::vector<double> v, w;
    bool anyValid = false;
    for (std::size_t k = 0; k < 3; ++k) {
        const auto& plane = settings.planes[k];
        double hi = plane.top, lo = plane.bottom;
        if (hi == lo) hi = lo + 0.001;
        else if (hi < lo) std::swap(hi, lo);
        PairReader values(s, in.a[k], in.b[k], false, *sampler, sun.get());
        const int slot = static_cast<int>(k);
        for (int r = 0; r < sampler->rows(); ++r) {
            values.row(r, v, w);
            for (int c = 0; c < sampler->columns(); ++c) {
                const auto i = static_cast<std::size_t>(c);
                int value = 0;
                if (validCell(v[i], w[i], in.a[k], in.b[k])) {
                    anyValid = true;
                    const double d = v[i] - w[i];
                    value = d > hi ? above : d < lo ? 0 : static_cast<int>(std::trunc((d - lo) * 1023 / (hi - lo)));
                }
                fx.at(slot, r, c) = value;
            }
        }
        // The height mapping with these settings is 255 ((W - 2) / 1020)^(1/gamma) from
        // W = 2 up, whatever kind of channel the minuend is.
        display::ContrastControls mapping;
        mapping.gammaStrength = std::clamp(plane.gamma - 2, 0, 6);
        mapping.adjustHeight = in.a[k] <= 3 ? 5 : 0;
        mapping.tails = tails;
        fx.fxmax = 1022;
        fx.fxmin = 1;
        display::resalta_ca(built, fx, geo, slot, in.a[k], mapping);
    }
    if (!anyValid) return failure("No cell of the window has values in these channels");
    g = std::move(built);
    BuildResult out;
    out.ok = true;
    out.incomplete = sampler->incomplete();
    out.title = settings.name + " composite of T-differences " + pairs(settings.planes);
    out.prodnr = 5;
    return out;
}

}  // namespace tesmar::compose
