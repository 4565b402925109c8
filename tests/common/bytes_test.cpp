#include "common/bytes.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/unpack10.h"

namespace {

TEST(HeaderDecimal, ReadsFirstCharacterAndFollowingDigits) {
    const struct {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"3712                    ", 3712},
        {"1                       ", 1},
        {"11136", 11136},
        {"-12   ", -12},
        {"0042x7", 42},
        {"    ", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(station::parseHeaderDecimal(c.text), c.value) << '"' << c.text << '"';
}

TEST(BigEndian, DecodesSinglesAndDoubles) {
    EXPECT_FLOAT_EQ(station::lwtosingle(0x41200000u), 10.0F);
    EXPECT_FLOAT_EQ(station::lwtosingle(0xC1A40000u), -20.5F);
    EXPECT_DOUBLE_EQ(station::lwtodouble(0x3FF80000u, 0u), 1.5);
    std::uint8_t b[8];
    station::writeDoubleBE(b, -0.0123456789);
    EXPECT_DOUBLE_EQ(station::lwtodouble(station::readU32BE(std::span<const std::uint8_t, 4>(b, 4)),
                                         station::readU32BE(std::span<const std::uint8_t, 4>(b + 4, 4))),
                     -0.0123456789);
    const std::uint8_t neg[4] = {0xFF, 0xFF, 0xFF, 0xFE};
    EXPECT_EQ(station::readI32BE(neg), -2);
}

TEST(Unpack10, PixelThreeStartsAtBitSixOfByteThree) {
    const std::vector<std::uint8_t> b = {0x00, 0x00, 0x00, 0x02, 0xAB};
    EXPECT_EQ(station::unpackPixel(b, 3), 2 * 256 + 0xAB);
}

TEST(Unpack10, RoundTripsEveryLengthWithoutReadingPastTheRecord) {
    for (std::size_t n = 1; n <= 13; ++n) {
        std::vector<std::uint16_t> counts(n);
        for (std::size_t i = 0; i < n; ++i) counts[i] = static_cast<std::uint16_t>((i * 389 + 1000) % 1024);
        std::vector<std::uint8_t> packed(n * 10 / 8);
        station::pack10(counts, packed);
        std::vector<std::uint16_t> back(n, 0xFFFF);
        station::unpack10(packed, back);
        // Whole pixels inside the truncated record come back exactly; a pixel cut by the
        // record's end keeps only its bits inside the record.
        for (std::size_t i = 0; i < n; ++i) {
            if ((10 * i + 10) <= packed.size() * 8) EXPECT_EQ(back[i], counts[i]) << "n=" << n << " i=" << i;
            else EXPECT_LT(back[i], 1024) << "n=" << n << " i=" << i;
        }
    }
}

TEST(Unpack10, FastPathMatchesThePixelFormula) {
    std::vector<std::uint8_t> bytes(4640);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 151 + 7);
    std::vector<std::uint16_t> out(3712);
    station::unpack10(bytes, out);
    for (std::size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], station::unpackPixel(bytes, i)) << i;
}

}  // namespace
