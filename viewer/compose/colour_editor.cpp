#include "viewer/compose/colour_editor.h"

#include <cmath>
#include <optional>

#include "viewer/compose/colour_fields.h"
#include "viewer/scene/calibration.h"
#include "viewer/scene/channels.h"
#include "viewer/scene/navigation.h"

namespace tesmar::compose {

namespace {

// Where the sun of a solar channel's range is taken.
std::optional<nav::GeoPoint> rangePoint(const Scene& s) {
    const auto& w = s.window;
    if (auto corner = nav::lintogeo(w.fil + s.scene.sol + 1, w.fic + s.scene.eac + 1, s.nav))
        return corner;
    return nav::lintogeo(w.linn, w.coln, s.nav);
}

// The value of byte b of a single-channel picture; empty when it cannot be known.
std::optional<double> singleValue(const Scene& s, const SliceSubject& subject, int b) {
    double v = 0;
    if (channels::infrared(subject.channel)) {
        v = calib::brightnessTemperature(subject.channel, subject.cal, 4.0 * b);
    } else {
        const auto sun = calib::geome(s.scene.bsc);
        const auto at = rangePoint(s);
        if (!sun || !at) return std::nullopt;
        v = 100.0 * calib::albe(subject.channel, subject.cal, *sun, 4.0 * b, at->lon, at->lat);
    }
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

}  // namespace

ColourEditorOpening open_col(const Scene& s, const SliceSubject& subject, int maxg, int ming) {
    ColourEditorOpening out;
    const int kind = subject.prodnr;
    if ((kind == 1 || kind == 4) && subject.channel >= channels::kHrv) {
        out.mode = ColourEditorMode::Enhancement;
        return out;
    }
    if (kind != 1 && kind != 3) return out;  // the IHS steps

    out.mode = ColourEditorMode::Slice;
    out.height = 292;
    if (kind == 3) {
        out.rangeLabel = "Temp(K) or albedo(%) diff";
        if (std::isfinite(subject.mindf) && std::isfinite(subject.maxdf)) {
            out.lower = fixedText(subject.mindf, 1);
            out.upper = fixedText(subject.maxdf, 1);
        }
        return out;
    }
    if (subject.channel < 1) return out;
    out.rangeLabel = channels::infrared(subject.channel) ? "Temperature(K)" : "Albedo(%)";
    const auto lower = singleValue(s, subject, ming);
    const auto upper = singleValue(s, subject, maxg);
    if (lower && upper) {
        out.lower = fixedText(*lower, 0);
        out.upper = fixedText(*upper, 0);
    }
    return out;
}

}  // namespace tesmar::compose
