#include "viewer/display/picture_fill.h"

#include <algorithm>

#include "common/unpack10.h"
#include "viewer/scene/line_reader.h"

namespace tesmar::display {

namespace {

class CellWriter {
public:
    CellWriter(const FillRequest& r, Raster& g, WorkPlane& fx, FillResult& out) : r_(r), g_(g), fx_(fx), out_(out) {}

    void put(int row, int col, std::uint16_t count) {
        if (!Raster::inside(row, col)) return;
        ++out_.cells;
        if (r_.target == FillTarget::WorkPlane) {
            fx_.put(0, row, col, count);
            return;
        }
        const auto byte = static_cast<std::uint8_t>(count / 4);
        if (r_.target == FillTarget::Grey) {
            g_.setGrey(row, col, byte);
        } else {
            g_.at(r_.plane, row, col) = r_.normal ? byte : static_cast<std::uint8_t>(255 - byte);
        }
        out_.maxg = std::max<int>(out_.maxg, byte);
        out_.ming = std::min<int>(out_.ming, byte);
    }

private:
    const FillRequest& r_;
    Raster& g_;
    WorkPlane& fx_;
    FillResult& out_;
};

}  // namespace

FillResult fillChannel(const NativeScene& scene, const DataWindow& w, const FillRequest& request, Raster& g,
                       WorkPlane& fx) {
    FillResult out;
    if (w.empty()) {
        out.error = "The chosen centre lies outside the stored image";
        return out;
    }
    if (!scene.channelPresent(request.channel)) {
        out.error = "Channel " + std::to_string(request.channel) + " is not in this file";
        return out;
    }
    auto reader = LineReader::open(scene);
    if (!reader) {
        out.error = reader.error();
        return out;
    }
    CellWriter cells(request, g, fx, out);

    if (request.channel == native::kHrvChannel) {
        // The last pixel of a record is nopico_hrv - 1, whatever the window says.
        const int last = std::min(w.lac, scene.nopico_hrv);
        const auto step = static_cast<std::size_t>(scene.nobyco_hrv + native::kLineHeaderBytes);
        for (int u = w.fil; u < w.lal && 3 * (u - w.fil) < kRasterRows; ++u) {
            const auto all = reader->packedHrv(u);
            for (int s = 0; s < 3; ++s) {
                const auto record = all.subspan(s * step, static_cast<std::size_t>(scene.nobyco_hrv));
                for (int j = std::max(w.fic, 0); j < last; ++j)
                    cells.put(3 * (u - w.fil) + s, j - w.fic, station::unpackPixel(record, static_cast<std::size_t>(j)));
            }
        }
    } else {
        const auto map = cellMapping(w);
        const int last = std::min(w.lac, scene.visir_columns);
        // Only the sampled lines are read, and only the sampled pixels unpacked.
        for (int row = 0; map.storedLine(row) < w.lal && row < kRasterRows; ++row) {
            const auto record = reader->packedVisIr(request.channel, map.storedLine(row));
            for (int col = 0; map.storedPixel(col) < last && col < kRasterCols; ++col) {
                const int i = map.storedPixel(col);
                if (i >= 0) cells.put(row, col, station::unpackPixel(record, static_cast<std::size_t>(i)));
            }
        }
    }
    out.incomplete = reader->incomplete();
    out.ok = true;
    return out;
}

}  // namespace tesmar::display
