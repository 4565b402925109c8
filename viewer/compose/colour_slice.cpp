#include "viewer/compose/colour_slice.h"

#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>

#include "viewer/compose/colour_fields.h"
#include "viewer/compose/colour_legend.h"
#include "viewer/compose/colour_scale.h"
#include "viewer/display/picture_geometry.h"
#include "viewer/scene/calibration.h"
#include "viewer/scene/channels.h"
#include "viewer/scene/navigation.h"

namespace tesmar::compose {

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

SliceResult refuse(SliceRefusal why, std::string text) {
    SliceResult r;
    r.refusal = why;
    r.error = std::move(text);
    return r;
}

// How the bytes of one picture become physical values; NaN where a cell has none.
class CellValues {
  public:
    static std::optional<CellValues> make(const Scene& s, const SliceSubject& subject,
                                          bool singleKind, SliceResult& refusal);
    double operator()(int row, int col, std::uint8_t b) const {
        if (!solar_) return table_[b];
        const auto& w = s_->window;
        const auto geo = nav::lintogeo(w.fil + row * w.degra + s_->scene.sol,
                                       w.fic + col * w.degra + s_->scene.eac, s_->nav);
        if (!geo) return kNoValue;
        return 100.0 * calib::albe(channel_, cal_, sun_, 4.0 * b, geo->lon, geo->lat);
    }

  private:
    const Scene* s_ = nullptr;
    bool solar_ = false;
    int channel_ = 0;
    ChannelCalibration cal_;
    calib::SolarGeometry sun_;
    std::array<double, 256> table_{};
};

std::optional<CellValues> CellValues::make(const Scene& s, const SliceSubject& subject,
                                           bool singleKind, SliceResult& refusal) {
    CellValues v;
    v.s_ = &s;
    if (subject.prodnr == 3) {
        const double lo = subject.mindf, hi = subject.maxdf;
        if (!std::isfinite(lo) || !std::isfinite(hi)) {
            refusal =
                refuse(SliceRefusal::NoValues, "The temperature difference has no range to slice");
            return std::nullopt;
        }
        for (int b = 0; b < 256; ++b)
            v.table_[static_cast<std::size_t>(b)] = b * (hi - lo) / 255 + lo;
        return v;
    }
    if (!singleKind) {
        refusal = refuse(
            SliceRefusal::NoValues,
            "Only a single-channel picture or a temperature difference can be colour sliced");
        return std::nullopt;
    }
    if (subject.channel < 1) {
        refusal = refuse(SliceRefusal::NoValues, "There is no channel to slice");
        return std::nullopt;
    }
    v.channel_ = subject.channel;
    v.cal_ = subject.cal;
    if (channels::infrared(subject.channel)) {
        for (int b = 0; b < 256; ++b) {
            const double t = calib::brightnessTemperature(subject.channel, subject.cal, 4.0 * b);
            v.table_[static_cast<std::size_t>(b)] = std::isfinite(t) ? t : kNoValue;
        }
        return v;
    }
    const auto sun = calib::geome(s.scene.bsc);
    if (!sun) {
        refusal = refuse(SliceRefusal::NoValues,
                         "The scene time cannot be read, so the albedo is unknown");
        return std::nullopt;
    }
    v.solar_ = true;
    v.sun_ = *sun;
    return v;
}

// The checks both slices share, then the painting: `byteAt` reads cell (r, c), the pixel of
// the cell is (W - 1 - c, H - 1 - r), `keep` leaves a cell's pixel as it is.
SliceResult slice(const Scene& s, const SliceSubject& subject, const ColourSliceSettings& settings,
                  bool singleKind, const std::function<std::uint8_t(int, int)>& byteAt,
                  const std::function<bool(int, int)>& keep, display::Image24& picture) {
    if (subject.heightFocus || subject.hrvPicture ||
        (singleKind && subject.channel >= channels::kHrv))
        return refuse(SliceRefusal::NotEnabled,
                      "Slicing not enabled for height-focus or hrv imagery");
    const auto lo = realField(settings.lower);
    if (!lo) return refuse(SliceRefusal::NotANumber, lo.error());
    const auto hi = realField(settings.upper);
    if (!hi) return refuse(SliceRefusal::NotANumber, hi.error());

    SliceResult out;
    const auto values = CellValues::make(s, subject, singleKind, out);
    if (!values) return out;
    if (!(*lo < *hi))
        return refuse(SliceRefusal::EmptyRange,
                      "The upper value must be above the lower value: nothing lies between them");
    const auto geo = display::PictureGeometry::visIr(s.window);
    if (geo.empty() || picture.width <= 0 || picture.height <= 0)
        return refuse(SliceRefusal::NoPicture, "There is no picture to slice");

    for (int r = 0; r < geo.height; ++r) {
        const int y = geo.pictureY(r);
        if (y < 0 || y >= picture.height) continue;
        for (int c = 0; c < geo.width; ++c) {
            const int x = geo.pictureX(c);
            if (x < 0 || x >= picture.width || (keep && keep(r, c))) continue;
            const auto step = scaleIndex((*values)(r, c, byteAt(r, c)), *lo, *hi);
            if (!step) continue;
            const auto colour = roveaz(*step, settings.reverse);
            std::uint8_t* px = picture.pixel(x, y);
            px[0] = colour.r;
            px[1] = colour.g;
            px[2] = colour.b;
            ++out.painted;
        }
    }

    out.legend = paintSliceLegend(picture, LegendPlacement::forWindow(s.window), settings.lower,
                                  settings.upper, *lo, *hi, settings.reverse);
    const std::string range = "Sliced (" + settings.lower + " ; " + settings.upper + ")";
    if (subject.prodnr == 3)
        out.status = range + " T-Difference " + subject.redBox + "-" + subject.greenBox;
    else if (subject.prodnr == 1)
        out.status = range + " Single Channel " + subject.singleBox;
    out.ok = true;
    return out;
}

}  // namespace

SliceResult colourslice(const Scene& s, const display::Raster& g, const SliceSubject& subject,
                        const ColourSliceSettings& settings, const display::Raster* coast,
                        display::Image24& picture) {
    const bool single = subject.prodnr == 1 || subject.prodnr == 7;
    std::function<bool(int, int)> keep;
    if (coast) keep = [coast](int r, int c) { return coast->at(0, r, c) == display::kCoastValue; };
    return slice(
        s, subject, settings, single, [&g](int r, int c) { return g.at(2, r, c); }, keep, picture);
}

SliceResult colourslice3(const Scene& s, const display::Raster& gp, const SliceSubject& subject,
                         const ColourSliceSettings& settings, display::Image24& projection) {
    const int lastCol = display::PictureGeometry::visIr(s.window).lastCol;
    return slice(
        s, subject, settings, subject.prodnr == 1,
        [&gp, lastCol](int r, int c) { return gp.at(0, r, lastCol - c); }, {}, projection);
}

}  // namespace tesmar::compose
