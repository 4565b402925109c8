#include <gtest/gtest.h>
#include <netcdf.h>

#include <cmath>
#include <sstream>

#include "tests/support/viewer_station.h"
#include "viewer/cli.h"
#include "viewer/compose/netcdf_export.h"
#include "viewer/scene/calibration.h"
#include "viewer/scene/channels.h"
#include "viewer/stats_commands.h"

namespace {

namespace fs = std::filesystem;
using tesmar::compose::Statistic;

// Channel 9 of every file holds one count everywhere; the station draws pictures of 20 x 8
// cells around 5 W 40 N, inside the region of the temperature file.
struct Station : testing_support::ViewerStation {
    static constexpr int kRows = 8, kCols = 20;

    Station() {
        viewer.gsize = kCols;
        viewer.gsizev = kRows;
        viewer.controls.lon = std::string("-5");
        viewer.controls.lat = std::string("40");
        viewer.controls.scopeSlider = 5;
        viewer.controls.channel = std::string("9");
        viewer.controls.automaticStretch = false;
        viewer.nomcan();
    }

    static synth::SyntheticScene scene(const std::string& time, std::uint16_t count) {
        auto s = testing_support::smallStandard(3140, 3170);
        s.east = 1900;
        s.west = 2100;
        s.channels = "XXXXXXXXXXX-";
        s.time = time;
        s.content = synth::Content::Uniform;
        s.uniformCounts.fill(400);
        s.uniformCounts[8] = count;
        return s;
    }
    // A file whose channel 9 shows `value` (count 4 x value).
    fs::path file(const std::string& name, const std::string& time, std::uint8_t value) {
        return dir.native("nats/" + name, scene(time, static_cast<std::uint16_t>(4 * value)));
    }
    // The picture on screen: channel 9 of `file`.
    void show(const fs::path& file) {
        ASSERT_TRUE(viewer.abrefiche_secre(file));
        ASSERT_TRUE(viewer.geogracr());
    }
    // Every plane of every cell of the picture holds `value`.
    ::testing::AssertionResult holds(std::uint8_t value) const {
        for (int p = 0; p < 3; ++p)
            for (int r = 0; r < kRows; ++r)
                for (int c = 0; c < kCols; ++c)
                    if (viewer.g.at(p, r, c) != value)
                        return ::testing::AssertionFailure()
                               << "plane " << p << " cell " << r << "," << c << " holds "
                               << int(viewer.g.at(p, r, c)) << ", not " << int(value);
        return ::testing::AssertionSuccess();
    }
    std::string allMessages() const {
        std::string all;
        for (const auto& m : host.messages) all += m + "\n";
        return all;
    }
};

std::vector<short> readBack(const fs::path& file) {
    std::vector<short> values(tesmar::compose::kExportPoints * 3, -1);
    int id = -1, var = -1;
    EXPECT_EQ(nc_open(file.c_str(), NC_NOWRITE, &id), NC_NOERR) << file;
    if (id < 0) return {};
    EXPECT_EQ(nc_inq_varid(id, "bt", &var), NC_NOERR);
    EXPECT_EQ(nc_get_var_short(id, var, values.data()), NC_NOERR);
    nc_close(id);
    return values;
}

bool sameRaster(const tesmar::display::Raster& a, const tesmar::display::Raster& b) {
    using tesmar::display::kRasterCols, tesmar::display::kRasterRows;
    for (int p = 0; p < 3; ++p)
        for (int r = 0; r < kRasterRows; ++r)
            if (!std::equal(a.row(p, r), a.row(p, r) + kRasterCols, b.row(p, r))) return false;
    return true;
}

int pointsIn(const std::vector<short>& values) {
    int n = 0;
    for (std::size_t i = 0; i + 2 < values.size(); i += 3)
        if (values[i] != 0) ++n;
    return n;
}

TEST(TemporalStatistics, EachStatisticOfTwoFilesAndTheSceneBefore) {
    const struct {
        Statistic statistic;
        std::uint8_t expected;
        const char* title;
        bool exported;
    } cases[] = {
        {Statistic::Average, 15, "Average of single channel 9", true},  // (10 + 21) / 2 = 15.5
        {Statistic::Maximum, 21, "Maximum of single channel 9", true},
        {Statistic::Minimum, 10, "Minimum of single channel 9", false},
        {Statistic::Range, 11, "Maximum of single channel 9 Maximum - Minimum", false},
        {Statistic::Rise, 3, "Maximum of single channel 9 - Actual",
         false},  // over the 18 on screen
        {Statistic::Deviation, 0, "Standard deviation of single channel 9",
         false},  // every cell alike
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(tesmar::compose::statisticWord(c.statistic)));
        Station st;
        // The picture on screen comes from a file of other bounds and another calibration.
        auto before = Station::scene("201903181200", 4 * 18);
        before.south = 3138;
        before.slope[8] = 0.2;
        const auto current = st.dir.native("nats/current.nat", before);
        st.show(current);
        const auto window = st.viewer.window;
        const auto a = st.file("a.nat", "201905181200", 10),
                   b = st.file("b.nat", "201906181200", 21);

        const auto run = tesmar::temporalStatistic(st.viewer, c.statistic, {a, b});
        ASSERT_TRUE(run.made) << st.allMessages();
        EXPECT_EQ(run.combined, 2);
        EXPECT_TRUE(run.skipped.empty());
        EXPECT_TRUE(st.host.messages.empty()) << st.allMessages();
        EXPECT_TRUE(st.holds(c.expected));
        EXPECT_EQ(st.viewer.title, c.title);
        EXPECT_EQ(st.viewer.picture.width, Station::kCols);
        EXPECT_EQ(st.viewer.picture.height, Station::kRows);
        const auto nc = st.dir / ("ncs/201906181200_" +
                                  std::string(tesmar::compose::statisticWord(c.statistic)) + ".nc");
        EXPECT_EQ(run.netcdf, c.exported ? nc : fs::path{});
        EXPECT_EQ(fs::exists(nc), c.exported);

        // The file current before is current again: its bounds, window and calibration.
        EXPECT_EQ(st.viewer.scene.fich, current);
        EXPECT_EQ(st.viewer.scene.bsc, "201903181200");
        EXPECT_EQ(st.viewer.scene.sol, 3138);
        EXPECT_EQ(st.viewer.window.fil, window.fil);
        EXPECT_EQ(st.viewer.window.lal, window.lal);
        EXPECT_DOUBLE_EQ(st.viewer.cal.slope, 0.2);
        EXPECT_EQ(st.host.facts[station::Fact::SceneTime], "2019-03-18 12:00");
    }
}

