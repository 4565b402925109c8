#include <gtest/gtest.h>

#include "tools/synth/native_writer.h"
#include "viewer/scene/native_scene.h"

namespace {

using synth::SyntheticScene;

tesmar::NativeScene parsed(const SyntheticScene& s) {
    const std::string h = synth::headerBytes(s);
    auto r = tesmar::parseNativeHeader(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(h.data()), h.size()));
    EXPECT_TRUE(r.ok()) << r.error();
    return r.ok() ? *r : tesmar::NativeScene{};
}

std::string refusal(const SyntheticScene& s, std::size_t keep = 0) {
    std::string h = synth::headerBytes(s);
    if (keep) h.resize(keep);
    auto r = tesmar::parseNativeHeader(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(h.data()), h.size()));
    return r.ok() ? std::string{} : r.error();
}

TEST(NativeHeader, StandardFullDisk) {
    const auto s = parsed(SyntheticScene{});
    EXPECT_EQ(s.bsc, "201903181200");
    EXPECT_EQ(s.sol, 1);
    EXPECT_EQ(s.nol, 3712);
    EXPECT_EQ(s.eac, 1);
    EXPECT_EQ(s.wec, 3712);
    EXPECT_EQ(s.nobyco, 4640);
    EXPECT_EQ(s.nopico_hrv, 5568);  // 11136 stated columns are stored as 5568-pixel lines
    EXPECT_EQ(s.nobyco_hrv, 6960);
    EXPECT_EQ(s.blocall, 72830);
    EXPECT_FALSE(s.marked());
    EXPECT_DOUBLE_EQ(s.calibration[8].slope, 0.19);
    EXPECT_DOUBLE_EQ(s.calibration[8].offset, -0.19 * 51);
}

TEST(NativeHeader, AssembledFilesTakeBinaryBoundsAndStartAtLineZero) {
    for (char mark : {'i', 's'}) {
        SyntheticScene in;
        in.mark = mark;
        in.south = 2000;
        in.north = 3712;
        in.east = 5;
        in.west = 3700;
        in.hrv = {8064, 2001, 7568, 101};
        in.channels = "XX-XXXXXXXX-";  // a template's string does not remove channels
        const auto s = parsed(in);
        EXPECT_EQ(s.b105, mark);
        EXPECT_EQ(s.sol, 0);
        EXPECT_EQ(s.nol, 3711);
        EXPECT_EQ(s.eac, 4);
        EXPECT_EQ(s.wec, 3699);
        EXPECT_EQ(s.nobyco, (3699 - 4 + 1) * 10 / 8);
        EXPECT_EQ(s.hrv_eac, 2000);
        EXPECT_EQ(s.hrv_eac_nor, 100);
        EXPECT_EQ(s.hrv_wec, 7567);
        EXPECT_EQ(s.vis_off_h, 8063);
        EXPECT_EQ(s.nopico_hrv, 5568);
        EXPECT_EQ(s.nnn, 0);
        EXPECT_TRUE(s.channelPresent(3));
        EXPECT_TRUE(s.channelPresent(12));
        EXPECT_EQ(s.channels, "XX-XXXXXXXX-");
    }
}

TEST(NativeHeader, LowerHrvWindowReachingTheTopIgnoresTheUpperOne) {
    SyntheticScene in;
    in.hrv = {11136, 300, 5867, 9};
    const auto s = parsed(in);
    EXPECT_EQ(s.vis_off_h, 11135);
    EXPECT_EQ(s.hrv_eac, 299);
    EXPECT_EQ(s.hrv_eac_nor, 299);
}

TEST(NativeHeader, RegionWithoutFullHrvTakesItsOriginFromTheVisIrColumns) {
    SyntheticScene in;
    in.south = 2500;
    in.north = 3000;
    in.east = 1500;
    in.west = 2299;
    in.hrvColumns = 2400;
    const auto s = parsed(in);
    EXPECT_EQ(s.hrv_eac, 4500);
    EXPECT_EQ(s.hrv_eac_nor, 4500);
    EXPECT_EQ(s.vis_off_h, 11136);
    EXPECT_EQ(s.nopico_hrv, 2400);
    EXPECT_EQ(s.nobyco, 800 * 10 / 8);
    EXPECT_EQ(s.blocall, 3 * (3000 + 65) + 11 * (1000 + 65));

    in.hrvColumns = 11136;  // a stated full HRV line keeps the header's HRV origin
    const auto full = parsed(in);
    EXPECT_EQ(full.hrv_eac, 0);
    EXPECT_EQ(full.nopico_hrv, 5568);
}

TEST(NativeHeader, SubSatelliteLongitudeAndShift) {
    const struct {
        float stored, salong, p95;
    } cases[] = {{200.0F, 20.0F, 20.0F}, {3.4F, 3.4F, 0.0F}, {41.5F, 41.5F, 41.5F}, {-9.5F, -9.5F, -9.5F}};
    for (const auto& c : cases) {
        SyntheticScene in;
        in.subSatLon = c.stored;
        const auto s = parsed(in);
        EXPECT_FLOAT_EQ(s.salong, c.salong);
        EXPECT_FLOAT_EQ(s.p95, c.p95);
    }
}

TEST(NativeHeader, AbsentChannelsShrinkTheBlock) {
    SyntheticScene in;
    in.channels = "X-XXXXXXXXX-";
    const auto s = parsed(in);
    EXPECT_EQ(s.nnn, 1);
    EXPECT_EQ(s.cn[12], 2);
    EXPECT_EQ(s.blocall, 10 * 4705);
    EXPECT_FALSE(s.channelPresent(2));
    EXPECT_FALSE(s.channelPresent(12));
}

TEST(NativeHeader, RefusesImpossibleHeaders) {
    auto with = [](auto change) {
        SyntheticScene s;
        change(s);
        return s;
    };
    EXPECT_NE(refusal(SyntheticScene{}, 5153), "");  // a header template of 5,153 bytes
    EXPECT_NE(refusal(with([](auto& s) { s.south = 3000; s.north = 2000; })), "");
    EXPECT_NE(refusal(with([](auto& s) { s.west = 4000; })), "");
    EXPECT_NE(refusal(with([](auto& s) { s.east = 0; })), "");
    EXPECT_NE(refusal(with([](auto& s) { s.visirColumns = 5000; })), "");
    EXPECT_NE(refusal(with([](auto& s) { s.mark = 's'; s.north = 0; })), "");
    EXPECT_NE(refusal(with([](auto& s) { s.mark = 's'; s.hrv.lowerWest = 0; s.hrv.lowerEast = 10; })), "");
    EXPECT_NE(refusal(with([](auto& s) { s.channels = "------------"; })), "");
    EXPECT_NE(refusal(with([](auto& s) { s.subSatLon = std::numeric_limits<float>::quiet_NaN(); })), "");
    // A bound that is not a number.
    std::string h = synth::headerBytes(SyntheticScene{});
    h.replace(4504, 4, "abcd");
    auto r = tesmar::parseNativeHeader(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(h.data()), h.size()));
    EXPECT_FALSE(r.ok());
}

TEST(NativeHeader, SceneTimeIsReadWhateverTheLengthByteHolds) {
    std::string h = synth::headerBytes(SyntheticScene{});
    h[2503] = ' ';
    auto r = tesmar::parseNativeHeader(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(h.data()), h.size()));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->bsc, "201903181200");
}

}  // namespace
