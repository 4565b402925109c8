#include "viewer/cli.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <regex>
#include <sstream>

#include "common/segment_name.h"
#include "common/xrit_header.h"
#include "tests/support/temp_dir.h"
#include "tools/kit/reception_files.h"
#include "viewer/scene/native_scene.h"
#include "viewer/scene/navigation.h"

namespace {

using testing_support::TempDir;

struct Run {
    int code;
    std::string out, err;
};

Run run(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = tesmar::runCli(args, out, err);
    return {code, out.str(), err.str()};
}

// The number after "key": in a one-line JSON object.
double field(const std::string& json, const std::string& key) {
    std::smatch m;
    const std::regex re("\"" + key + "\": (-?[0-9.eE+-]+)");
    if (!std::regex_search(json, m, re)) {
        ADD_FAILURE() << key << " missing in " << json;
        return -1;
    }
    return std::stod(m[1]);
}

TEST(CliInfo, PrintsTheSceneFacts) {
    TempDir dir;
    synth::SyntheticScene s = testing_support::smallStandard();
    s.channels = "XX-XXXXXXXXX";
    s.subSatLon = 9.5F;
    const auto r = run({"info", dir.native("a.nat", s).string()});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* key : {"bsc", "salong", "p95", "b105", "sol", "nol", "eac", "wec", "hrv_eac", "hrv_eac_nor",
                            "hrv_wec", "vis_off_h", "nopico_hrv", "nobyco", "nobyco_hrv", "blocall", "cn", "nnn",
                            "channels", "slope", "offset"})
        EXPECT_NE(r.out.find(std::string("\"") + key + "\":"), std::string::npos) << key;
    EXPECT_NE(r.out.find("\"bsc\": \"201903181200\""), std::string::npos);
    EXPECT_NE(r.out.find("\"cn\": [0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1]"), std::string::npos);
    EXPECT_NE(r.out.find("\"channels\": \"XX-XXXXXXXXX\""), std::string::npos);
    EXPECT_EQ(field(r.out, "p95"), 9.5);
    EXPECT_EQ(field(r.out, "sol"), 1800);
    EXPECT_EQ(field(r.out, "blocall"), 3 * 7025 + 10 * 4705);
}

TEST(CliInfo, RefusesWhatIsNotANativeFile) {
    TempDir dir;
    dir.write("cabecero.nat", std::string(5153, 'x'));
    EXPECT_EQ(run({"info", (dir / "cabecero.nat").string()}).code, 1);
    EXPECT_EQ(run({"info", (dir / "missing.nat").string()}).code, 1);
    EXPECT_EQ(run({"info"}).code, 2);
}

TEST(CliValue, ReadsTheStoredCountAtThePoint) {
    TempDir dir;
    // Files around 0 N 0 E of every kind: the count is the pattern at stored line
    // line - sol and pixel column - eac.
    struct Case {
        const char* name;
        synth::SyntheticScene scene;
    };
    std::vector<Case> cases;
    synth::SyntheticScene standard = testing_support::smallStandard(1850, 1860);
    cases.push_back({"standard", standard});
    synth::SyntheticScene marked;
    marked.mark = 's';
    marked.north = 1870;
    marked.east = 1700;
    marked.west = 2000;
    marked.hrv = {11136, 4801, 6200, 1};
    cases.push_back({"assembled", marked});
    synth::SyntheticScene shifted = standard;
    shifted.subSatLon = 41.5F;
    cases.push_back({"at 41.5 E", shifted});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir.native(std::string(c.name) + ".nat", c.scene);
        const auto scene = tesmar::readNativeHeader(path);
        ASSERT_TRUE(scene.ok());
        const double lon = c.scene.subSatLon;
        for (int k : {1, 9, 12}) {
            SCOPED_TRACE(k);
            const auto r = run({"value", path.string(), "--channel", std::to_string(k), "--lon", std::to_string(lon),
                                "--lat", "0.1"});
            ASSERT_EQ(r.code, 0) << r.err;
            const int line = static_cast<int>(field(r.out, "line"));
            const int column = static_cast<int>(field(r.out, "column"));
            const int count = static_cast<int>(field(r.out, "count"));
            if (k == 12) {
                const int hrvLine = static_cast<int>(field(r.out, "hrv_line"));
                const int visof = 3 * line < scene->vis_off_h ? scene->hrv_eac : scene->hrv_eac_nor;
                const int u = line - scene->sol;
                EXPECT_EQ(count, synth::patternCount(12, 3 * u + hrvLine - 3 * (line - 1), column - visof));
            } else {
                const auto expected = tesmar::nav::geoToVisIr(lon, 0.1, {scene->p95});
                ASSERT_TRUE(expected);
                EXPECT_EQ(line, expected->line);
                EXPECT_EQ(column, 1856);
                EXPECT_EQ(count, synth::patternCount(k, line - scene->sol, column - scene->eac));
            }
            const double value = field(r.out, "value");
            if (k == 9) {
                EXPECT_GT(value, 0.0);  // a temperature in kelvin
                EXPECT_LT(value, 400.0);
            } else {
                EXPECT_GE(value, 0.0);  // albedo in percent
                EXPECT_LT(value, 199.0);
            }
        }
    }
}