TEST(TemporalStatistics, HeatingInQuarterKelvins) {
    // All files share a calibration under which the values 100 and 120 are 280 K and 283.3 K.
    const double lambda = tesmar::channels::wavelengthMicrons(9) * 1e-6;
    const double r0 = tesmar::calib::fromSpectral(tesmar::calib::radiance(lambda, 280.0), lambda);
    const double r1 = tesmar::calib::fromSpectral(tesmar::calib::radiance(lambda, 283.3), lambda);
    auto calibrated = [&](const std::string& time, std::uint16_t count) {
        auto s = Station::scene(time, count);
        s.slope[8] = (r1 - r0) / 80;
        s.offset[8] = r0 - s.slope[8] * 400;
        return s;
    };
    Station st;
    st.show(st.dir.native("nats/now.nat", calibrated("201907011200", 400)));
    const auto warmer = st.dir.native("nats/warmer.nat", calibrated("201907011300", 480));
    const auto colder = st.dir.native("nats/colder.nat", calibrated("201907011400", 360));
    const auto run = tesmar::temporalStatistic(st.viewer, Statistic::Heating, {warmer, colder});
    ASSERT_TRUE(run.made) << st.allMessages();
    EXPECT_TRUE(st.holds(13));  // 3.3 K in quarters, truncated
    EXPECT_EQ(st.viewer.title, "Maximum of single channel increase in K 9 - Actual");
}

