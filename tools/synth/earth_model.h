#pragma once
// A plausible Earth disk for synthetic scenes: land and sea placed by navigation, clouds from
// smooth noise with the climate's bands, the sun of the scene time, and counts made by
// inverting the file's own calibration.

#include <array>
#include <cstdint>
#include <span>

#include "tools/synth/land_mask.h"
#include "tools/synth/native_writer.h"
#include "viewer/scene/calibration.h"
#include "viewer/scene/navigation.h"

namespace synth {

struct PixelState {
    bool onDisk = false;
    Surface surface = Surface::Sea;
    float mu0 = 0;       // cosine of the solar zenith angle
    float cloud = 0;     // cloud cover 0..1
    float height = 0;    // cloud-top height 0 (low) .. 1 (tropopause)
    float surfaceT = 0;  // kelvin
};

class EarthModel {
public:
    explicit EarthModel(const SyntheticScene& scene);

    // State of grid line `line` at every column 1..3712 (index column - 1).
    void lineState(int line, std::span<PixelState> out) const;

    std::uint16_t count(int channel, const PixelState& p) const;
    // HRV count at an HRV position, with detail finer than the VIS/IR grid.
    std::uint16_t hrvCount(const PixelState& p, int hrvLine, int hrvColumn) const;

private:
    std::uint16_t countOfTemperature(int channel, double kelvin) const;
    std::uint16_t countOfReflectance(int channel, double reflectance, double mu0) const;
    double cloudNoise(double x, double y, int octaves) const;

    const SyntheticScene& scene_;
    tesmar::nav::Context nav_;
    tesmar::calib::SolarGeometry sun_;
};

}  // namespace synth