TEST(CliValue, RefusesPointsWithoutAValue) {
    TempDir dir;
    synth::SyntheticScene s = testing_support::smallStandard(1850, 1860);
    s.channels = "X-XXXXXXXXXX";
    const auto path = dir.native("a.nat", s).string();
    const struct {
        std::vector<std::string> extra;
        int code;
    } cases[] = {
        {{"--channel", "9", "--lon", "120", "--lat", "0"}, 1},   // off the disk
        {{"--channel", "9", "--lon", "0", "--lat", "45"}, 1},    // outside the stored lines
        {{"--channel", "2", "--lon", "0", "--lat", "0"}, 1},     // absent channel
        {{"--channel", "13", "--lon", "0", "--lat", "0"}, 1},    // no such channel
        {{"--channel", "0", "--lon", "0", "--lat", "0"}, 1},
        {{"--channel", "x", "--lon", "0", "--lat", "0"}, 2},
        {{"--channel", "9", "--lon", "east", "--lat", "0"}, 2},
        {{"--channel", "9"}, 2},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"value", path};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const auto r = run(args);
        EXPECT_EQ(r.code, c.code) << testing::PrintToString(c.extra);
        EXPECT_TRUE(r.out.empty());
        EXPECT_FALSE(r.err.empty());
    }
}

TEST(CliValue, ShortFileIsAnErrorNotAZero) {
    TempDir dir;
    const auto path = dir.native("a.nat", testing_support::smallStandard(1850, 1860));
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 72830 * 8);
    const auto r = run({"value", path.string(), "--channel", "9", "--lon", "0", "--lat", "0.1"});
    EXPECT_EQ(r.code, 1);
}

