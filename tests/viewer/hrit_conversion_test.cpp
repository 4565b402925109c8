#include "viewer/conversion/hrit_conversion.h"

#include <gtest/gtest.h>

#include "common/segment_name.h"
#include "tests/support/temp_dir.h"
#include "tools/kit/reception_files.h"
#include "viewer/scene/native_scene.h"

namespace {

namespace fs = std::filesystem;
namespace seg = station::segments;
using namespace tesmar::conversion;
using testing_support::TempDir;

std::string name(int channel, int segment, const std::string& slot, bool compressed, bool rss = false) {
    return seg::SegmentName{'H', '3', rss, seg::Part::Image, channel, segment, slot, compressed}.build();
}

ConversionOptions optionsIn(const TempDir& dir) {
    ConversionOptions o;
    o.source = dir / "archive";
    o.destination = dir / "nats";
    o.start = "201906120000";
    o.end = "201906122359";
    return o;
}

TEST(HritConversion, ChecksTheWindowsFields) {
    TempDir dir;
    fs::create_directories(dir / "archive");
    const struct {
        std::function<void(ConversionOptions&)> change;
        const char* says;
    } cases[] = {
        {[](ConversionOptions& o) { o.source.clear(); }, "Undefined HRIT directory"},
        {[](ConversionOptions& o) { o.source /= "nowhere"; }, "HRIT directory does not exist"},
        {[](ConversionOptions& o) { o.destination.clear(); }, "Undefined NAT directory"},
        {[](ConversionOptions& o) { o.start = "2019061200"; }, "in start date"},
        {[](ConversionOptions& o) { o.end = "20190612x000"; }, "in end date"},
        {[](ConversionOptions& o) { o.end = "201906110000"; }, "End date is less recent than start date"},
        {[](ConversionOptions& o) { o.percentage = "4o"; }, "percentage"},
    };
    for (const auto& c : cases) {
        auto o = optionsIn(dir);
        c.change(o);
        const auto checked = checkOptions(o);
        ASSERT_FALSE(checked.ok()) << c.says;
        EXPECT_NE(checked.error().find(c.says), std::string::npos) << checked.error();
    }
    auto o = optionsIn(dir);
    o.start = "bad";
    ASSERT_FALSE(checkOptions(o).ok());
    EXPECT_EQ(o.start, "201112151800") << "a bad start date is reset";
    o = optionsIn(dir);
    o.percentage.clear();
    EXPECT_TRUE(checkOptions(o).ok());
    EXPECT_EQ(o.percentage, "40");
    EXPECT_TRUE(fs::is_directory(dir / "nats")) << "a missing destination is made";
}

TEST(HritConversion, CountsSegmentsPerSlotInTimeOrder) {
    TempDir dir;
    for (int s = 1; s <= 3; ++s) dir.write("archive/" + name(9, s, "201906121215", true), "x");
    dir.write("archive/" + name(9, 1, "201906121200", false), "x");
    dir.write("archive/" + name(9, 1, "201906121205", true, true), "x");  // rapid scan
    dir.write("archive/" + name(9, 1, "201906130000", true), "x");        // after the period
    dir.write("archive/H-000-MSG3__-short", "x");
    dir.write("archive/sub/" + name(9, 2, "201906121200", false), "x");
    dir.write("archive/temp/" + name(9, 3, "201906121200", false), "x");  // a conversion's own copies

    auto o = optionsIn(dir);
    auto census = countSegments(o);
    ASSERT_EQ(census.perSlot.size(), 2u);
    EXPECT_EQ(census.perSlot[0].slot, "201906121200");
    EXPECT_EQ(census.perSlot[0].files, 1);
    EXPECT_EQ(census.perSlot[1].files, 3);
    EXPECT_EQ(census.compressed, 3);
    EXPECT_EQ(census.uncompressed, 1);
    ASSERT_EQ(census.skipped.size(), 1u);
    EXPECT_NE(census.skipped[0].find("short"), std::string::npos);

    o.recursive = true;
    EXPECT_EQ(countSegments(o).perSlot[0].files, 2) << "sub-folders, but not temp";
    o.uncompressedOnly = true;
    census = countSegments(o);
    ASSERT_EQ(census.perSlot.size(), 1u);
    EXPECT_EQ(census.compressed, 3) << "seen, not counted";
    o.uncompressedOnly = false;
    o.regional = true;
    census = countSegments(o);
    ASSERT_EQ(census.perSlot.size(), 1u);
    EXPECT_EQ(census.perSlot[0].slot, "201906121205");

    // Thresholds: 40 % of 114 is 45, of 45 (rapid scan) 18; without the option any slot.
    o.regional = false;
    EXPECT_EQ(offerThreshold(o), 45);
    o.regional = true;
    EXPECT_EQ(offerThreshold(o), 18);
    o.threshold = false;
    EXPECT_EQ(offerThreshold(o), 1);
    o.regional = false;
    EXPECT_EQ(offeredSlots(countSegments(o), o).size(), 2u);
}

TEST(HritConversion, ConvertsAChosenSlotThroughItsOwnScratchFolder) {
    TempDir dir;
    for (const auto& f : kit::receptionFiles()) dir.write("program/" + f.name, f.bytes);
    const std::string slot = "201906121200";
    // A slot with every segment but one, the epilogue missing; the image segments arrive
    // compressed in name only.
    for (int k = 1; k <= 12; ++k)
        for (int s = 1; s <= seg::segmentsOf(k); ++s) {
            if (k == 5 && s == 4) continue;
            dir.write("archive/" + name(k, s, slot, true),
                      std::string(static_cast<std::size_t>(seg::nominalBytes(seg::Part::Image, k)), static_cast<char>(k)));
        }
    dir.write("archive/" + seg::prologueName('3', false, slot),
              [] {
                  for (const auto& f : kit::receptionFiles())
                      if (f.name == "pro") return f.bytes;
                  return std::string{};
              }());
    dir.write("nats/keep.txt", "the user's");

    auto o = optionsIn(dir);
    ASSERT_TRUE(checkOptions(o).ok());
    std::vector<fs::path> handed;
    const DecompressBatch rename = [&](const std::vector<fs::path>& inputs, const fs::path& work) {
        std::vector<bool> ok;
        for (const auto& in : inputs) {
            handed.push_back(in);
            auto out = in.filename().string();
            out.replace(out.size() - 3, 3, "-__");
            std::error_code ec;
            fs::copy_file(in, work / out, ec);
            ok.push_back(!ec);
        }
        return ok;
    };
    std::vector<std::string> said;
    const auto outcomes = convert(o, {slot}, dir / "program", rename, [&](const std::string& t) { said.push_back(t); });
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].file, dir / "nats" / (slot + ".nat")) << outcomes[0].why;
    EXPECT_EQ(outcomes[0].missingOther, 1);
    EXPECT_EQ(outcomes[0].missingHrv, 0);
    EXPECT_EQ(handed.size(), 111u);
    const auto scene = tesmar::readNativeHeader(outcomes[0].file);
    ASSERT_TRUE(scene.ok()) << scene.error();
    EXPECT_EQ(scene->bsc, slot);

    // Only the Native file and the user's file are left in the destination.
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir / "nats")) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{slot + ".nat", "keep.txt"}));

    // A second run leaves the file alone and says so.
    const auto again = convert(o, {slot}, dir / "program", rename);
    EXPECT_TRUE(again[0].file.empty());
    EXPECT_NE(again[0].why.find("exists already"), std::string::npos);
}

}  // namespace
