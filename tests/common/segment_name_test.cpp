#include "common/segment_name.h"

#include <gtest/gtest.h>

#include <set>

#include "common/segment_templates.h"
#include "common/slot_time.h"

namespace {

using namespace station::segments;

TEST(SegmentName, BuildsAndReadsEveryKindOfName) {
    const struct {
        SegmentName fields;
        const char* name;
    } cases[] = {
        {{'H', '4', false, Part::Image, 9, 3, "201906121030", true}, "H-000-MSG4__-MSG4________-IR_108___-000003___-201906121030-C_"},
        {{'H', '4', false, Part::Image, 12, 9, "201906121030", false}, "H-000-MSG4__-MSG4________-HRV______-000009___-201906121030-__"},
        {{'H', '4', false, Part::Image, 12, 10, "201906121030", true}, "H-000-MSG4__-MSG4________-HRV______-000010___-201906121030-C_"},
        {{'H', '3', true, Part::Image, 1, 8, "202201010005", true}, "H-000-MSG3__-MSG3_RSS____-VIS006___-000008___-202201010005-C_"},
        {{'H', '1', false, Part::Prologue, 0, 0, "201001011200", false}, "H-000-MSG1__-MSG1________-_________-PRO______-201001011200-__"},
        {{'L', '2', true, Part::Epilogue, 0, 0, "201001011200", false}, "L-000-MSG2__-MSG2_RSS____-_________-EPI______-201001011200-__"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.fields.build(), c.name);
        const auto parsed = parse(c.name);
        ASSERT_TRUE(parsed) << c.name;
        EXPECT_EQ(*parsed, c.fields) << c.name;
    }
    EXPECT_EQ(nominalBytes(Part::Image, 12), 3235638);
    EXPECT_EQ(nominalBytes(Part::Image, 1), 2159158);
    EXPECT_EQ(nominalBytes(Part::Prologue, 0), 425551);
}

TEST(SegmentName, RefusesWhatIsNotASegmentName) {
    for (const char* name : {
             "H-000-MSG4__-MSG4________-IR_108___-000003___-201906121030-C",     // short
             "H-000-MSG4__-MSG4________-IR_108___-000003___-201906121030-C_x",   // long
             "X-000-MSG4__-MSG4________-IR_108___-000003___-201906121030-C_",    // service
             "H-000-MSG4__-MSG3________-IR_108___-000003___-201906121030-C_",    // two satellites
             "H-000-MSG4__-MSG4_XYZ____-IR_108___-000003___-201906121030-C_",    // scan field
             "H-000-MSG4__-MSG4________-IR_109___-000003___-201906121030-C_",    // channel
             "H-000-MSG4__-MSG4________-IR_108___-000009___-201906121030-C_",    // segment 9 of 8
             "H-000-MSG4__-MSG4________-HRV______-000025___-201906121030-C_",    // segment 25 of 24
             "H-000-MSG4__-MSG4________-IR_108___-00000a___-201906121030-C_",    // not a number
             "H-000-MSG4__-MSG4________-IR_108___-000003___-2019061210x0-C_",    // slot time
             "H-000-MSG4__-MSG4________-_________-XYZ______-201906121030-__",    // neither PRO nor EPI
             "H-000-MSG4__-MSG4________-IR_108___-000003___-201906121030-Z_",    // suffix
             "",
         })
        EXPECT_FALSE(parse(name)) << name;
}

TEST(SlotTime, ArithmeticAcrossMonthsYearsAndRefresh) {
    using station::slot_time::ant_fecha;
    EXPECT_EQ(ant_fecha(15, "201912312345"), "202001010000");
    EXPECT_EQ(ant_fecha(5, "201906121058", 5), "201906121100");
    EXPECT_EQ(ant_fecha(-15, "202003010000"), "202002292345");  // leap day
    EXPECT_EQ(ant_fecha(-15, "202103010000"), "202102282345");
    EXPECT_EQ(ant_fecha(0, "201906121058"), "201906121045");
    EXPECT_EQ(ant_fecha(15, "201904310000"), "");  // 31 April
    EXPECT_EQ(ant_fecha(15, "2019"), "");
    EXPECT_EQ(*station::slot_time::shortKey("202201010000"), 2201010000LL);
    EXPECT_GT(*station::slot_time::shortKey("202201010000"), 2147483647LL);
}

TEST(SegmentTemplates, ExpectedNamesOfASlotInEitherScan) {
    const auto lines = templateLines('4');
    ASSERT_EQ(lines.size(), 112u);
    for (const auto* scan : {"________", "_RSS____"}) {
        const auto expected = expectedSegments(lines, scan, "201906121030", false);
        ASSERT_EQ(expected.size(), 112u);
        std::set<std::string> names;
        int hrv = 0;
        for (const auto& e : expected) {
            const auto parsed = parse(e.name);
            ASSERT_TRUE(parsed) << e.name;
            EXPECT_EQ(parsed->rapidScan, std::string(scan) == "_RSS____");
            EXPECT_EQ(parsed->slot, "201906121030");
            EXPECT_FALSE(parsed->compressed);
            EXPECT_EQ(e.hrv, parsed->channel == 12);
            hrv += e.hrv;
            names.insert(e.name);
        }
        EXPECT_EQ(hrv, 24);
        EXPECT_EQ(names.size(), 112u);
    }
    EXPECT_TRUE(expectedSegments({"too short"}, "________", "201906121030", true).empty());
    EXPECT_EQ(templateFileName('1', '2'), "hformat.txt");
    EXPECT_EQ(templateFileName('3', '2'), "hformat3.txt");
    EXPECT_EQ(templateFileName('7', '2'), "hformat2.txt");
    EXPECT_EQ(templateFileName('7', '4'), "hformat4.txt");
}

}  // namespace
