#include "tools/kit/kit.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "common/xrit_header.h"
#include "tests/support/temp_dir.h"
#include "tools/kit/coast_text.h"
#include "tools/kit/reception_files.h"
#include "viewer/scene/navigation.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

constexpr std::size_t kBmpSize = 62 + std::size_t{464} * 3712;
constexpr std::size_t kPbmSize = 38 + std::size_t{1392} * 11136;

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool bmpCoast(const std::string& file, int row, int bit) {
    return (std::uint8_t(file[62 + std::size_t{464} * row + std::size_t(bit / 8)]) &
            (0x80 >> (bit % 8))) != 0;
}
bool pbmCoast(const std::string& file, int row, int bit) {
    return (std::uint8_t(file[38 + std::size_t{1392} * row + std::size_t(bit / 8)]) &
            (0x80 >> (bit % 8))) == 0;
}

// A station folder next to a stand-in for gmt and a small zone table, both of our making.
struct KitFixture {
    TempDir tmp;
    fs::path station = tmp / "station";
    kit::KitSources sources;
    std::ostringstream log;

    KitFixture() {
        tmp.write("zone.tab",
                  "# table\nES\t+4024-00341\tEurope/Madrid\nJP\t+3542+13946\tAsia/Tokyo\n");
        sources.zoneTables = {tmp / "absent.tab", tmp / "zone.tab"};
        // Shorelines through the point under the satellite; the border is told apart by -N1.
        fakeGmt(
            "case \"$*\" in\n"
            "  *-N1*) printf '> Border Bin # 1\\n10\\t45\\n10.5\\t45.5\\n' ;;\n"
            "  *) printf '# gmt\\n> Shore Bin # 1, Level 1\\n-0.5\\t0\\n0.5\\t0\\n> "
            "Shore\\n170\\t0\\n171\\t1\\n' ;;\n"
            "esac\n");
    }
    void fakeGmt(const std::string& body) {
        tmp.write("gmt", "#!/bin/sh\n" + body);
        fs::permissions(tmp / "gmt", fs::perms::owner_all);
        sources.gmt = tmp / "gmt";
    }
    station::Result<kit::KitReport> run() { return kit::makeStationKit(station, log, sources); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(station))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
};

// What the reception needs, in the order the kit writes it; `deco` links to the stand-in
// decompressor of the build tree.
const std::vector<std::string> kReceptionFiles{"cabecero.nat", "cabecerr.nat", "hformat.txt", "hformat2.txt",
                                               "hformat3.txt", "hformat4.txt", "zeroh", "zeron", "pro", "epi", "deco"};

std::vector<std::string> withReceptionFiles(std::vector<std::string> names, bool sorted = true) {
    names.insert(names.end(), kReceptionFiles.begin(), kReceptionFiles.end());
    if (sorted) std::sort(names.begin(), names.end());
    return names;
}

TEST(StationKit, MakesEveryFileOfAnEmptyStation) {
    KitFixture f;
    const auto r = f.run();
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(f.names(), withReceptionFiles({"coast.txt", "coastline_hrv.pbm", "coastline_m11.bmp", "creas",
                                             "label.txt", "nats", "prods", "town.txt"}));
    EXPECT_EQ(r->written.size(), 19U);
    EXPECT_TRUE(r->kept.empty());

    EXPECT_EQ(contents(f.station / "label.txt"), "EUMETSAT \n");
    EXPECT_EQ(contents(f.station / "town.txt"), "LON LAT NAME (x100 degrees)\n-368 4040 Madrid\n");
    EXPECT_EQ(contents(f.station / "coast.txt"),
              ">0\n-50 0\n50 0\n>\n17000 0\n17100 100\n>\n1000 4500\n1050 4550\n>\n");

    const auto bmp = contents(f.station / "coastline_m11.bmp");
    ASSERT_EQ(bmp.size(), kBmpSize);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    const auto pbm = contents(f.station / "coastline_hrv.pbm");
    ASSERT_EQ(pbm.size(), kPbmSize);
    EXPECT_EQ(pbm.substr(0, 3), "P4\n");

    // The shoreline crosses the sub-satellite point, drawn whole: VIS/IR (1856, 1856) and its
    // neighbours along the equator, HRV (5566, 5566).
    for (int column = 1850; column <= 1862; ++column)
        EXPECT_TRUE(bmpCoast(bmp, 1856, 3711 - column)) << column;
    EXPECT_FALSE(bmpCoast(bmp, 1857, 3711 - 1856));
    EXPECT_TRUE(pbmCoast(pbm, 11132 - 5566, 11133 - 5566));
    EXPECT_FALSE(pbmCoast(pbm, 11132 - 5567, 11133 - 5566));

    // The border is in both masks too.
    const auto border = tesmar::nav::geoToVisIr(10, 45, {});
    EXPECT_TRUE(bmpCoast(bmp, border->line, 3711 - border->column));
    const auto hrvBorder = tesmar::nav::geoToHrv(10, 45, {});
    EXPECT_TRUE(pbmCoast(pbm, 11132 - hrvBorder->line, 11133 - hrvBorder->column));
}