TEST(CliNav, ConvertsBothWays) {
    auto r = run({"nav", "--lonlat", "7", "41"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(field(r.out, "line"), 3178);
    EXPECT_EQ(field(r.out, "column"), 1668);
    EXPECT_EQ(field(r.out, "hrv_line"), 9534);
    EXPECT_EQ(field(r.out, "hrv_column"), 5004);
    r = run({"nav", "--grid", "3178", "1668"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NEAR(field(r.out, "lon"), 7, 0.01);
    EXPECT_NEAR(field(r.out, "lat"), 41, 0.01);
    EXPECT_EQ(run({"nav", "--grid", "1", "1856"}).code, 1);
    EXPECT_EQ(run({"nav", "--lonlat", "120", "0"}).code, 1);
    EXPECT_EQ(run({"nav"}).code, 2);

    TempDir dir;
    synth::SyntheticScene s = testing_support::smallStandard();
    s.subSatLon = 9.5F;
    r = run({"nav", "--lonlat", "9.5", "0", "--file", dir.native("a.nat", s).string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(field(r.out, "column"), 1856);
}

TEST(Cli, HelpAndUnknownCommands) {
    EXPECT_EQ(run({"--help"}).code, 0);
    EXPECT_NE(run({"--help"}).out.find("tesmar value"), std::string::npos);
    EXPECT_TRUE(tesmar::isCliInvocation({"info"}));
    EXPECT_FALSE(tesmar::isCliInvocation({"--dir", "x"}));
    EXPECT_FALSE(tesmar::isCliInvocation({}));
}

}  // namespace

namespace {

TEST(CliProducts, OnceMakesTheNewestSlotAndOneCycleRunsPerStation) {
    TempDir dir;
    auto s = testing_support::smallStandard(1700, 2000);
    s.time = "201305011200";
    dir.native("nats/201305011200.nat", s);
    dir.write("product.txt", "## ir\ns\n9\n\n\n0\n0\n4\n## goe\ng\n1\n\n\n0\n0\n4\n");

    const auto made = run({"products", "--dir", dir.path().string(), "--once", "--no-towns"});
    EXPECT_EQ(made.code, 0) << made.err;
    EXPECT_NE(made.out.find("made:    " + (dir / "prods/ir_s9r4_201305011200.jpg").string()), std::string::npos)
        << made.out;
    EXPECT_NE(made.out.find("failed:  ## goe: "), std::string::npos) << made.out;

    // While another cycle holds the station, this one refuses to start.
    const int held = ::open((dir / ".product-cycle.lock").c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    const auto refused = run({"products", "--dir", dir.path().string(), "--once"});
    ::close(held);
    EXPECT_NE(refused.code, 0);
    EXPECT_NE(refused.err.find("another product cycle"), std::string::npos) << refused.err;

    const auto noList = run({"products", "--dir", (dir / "nats").string(), "--once"});
    EXPECT_NE(noList.code, 0);
    EXPECT_NE(noList.err.find("product.txt"), std::string::npos) << noList.err;
}

}  // namespace

namespace {

// A slot as the broadcast names it, its image segments in the uncompressed form the stand-in
// decompressor takes; `tesmar convert` makes it one Native file with the station's `deco`.
TEST(CliConvert, ArchivedSegmentsBecomeANativeFile) {
    namespace seg = station::segments;
    TempDir dir;
    for (const auto& f : kit::receptionFiles()) dir.write("station/" + f.name, f.bytes);
    std::filesystem::create_symlink(STATION_DECO_PROGRAM, dir / "station" / "deco");
    const std::string slot = "201906121030";
    for (int k = 1; k <= 12; ++k)
        for (int s = 1; s <= seg::segmentsOf(k); ++s) {
            const auto name = seg::SegmentName{'H', '4', false, seg::Part::Image, k, s, slot, true}.build();
            const auto data = static_cast<std::uint64_t>(seg::nominalBytes(seg::Part::Image, k) - seg::kSegmentHeaderBytes);
            auto bytes = station::xrit::makeHeader(station::xrit::kFileTypeImage, seg::kSegmentHeaderBytes, data * 8,
                                                   station::xrit::ImageStructure{10, k == 12 ? 5568 : 3712, 464, 0}, name);
            bytes.append(data, static_cast<char>(k));
            dir.write("archive/" + name, bytes);
        }
    const auto r = run({"convert", "--dir", (dir / "station").string(), "--from", (dir / "archive").string(), "--to",
                        (dir / "nats").string(), "--start", "201906120000", "--end", "201906122359", "--threshold",
                        "40", "--clean"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(slot + ": assembled"), std::string::npos) << r.out << r.err;
    const auto info = run({"info", (dir / "nats" / (slot + ".nat")).string()});
    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("\"b105\": 115"), std::string::npos) << "an assembled full-disk file (mark s): " << info.out;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "nats"), {}), 1) << "no scratch folder left";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "archive"), {}), 112) << "the archive is untouched";

    const auto none = run({"convert", "--dir", (dir / "station").string(), "--from", (dir / "archive").string(), "--to",
                           (dir / "nats").string(), "--start", "201906130000", "--end", "201906132359"});
    EXPECT_NE(none.code, 0);
    EXPECT_NE(none.err.find("No NATs can be generated for your choices"), std::string::npos) << none.err;
}

}  // namespace
