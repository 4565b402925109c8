#include "tools/synth/line_source.h"

#include <algorithm>

#include "common/native_layout.h"
#include "common/unpack10.h"
#include "tools/synth/earth_model.h"

namespace synth {

namespace native = station::native;

LineSource::LineSource(const SyntheticScene& scene)
    : scene_(scene),
      // Stored lines start at the grid's first line in an assembled file; the columns start at
      // the eastern bound in both kinds.
      firstLine_(scene.mark ? 1 : scene.south),
      visIrPixels_(scene.visirPixels()),
      hrvPixels_(scene.hrvPixels()),
      visIrBytes_(native::packedBytes(visIrPixels_)),
      hrvBytes_(native::packedBytes(hrvPixels_)),
      counts_(static_cast<std::size_t>(std::max({visIrPixels_, hrvPixels_, 0}))) {
    if (scene_.content == Content::Earth) {
        earth_ = std::make_unique<EarthModel>(scene_);
        row_.resize(native::kVisIrGrid);
    }
}

LineSource::~LineSource() = default;

const std::vector<PixelState>& LineSource::row(int line) {
    if (rowLine_ != line) {
        earth_->lineState(line, row_);
        rowLine_ = line;
    }
    return row_;
}

void LineSource::pack(std::span<std::uint8_t> packed, int pixels, int bytes) {
    station::pack10(std::span(counts_).first(static_cast<std::size_t>(pixels)),
                    packed.first(static_cast<std::size_t>(bytes)));
}

void LineSource::visIr(int channel, int line, std::span<std::uint8_t> packed) {
    const auto k = static_cast<std::size_t>(channel - 1);
    const int u = line - firstLine_;
    const std::vector<PixelState>* states = earth_ ? &row(line) : nullptr;
    for (int p = 0; p < visIrPixels_; ++p) {
        const int column = scene_.east + p;
        std::uint16_t c = 0;
        if (scene_.content == Content::Uniform) {
            c = scene_.uniformCounts[k];
        } else if (states) {
            // Columns beyond the grid (a standard file's stated width may exceed it) are space.
            if (column <= native::kVisIrGrid)
                c = earth_->count(channel, (*states)[static_cast<std::size_t>(column - 1)]);
        } else {
            c = patternCount(channel, u, p);
        }
        counts_[static_cast<std::size_t>(p)] = c;
    }
    pack(packed, visIrPixels_, visIrBytes_);
}

void LineSource::hrv(int hrvLine, std::span<std::uint8_t> packed) {
    const int line = (hrvLine - 1) / 3 + 1;  // the VIS/IR line it belongs to
    const std::int64_t stored = hrvLine - 3 * std::int64_t{firstLine_ - 1} - 1;
    // The reader takes the HRV column origin from the VIS/IR line, as the header plans.
    const int visOffH = scene_.hrv.lowerNorth - 1;
    const bool lower = 3 * line < visOffH || visOffH == native::kHrvGrid - 1;
    const int origin = lower ? scene_.hrv.lowerEast - 1 : scene_.hrv.upperEast - 1;
    const std::vector<PixelState>* states = earth_ ? &row(line) : nullptr;
    for (int p = 0; p < hrvPixels_; ++p) {
        std::uint16_t c = 0;
        if (scene_.content == Content::Uniform) {
            c = scene_.uniformCounts[11];
        } else if (states) {
            const int hrvColumn = origin + p + 1;
            const int column = std::clamp((hrvColumn + 2) / 3, 1, native::kVisIrGrid);
            c = earth_->hrvCount((*states)[static_cast<std::size_t>(column - 1)], hrvLine,
                                 hrvColumn);
        } else {
            c = patternCount(12, stored, p);
        }
        counts_[static_cast<std::size_t>(p)] = c;
    }
    pack(packed, hrvPixels_, hrvBytes_);
}

}  // namespace synth
