// A whole Pattern slot checked against the Native file the writer makes of the same scene:
// names, sizes and headers of the files, segment lines at the edges and hand-over lines, and
// the file the station's assembler makes of the slot.

#include "tools/synth/received_slot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <optional>

#include "common/decompressor.h"
#include "common/native_assembly.h"
#include "common/native_layout.h"
#include "common/segment_name.h"
#include "common/xrit_header.h"

namespace {

namespace fs = std::filesystem;
namespace seg = station::segments;
namespace native = station::native;

std::string readAt(const fs::path& file, std::int64_t offset, std::int64_t count) {
    std::string bytes(static_cast<std::size_t>(count), '\0');
    std::ifstream in(file, std::ios::binary);
    in.seekg(offset);
    in.read(bytes.data(), count);
    EXPECT_EQ(in.gcount(), count) << file;
    return bytes;
}

std::string readAll(const fs::path& file) {
    return readAt(file, 0, static_cast<std::int64_t>(fs::file_size(file)));
}

// One full-disk Pattern slot and the Native file of its scene, each made once for the suite
// when a test first needs it (ctest runs every test in a process of its own).
class FullSlot : public ::testing::Test {
  protected:
    static void TearDownTestSuite() {
        std::error_code ec;
        if (!dir_.empty()) fs::remove_all(dir_, ec);
        dir_.clear();
        files_.reset();
    }
    static const fs::path& dir() {
        if (dir_.empty()) {
            dir_ =
                fs::temp_directory_path() / ("station-test-FullSlot-" + std::to_string(::getpid()));
            fs::remove_all(dir_);
            fs::create_directories(dir_);
        }
        return dir_;
    }
    static const std::vector<synth::SlotFile>& files() {
        if (!files_) {
            const auto written = synth::writeReceivedSlot(options(), dir() / "slot");
            EXPECT_TRUE(written.ok()) << written.error();
            files_ = written ? *written : std::vector<synth::SlotFile>{};
        }
        return *files_;
    }
    static fs::path nativeFile() {
        const auto path = dir() / "scene.nat";
        if (!fs::exists(path)) {
            const auto made = synth::writeNative(scene(), path);
            EXPECT_TRUE(made.ok()) << made.error();
        }
        return path;
    }
    static synth::ReceivedSlotOptions options() {
        synth::ReceivedSlotOptions o;
        o.slot = kSlot;
        o.content = synth::Content::Pattern;
        o.hrv = kHrvWindows;  // not the default, so the prologue must carry the scene's
        return o;
    }
    // The Native file's scene, made apart from the generator's own.
    static synth::SyntheticScene scene() {
        synth::SyntheticScene s;
        s.mark = 's';
        s.time = kSlot;
        s.content = synth::Content::Pattern;
        s.hrv = kHrvWindows;
        return s;
    }
    static fs::path slotFile(const std::string& name) {
        files();
        return dir() / "slot" / name;
    }
    static std::string imageName(int channel, int segment) {
        return seg::SegmentName{'H', '4', false, seg::Part::Image, channel, segment, kSlot, true}
            .build();
    }

    static constexpr synth::HrvWindows kHrvWindows{5000, 2785, 8352, 1};
    static constexpr const char* kSlot = "201906211200";
    static inline fs::path dir_;
    static inline std::optional<std::vector<synth::SlotFile>> files_;
};

TEST_F(FullSlot, WritesEveryFileUnderItsBroadcastNameAtItsNominalSize) {
    ASSERT_EQ(files().size(), static_cast<std::size_t>(seg::kSlotFiles));
    EXPECT_EQ(files().front().name, seg::prologueName('4', false, kSlot));
    EXPECT_EQ(files().back().name, seg::epilogueName('4', false, kSlot));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir() / "slot"), {}), seg::kSlotFiles)
        << "no temporary file left";

    std::map<int, int> segmentsPerChannel;
    for (const auto& f : files()) {
        const auto id = seg::parse(f.name);
        ASSERT_TRUE(id) << f.name;
        EXPECT_EQ(id->slot, kSlot);
        EXPECT_FALSE(id->rapidScan);
        EXPECT_EQ(id->compressed, id->part == seg::Part::Image) << f.name;
        EXPECT_EQ(static_cast<std::int64_t>(fs::file_size(slotFile(f.name))), id->nominalBytes())
            << f.name;
        if (id->part == seg::Part::Image) ++segmentsPerChannel[id->channel];
    }
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(segmentsPerChannel[k], seg::segmentsOf(k)) << "channel " << k;
}

