#include <gtest/gtest.h>

#include <set>

#include "common/scripted_host.h"
#include "tests/support/viewer_station.h"
#include "viewer/display/picture_files.h"
#include "viewer/viewer.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

// A station with a band of lines around the equator for slot 2013-05-01 12:00; channel 7 is
// not in the file, so entries that need it must fail on their own.
struct Station : testing_support::ViewerStation {
    std::vector<std::string> stamps;

    Station() {
        writeSlot("201305011200");
        clock.set(station::fileTime(dir / "nats/201305011200.nat") + std::chrono::seconds(60));
        viewer.oncre();  // again, now that the clock is the slot's
        viewer.controls.coastLines = false;
    }
    void writeSlot(const std::string& slot) {
        auto s = testing_support::smallStandard(1700, 2000);
        s.channels = "XXXXXX-XXXXX";
        s.time = slot;
        dir.native("nats/" + slot + ".nat", s);
    }
    std::vector<tesmar::Viewer::ProductRun> tick() {
        return viewer.tualotuyo([this](tesmar::display::Image24&, const tesmar::display::DrawList& marks) {
            stamps.push_back(marks.empty() ? std::string{} : marks.back().text);
        });
    }
    std::set<std::string> products() const {
        std::set<std::string> names;
        if (fs::exists(dir / "prods"))
            for (const auto& f : fs::directory_iterator(dir / "prods")) names.insert(f.path().filename().string());
        return names;
    }
};

constexpr const char* kList =
    "## eur zoom\nc\n3\n2\n1\n0\n0\n5\n"
    "## abs\ns\n7\n\n\n0\n0\n5\n"                   // channel 7 is absent
    "## dif slice-3;120\nd\n9\n10\n\n0\n0\n5\n"
    "## goe\ng\n4\n\n\n0\n0\n5\n"                   // no GOES imagery on this station
    "## det\ns\n9\n\n\n0\n0\nfive\n"                // detail is not a number
    "## sea mercator -10 10 10 -10 0 0\ns\n9\n\n\n0\n0\n3\n";

TEST(ProductCycle, MakesEveryEntryThatCanBeMadeAndSkipsTheOthers) {
    Station st;
    st.dir.write("product.txt", kList);
    const auto before = st.viewer.controls;

    const auto runs = st.tick();
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(st.products(), (std::set<std::string>{"eur_c321r5_201305011200.jpg", "dif_d910r5_201305011200.jpg",
                                                    "sea_s9r3_201305011200.jpg"}));
    for (const auto& r : runs) {
        EXPECT_EQ(r.file.empty(), !r.why.empty()) << r.entry;
        if (r.file.empty()) continue;
        const auto decoded = tesmar::display::readJpeg(r.file);
        ASSERT_TRUE(decoded.ok()) << decoded.error();
        EXPECT_GT(decoded->width, 100);
        EXPECT_GT(decoded->height, 100);
    }
    EXPECT_NE(runs[1].why.find("Channel 7"), std::string::npos) << runs[1].why;
    EXPECT_NE(runs[3].why.find("'g'"), std::string::npos) << runs[3].why;
    EXPECT_NE(runs[4].why.find("five"), std::string::npos) << runs[4].why;

    // Nobody was asked anything, and each entry left the settings as it found them.
    EXPECT_TRUE(st.host.messages.empty()) << st.host.messages.front();
    EXPECT_TRUE(st.host.dialogs.empty());
    EXPECT_FALSE(st.viewer.gate.quiet);
    EXPECT_EQ(st.viewer.controls.channel, before.channel);
    EXPECT_EQ(st.viewer.controls.red, before.red);
    EXPECT_EQ(st.viewer.controls.lon, before.lon);
    EXPECT_EQ(st.viewer.controls.heightFocus, before.heightFocus);

    // The stamp: the label, the slot's date, the code's separator and the title.
    ASSERT_EQ(st.stamps.size(), 3u);
    EXPECT_NE(st.stamps[0].find("2013-05-01 12:00   Composite"), std::string::npos) << st.stamps[0];
    EXPECT_NE(st.stamps[2].find("2013-05-01 12:00  Single"), std::string::npos) << st.stamps[2];
}

TEST(ProductCycle, EachSlotIsMadeOnce) {
    Station st;
    st.dir.write("product.txt", "## ir\ns\n9\n\n\n0\n0\n4\n");
    st.viewer.controls.coastLines = true;  // but the station has no coast mask
    const auto made = st.tick();
    ASSERT_EQ(made.size(), 1u);
    EXPECT_NE(made[0].note.find("coast mask"), std::string::npos) << "made without coasts, and said so";
    EXPECT_TRUE(st.host.messages.empty());
    const auto first = fs::last_write_time(st.dir / "prods/ir_s9r4_201305011200.jpg");

    // No new file: the next ticks do nothing, even with the file touched again.
    EXPECT_TRUE(st.tick().empty());
    fs::last_write_time(st.dir / "nats/201305011200.nat", fs::file_time_type::clock::now());
    EXPECT_TRUE(st.tick().empty());
    EXPECT_EQ(fs::last_write_time(st.dir / "prods/ir_s9r4_201305011200.jpg"), first);

    // The next slot arrives.
    st.writeSlot("201305011215");
    fs::last_write_time(st.dir / "nats/201305011215.nat", fs::file_time_type::clock::now() + std::chrono::seconds(5));
    const auto runs = st.tick();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].file.filename(), "ir_s9r4_201305011215.jpg");
    EXPECT_EQ(st.products().size(), 2u);
}

TEST(ProductCycle, AnUnreadableOrEmptyStationMakesNothing) {
    Station st;
    // No product.txt: the slot is done with nothing to make.
    EXPECT_TRUE(st.tick().empty());
    EXPECT_FALSE(fs::exists(st.dir / "prods") && !fs::is_empty(st.dir / "prods"));

    // A damaged file is reported, never turned into pictures.
    Station broken;
    broken.dir.write("product.txt", "## ir\ns\n9\n\n\n0\n0\n4\n");
    fs::resize_file(broken.dir / "nats/201305011200.nat", 1000);
    const auto runs = broken.tick();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].file.empty());
    EXPECT_TRUE(broken.products().empty());
    EXPECT_TRUE(broken.host.messages.empty());
    EXPECT_TRUE(broken.tick().empty()) << "said once, not at every tick";
}

TEST(ProductCycle, ShowItNowMakesTheWindowsEntryIntoCreas) {
    Station st;
    tesmar::products::ProductForm form;
    form.listText = "## europe";
    form.box1 = "9";
    form.detail = 4;
    EXPECT_FALSE(st.viewer.tualotuyo_now(form, {}).why.empty()) << "no file is open yet";

    ASSERT_TRUE(st.viewer.abrefiche_secre(st.dir / "nats/201305011200.nat"));
    form.slicing = true;
    form.lower = "250.5";
    form.upper = "300";
    const auto run = st.viewer.tualotuyo_now(form, {});
    EXPECT_EQ(run.file, st.dir / "creas/euro_201305011200.jpg") << run.why;
    EXPECT_TRUE(tesmar::display::readJpeg(run.file).ok());
    EXPECT_NE(st.viewer.title.find("Sliced (250 ; 300)"), std::string::npos) << st.viewer.title;
}

}  // namespace
