#include "viewer/scene/data_window.h"

#include <gtest/gtest.h>

#include "tests/support/scenes.h"

namespace {

tesmar::NativeScene standardFullDisk() {
    auto s = testing_support::standardFullDiskScene();
    s.hrv_eac = 2000;
    s.hrv_eac_nor = 100;
    s.vis_off_h = 8063;
    return s;
}

TEST(DataWindow, FullResolutionAroundTheCentre) {
    tesmar::WindowRequest r;
    r.fi = 0;
    r.la = 0;
    r.scopeSlider = 5;
    r.gsize = 921;
    r.gsizev = 741;
    const auto w = tesmar::leedatos(standardFullDisk(), {}, r);
    EXPECT_EQ(w.degra, 1);
    EXPECT_EQ(w.siz, 920);
    EXPECT_EQ(w.sizv, 740);
    EXPECT_EQ(w.linn, 1856);
    EXPECT_EQ(w.coln, 1856);
    EXPECT_EQ(w.fil, 1485);
    EXPECT_EQ(w.lal, 2225);
    EXPECT_EQ(w.fic, 1856 - 460 - 1);
    EXPECT_EQ(w.lac, 1856 + 460 - 1);
    EXPECT_FALSE(w.empty());
}

TEST(DataWindow, ScopeWidensAndTheGridClips) {
    tesmar::WindowRequest r;
    r.fi = 0;
    r.la = 0;
    r.scopeSlider = 1;  // every fifth pixel
    const auto w = tesmar::leedatos(standardFullDisk(), {}, r);
    EXPECT_EQ(w.degra, 5);
    EXPECT_EQ(w.fil, 1856 - 5 * 370 - 1);
    EXPECT_EQ(w.lal, 1856 + 5 * 370 - 1);
    EXPECT_EQ(w.fic, 1);  // clipped at the grid's east
    EXPECT_EQ(w.lac, 3712);
}

TEST(DataWindow, OffTheDiskStartsAtTheFirstLineAndPixel) {
    tesmar::WindowRequest r;
    r.fi = 150;
    r.la = 0;
    const auto w = tesmar::leedatos(standardFullDisk(), {}, r);
    EXPECT_EQ(w.linn, 0);
    EXPECT_EQ(w.coln, 0);
    EXPECT_EQ(w.fil, 1);
    EXPECT_EQ(w.lal, 370 - 1);
    EXPECT_EQ(w.fic, 1);
    EXPECT_EQ(w.lac, 460 - 1);
}

TEST(DataWindow, HrvAtFullResolution) {
    tesmar::WindowRequest r;  // 7 E, 41 N: HRV line 9534 in VIS/IR line 3179, column 5004
    r.ncha = 12;
    const auto s = standardFullDisk();
    const auto w = tesmar::leedatos(s, {}, r);
    EXPECT_EQ(w.linn, 3179);
    EXPECT_EQ(w.coln, 5004);
    EXPECT_EQ(w.fil, 3179 - 740 / 6 - 1);
    EXPECT_EQ(w.lal, 3179 + 740 / 6 - 1);
    EXPECT_EQ(w.visof, 100);  // above the split
    EXPECT_EQ(w.fic, 5004 - 460 - 100);
    EXPECT_EQ(w.lac, std::min(100 + 5568, 5004 + 460) - 100);

    r.la = -10;  // below the split: the lower window's origin
    const auto low = tesmar::leedatos(s, {}, r);
    EXPECT_EQ(low.visof, 2000);
}

}  // namespace
