#include <gtest/gtest.h>

#include <sstream>

#include "tools/kit/coast_masks.h"
#include "tools/kit/mask_files.h"

namespace {

using kit::BitMask;
using kit::CoastLine;

TEST(BitMask, KeepsTheFirstCellInTheHighBit) {
    BitMask m(16, 2, false);
    m.put(1, 0, true);
    m.put(1, 9, true);
    m.put(2, 0, true);   // outside: ignored
    m.put(0, 16, true);  // outside: ignored
    EXPECT_EQ(m.row(0)[0], 0x00);
    EXPECT_EQ(m.row(0)[1], 0x00);
    EXPECT_EQ(m.row(1)[0], 0x80);
    EXPECT_EQ(m.row(1)[1], 0x40);
    EXPECT_TRUE(m.test(1, 9));

    BitMask set(8, 1, true);
    set.put(0, 7, false);
    EXPECT_EQ(set.row(0)[0], 0xFE);
}

TEST(BitMask, LinesAreConnectedAndEndAtBothEnds) {
    struct Case {
        int x0, y0, x1, y1;
    };
    for (const auto c : {Case{0, 0, 7, 3}, Case{5, 5, 5, 5}, Case{9, 1, 2, 8}, Case{3, 9, 3, 0}}) {
        std::vector<std::pair<int, int>> cells;
        kit::forEachCellOnLine(c.x0, c.y0, c.x1, c.y1,
                               [&](int x, int y) { cells.emplace_back(x, y); });
        ASSERT_FALSE(cells.empty());
        EXPECT_EQ(cells.front(), std::make_pair(c.x0, c.y0));
        EXPECT_EQ(cells.back(), std::make_pair(c.x1, c.y1));
        EXPECT_EQ(cells.size(),
                  std::size_t(std::max(std::abs(c.x1 - c.x0), std::abs(c.y1 - c.y0)) + 1));
        for (std::size_t i = 1; i < cells.size(); ++i) {
            EXPECT_LE(std::abs(cells[i].first - cells[i - 1].first), 1);
            EXPECT_LE(std::abs(cells[i].second - cells[i - 1].second), 1);
        }
    }
}

// The point under the satellite is grid cell (1856, 1856), HRV (5566, 5566).
TEST(CoastMasks, PlaceTheSubSatellitePointWhereTheViewerLooks) {
    const std::vector<CoastLine> point{{{0, 0}}};
    const auto visIr = kit::rasteriseCoast(point, kit::kVisIrMask);
    EXPECT_TRUE(visIr.test(1856, 3711 - 1856));
    EXPECT_FALSE(visIr.test(1856, 1856));

    const auto hrv = kit::rasteriseCoast(point, kit::kHrvMask);
    EXPECT_FALSE(hrv.test(11132 - 5566, 11133 - 5566));
    EXPECT_TRUE(hrv.test(11132 - 5566, 11133 - 5567));
    EXPECT_TRUE(hrv.test(0, 0));  // background: set bits
}

TEST(CoastMasks, CellsOutsideTheMaskAreDropped) {
    EXPECT_EQ(kit::maskCellOf(kit::kVisIrMask, {3712, 100}), std::nullopt);  // row 3712
    EXPECT_EQ(kit::maskCellOf(kit::kVisIrMask, {100, 3712}), std::nullopt);  // bit -1
    EXPECT_EQ(kit::maskCellOf(kit::kHrvMask, {11133, 100}), std::nullopt);
    const auto c = kit::maskCellOf(kit::kHrvMask, {1, 11133});
    ASSERT_TRUE(c);
    EXPECT_EQ(c->row, 11131);
    EXPECT_EQ(c->bit, 0);
}

int countCoast(const BitMask& m, bool coast) {
    int n = 0;
    for (int r = 0; r < m.height(); ++r)
        for (int b = 0; b < m.width(); ++b) n += m.test(r, b) == coast;
    return n;
}

TEST(CoastMasks, JoinsNeighbouringPointsButNotGapsOrHiddenOnes) {
    // Half a degree each side of the sub-satellite point: about 37 VIS/IR cells along row 1856.
    const auto m = kit::rasteriseCoast({{{-50, 0}, {50, 0}}}, kit::kVisIrMask);
    const auto west = tesmar::nav::geoToVisIr(-0.5, 0, {}),
               east = tesmar::nav::geoToVisIr(0.5, 0, {});
    for (int column = east->column; column <= west->column; ++column)
        EXPECT_TRUE(m.test(1856, 3711 - column)) << column;
    EXPECT_EQ(countCoast(m, true), west->column - east->column + 1);

    // 20 degrees apart is a gap in the data; a point behind the Earth joins nothing.
    const auto gap =
        kit::rasteriseCoast({{{-1000, 3000}, {1000, 3000}}, {{0, 0}, {17000, 0}}}, kit::kVisIrMask);
    EXPECT_EQ(countCoast(gap, true), 3);
}

TEST(MaskFiles, BmpHeaderAndSize) {
    const auto h = kit::bmpHeader(3712, 3712);
    ASSERT_EQ(h.size(), kit::kBmpHeaderSize);
    const auto le32 = [&](std::size_t at) {
        return std::uint32_t(std::uint8_t(h[at])) | std::uint32_t(std::uint8_t(h[at + 1])) << 8 |
               std::uint32_t(std::uint8_t(h[at + 2])) << 16 |
               std::uint32_t(std::uint8_t(h[at + 3])) << 24;
    };
    EXPECT_EQ(h.substr(0, 2), "BM");
    EXPECT_EQ(le32(2), 62U + 464U * 3712U);
    EXPECT_EQ(le32(10), 62U);
    EXPECT_EQ(le32(14), 40U);
    EXPECT_EQ(le32(18), 3712U);
    EXPECT_EQ(le32(22), 3712U);  // positive: bottom-up
    EXPECT_EQ(h[28], 1);         // one bit per pixel
    EXPECT_EQ(le32(54), 0x000000U);
    EXPECT_EQ(le32(58), 0xFFFFFFU);

    BitMask m(3712, 3712, false);
    m.put(1856, 1855, true);
    std::ostringstream out;
    ASSERT_TRUE(kit::writeBmp(out, m));
    const auto file = out.str();
    ASSERT_EQ(file.size(), 62U + 464U * 3712U);
    EXPECT_EQ(std::uint8_t(file[62 + 464 * 1856 + 1855 / 8]), 0x80 >> (1855 % 8));
}

TEST(MaskFiles, BmpRowsArePaddedToFourBytes) {
    BitMask m(9, 2, true);
    std::ostringstream out;
    ASSERT_TRUE(kit::writeBmp(out, m));
    EXPECT_EQ(out.str().size(), 62U + 4U * 2U);
}

TEST(MaskFiles, PbmHeaderIsPaddedToItsFixedSize) {
    const auto h = kit::pbmHeader(11136, 11136, kit::kPbmHeaderSize);
    ASSERT_EQ(h.size(), 38U);
    EXPECT_EQ(h.substr(0, 5), "P4\n# ");
    EXPECT_EQ(h.substr(h.size() - 12), "11136 11136\n");
    EXPECT_EQ(h.find('\n', 3), 25U);  // the comment is one line
    EXPECT_EQ(kit::pbmHeader(11136, 11136, 15), "");

    BitMask m(11136, 11136, true);
    m.put(5566, 5567, false);
    std::ostringstream out;
    ASSERT_TRUE(kit::writePbm(out, m));
    const auto file = out.str();
    ASSERT_EQ(file.size(), 38U + 1392U * 11136U);
    EXPECT_EQ(std::uint8_t(file[38 + std::size_t{1392} * 5566 + 5567 / 8]),
              0xFF & ~(0x80 >> (5567 % 8)));
}

}  // namespace
