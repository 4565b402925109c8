#include "viewer/display/picture_fill.h"

#include <algorithm>
#include <vector>

#include "common/unpack10.h"
#include "viewer/scene/line_reader.h"

namespace tesmar::display {

namespace {

class CellWriter {
public:
    CellWriter(const FillRequest& r, Raster& g, WorkPlane& fx, FillResult& out) : r_(r), g_(g), fx_(fx), out_(out) {}

    // Consecutive cells of one row from column `col` on; cells off the raster are dropped.
    void putRow(int row, int col, std::span<const std::uint16_t> counts) {
        if (row < 0 || row >= kRasterRows || col < 0) return;
        const auto n = static_cast<std::size_t>(
            std::max(0, std::min<int>(static_cast<int>(counts.size()), kRasterCols - col)));
        if (n == 0) return;
        out_.cells += static_cast<int>(n);
        const auto first = counts.begin(), last = counts.begin() + static_cast<long>(n);
        if (r_.target == FillTarget::WorkPlane) {
            const auto [lo, hi] = std::minmax_element(first, last);
            std::copy(first, last, fx_.row(0, row) + col);
            fx_.fxmax = std::max<std::int32_t>(fx_.fxmax, *hi);
            fx_.fxmin = std::min<std::int32_t>(fx_.fxmin, *lo);
            return;
        }
        // Plain loops without branches, so the compiler can vectorise them.
        bytes_.resize(n);
        std::uint8_t* out = bytes_.data();  // locals: no aliasing with the members
        const std::uint16_t* in = counts.data();
        unsigned lo = 255, hi = 0;
        for (std::size_t k = 0; k < n; ++k) {
            const unsigned b = in[k] >> 2u;
            out[k] = static_cast<std::uint8_t>(b);
            lo = std::min(lo, b);
            hi = std::max(hi, b);
        }
        if (r_.target == FillTarget::Plane && !r_.normal)
            for (auto& b : bytes_) b = static_cast<std::uint8_t>(255 - b);
        out_.maxg = std::max(out_.maxg, static_cast<int>(hi));
        out_.ming = std::min(out_.ming, static_cast<int>(lo));
        if (r_.target == FillTarget::Grey) {
            for (int p = 0; p < 3; ++p) std::copy(bytes_.begin(), bytes_.end(), g_.row(p, row) + col);
        } else {
            std::copy(bytes_.begin(), bytes_.end(), g_.row(r_.plane, row) + col);
        }
    }

private:
    const FillRequest& r_;
    Raster& g_;
    WorkPlane& fx_;
    FillResult& out_;
    std::vector<std::uint8_t> bytes_;
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
        const int first = std::max(w.fic, 0);
        std::vector<std::uint16_t> counts(static_cast<std::size_t>(std::max(last - first, 0)));
        for (int u = w.fil; u < w.lal && 3 * (u - w.fil) < kRasterRows; ++u) {
            const auto all = reader->packedHrv(u);
            for (int s = 0; s < 3; ++s) {
                station::unpack10From(all.subspan(s * step, static_cast<std::size_t>(scene.nobyco_hrv)),
                                      static_cast<std::size_t>(first), counts);
                cells.putRow(3 * (u - w.fil) + s, first - w.fic, counts);
            }
        }
    } else {
        const auto map = cellMapping(w);
        const int last = std::min(w.lac, scene.visir_columns);
        // Only the sampled lines are read, and only the sampled pixels unpacked: at full
        // resolution the whole span at once.
        int columns = 0;
        while (map.storedPixel(columns) < last && columns < kRasterCols) ++columns;
        std::vector<std::uint16_t> counts(static_cast<std::size_t>(columns));
        const int first = map.storedPixel(0);
        for (int row = 0; map.storedLine(row) < w.lal && row < kRasterRows; ++row) {
            const auto record = reader->packedVisIr(request.channel, map.storedLine(row));
            if (map.degra == 1 && first >= 0) {
                station::unpack10From(record, static_cast<std::size_t>(first), counts);
            } else {
                for (int col = 0; col < columns; ++col) {
                    const int i = map.storedPixel(col);
                    counts[static_cast<std::size_t>(col)] =
                        i >= 0 ? station::unpackPixel(record, static_cast<std::size_t>(i)) : 0;
                }
            }
            cells.putRow(row, 0, counts);
        }
    }
    out.incomplete = reader->incomplete();
    out.ok = true;
    return out;
}

}  // namespace tesmar::display