TEST(TemporalStatistics, RefusedWithoutTheirPictureOnScreen) {
    Station st;
    const auto a = st.file("a.nat", "201905181200", 10);
    for (const auto s : {Statistic::Rise, Statistic::Heating}) {
        st.host.messages.clear();
        EXPECT_FALSE(tesmar::temporalStatistic(st.viewer, s, {a}).made);
        EXPECT_EQ(st.host.messages.size(), 1u);
    }
    // Heating compares temperatures: a visible channel on screen is refused.
    st.viewer.controls.channel = std::string("1");
    st.show(a);
    const auto g = st.viewer.g;
    st.host.messages.clear();
    EXPECT_FALSE(tesmar::temporalStatistic(st.viewer, Statistic::Heating, {a}).made);
    EXPECT_EQ(st.host.messages.size(), 1u);
    EXPECT_EQ(st.viewer.title, "Single Channel 1");
    EXPECT_TRUE(sameRaster(st.viewer.g, g));
}

TEST(TemporalStatistics, CancelledChoiceChangesNothing) {
    Station st;
    const auto a = st.file("a.nat", "201905181200", 10);
    st.show(a);
    const auto g = st.viewer.g;
    const auto picture = st.viewer.picture.rgb;
    const auto title = st.viewer.title;
    for (const auto s :
         {Statistic::Average, Statistic::Maximum, Statistic::Minimum, Statistic::Evolution}) {
        const auto run = tesmar::temporalStatistic(st.viewer, s, {});
        EXPECT_FALSE(run.made);
        EXPECT_EQ(st.viewer.picture.rgb, picture);
        EXPECT_EQ(st.viewer.title, title);
        EXPECT_EQ(st.viewer.scene.fich, a);
    }
    EXPECT_TRUE(sameRaster(st.viewer.g, g));
    EXPECT_TRUE(st.host.messages.empty());
    EXPECT_FALSE(fs::exists(st.dir / "ncs"));
}

TEST(TemporalStatistics, FilesThatFailAreLeftOutAndTold) {
    Station st;
    const auto a = st.file("a.nat", "201905181200", 10), b = st.file("b.nat", "201905181400", 21);
    auto lacking = Station::scene("201905181300", 4 * 50);
    lacking.channels = "XXXXXXXX-XX-";  // no channel 9
    const auto noChannel = st.dir.native("nats/no9.nat", lacking);
    st.dir.write("nats/broken.nat", std::string(6000, 'x'));
    const auto broken = st.dir / "nats/broken.nat";
    const auto missing = st.dir / "nats/missing.nat";

    const auto run = tesmar::temporalStatistic(st.viewer, Statistic::Average,
                                               {a, noChannel, broken, missing, b});
    ASSERT_TRUE(run.made);
    EXPECT_EQ(run.combined, 2);
    // The failed file does not count again what the previous file left in the raster.
    EXPECT_TRUE(st.holds(15));
    ASSERT_EQ(run.skipped.size(), 3u);
    ASSERT_EQ(st.host.messages.size(), 1u);
    for (const char* name : {"no9.nat", "broken.nat", "missing.nat"})
        EXPECT_NE(st.host.messages[0].find(name), std::string::npos)
            << name << " in " << st.host.messages[0];
    EXPECT_NE(st.host.messages[0].find("Channel 9"), std::string::npos) << st.host.messages[0];
}

TEST(TemporalStatistics, NothingUsableLeavesThePictureOnScreen) {
    Station st;
    const auto a = st.file("a.nat", "201905181200", 10);
    st.show(a);
    const auto g = st.viewer.g;
    const auto picture = st.viewer.picture.rgb;
    auto lacking = Station::scene("201905181300", 4 * 50);
    lacking.channels = "XXXXXXXX-XX-";
    const auto noChannel = st.dir.native("nats/no9.nat", lacking);

    const auto run = tesmar::temporalStatistic(st.viewer, Statistic::Maximum,
                                               {noChannel, st.dir / "nats/gone.nat"});
    EXPECT_FALSE(run.made);
    EXPECT_EQ(run.skipped.size(), 2u);
    EXPECT_TRUE(sameRaster(st.viewer.g, g));
    EXPECT_EQ(st.viewer.picture.rgb, picture);
    EXPECT_EQ(st.viewer.title, "Single Channel 9");
    EXPECT_EQ(st.viewer.scene.fich, a);
    ASSERT_EQ(st.host.messages.size(), 1u);
    EXPECT_NE(st.host.messages[0].find("no9.nat"), std::string::npos);
    EXPECT_FALSE(fs::exists(st.dir / "ncs"));
}

