#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "common/scripted_host.h"
#include "tests/support/viewer_station.h"
#include "viewer/display/picture_files.h"
#include "viewer/viewer.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

std::string read(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Fixture : testing_support::ViewerStation {
    Fixture() {
        viewer.controls.lon = "0";
        viewer.controls.lat = "0";
    }
    fs::path slot(const std::string& time) {
        auto s = testing_support::smallStandard(1700, 2000);
        s.time = time;
        return dir.native("nats/" + time + ".nat", s);
    }
    void draw(const fs::path& file) {
        ASSERT_TRUE(viewer.abrefiche_secre(file));
        ASSERT_TRUE(viewer.geogracr());
    }
};

TEST(SavePicture, StampsACopyAndAppendsTheExtensionOnce) {
    Fixture f;
    f.draw(f.slot("201305011200"));
    const auto onScreen = f.viewer.picture.rgb;
    std::string stamp;
    const tesmar::display::MarkPainter painter = [&](tesmar::display::Image24& image, const auto& marks) {
        stamp = marks.back().text;
        image.pixel(0, 0)[0] ^= 0xff;  // the painter's work must not reach the screen
    };
    using Format = tesmar::Viewer::PictureFormat;
    const struct {
        const char* chosen;
        Format format;
        const char* written;
    } cases[] = {{"a", Format::Jpeg, "a.jpg"}, {"b.jpg", Format::Jpeg, "b.jpg"}, {"c", Format::Bmp, "c.bmp"},
                 {"d.png", Format::Png, "d.png"}};
    for (const auto& c : cases) {
        const auto saved = f.viewer.savePicture(f.dir / c.chosen, c.format, painter);
        ASSERT_TRUE(saved.ok()) << saved.error();
        EXPECT_EQ(*saved, f.dir / c.written);
        EXPECT_TRUE(fs::exists(*saved));
    }
    EXPECT_EQ(f.viewer.picture.rgb, onScreen);
    EXPECT_EQ(stamp, "EUMETSAT 2013-05-01 12:00   Single Channel 1");
    EXPECT_TRUE(tesmar::display::readJpeg(f.dir / "a.jpg").ok());

    const auto nowhere = f.viewer.savePicture(f.dir / "missing/dir/x", Format::Jpeg, painter);
    EXPECT_FALSE(nowhere.ok());
}

TEST(GoogleEarth, OverlayNudgeAndAnimation) {
    Fixture f;
    const auto first = f.slot("201305011215");
    const auto second = f.slot("201305011200");
    f.draw(first);
    tesmar::display::RemapRequest request;
    request.corners = {10, -3, -10, 3};  // east, south, west, north
    ASSERT_TRUE(f.viewer.remapPicture(request));

    const auto kml = f.viewer.guarda_ge(f.dir / "over.kml", {"3", "-3", "10", "-10"});
    ASSERT_TRUE(kml.ok()) << kml.error();
    EXPECT_EQ(*kml, f.dir / "over.kml");
    EXPECT_TRUE(tesmar::display::readJpeg(f.dir / "over.jpg").ok());
    EXPECT_NE(read(*kml).find("over.jpg\n</href></Icon><LatLonBox><north>\n3</north>"), std::string::npos);
    ASSERT_TRUE(f.viewer.do_nudge({100, 50, 0, 50}).ok());
    EXPECT_NE(read(*kml).find("\n4.00</north><south>\n-3.00</south><east>\n9.00</east><west>\n-10.00</west>"),
              std::string::npos)
        << read(*kml);

    // Frames for two files chosen out of order; the index lists them by time.
    const auto index = f.viewer.ge_animation({first, second, f.dir / "nats/gone.nat"}, request.corners, {});
    ASSERT_TRUE(index.ok()) << index.error();
    EXPECT_EQ(*index, f.dir / "creas/kml_1.kml");
    EXPECT_TRUE(fs::exists(f.dir / "creas/ge_201305011200.jpg"));
    EXPECT_TRUE(fs::exists(f.dir / "creas/ge_201305011215.jpg"));
    const auto text = read(*index);
    EXPECT_LT(text.find("ge_201305011200.jpg"), text.find("ge_201305011215.jpg"));
    ASSERT_FALSE(f.host.messages.empty());
    EXPECT_NE(f.host.messages.back().find("gone.nat"), std::string::npos);
}

}  // namespace
