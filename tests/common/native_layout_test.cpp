#include "common/native_layout.h"

#include <gtest/gtest.h>

namespace native = station::native;

namespace {

TEST(ChannelMap, CountsAbsentChannels) {
    const struct {
        const char* selection;
        std::array<int, 13> cn;
        int nnn;
    } cases[] = {
        {"XXXXXXXXXXXX", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0},
        {"X-XXXXXXXXXX", {0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, 1},
        {"XXXXXXXXXXX-", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 0},
        {"---XXXXXXXX-", {0, 1, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4}, 3},
    };
    for (const auto& c : cases) {
        const auto m = native::ChannelMap::fromSelection(c.selection);
        for (int k = 0; k <= 12; ++k) EXPECT_EQ(m.cn[k], c.cn[k]) << c.selection << " k=" << k;
        EXPECT_EQ(m.nnn, c.nnn) << c.selection;
    }
    const auto m = native::ChannelMap::fromSelection("X-XXXXXXXXX-");
    EXPECT_TRUE(m.present(1));
    EXPECT_FALSE(m.present(2));
    EXPECT_FALSE(m.present(12));
    EXPECT_FALSE(m.present(0));
    EXPECT_FALSE(m.present(13));
}

TEST(BlockLayout, FullDiskArithmetic) {
    native::BlockLayout l;
    l.nobyco = native::packedBytes(3712);
    l.nobyco_hrv = native::packedBytes(5568);
    EXPECT_EQ(l.nobyco, 4640);
    EXPECT_EQ(l.nobyco_hrv, 6960);
    EXPECT_EQ(l.blocall(), 72830);
    EXPECT_EQ(native::kFullDiskFileBytes, 270795360);
    EXPECT_EQ(l.recordStart(1), 0);
    EXPECT_EQ(l.recordStart(11), 10 * 4705);
    EXPECT_EQ(l.recordStart(12), 11 * 4705);
    EXPECT_EQ(l.pixelOffset(9, 2), 450400 + 2 * 72830 + 8 * 4705 + 65);
}

TEST(BlockLayout, AbsentChannelMovesLaterRecordsForward) {
    native::BlockLayout l;
    l.nobyco = 4640;
    l.nobyco_hrv = 6960;
    l.map = native::ChannelMap::fromSelection("XX-XXXXXXXX-");
    EXPECT_EQ(l.blocall(), 10 * 4705);  // no HRV, one channel fewer
    EXPECT_EQ(l.recordStart(2), 4705);
    EXPECT_EQ(l.recordStart(4), 2 * 4705);  // channel 3's room is gone
    EXPECT_EQ(l.recordStart(11), 9 * 4705);
}

}  // namespace