// gmt leaves files in its working folder; it must work in a scratch folder that goes away.
TEST(StationKit, GmtWorksInAScratchFolder) {
    KitFixture f;
    const auto where = f.tmp / "gmt-ran-in";
    f.fakeGmt("pwd > '" + where.string() + "'\necho '> a'; echo '0 0'\n");
    ASSERT_TRUE(f.run().ok());
    auto folder = contents(where);
    ASSERT_FALSE(folder.empty());
    folder.pop_back();
    EXPECT_NE(fs::path(folder), fs::current_path());
    EXPECT_NE(fs::path(folder), f.station);
    EXPECT_FALSE(fs::exists(folder));
}

TEST(StationKit, NeverReplacesTheUsersFilesAndNeedsNoGmtForThem) {
    KitFixture f;
    f.fakeGmt("exit 1\n");
    f.tmp.write("station/label.txt", "My station\n");
    f.tmp.write("station/town.txt", "mine\n");
    f.tmp.write("station/coast.txt", ">0\n0 0\n>\n");
    f.tmp.write("station/nats/scene.nat", "x");
    const auto r = f.run();
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(contents(f.station / "label.txt"), "My station\n");
    EXPECT_EQ(contents(f.station / "town.txt"), "mine\n");
    EXPECT_EQ(contents(f.station / "coast.txt"), ">0\n0 0\n>\n");
    EXPECT_EQ(contents(f.station / "nats/scene.nat"), "x");
    EXPECT_EQ(r->kept, (std::vector<std::string>{"nats/", "label.txt", "town.txt", "coast.txt"}));
    EXPECT_EQ(r->written, withReceptionFiles({"prods/", "creas/", "coastline_m11.bmp", "coastline_hrv.pbm"}, false));
    // The masks follow the user's coast.txt.
    EXPECT_TRUE(bmpCoast(contents(f.station / "coastline_m11.bmp"), 1856, 3711 - 1856));

    // A second run finds everything and changes nothing.
    const auto again = f.run();
    ASSERT_TRUE(again.ok()) << again.error();
    EXPECT_TRUE(again->written.empty());
    EXPECT_EQ(again->kept.size(), 19U);
}

TEST(StationKit, FailingGmtLeavesNoCoastFileButTheRest) {
    struct Case {
        const char* what;
        std::string gmtBody;  // empty: no gmt at that path
        const char* expected;
    };
    const Case cases[] = {
        {"missing program", "", "No such file"},
        {"error exit", "echo 'coast: cannot find GSHHG data' >&2\nexit 71\n",
         "cannot find GSHHG data"},
        {"no output", "exit 0\n", "no shoreline"},
        {"garbage", "echo '> a'; echo 'not numbers'\n", "not a point"},
    };
    for (const auto& c : cases) {
        KitFixture f;
        if (c.gmtBody.empty())
            f.sources.gmt = f.tmp / "no-gmt-here";
        else
            f.fakeGmt(c.gmtBody);
        const auto r = f.run();
        ASSERT_FALSE(r.ok()) << c.what;
        EXPECT_NE(r.error().find(c.expected), std::string::npos) << c.what << ": " << r.error();
        if (std::string(c.what) != "garbage") {
            EXPECT_NE(r.error().find("gmt gmt-gshhg-low"), std::string::npos)
                << c.what << ": " << r.error();
        }
        EXPECT_EQ(f.names(), withReceptionFiles({"creas", "label.txt", "nats", "prods", "town.txt"})) << c.what;
    }
}

