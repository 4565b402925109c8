#include "viewer/compose/channel_values.h"

#include <algorithm>
#include <cmath>

#include "common/unpack10.h"
#include "viewer/scene/channels.h"

namespace tesmar::compose {

station::Result<WindowSampler> WindowSampler::open(const NativeScene& scene, const DataWindow& window) {
    auto reader = LineReader::open(scene);
    if (!reader) return station::Result<WindowSampler>::failure(reader.error());
    return WindowSampler(std::move(*reader), window);
}

WindowSampler::WindowSampler(LineReader reader, const DataWindow& w)
    : reader_(std::move(reader)), map_(display::cellMapping(w)) {
    lastPixel_ = std::min(w.lac, reader_.scene().visir_columns);
    while (map_.storedLine(rows_) < w.lal && rows_ < display::kRasterRows) ++rows_;
    while (map_.storedPixel(columns_) < lastPixel_ && columns_ < display::kRasterCols) ++columns_;
    counts_.resize(static_cast<std::size_t>(columns_));
}

const std::vector<std::uint16_t>& WindowSampler::counts(int channel, int row) {
    const auto record = reader_.packedVisIr(channel, map_.storedLine(row));
    if (map_.degra == 1 && map_.fic >= 0) {
        station::unpack10From(record, static_cast<std::size_t>(map_.fic), counts_);
    } else {
        for (int c = 0; c < columns_; ++c) {
            const int i = map_.storedPixel(c);
            counts_[static_cast<std::size_t>(c)] = i >= 0 ? station::unpackPixel(record, static_cast<std::size_t>(i)) : 0;
        }
    }
    return counts_;
}

ChannelValues::ChannelValues(const NativeScene& scene, int channel, bool countsForSolar) : channel_(channel) {
    if (!channels::valid(channel) || channel > 11) return;
    const auto& cal = scene.calibration[static_cast<std::size_t>(channel - 1)];
    solar_ = !channels::infrared(channel) && !countsForSolar;
    const double w = channels::wavelengthMicrons(channel);
    for (int c = 0; c < 1024; ++c) {
        const double radiance = calib::countRadiance(cal, c);
        double v = 0;
        if (radiance <= 0) v = 0;  // at or below the zero-radiance count
        else if (channels::infrared(channel)) v = calib::brightnessTemperature(channel, cal, c);
        else if (countsForSolar) v = c;
        else v = radiance * 31.415926535897932385 / (w * w) / channels::irradianceAlbe(channel);
        table_[static_cast<std::size_t>(c)] = std::isfinite(v) ? v : 0.0;
    }
}

double ChannelValues::value(std::uint16_t count, double cosZenith) const {
    if (channel_ == 0) return 0.0;
    const double t = table_[count & 0x3FFu];
    if (!solar_) return t;
    // The albedo of the count under this cell's sun; 1.99 and above is not a reflectance.
    const double rho = t / std::max(cosZenith, 0.0001);
    return rho > 0 && rho < 1.99 ? 100.0 * rho : 0.0;
}

SunGrid::SunGrid(const NativeScene& scene, const DataWindow& window, const nav::Context& nav, int rows, int columns)
    : columns_(columns), mu0_(static_cast<std::size_t>(rows) * columns, 0.0) {
    const auto sun = calib::geome(scene.bsc);
    if (!sun) return;
    const auto map = display::cellMapping(window);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const auto geo = nav::lintogeo(map.storedLine(r) + scene.sol, map.storedPixel(c) + scene.eac, nav);
            if (geo) mu0_[static_cast<std::size_t>(r) * columns + c] = calib::cosSolarZenith(*sun, geo->lon, geo->lat);
        }
}

}  // namespace tesmar::compose
