#pragma once
// Scene facts and data windows without a file. Free of the test framework, so the fuzz
// targets can build the same scenes as the tests.

#include "viewer/scene/data_window.h"
#include "viewer/scene/native_scene.h"

namespace testing_support {

// A data window by its bounds (stored lines fil..lal-1, pixels fic..lac-1).
inline tesmar::DataWindow makeWindow(int fil, int lal, int fic, int lac, int degra = 1, int visof = 0) {
    tesmar::DataWindow w;
    w.fil = fil;
    w.lal = lal;
    w.fic = fic;
    w.lac = lac;
    w.degra = degra;
    w.visof = visof;
    return w;
}

// The facts of a standard full-disk file of all channels, without a file.
inline tesmar::NativeScene standardFullDiskScene() {
    tesmar::NativeScene s;
    s.sol = 1;
    s.nol = 3712;
    s.eac = 1;
    s.wec = 3712;
    s.visir_columns = 3712;
    s.nopico_hrv = 5568;
    s.bsc = "201903181200";
    return s;
}

}  // namespace testing_support
