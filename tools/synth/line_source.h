#pragma once
// The packed image lines of a synthetic scene, one record at a time. The Native writer and the
// received-slot generator both take their lines from here, so the segments of a slot hold
// exactly the lines a Native file of the same scene stores.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "tools/synth/native_writer.h"

namespace synth {

class EarthModel;
struct PixelState;

class LineSource {
  public:
    explicit LineSource(const SyntheticScene& scene);
    ~LineSource();
    LineSource(const LineSource&) = delete;
    LineSource& operator=(const LineSource&) = delete;

    // Grid line of the first stored line: 1 in an assembled file, the southern bound otherwise.
    int firstLine() const { return firstLine_; }
    // Packed bytes of one VIS/IR and one HRV record.
    int visIrBytes() const { return visIrBytes_; }
    int hrvBytes() const { return hrvBytes_; }

    // The record of channel 1..11 at VIS/IR grid line `line`, into the first visIrBytes() of
    // `packed`.
    void visIr(int channel, int line, std::span<std::uint8_t> packed);
    // The record of HRV grid line `hrvLine` (VIS/IR line L holds HRV lines 3L-2..3L), into the
    // first hrvBytes() of `packed`.
    void hrv(int hrvLine, std::span<std::uint8_t> packed);

  private:
    // The Earth model's state of a VIS/IR line, kept for the last line asked: every channel of
    // a line and its three HRV lines share it.
    const std::vector<PixelState>& row(int line);
    void pack(std::span<std::uint8_t> packed, int pixels, int bytes);

    SyntheticScene scene_;  // before earth_, which refers to it
    int firstLine_ = 1;
    int visIrPixels_ = 0, hrvPixels_ = 0;
    int visIrBytes_ = 0, hrvBytes_ = 0;
    std::unique_ptr<EarthModel> earth_;
    std::vector<PixelState> row_;
    int rowLine_ = 0;
    std::vector<std::uint16_t> counts_;
};

}  // namespace synth
