#include "station/purge.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "common/slot_time.h"
#include "tests/support/reception.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kHour = 3600;

using testing_support::at;
using testing_support::epochOf;

// Sets the modification time of the entry itself: of a link, not of what it points to.
void setTime(const fs::path& p, std::int64_t epoch) {
    const timespec times[2] = {{static_cast<time_t>(epoch), 0}, {static_cast<time_t>(epoch), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << p;
}

bool present(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// A station directory with its two reception folders (kept with a final separator, as cd.txt
// holds them), a folder outside that links point into, and a home directory of its own.
struct Station {
    TempDir dir;
    station::ManualClock clock{at(epochOf("201906121200"))};
    station::StationPaths paths{dir / "station", (dir / "received").string() + "/",
                                (dir / "received13").string() + "/"};
    fs::path home = dir / "home";
    std::vector<std::string> logged;

    Station() {
        for (const auto& d : {paths.cdo, paths.received, paths.received13, home, dir / "outside"})
            fs::create_directories(d);
    }
    std::int64_t now() const {
        return std::chrono::duration_cast<std::chrono::seconds>(clock.now().time_since_epoch())
            .count();
    }
    fs::path file(const std::string& rel, std::int64_t age) {
        dir.write(rel, "x");
        setTime(dir / rel, now() - age);
        return dir / rel;
    }
    // A folder with a file in it, both `age` old.
    fs::path folder(const std::string& rel, std::int64_t age) {
        file(rel + "/segment", age);
        setTime(dir / rel, now() - age);
        return dir / rel;
    }
    fs::path link(const std::string& rel, const std::string& target, std::int64_t age) {
        fs::create_directories((dir / rel).parent_path());
        fs::create_symlink(dir / target, dir / rel);
        setTime(dir / rel, now() - age);
        return dir / rel;
    }
    station::PurgeReport purge(const std::string& closed = "201906121145",
                               const std::string& receiving = "201906121200") {
        const station::PurgeContext context{
            paths, clock, closed, receiving, [this](const std::string& t) { logged.push_back(t); },
            home};
        return station::purga(context);
    }
    bool said(const std::string& part) const {
        for (const auto& l : logged)
            if (l.find(part) != std::string::npos) return true;
        return false;
    }
};

enum class Kind { File, Folder, Link };

struct Item {
    const char* path;  // under the test directory
    Kind kind;
    std::int64_t age;  // seconds before now
    bool deleted;
    const char* why;
    const char* target = "";  // of a link
};

// Every kind of entry the purge meets with the default purge.txt (120, 120, 12, 48, 12, 48),
// and the decoys that must survive it.
const Item kItems[] = {
    // Fixed ages of the station's own folders.
    {"station/dwds/old.bin", Kind::File, 51 * kHour, true, "dwds keeps 50 hours"},
    {"station/dwds/young.bin", Kind::File, 49 * kHour, false, "dwds keeps 50 hours"},
    {"station/lrit/old", Kind::File, 26 * kHour, true, "lrit keeps 25 hours"},
    {"station/lrit/young", Kind::File, 24 * kHour, false, "lrit keeps 25 hours"},
    {"station/lrit/folder", Kind::Folder, 99 * kHour, false, "only files go"},
    {"station/gribs/old", Kind::File, 26 * kHour, true, "gribs keeps 25 hours"},
    {"station/bufrs/old", Kind::File, 26 * kHour, true, "bufrs keeps 25 hours"},
    {"station/avhrr/old", Kind::File, 26 * kHour, true, "avhrr keeps 25 hours"},
    {"station/hdf5/old", Kind::File, 26 * kHour, true, "hdf5 keeps 25 hours"},
    {"station/hdf5/young", Kind::File, 24 * kHour, false, "hdf5 keeps 25 hours"},
    // Working folders and what only looks like one.
    {"station/201906120900", Kind::Folder, 3 * kHour, true, "an old slot folder"},
    {"station/201906121030", Kind::Folder, 79 * kMinute, false, "younger than 80 minutes"},
    {"station/201906121145", Kind::Folder, 3 * kHour, false, "the closed slot"},
    {"station/201906121200", Kind::Folder, 3 * kHour, false, "the slot being received"},
    {"station/201906120800_5", Kind::Folder, 4 * kHour, true, "an old Meteosat-7 folder"},
    {"station/201906120900_5", Kind::Folder, 3 * kHour, false, "Meteosat-7 folders stay 3.5 hours"},
    {"station/201906120530", Kind::Folder, 7 * kHour, true, "a slot folder with a link out"},
    {"station/201906120530/escape", Kind::Link, 7 * kHour, true, "the link goes as a link",
     "outside/inner"},
    {"outside/inner/precious", Kind::File, 99 * kHour, false, "reached only through a link"},
    {"station/2019-photos", Kind::Folder, 999 * kHour, false, "begins with 20, not a slot"},
    {"station/20 notes.txt", Kind::File, 999 * kHour, false, "begins with 20, not a slot"},
    {"station/201906120700", Kind::File, 9 * kHour, false, "a file named like a slot"},
    {"station/201906120600", Kind::Link, 9 * kHour, false, "a link named like a slot",
     "outside/linked"},
    {"outside/linked/keep", Kind::File, 99 * kHour, false, "behind a link named like a slot"},
    {"station/201913011200", Kind::Folder, 99 * kHour, false, "month 13 is no slot"},
    {"station/20190612090", Kind::Folder, 99 * kHour, false, "eleven digits"},
    {"station/201906120900_6", Kind::Folder, 99 * kHour, false, "not the Meteosat-7 suffix"},
    // The reception folders.
    {"received/old.seg", Kind::File, 121 * kMinute, true, "received keeps 120 minutes"},
    {"received/young.seg", Kind::File, 119 * kMinute, false, "received keeps 120 minutes"},
    {"received/folder", Kind::Folder, 99 * kHour, false, "only files go"},
    {"received/link", Kind::Link, 99 * kHour, false, "a link is not a file", "outside/target.seg"},
    {"outside/target.seg", Kind::File, 99 * kHour, false, "behind a link"},
    {"received13/old", Kind::File, 121 * kMinute, true, "received13 keeps 120 minutes"},
    {"received13/young", Kind::File, 60 * kMinute, false, "received13 keeps 120 minutes"},
    // Native files: all of 12 hours, those of minute 00 up to 48 hours.
    {"station/nats/201906120915.nat", Kind::File, 3 * kHour, false, "younger than 12 hours"},
    {"station/nats/201906110015.nat", Kind::File, 13 * kHour, true, "minute 15 past 12 hours"},
    {"station/nats/201906110000.nat", Kind::File, 13 * kHour, false,
     "minute 00 younger than 48 hours"},
    {"station/nats/201906100000.nat", Kind::File, 49 * kHour, true, "past 48 hours"},
    {"station/nats/201906100015sample.nat", Kind::File, 99 * kHour, false, "a sample"},
    {"station/nats/sample_201906100015.nat", Kind::File, 99 * kHour, false, "a sample"},
    {"station/nats/notes.txt", Kind::File, 99 * kHour, false, "not a Native name"},
    {"station/natstemp/201906110015.nat", Kind::File, 13 * kHour, true, "minute 15 past 12 hours"},
    {"station/natstemp/201906100015temp.nat", Kind::File, 99 * kHour, false, "a temp name"},
    {"station/natstemp/.201906100015.nat.part", Kind::File, 99 * kHour, false, "being written"},
    // Products, thinned by the slot time in their names.
    {"station/prods/eur_c321r5_201906120915.jpg", Kind::File, 3 * kHour, false,
     "younger than 12 hours"},
    {"station/prods/eur_c321r5_201906110015.jpg", Kind::File, 13 * kHour, true,
     "minute 15 past 12 hours"},
    {"station/prods/eur_c321r5_201906110000.jpg", Kind::File, 13 * kHour, false,
     "minute 00 younger than 48 hours"},
    {"station/prods/eur_c321r5_201906100000.bmp", Kind::File, 49 * kHour, true, "past 48 hours"},
    {"station/prods/ame_hr5_123_c4_201906110015.jpg", Kind::File, 13 * kHour, true,
     "a middle with underscores"},
    {"station/prods/holiday_201906100015.jpg", Kind::File, 99 * kHour, false, "not a product name"},
    {"station/prods/eu_c_201906100015.jpg", Kind::File, 99 * kHour, false,
     "two characters before _"},
    {"station/prods/eur_c321r5_201906100015", Kind::File, 99 * kHour, false, "no extension"},
    {"station/prods/readme.txt", Kind::File, 99 * kHour, false, "not a product name"},
};

TEST(Purge, DeletesWhatHasAgedAndNothingElse) {
    Station st;
    for (const auto& item : kItems) {
        switch (item.kind) {
            case Kind::File:
                st.file(item.path, item.age);
                break;
            case Kind::Folder:
                st.folder(item.path, item.age);
                break;
            case Kind::Link:
                st.link(item.path, item.target, item.age);
                break;
        }
    }
    // A folder's time is its own again once something was made inside it.
    for (const auto& item : kItems)
        if (item.kind == Kind::Folder) setTime(st.dir / item.path, st.now() - item.age);

    const auto report = st.purge();

    EXPECT_TRUE(report.policyRead);
    EXPECT_TRUE(report.refused.empty()) << report.refused.front();
    std::set<fs::path> expected;
    for (const auto& item : kItems) {
        EXPECT_EQ(present(st.dir / item.path), !item.deleted) << item.path << ": " << item.why;
        // Entries inside a deleted folder are not reported on their own.
        if (item.deleted && !fs::path(item.path).parent_path().string().starts_with("station/2"))
            expected.insert(st.dir / item.path);
    }
    const std::set<fs::path> deleted(report.deleted.begin(), report.deleted.end());
    std::set<fs::path> normalised;
    for (const auto& p : deleted) normalised.insert(p.lexically_normal());
    EXPECT_EQ(normalised, expected);

    for (const char* line :
         {"Deleted directory 201906120900", "Deleted directory 201906120800_5",
          "Deleted directory 201906120530", "Deleted native 201906110015.nat",
          "Deleted native 201906100000.nat", "Deleted native in temp directory 201906110015.nat"})
        EXPECT_TRUE(st.said(line)) << line;
    // The other deletions are not logged.
    for (const char* name : {"old.seg", "old.bin", "eur_c321r5", "received13"})
        EXPECT_FALSE(st.said(name)) << name;
}

TEST(Purge, MissingFileIsCreatedWithTheDefaults) {
    TempDir dir;
    const auto policy = station::readPurgePolicy(dir.path());
    ASSERT_TRUE(policy) << policy.error();
    EXPECT_EQ(*policy, station::PurgePolicy{});
    EXPECT_EQ(testing_support::readFile(dir / "purge.txt"),
              "#received hrit files\n120\n#received other files\n120\n#native files\n12\n48\n"
              "#products in prods\n12\n48\n");
}

TEST(Purge, WrittenValuesAreReadBack) {
    TempDir dir;
    const station::PurgePolicy p{30, 45, 6, 24, 3, 9};
    ASSERT_TRUE(station::writePurgePolicy(dir.path(), p));
    const auto back = station::readPurgePolicy(dir.path());
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(*back, p);
}

TEST(Purge, BadValueIsRefusedWithItsLine) {
    const std::string good[] = {"#a", "120", "#b", "120", "#c", "12", "48", "#d", "12", "48"};
    struct Case {
        int line;           // 1-based line made bad
        const char* value;  // what it holds
        const char* said;   // part of the refusal
    };
    const Case cases[] = {
        {2, "abc", "line 2"}, {4, "12x", "line 4"}, {6, "-5", "line 6"},
        {7, "1.5", "line 7"}, {9, "", "line 9"},    {10, "99999999999", "line 10"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        std::string text;
        for (int i = 0; i < 10; ++i)
            text += (i + 1 == c.line ? std::string(c.value) : good[i]) + "\r\n";
        dir.write("purge.txt", text);
        const auto policy = station::readPurgePolicy(dir.path());
        ASSERT_FALSE(policy) << c.value;
        EXPECT_NE(policy.error().find(c.said), std::string::npos) << policy.error();
        EXPECT_NE(policy.error().find(std::string("\"") + c.value + "\""), std::string::npos)
            << policy.error();
    }
    TempDir dir;
    dir.write("purge.txt", "#a\n120\n#b\n120\n");
    EXPECT_FALSE(station::readPurgePolicy(dir.path())) << "a file cut short";
}

TEST(Purge, BadValueStopsTheTimedPurgesButNotTheFixedOnes) {
    Station st;
    st.dir.write("station/purge.txt", "#\n120\n#\nlots\n#\n12\n48\n#\n12\n48\n");
    const auto received = st.file("received/old.seg", 99 * kHour);
    const auto native = st.file("station/nats/201906100015.nat", 99 * kHour);
    const auto slot = st.folder("station/201906120900", 3 * kHour);
    const auto lrit = st.file("station/lrit/old", 26 * kHour);

    const auto report = st.purge();

    EXPECT_FALSE(report.policyRead);
    ASSERT_EQ(report.refused.size(), 1U);
    EXPECT_NE(report.refused[0].find("line 4"), std::string::npos) << report.refused[0];
    EXPECT_TRUE(st.said("\"lots\""));
    EXPECT_TRUE(present(received));
    EXPECT_TRUE(present(native));
    EXPECT_FALSE(present(slot));
    EXPECT_FALSE(present(lrit));
    EXPECT_EQ(testing_support::readFile(st.paths.cdo / "purge.txt"), "#\n120\n#\nlots\n#\n12\n48\n#\n12\n48\n")
        << "left to the user";
}

TEST(Purge, DiskEstimate) {
    using F = station::PurgeFields;
    const struct {
        F fields;
        std::optional<int> gb;
    } cases[] = {
        {{"120", "120", "12", "48", "12", "48"}, 33},
        {{"", "", "", "", "", ""}, 2},
        {{"125", "", "", "", "", ""}, 3},  // exactly 1.0 of the first field
        {{"124", "", "", "", "", ""}, 2},  // 0.992
        {{"", "", "", "", "25", ""}, 3},   // 4 x 25 x 0.01 is exactly 1.0
        {{"", "", "1", "1", "", ""}, 3},   // 1.5
        {{" 120 ", "120", "12", "48", "12", "48"}, 33},
        {{"abc", "120", "12", "48", "12", "48"}, std::nullopt},
        {{"120", "120", "12", "-48", "12", "48"}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(station::purgeDiskEstimateGb(c.fields), c.gb)
            << c.fields[0] << "," << c.fields[4];
    EXPECT_EQ(station::purgeDiskEstimateText(33),
              "Please make sure you have 33 GB available on disk");
}

TEST(Purge, ProductAndNativeNames) {
    EXPECT_EQ(station::productSlot("eur_c321r5_201305011200.jpg"), "201305011200");
    EXPECT_EQ(station::productSlot("ame_hr5_123_c4_201305011215.bmp"), "201305011215");
    EXPECT_EQ(station::productSlot(".eur_c321r5_201305011200.jpg.part"), std::nullopt);
    EXPECT_EQ(station::productSlot("eur__201305011200.jpg"), std::nullopt) << "no middle";
    EXPECT_EQ(station::productSlot("eur_c321r5_201302301200.jpg"), std::nullopt) << "30 February";
    EXPECT_EQ(station::productSlot(""), std::nullopt);
    EXPECT_TRUE(station::isNativeName("201906121030.nat"));
    EXPECT_FALSE(station::isNativeName("201906121030.nat.part"));
    EXPECT_FALSE(station::isNativeName("201906121030.NAT"));
}

TEST(Purge, DangerousReceivedFoldersAreRefused) {
    struct Case {
        const char* name;
        std::function<fs::path(const Station&)> folder;
        const char* why;
        bool early = false;  // the clock before anything real was written: nothing can be old
    };
    const Case cases[] = {
        {"not configured", [](const Station&) { return fs::path(); }, "not configured"},
        {"station directory", [](const Station& s) { return s.paths.cdo; },
         "is the station directory"},
        {"station directory, with a separator",
         [](const Station& s) { return fs::path(s.paths.cdo.string() + "/"); },
         "is the station directory"},
        {"station directory through a link", [](const Station& s) { return s.dir / "alias"; },
         "is the station directory"},
        {"its parent", [](const Station& s) { return s.dir.path(); },
         "holds the station directory"},
        {"its parent, spelled with ..", [](const Station& s) { return s.paths.cdo / ".."; },
         "holds the station directory"},
        {"home", [](const Station& s) { return s.home; }, "is the home directory"},
        {"root", [](const Station&) { return fs::path("/"); }, "root of the file system", true},
    };
    for (const auto& c : cases) {
        Station st;
        fs::create_directory_symlink(st.paths.cdo, st.dir / "alias");
        const auto planted = {st.file("station/old.txt", 99 * kHour),
                              st.file("old.txt", 99 * kHour), st.file("home/old.txt", 99 * kHour)};
        st.paths.received = c.folder(st);
        if (c.early) st.clock.set(at(86400));

        const auto report = st.purge();

        ASSERT_EQ(report.refused.size(), 1U) << c.name;
        EXPECT_NE(report.refused[0].find(c.why), std::string::npos)
            << c.name << ": " << report.refused[0];
        EXPECT_TRUE(st.said(report.refused[0])) << c.name;
        for (const auto& p : planted) EXPECT_TRUE(present(p)) << c.name << ": " << p;
    }
}

TEST(Purge, HomeIsTheUsersWhenNoneIsGiven) {
    const char* home = std::getenv("HOME");
    if (!home || !*home) GTEST_SKIP() << "no HOME";
    TempDir dir;
    const auto why = station::purgeRefusal(home, dir / "station");
    ASSERT_TRUE(why);
    EXPECT_NE(why->find("home directory"), std::string::npos) << *why;
    EXPECT_FALSE(station::purgeRefusal(dir / "received", dir / "station"));
}

}  // namespace
