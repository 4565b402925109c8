#include "common/xrit_header.h"

#include <gtest/gtest.h>

namespace {

using namespace station::xrit;

TEST(XritHeader, RoundTripAndDamage) {
    const std::string name = "H-000-MSG4__-MSG4________-IR_108___-000003___-201906121030-C_";
    const auto h = makeHeader(kFileTypeImage, 6198, 464ull * 4640 * 8, ImageStructure{10, 3712, 464, 0}, name);
    ASSERT_EQ(h.size(), 6198u);
    const auto back = parseHeader(h);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->totalHeaderLength, 6198u);
    EXPECT_EQ(back->dataFieldBits, 464ull * 4640 * 8);
    ASSERT_TRUE(back->image);
    EXPECT_EQ(back->image->columns, 3712);
    EXPECT_EQ(back->image->lines, 464);
    EXPECT_EQ(back->image->compression, 0);
    EXPECT_EQ(back->annotation, name);

    EXPECT_FALSE(parseHeader(h.substr(0, 6000))) << "shorter than its stated length";
    auto broken = h;
    broken[17] = 0x7f;  // the image structure's length now runs past the header
    EXPECT_FALSE(parseHeader(broken));
    broken = h;
    broken[0] = 1;
    EXPECT_FALSE(parseHeader(broken)) << "no primary header";
    EXPECT_TRUE(makeHeader(kFileTypeImage, 20, 0, ImageStructure{}, name).empty()) << "cannot fit";
}

}  // namespace
