#pragma once
// The stored count and physical value of one channel at a geographic point.

#include "common/result.h"
#include "viewer/scene/native_scene.h"
#include "viewer/scene/navigation.h"

namespace tesmar {

struct PointValue {
    int line = 0;    // VIS/IR grid line (for HRV, the VIS/IR line holding the HRV line)
    int column = 0;  // grid column (HRV column for channel 12)
    int hrvLine = 0; // HRV grid line (channel 12 only)
    std::int64_t storedLine = 0;
    int pixel = 0;
    int count = 0;
    double value = 0.0;  // kelvin (4 to 11) or albedo in percent (1 to 3, 12)
};

// Stored line = line - sol and pixel = column - eac, as the read-out takes them. A point off
// the disk, outside the stored area, or past the end of a short file is an error.
station::Result<PointValue> pointValue(const NativeScene& scene, int channel, double lon, double lat);

}  // namespace tesmar
