#include "viewer/display/shapefile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tools/synth/shapefile_writer.h"

namespace {

using tesmar::display::shapefileToCoast;
using testing_support::TempDir;

using ShapeBuilder = synth::ShapefileWriter;

std::string contents(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Shapefile, WritesPartsOfPolylinesAndPolygonsAndSkipsOtherShapes) {
    TempDir dir;
    ShapeBuilder b;
    b.poly(3, {{{7.05, 41.23}, {-12.34, -5.67}}, {{0.004, 0.005}}});
    b.point(1, 2);
    b.poly(5, {{{10, 20}, {11, 20}, {10, 20}}});
    dir.write("coast.shp", b.file());
    dir.write("coast.txt", "old");

    const auto r = shapefileToCoast(dir / "coast.shp", dir / "coast.txt");
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(*r, 6);
    EXPECT_EQ(contents(dir / "coast.txt"),
              ">0\n"
              ">0\n705 4123\n-1234 -567\n>\n0 1\n>\n"
              ">1\n"
              ">2\n1000 2000\n1100 2000\n1000 2000\n>\n");
}

TEST(Shapefile, RefusesCorruptFilesAndKeepsTheOldCoast) {
    ShapeBuilder good;
    good.poly(3, {{{1, 2}, {3, 4}}});
    const std::string valid = good.file();

    // A polyline whose counts or indices do not fit its record.
    const auto badPoly = [](std::int32_t parts, std::int32_t points,
                            std::vector<std::int32_t> starts, std::size_t pointBytes) {
        std::string c;
        ShapeBuilder::le32(c, 3);
        c.append(32, '\0');
        ShapeBuilder::le32(c, parts);
        ShapeBuilder::le32(c, points);
        for (auto s : starts) ShapeBuilder::le32(c, s);
        c.append(pointBytes, '\0');
        ShapeBuilder b;
        b.poly(3, {{{1, 2}}});
        b.record(c);
        return b.file();
    };
    const auto withRecord = [](const std::string& content, std::int32_t words) {
        ShapeBuilder b;
        b.record(content, words);
        return b.file();
    };
    std::string nan;
    {
        ShapeBuilder b;
        b.poly(3, {{{std::nan(""), 2}}});
        nan = b.file();
    }
    std::string shortHeader = valid;
    shortHeader[27] = static_cast<char>(shortHeader[27] + 8);  // states more bytes than there are
    std::string strayTail = valid + std::string(4, '\0');
    strayTail[27] = static_cast<char>(strayTail[27] + 2);  // header covers the 4 stray bytes

    struct Case {
        const char* what;
        std::string file;
        const char* expected;
    };
    const Case cases[] = {
        {"not a shapefile", std::string(120, 'x'), "not a shapefile"},
        {"too short", valid.substr(0, 60), "not a shapefile"},
        {"truncated file", valid.substr(0, valid.size() - 8), "cut short"},
        {"header longer than file", shortHeader, "cut short"},
        {"half a record header", strayTail, "record after record 1 (byte 188) is cut short"},
        {"record past the end", withRecord(std::string(8, '\0'), 40),
         "(byte 100) states 80 bytes of content, which run past the end"},
        {"negative length", withRecord(std::string(8, '\0'), -2),
         "the first record (byte 100) states -4 bytes"},
        {"no room for the type", withRecord("", 0),
         "(byte 100) states 0 bytes of content, which cannot hold a shape type"},
        {"too many points", badPoly(1, 3, {0}, 32), "record 2 is corrupt"},
        {"negative parts", badPoly(-1, 0, {}, 0), "record 2 is corrupt"},
        {"part past the points", badPoly(2, 2, {0, 3}, 32), "record 2 is corrupt: part 1"},
        {"parts out of order", badPoly(2, 2, {1, 0}, 32), "record 2 is corrupt: part 1"},
        {"no room for counts", withRecord(std::string("\x03\0\0\0", 4), 2), "record 1 is corrupt"},
        {"not a number", nan, "record 1 is corrupt: point 1"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("coast.shp", c.file);
        dir.write("coast.txt", ">0\n1 2\n>\n");
        const auto r = shapefileToCoast(dir / "coast.shp", dir / "coast.txt");
        ASSERT_FALSE(r.ok()) << c.what;
        EXPECT_NE(r.error().find(c.expected), std::string::npos) << c.what << ": " << r.error();
        EXPECT_NE(r.error().find("coast.shp"), std::string::npos) << c.what << ": " << r.error();
        EXPECT_EQ(contents(dir / "coast.txt"), ">0\n1 2\n>\n") << c.what;
        EXPECT_FALSE(std::filesystem::exists(dir / ".coast.txt.part")) << c.what;
    }
}

TEST(Shapefile, MissingFileIsAnError) {
    TempDir dir;
    const auto r = shapefileToCoast(dir / "absent.shp", dir / "coast.txt");
    ASSERT_FALSE(r.ok());
    EXPECT_FALSE(std::filesystem::exists(dir / "coast.txt"));
}

}  // namespace