TEST(StationKit, MissingZoneTableFailsOnlyTheTowns) {
    KitFixture f;
    f.sources.zoneTables = {f.tmp / "absent.tab"};
    const auto r = f.run();
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("tzdata"), std::string::npos) << r.error();
    EXPECT_FALSE(fs::exists(f.station / "town.txt"));
    EXPECT_TRUE(fs::exists(f.station / "coastline_hrv.pbm"));
}

bool gmtInstalled() {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    for (std::string d; std::getline(dirs, d, ':');)
        if (!d.empty() && ::access((fs::path(d) / "gmt").c_str(), X_OK) == 0) return true;
    return false;
}

// With the real data: every visible vertex of coast.txt lies on a coast cell of both masks.
TEST(StationKit, RealGshhgLinesMatchTheirMasks) {
    if (!gmtInstalled()) GTEST_SKIP() << "gmt is not installed (Debian packages gmt gmt-gshhg-low)";
    KitFixture f;
    f.sources.gmt = "gmt";
    const auto r = f.run();
    ASSERT_TRUE(r.ok()) << r.error();
    const auto lines = kit::parseCoastText(contents(f.station / "coast.txt"));
    ASSERT_GT(kit::pointCount(lines), 10000U);
    const auto bmp = contents(f.station / "coastline_m11.bmp");
    const auto pbm = contents(f.station / "coastline_hrv.pbm");
    ASSERT_EQ(bmp.size(), kBmpSize);
    ASSERT_EQ(pbm.size(), kPbmSize);
    std::size_t checked = 0;
    for (const auto& line : lines)
        for (const auto& p : line) {
            const auto v = tesmar::nav::geoToVisIr(p.lon / 100.0, p.lat / 100.0, {});
            const auto h = tesmar::nav::geoToHrv(p.lon / 100.0, p.lat / 100.0, {});
            if (!v || !h || v->line > 3711 || h->line < 0 || h->line > 11132) continue;
            ASSERT_TRUE(bmpCoast(bmp, v->line, 3711 - v->column)) << p.lon << " " << p.lat;
            ASSERT_TRUE(pbmCoast(pbm, 11132 - h->line, 11133 - h->column)) << p.lon << " " << p.lat;
            ++checked;
        }
    EXPECT_GT(checked, 10000U);
}

}  // namespace

namespace {

TEST(StationKit, ReceptionFilesHaveTheSizesTheAssemblyNeeds) {
    std::map<std::string, std::size_t> sizes;
    for (const auto& f : kit::receptionFiles()) sizes[f.name] = f.bytes.size();
    EXPECT_EQ(sizes["cabecero.nat"], 5153u);
    EXPECT_EQ(sizes["cabecerr.nat"], 5153u);
    EXPECT_EQ(sizes["zeroh"], 3235638u);
    EXPECT_EQ(sizes["zeron"], 2159158u);
    EXPECT_EQ(sizes["pro"], 425551u);
    EXPECT_EQ(sizes["epi"], 380415u);
    EXPECT_EQ(sizes["hformat.txt"], 112u * 62);  // 61 characters and a newline a line
    for (const auto& f : kit::receptionFiles())
        if (f.name == "zeroh") {
            const auto header = station::xrit::parseHeader(f.bytes);
            ASSERT_TRUE(header && header->image);
            EXPECT_EQ(header->image->compression, 0);
            EXPECT_EQ(header->image->columns, 5568);
        }
}

}  // namespace