TEST_F(FullSlot, HeadersSayWhatTheFilesHold) {
    for (const auto& [channel, segment] : {std::pair{1, 1}, {9, 8}, {12, 1}, {12, 24}}) {
        const auto name = imageName(channel, segment);
        const auto header =
            station::xrit::parseHeader(readAt(slotFile(name), 0, seg::kSegmentHeaderBytes));
        ASSERT_TRUE(header) << name;
        EXPECT_EQ(header->fileType, station::xrit::kFileTypeImage);
        EXPECT_EQ(header->totalHeaderLength, static_cast<std::uint32_t>(seg::kSegmentHeaderBytes));
        EXPECT_EQ(header->annotation, name);
        ASSERT_TRUE(header->image);
        EXPECT_EQ(header->image->compression, 0) << "the stand-in decompressor passes it on";
        EXPECT_EQ(header->image->bitsPerPixel, 10);
        EXPECT_EQ(header->image->columns, channel == 12 ? 5568 : 3712);
        EXPECT_EQ(header->image->lines, seg::kLinesPerSegment);
        EXPECT_EQ(header->dataFieldBits,
                  8 * static_cast<std::uint64_t>(seg::nominalBytes(seg::Part::Image, channel) -
                                                 seg::kSegmentHeaderBytes));
    }
    ASSERT_EQ(files().size(), static_cast<std::size_t>(seg::kSlotFiles));
    const auto prologue = readAll(slotFile(files().front().name));
    const auto header = station::xrit::parseHeader(prologue);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->fileType, station::xrit::kFileTypePrologue);
    EXPECT_EQ(header->totalHeaderLength, static_cast<std::uint32_t>(seg::kPrologueHeaderBytes));
    EXPECT_FALSE(header->image);
    EXPECT_TRUE(
        prologue.substr(seg::kPrologueHeaderBytes) ==
        synth::headerBytes(scene()).substr(native::kBinaryHeaderStart, seg::kPrologueDataBytes))
        << "the prologue carries the scene's binary header";

    const auto epilogue = station::xrit::parseHeader(
        readAt(slotFile(files().back().name), 0, seg::kPrologueHeaderBytes));
    ASSERT_TRUE(epilogue);
    EXPECT_EQ(epilogue->fileType, station::xrit::kFileTypeEpilogue);
}

// Line L (from 1, south to north) of a segment against the Native file's stored line: VIS/IR
// segment S holds grid lines (S-1)*464+1.., HRV segment S holds HRV lines (S-1)*464+1.., and
// VIS/IR line u stores HRV lines 3u-2..3u.
TEST_F(FullSlot, SegmentLinesAreTheLinesOfTheNativeFile) {
    const native::BlockLayout layout{native::packedBytes(3712), native::packedBytes(5568),
                                     native::ChannelMap::allPresent()};
    struct Case {
        int channel, segment, line;
    };
    const Case cases[] = {
        {1, 1, 1},
        {1, 1, 464},
        {2, 2, 1},
        {9, 8, 464},
        {11, 5, 233},
        // HRV: segment edges, and the lines where one segment hands over to the next inside a
        // VIS/IR line (VIS/IR lines 155 and 310 of each group of three segments).
        {12, 1, 1},
        {12, 1, 462},
        {12, 1, 463},
        {12, 1, 464},
        {12, 2, 1},
        {12, 2, 2},
        {12, 2, 463},
        {12, 2, 464},
        {12, 3, 1},
        {12, 3, 464},
        {12, 4, 1},
        {12, 11, 464},
        {12, 12, 1},
        {12, 23, 464},
        {12, 24, 1},
        {12, 24, 464},
    };
    for (const auto& c : cases) {
        const bool hrv = c.channel == 12;
        const int lineBytes = hrv ? seg::kHrvLineBytes : seg::kVisIrLineBytes;
        const auto inSegment =
            readAt(slotFile(imageName(c.channel, c.segment)),
                   seg::kSegmentHeaderBytes + std::int64_t{lineBytes} * (c.line - 1), lineBytes);
        const std::int64_t gridLine = std::int64_t{c.segment - 1} * seg::kLinesPerSegment + c.line;
        const std::int64_t at = hrv ? layout.pixelOffset(12, (gridLine - 1) / 3) +
                                          (gridLine - 1) % 3 * layout.hrvSubLineStep()
                                    : layout.pixelOffset(c.channel, gridLine - 1);
        EXPECT_TRUE(inSegment == readAt(nativeFile(), at, lineBytes))
            << "channel " << c.channel << " segment " << c.segment << " line " << c.line;
    }
}

// The station decompresses the segments (the stand-in passes them on under their "-__" names)
// and assembles them with a header template: the result is the Native file of the scene.
TEST_F(FullSlot, AssemblesIntoTheNativeFileOfItsScene) {
    const fs::path work = dir() / "work";
    fs::create_directories(work);
    for (const auto& f : files()) {
        const auto decompressed = station::decompressedSegmentName(f.name);
        fs::create_hard_link(slotFile(f.name), work / (decompressed ? *decompressed : f.name));
    }
    auto templateScene = scene();
    templateScene.time = "000000000000";  // the assembler writes the slot time
    {
        std::ofstream(dir() / "cabecero.nat", std::ios::binary)
            << synth::headerBytes(templateScene).substr(0, station::assembly::kTemplateBytes);
    }
    const auto made = station::assembly::assemble({work, kSlot, '4', false}, dir() / "cabecero.nat",
                                                  dir() / "assembled.nat");
    ASSERT_TRUE(made.ok()) << made.error();

    std::ifstream a(dir() / "assembled.nat", std::ios::binary), b(nativeFile(), std::ios::binary);
    constexpr std::size_t chunk = 1 << 22;
    std::string x(chunk, '\0'), y(chunk, '\0');
    std::int64_t compared = 0;
    while (a && b) {
        a.read(x.data(), chunk);
        b.read(y.data(), chunk);
        ASSERT_EQ(a.gcount(), b.gcount()) << "sizes differ";
        const auto n = static_cast<std::size_t>(a.gcount());
        if (std::string_view(x).substr(0, n) != std::string_view(y).substr(0, n)) {
            std::size_t i = 0;
            while (x[i] == y[i]) ++i;
            FAIL() << "first difference at byte " << compared + static_cast<std::int64_t>(i);
        }
        compared += static_cast<std::int64_t>(n);
    }
    EXPECT_EQ(compared, static_cast<std::int64_t>(station::assembly::kAssembledBytes));
}

}  // namespace
