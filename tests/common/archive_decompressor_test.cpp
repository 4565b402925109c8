#include <bzlib.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/atomic_file.h"
#include "common/decompressor.h"
#include "tests/support/archives.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::bzip2;
using testing_support::gzip;

using testing_support::readFile;

namespace fs = std::filesystem;
using station::ArchiveDecompressor;
using station::ArchiveFormat;
using testing_support::TempDir;

// Larger than one read chunk, and not all alike, so the decoder's loop turns over.
std::string content(std::size_t bytes, unsigned seed) {
    std::string s(bytes, '\0');
    for (std::size_t i = 0; i < bytes; ++i) s[i] = static_cast<char>(((i * seed) >> 3) ^ (i % 251));
    return s;
}

struct Format {
    ArchiveFormat format;
    std::string suffix;
    std::string (*pack)(const std::string&);
};

class Archive : public ::testing::TestWithParam<Format> {
  protected:
    TempDir dir;
    ArchiveDecompressor decompressor{GetParam().format};
    fs::path archive(const std::string& packed) {
        dir.write("file.dat" + GetParam().suffix, packed);
        return dir / ("file.dat" + GetParam().suffix);
    }
    // Only the archive is left: no output, no temporary file.
    void expectNothingMade() {
        EXPECT_FALSE(fs::exists(dir / "file.dat"));
        EXPECT_FALSE(fs::exists(station::temporaryNameFor(dir / "file.dat")));
        EXPECT_TRUE(fs::exists(dir / ("file.dat" + GetParam().suffix)));
    }
};

TEST_P(Archive, RoundTripBesideTheArchive) {
    const auto data = content(300000, 13);
    const auto input = archive(GetParam().pack(data));
    const auto r = decompressor.decompress({input, data.size()});
    ASSERT_TRUE(r.ok) << r.reason;
    EXPECT_EQ(r.output, dir / "file.dat");
    EXPECT_EQ(readFile(r.output), data);
    EXPECT_TRUE(fs::exists(input));
}

// Streams one after another decode to their concatenation, as the command-line tools do.
TEST_P(Archive, ConcatenatedStreams) {
    const auto a = content(70000, 5), b = content(1000, 9);
    const auto r = decompressor.decompress({archive(GetParam().pack(a) + GetParam().pack(b)), {}});
    ASSERT_TRUE(r.ok) << r.reason;
    EXPECT_EQ(readFile(r.output), a + b);
}

TEST_P(Archive, DamageGivesAFailureAndNoOutput) {
    const auto packed = GetParam().pack(content(100000, 7));
    auto flipped = packed;
    flipped[flipped.size() / 2] = static_cast<char>(flipped[flipped.size() / 2] ^ 0x55);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"truncated", packed.substr(0, packed.size() / 2)},
        {"last byte missing", packed.substr(0, packed.size() - 1)},
        {"a byte changed", flipped},
        {"not an archive", "plain text, not compressed at all"},
        {"empty", ""},
        {"garbage after the stream", packed + "garbage"},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        const auto r = decompressor.decompress({archive(bytes), {}});
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.reason.empty());
        expectNothingMade();
    }
}

TEST_P(Archive, WrongSizeIsRefused) {
    const auto r = decompressor.decompress({archive(GetParam().pack("12345")), 4});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.reason.find("5 bytes long, not 4"), std::string::npos) << r.reason;
    expectNothingMade();
}

TEST_P(Archive, NeverReplacesAnExistingFile) {
    dir.write("file.dat", "earlier");
    const auto r = decompressor.decompress({archive(GetParam().pack("new")), {}});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(readFile(dir / "file.dat"), "earlier");
}

TEST_P(Archive, TakesOnlyItsOwnSuffix) {
    EXPECT_EQ(decompressor.outputFor("/a/b.dat" + GetParam().suffix), fs::path("/a/b.dat"));
    for (const auto* name : {"/a/b.dat", "/a/b.dat.zip", "/a/.gz.x"})
        EXPECT_FALSE(decompressor.outputFor(name)) << name;
    EXPECT_FALSE(decompressor.outputFor("/a/" + GetParam().suffix)) << "a suffix alone";
}

INSTANTIATE_TEST_SUITE_P(Formats, Archive,
                         ::testing::Values(Format{ArchiveFormat::Gzip, ".gz", gzip},
                                           Format{ArchiveFormat::Bzip2, ".bz2", bzip2}),
                         [](const auto& info) {
                             return info.param.format == ArchiveFormat::Gzip ? "gzip" : "bzip2";
                         });

}  // namespace
