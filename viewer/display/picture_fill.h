#pragma once
// Reads one channel over the data window straight from the Native file into the raster:
// row r, column c of a VIS/IR picture hold stored line fil + r*degra and pixel fic + c*degra;
// an HRV picture fills three rows per VIS/IR line and one column per HRV pixel.

#include <cstdint>
#include <string>

#include "viewer/display/raster.h"
#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"

namespace tesmar::display {

enum class FillTarget {
    Grey,        // count div 4 into all three planes
    Plane,       // count div 4 (or its complement) into one plane
    WorkPlane,   // the raw count into work-plane component 0 (height-focus)
};

struct FillRequest {
    int channel = 1;
    FillTarget target = FillTarget::Grey;
    int plane = 0;       // for Plane
    bool normal = true;  // Plane: false writes 255 - count div 4
};

struct FillResult {
    bool ok = false;
    std::string error;        // why nothing was drawn
    bool incomplete = false;  // the file ended early: missing lines read as zeros
    int maxg = 0, ming = 255; // extremes of the bytes written (Grey and Plane)
    int cells = 0;
};

// Nothing is written when the window is empty, the channel is not in the file or the file
// cannot be opened.
FillResult fillChannel(const NativeScene& scene, const DataWindow& window, const FillRequest& request, Raster& g,
                       WorkPlane& fx);

// Stored line and pixel of a raster cell of a VIS/IR picture, and back: the one mapping that
// sampling, read-out and overlays share.
struct CellMapping {
    int fil = 0, fic = 0, degra = 1;
    int storedLine(int row) const { return fil + row * degra; }
    int storedPixel(int col) const { return fic + col * degra; }
    // Raster row of a stored line; -1 when the line is not sampled at this scope.
    int rowOf(int storedLine) const {
        const int d = storedLine - fil;
        return d >= 0 && d % degra == 0 ? d / degra : -1;
    }
    int colOf(int storedPixel) const {
        const int d = storedPixel - fic;
        return d >= 0 && d % degra == 0 ? d / degra : -1;
    }
};

inline CellMapping cellMapping(const DataWindow& w) { return {w.fil, w.fic, std::max(1, w.degra)}; }

}  // namespace tesmar::display
