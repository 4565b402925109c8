#pragma once
// The principal axis of three correlated channels, and the channel correlation file around a
// clicked point that the principal-components tool reads.

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "common/result.h"
#include "viewer/display/picture_geometry.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"

namespace tesmar::compose {

struct PrincipalAxis {
    double lambda = 0, vx = 0, vy = 0, vz = 0;
};

// Largest eigenvalue of the 3 x 3 correlation matrix and its vector (x component 1), by eight
// Newton steps; empty when the eigenvalue is not below 1.
std::optional<PrincipalAxis> calc_mycomp(double rxy, double rxz, double ryz);

// One correlation coefficient as the file writes it: sign or blank, one digit, point, 14
// digits, "E", sign and four exponent digits (23 characters).
std::string corrisNumber(double r);

struct CorrelationResult {
    bool pca_va = false;  // every coefficient could be formed
    int cells = 0;        // sampled cells in the block
};

// Writes `corris.txt` for the 11 channels over the block of sampled cells within 9 stored
// lines and pixels of the picture position (x, y). A pair without data gets -0.0001.
station::Result<CorrelationResult> two_channel_tt_correl(const NativeScene& scene, const DataWindow& window,
                                                         const display::PictureGeometry& geometry, int x, int y,
                                                         const std::filesystem::path& corris);

}  // namespace tesmar::compose
