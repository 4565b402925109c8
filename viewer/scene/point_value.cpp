#include "viewer/scene/point_value.h"

#include <string>
#include <vector>

#include "viewer/scene/calibration.h"
#include "viewer/scene/channels.h"
#include "viewer/scene/line_reader.h"

namespace tesmar {

using station::Result;

station::Result<PointValue> pointValue(const NativeScene& s, int channel, double lon, double lat) {
    using R = Result<PointValue>;
    if (!channels::valid(channel)) return R::failure("Channels are numbered 1 to 12");
    if (!s.channelPresent(channel)) return R::failure("Channel " + std::to_string(channel) + " is not in this file");
    const nav::Context ctx{s.p95};
    PointValue p;
    const bool hrv = channel == channels::kHrv;
    if (hrv) {
        const auto g = nav::geoToHrv(lon, lat, ctx);
        if (!g) return R::failure("The point is not on the Earth's disk");
        p.hrvLine = g->line;
        p.line = nav::hrvLineToVisIrLine(g->line);
        p.column = g->column;
        const int visof = 3 * p.line < s.vis_off_h ? s.hrv_eac : s.hrv_eac_nor;
        p.pixel = p.column - visof;
        if (p.pixel < 0 || p.pixel >= s.nopico_hrv) return R::failure("The point lies outside the stored area");
    } else {
        const auto g = nav::geoToVisIr(lon, lat, ctx);
        if (!g) return R::failure("The point is not on the Earth's disk");
        p.line = g->line;
        p.column = g->column;
        p.pixel = p.column - s.eac;
        if (p.pixel < 0 || p.pixel > s.wec - s.eac || p.pixel >= s.visir_columns)
            return R::failure("The point lies outside the stored area");
    }
    p.storedLine = p.line - s.sol;
    if (p.storedLine < 0 || p.storedLine > s.nol - s.sol) return R::failure("The point lies outside the stored area");

    auto reader = LineReader::open(s);
    if (!reader) return R::failure(reader.error());
    if (p.storedLine >= s.storedLines(reader->fileBytes()))
        return R::failure("The file is shorter than its header states; that line is missing");
    if (hrv) {
        const auto n = static_cast<std::size_t>(s.nopico_hrv);
        std::vector<std::uint16_t> sub[3] = {std::vector<std::uint16_t>(n), std::vector<std::uint16_t>(n),
                                             std::vector<std::uint16_t>(n)};
        reader->readHrv(p.storedLine, sub[0], sub[1], sub[2]);
        // HRV line 3L-3+i of VIS/IR line L is its i-th sub-line, southernmost first.
        const int i = p.hrvLine - 3 * (p.line - 1);
        p.count = sub[i][static_cast<std::size_t>(p.pixel)];
    } else {
        std::vector<std::uint16_t> counts(static_cast<std::size_t>(s.visir_columns));
        reader->readVisIr(channel, p.storedLine, counts);
        p.count = counts[static_cast<std::size_t>(p.pixel)];
    }

    const auto geometry = calib::geome(s.bsc);
    if (!geometry && !channels::infrared(channel))
        return R::failure("The scene time \"" + s.bsc + "\" cannot be read; no albedo without it");
    const auto value = calib::channelValue(channel, s.calibration[static_cast<std::size_t>(channel - 1)],
                                           geometry.value_or(calib::SolarGeometry{}), p.count, lon, lat);
    if (!value) return R::failure("The calibration of this channel gives no value");
    p.value = *value;
    return p;
}

}  // namespace tesmar