TEST(TemporalStatistics, AnEmptyWindowIsRefused) {
    Station st;
    const auto a = st.file("a.nat", "201905181200", 10);
    st.viewer.controls.lon = std::string("60");  // far east of the stored columns
    const auto run = tesmar::temporalStatistic(st.viewer, Statistic::Average, {a});
    EXPECT_FALSE(run.made);
    ASSERT_EQ(run.skipped.size(), 1u);
    EXPECT_FALSE(fs::exists(st.dir / "ncs"));

    st.viewer.window = {};
    const auto exported = tesmar::exportTemperatures(st.viewer, st.dir / "ncs/x.nc");
    EXPECT_FALSE(exported.ok());
    EXPECT_FALSE(fs::exists(st.dir / "ncs/x.nc"));
}

TEST(TemporalStatistics, TemperatureFilesOfAverageAndMaximum) {
    Station st;
    // Counts that are multiples of 4, so a value stands for its file's count exactly.
    const auto probe = Station::scene("201905181200", 0);
    const auto cool = static_cast<std::uint16_t>(synth::countForTemperature(probe, 9, 275) / 4 * 4);
    const auto warm = static_cast<std::uint16_t>(synth::countForTemperature(probe, 9, 285) / 4 * 4);
    // Given latest first: the series is taken in time order, and named after its latest file.
    const auto late = st.dir.native("nats/late.nat", Station::scene("201905181300", warm));
    const auto early = st.dir.native("nats/early.nat", Station::scene("201905181200", cool));
    st.show(early);
    // Cells beyond the window hold values with temperatures: the window's bounds are exclusive.
    st.viewer.g.fill(200);

    ASSERT_TRUE(tesmar::temporalStatistic(st.viewer, Statistic::Maximum, {late, early}).made);
    ASSERT_TRUE(tesmar::temporalStatistic(st.viewer, Statistic::Average, {late, early}).made);
    const auto maximum = readBack(st.dir / "ncs/201905181300_maximum.nc");
    const auto average = readBack(st.dir / "ncs/201905181300_average.nc");
    ASSERT_EQ(pointsIn(maximum), Station::kRows * Station::kCols);
    ASSERT_EQ(pointsIn(average), Station::kRows * Station::kCols);
    EXPECT_NEAR(maximum[0], 2850, 5);
    EXPECT_NEAR(average[0], 2800, 8);
    EXPECT_LT(average[0], maximum[0]);
    // The first point is the window's south-eastern cell.
    const auto& w = st.viewer.window;
    const auto& s = st.viewer.scene;
    const auto p = tesmar::nav::lintogeo(w.fil + s.sol, w.fic + s.eac, st.viewer.navContext());
    ASSERT_TRUE(p);
    EXPECT_EQ(maximum[1], tesmar::compose::exportValue((p->lon + 180) * 100));
    EXPECT_EQ(maximum[2], tesmar::compose::exportValue((p->lat + 90) * 100));
    EXPECT_EQ(maximum[1], average[1]);
}

TEST(TemporalStatistics, TemperaturesOnlyForASingleInfraredChannel) {
    const struct {
        const char* what;
        bool composite;
        const char* channel;
    } cases[] = {{"visible channel", false, "1"}, {"composite", true, "9"}};
    for (const auto& c : cases) {
        Station st;
        st.viewer.controls.channel = std::string(c.channel);
        st.viewer.controls.red = std::string("9");
        st.viewer.controls.green = std::string("5");
        st.viewer.controls.blue = std::string("4");
        const auto a = st.file("a.nat", "201905181200", 100),
                   b = st.file("b.nat", "201905181300", 120);
        ASSERT_TRUE(st.viewer.abrefiche_secre(a));
        ASSERT_TRUE(c.composite ? st.viewer.composite() : st.viewer.geogracr()) << c.what;
        const auto run = tesmar::temporalStatistic(st.viewer, Statistic::Average, {a, b});
        ASSERT_TRUE(run.made) << c.what;
        ASSERT_FALSE(run.netcdf.empty()) << c.what;
        const auto values = readBack(run.netcdf);
        EXPECT_EQ(values.size(), std::size_t{tesmar::compose::kExportPoints} * 3);
        EXPECT_EQ(pointsIn(values), 0) << c.what;
    }
}

