#include "common/native_assembly.h"

#include <gtest/gtest.h>

#include <fstream>

#include "common/segment_name.h"
#include "common/segment_templates.h"
#include "common/xrit_header.h"
#include "tests/support/temp_dir.h"
#include "viewer/scene/line_reader.h"
#include "viewer/scene/native_scene.h"

namespace {

namespace fs = std::filesystem;
namespace seg = station::segments;
using station::assembly::Slot;
using testing_support::TempDir;

constexpr const char* kSlot = "201906121030";

// Every line of a segment starts with its channel, segment and line number, so the assembled
// file shows where each of its lines came from.
std::string segmentBytes(int channel, int segment) {
    const int lineBytes = channel == 12 ? seg::kHrvLineBytes : seg::kVisIrLineBytes;
    std::string bytes = station::xrit::makeHeader(station::xrit::kFileTypeImage, seg::kSegmentHeaderBytes, 0,
                                                  station::xrit::ImageStructure{10, channel == 12 ? 5568 : 3712, 464, 0}, {});
    for (int line = 0; line < seg::kLinesPerSegment; ++line) {
        std::string l(static_cast<std::size_t>(lineBytes), '\x55');
        l[0] = static_cast<char>(channel);
        l[1] = static_cast<char>(segment);
        l[2] = static_cast<char>(line & 0xff);
        l[3] = static_cast<char>(line >> 8);
        bytes += l;
    }
    return bytes;
}

struct SlotDir {
    TempDir dir;
    Slot slot{dir / "work", kSlot, '4', false};

    SlotDir() {
        fs::create_directories(slot.workDir);
        synth::SyntheticScene scene;
        scene.mark = 's';
        scene.time = "000000000000";
        const auto header = synth::headerBytes(scene);
        dir.write("cabecero.nat", header.substr(0, station::assembly::kTemplateBytes));
        dir.write("work/" + seg::prologueName('4', false, kSlot),
                  std::string(seg::kPrologueHeaderBytes, '\0') +
                      header.substr(station::assembly::kTemplateBytes, seg::kPrologueDataBytes));
        for (int k = 1; k <= 12; ++k)
            for (int s = 1; s <= seg::segmentsOf(k); ++s) dir.write("work/" + name(k, s), segmentBytes(k, s));
        dir.write("zeroh", std::string(seg::kHrvSegmentBytes, '\0'));
        dir.write("zeron", std::string(seg::kVisIrSegmentBytes, '\0'));
    }
    std::string name(int channel, int segment) const {
        return seg::SegmentName{'H', '4', false, seg::Part::Image, channel, segment, kSlot, false}.build();
    }
    station::Result<std::uint64_t> assemble() const {
        return station::assembly::assemble(slot, dir / "cabecero.nat", dir / "out.nat");
    }
};

// Channel, segment and line of the packed record that starts at `record`.
std::array<int, 3> origin(std::span<const std::uint8_t> record) { return {record[0], record[1], record[2] | record[3] << 8}; }

TEST(NativeAssembly, InterleavesEverySegmentLineOnce) {
    SlotDir s;
    const auto made = s.assemble();
    ASSERT_TRUE(made.ok()) << made.error();
    EXPECT_EQ(*made, station::assembly::kAssembledBytes);
    EXPECT_EQ(fs::file_size(s.dir / "out.nat"), station::assembly::kAssembledBytes);

    const auto scene = tesmar::readNativeHeader(s.dir / "out.nat");
    ASSERT_TRUE(scene.ok()) << scene.error();
    EXPECT_EQ(scene->bsc, kSlot);
    auto reader = tesmar::LineReader::open(*scene);
    ASSERT_TRUE(reader.ok()) << reader.error();
    // VIS/IR lines at the segment edges.
    for (const int u : {0, 463, 464, 3247, 3711})
        for (const int k : {1, 9, 11}) {
            const auto record = reader->packedVisIr(k, u);
            EXPECT_EQ(origin(record), (std::array<int, 3>{k, u / 464 + 1, u % 464})) << "channel " << k << " line " << u;
        }
    // HRV lines where one segment hands over to the next inside a VIS/IR line (154/155/156 and
    // 309/310/311 counted from 1 within each group of three segments).
    const std::size_t step = static_cast<std::size_t>(scene->nobyco_hrv) + 65;
    for (const int u : {0, 153, 154, 155, 308, 309, 310, 463, 464, 3711}) {
        const auto records = reader->packedHrv(u);
        for (int i = 0; i < 3; ++i) {
            const int hrvLine = 3 * u + i;
            EXPECT_EQ(origin(records.subspan(step * static_cast<std::size_t>(i))),
                      (std::array<int, 3>{12, hrvLine / 464 + 1, hrvLine % 464}))
                << "VIS/IR line " << u << " HRV record " << i;
        }
    }
    EXPECT_FALSE(reader->incomplete());
}

TEST(NativeAssembly, BlanksMissingAndWrongSizeSegmentsAndNeverPublishesAShortFile) {
    SlotDir s;
    fs::remove(s.slot.workDir / s.name(12, 7));
    fs::remove(s.slot.workDir / s.name(3, 2));
    fs::resize_file(s.slot.workDir / s.name(9, 8), 1000);  // cut short while received

    // Nothing is written when an input is missing or short.
    const auto refused = s.assemble();
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().find(s.name(3, 2)), std::string::npos) << refused.error();
    EXPECT_EQ(std::distance(fs::directory_iterator(s.dir.path()), {}), 4) << "no partial or temporary file";

    std::vector<std::string> said;
    const auto report = station::assembly::blank_missing(s.slot, seg::templateLines('4'), s.dir / "zeroh", s.dir / "zeron",
                                                         [&](const std::string& t) { said.push_back(t); });
    EXPECT_EQ(report.missingHrv, 1);
    EXPECT_EQ(report.missingOther, 2);
    EXPECT_EQ(report.setAside, std::vector<std::string>{s.name(9, 8)});
    EXPECT_TRUE(report.failed.empty());
    EXPECT_TRUE(fs::exists(s.slot.workDir / "set-aside" / s.name(9, 8)));
    EXPECT_EQ(said.size(), 4u);

    ASSERT_TRUE(s.assemble().ok());
    const auto scene = tesmar::readNativeHeader(s.dir / "out.nat");
    ASSERT_TRUE(scene.ok());
    auto reader = tesmar::LineReader::open(*scene);
    EXPECT_EQ(origin(reader->packedVisIr(3, 464)), (std::array<int, 3>{0, 0, 0})) << "blanked";
    EXPECT_EQ(origin(reader->packedVisIr(3, 463)), (std::array<int, 3>{3, 1, 463}));

    // An existing Native file is never replaced.
    const auto again = s.assemble();
    EXPECT_FALSE(again.ok());
    EXPECT_EQ(fs::file_size(s.dir / "out.nat"), station::assembly::kAssembledBytes);
}

}  // namespace
