#pragma once
// The block of stored lines and pixels a picture covers for a centre point and scope.

#include "viewer/scene/native_scene.h"
#include "viewer/scene/navigation.h"

namespace tesmar {

struct DataWindow {
    double fi = 0.0, la = 0.0;  // centre longitude and latitude
    int degra = 1;              // scope: 1 every stored pixel, 5 every fifth
    int siz = 0, sizv = 0;      // display width and height, rounded down to even
    int linn = 0, coln = 0;     // grid line and column of the centre
    int fil = 0, lal = 0;       // first and one-past-last stored line (0 = first block)
    int fic = 0, lac = 0;       // first and one-past-last pixel within a line record
    int visof = 0;              // HRV column origin of the window

    bool empty() const { return fic >= lac || fil >= lal; }
};

struct WindowRequest {
    double fi = 7.0, la = 41.0;
    int scopeSlider = 5;  // 1 to 5
    int gsize = 920, gsizev = 740;
    int ncha = 1;
    int previousColumn = 0;  // an HRV centre off the disk leaves the column as it was
};

DataWindow leedatos(const NativeScene& scene, const nav::Context& ctx, const WindowRequest& request);

}  // namespace tesmar
