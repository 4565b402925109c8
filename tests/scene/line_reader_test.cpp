#include "viewer/scene/line_reader.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

using synth::SyntheticScene;
using testing_support::TempDir;

struct Variant {
    const char* name;
    SyntheticScene scene;
};

std::vector<Variant> variants() {
    std::vector<Variant> v;
    auto add = [&](const char* name, auto change) {
        SyntheticScene s;
        s.south = 1000;
        s.north = 1003;
        change(s);
        v.push_back({name, s});
    };
    add("full width", [](auto&) {});
    add("absent channels", [](auto& s) { s.channels = "X-XX-XXXXXXX"; });
    add("no HRV", [](auto& s) { s.channels = "XXXXXXXXXXX-"; });
    add("region", [](auto& s) { s.east = 101; s.west = 900; s.hrvColumns = 2400; });
    add("width not a multiple of 4", [](auto& s) { s.east = 11; s.west = 17; s.hrvColumns = 21; });
    add("assembled rapid scan", [](auto& s) { s.mark = 'i'; s.south = 1; s.north = 4; });
    add("assembled standard", [](auto& s) { s.mark = 's'; s.south = 1; s.north = 3; s.hrv = {8064, 2001, 7568, 101}; });
    return v;
}

TEST(LineReader, ReadsEveryChannelOfEveryVariantExactly) {
    TempDir dir;
    for (const auto& [name, in] : variants()) {
        SCOPED_TRACE(name);
        const auto path = dir.native(std::string(name) + ".nat", in);
        const auto scene = tesmar::readNativeHeader(path);
        ASSERT_TRUE(scene.ok()) << scene.error();
        auto reader = tesmar::LineReader::open(*scene);
        ASSERT_TRUE(reader.ok());
        EXPECT_EQ(scene->storedLines(reader->fileBytes()), in.storedLines());
        const int vis = in.visirPixels();
        std::vector<std::uint16_t> line(static_cast<std::size_t>(vis));
        for (int u = 0; u < in.storedLines(); ++u) {
            for (int k = 1; k <= 11; ++k) {
                const bool present = scene->channelPresent(k);
                ASSERT_EQ(reader->readVisIr(k, u, line), present) << "channel " << k;
                if (!present) continue;
                // Pixels whose bits the record holds entirely come back exactly.
                for (int p = 0; p < vis && (10 * p + 10) <= 8 * scene->nobyco; ++p)
                    ASSERT_EQ(line[static_cast<std::size_t>(p)], synth::patternCount(k, u, p))
                        << "channel " << k << " line " << u << " pixel " << p;
            }
            if (!scene->channelPresent(12)) {
                EXPECT_FALSE(reader->readHrv(u, line, line, line));
                continue;
            }
            const auto n = static_cast<std::size_t>(in.hrvPixels());
            std::vector<std::uint16_t> sub[3] = {std::vector<std::uint16_t>(n), std::vector<std::uint16_t>(n),
                                                 std::vector<std::uint16_t>(n)};
            ASSERT_TRUE(reader->readHrv(u, sub[0], sub[1], sub[2]));
            for (int i = 0; i < 3; ++i)
                for (std::size_t p = 0; p < n && (10 * p + 10) <= 8 * static_cast<std::size_t>(scene->nobyco_hrv); ++p)
                    ASSERT_EQ(sub[i][p], synth::patternCount(12, 3 * u + i, static_cast<int>(p)))
                        << "HRV sub-line " << i << " pixel " << p;
        }
        EXPECT_FALSE(reader->incomplete());
    }
}

TEST(LineReader, RefusesChannelsOutsideTheFile) {
    TempDir dir;
    SyntheticScene in = testing_support::smallStandard();
    in.channels = "X-XXXXXXXXXX";
    const auto scene = tesmar::readNativeHeader(dir.native("a.nat", in));
    ASSERT_TRUE(scene.ok());
    auto reader = tesmar::LineReader::open(*scene);
    std::vector<std::uint16_t> line(3712);
    for (int k : {0, 2, 12, 13, -1}) EXPECT_FALSE(reader->readVisIr(k, 0, line)) << k;
}

TEST(LineReader, ShortFileReadsZerosAndSaysSo) {
    TempDir dir;
    const auto in = testing_support::smallStandard(1000, 1003);
    const auto path = dir.native("short.nat", in);
    const auto full = std::filesystem::file_size(path);
    std::filesystem::resize_file(path, full - 1000);
    const auto scene = tesmar::readNativeHeader(path);
    ASSERT_TRUE(scene.ok());
    auto reader = tesmar::LineReader::open(*scene);
    std::vector<std::uint16_t> line(3712);
    ASSERT_TRUE(reader->readVisIr(1, 0, line));
    EXPECT_FALSE(reader->incomplete());
    std::vector<std::uint16_t> a(5568), b(5568), c(5568);
    ASSERT_TRUE(reader->readHrv(3, a, b, c));  // the last block lost its end
    EXPECT_TRUE(reader->incomplete());
    EXPECT_EQ(c.back(), 0);
    EXPECT_EQ(scene->storedLines(reader->fileBytes()), 3);
}

}  // namespace