TEST(TemporalStatistics, EvolutionColoursTheSeasonsOfTheSceneTimes) {
    const struct {
        bool maximum;                       // the answer to the question
        std::array<std::uint8_t, 3> north;  // red, green, blue of the northernmost line
    } cases[] = {{true, {50, 40, 30}}, {false, {255 - 50, 255 - 40, 255 - 30}}};
    for (const auto& c : cases) {
        Station st;
        st.viewer.controls.automaticStretch = true;
        st.viewer.controls.heightFocus = true;
        const bool inverted = st.viewer.controls.inverted;
        st.host.askAnswers = {c.maximum};
        // Names say nothing of the month (or the wrong one): the scene time decides.
        const auto march = st.file("201911181200.nat", "201903181200", 30);
        const auto may = st.file("b.nat", "201905181200", 40);
        const auto august = st.file("c.nat", "201908181200", 50);
        const auto november = st.file("201903011200-NA-2019.nat", "201911181200", 60);

        const auto run = tesmar::temporalStatistic(st.viewer, Statistic::Evolution,
                                                   {november, august, march, may});
        ASSERT_TRUE(run.made) << st.allMessages();
        EXPECT_EQ(run.combined, 3);
        ASSERT_EQ(run.skipped.size(), 1u);
        EXPECT_NE(run.skipped[0].find("-NA-"), std::string::npos);
        for (int p = 0; p < 3; ++p)
            EXPECT_EQ(st.viewer.g.at(p, Station::kRows - 1, 5),
                      c.north[static_cast<std::size_t>(p)])
                << p;
        EXPECT_EQ(st.viewer.title, "Evolution RGB maximum");
        EXPECT_FALSE(st.viewer.controls.automaticStretch);
        EXPECT_FALSE(st.viewer.controls.heightFocus);
        EXPECT_EQ(st.viewer.controls.inverted, inverted);
        EXPECT_EQ(st.host.messages.front(),
                  "Better based on Max (for IR) than on Min (for NIR) on the selected periods?");
    }
}

struct CliRun {
    int code;
    std::string out, err;
};

CliRun cli(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = tesmar::runCli(args, out, err);
    return {code, out.str(), err.str()};
}

TEST(TemporalStatistics, CommandLine) {
    testing_support::TempDir dir;
    const auto a = dir.native("nats/a.nat", Station::scene("201905181200", 4 * 100)).string();
    const auto b = dir.native("nats/b.nat", Station::scene("201905181300", 4 * 120)).string();
    const auto png = (dir / "max.png").string();
    const auto r =
        cli({"stats", "--dir", dir.path().string(), "--kind", "maximum", "--channel", "9",
             "--centre", "-5", "40", "--scope", "1", "--no-stretch", "--out", png, b, a});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(png));
    EXPECT_NE(r.out.find("\"title\": \"Maximum of single channel 9\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"combined\": 2"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(dir / "ncs/201905181300_maximum.nc"));
    EXPECT_GT(pointsIn(readBack(dir / "ncs/201905181300_maximum.nc")), 0);

    const struct {
        std::vector<std::string> args;
        int code;
    } refusals[] = {
        {{"stats", "--kind", "maximum", "--out", png}, 2},
        {{"stats", "--kind", "mean", "--out", png, a}, 2},
        {{"stats", "--kind", "average", "--picture", "hrv", "--out", png, a}, 2},
        {{"stats", "--kind", "average", "--zoom", "1", "1", "--out", png, a}, 2},
        {{"stats", "--kind", "average", "--scope", "7", "--out", png, a}, 2},
        {{"stats", "--dir", dir.path().string(), "--kind", "heating", "--channel", "1", "--centre",
          "-5", "40", "--out", png, a, b},
         1},
    };
    for (const auto& c : refusals) EXPECT_EQ(cli(c.args).code, c.code) << c.args[2];
}

}  // namespace
