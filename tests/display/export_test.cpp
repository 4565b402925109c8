#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/support/temp_dir.h"
#include "viewer/display/kml.h"
#include "viewer/display/picture_files.h"
#include "viewer/display/png_writer.h"

namespace {

using namespace tesmar::display;
using testing_support::TempDir;

Image24 sample(int w, int h) {
    Image24 img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto* p = img.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 9);
            p[1] = static_cast<std::uint8_t>(y * 13);
            p[2] = static_cast<std::uint8_t>((x + y) * 5);
        }
    return img;
}

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(PictureFiles, BmpLayoutAndRoundTripsThroughPngAndJpeg) {
    TempDir dir;
    const auto img = sample(7, 5);  // 21 bytes a row: padded to 24
    ASSERT_TRUE(writeBmp(img, dir / "a.bmp").ok());
    const auto bmp = readAll(dir / "a.bmp");
    ASSERT_EQ(bmp.size(), 54u + 24u * 5u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    // The first stored row is the bottom one, blue first.
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[54]), img.pixel(0, 4)[2]);
    EXPECT_EQ(static_cast<std::uint8_t>(bmp[56]), img.pixel(0, 4)[0]);

    ASSERT_TRUE(writePng(img, dir / "a.png").ok());
    const auto png = readPng(dir / "a.png");
    ASSERT_TRUE(png.ok());
    EXPECT_EQ(png->rgb, img.rgb);
    ASSERT_TRUE(png2Bmp(dir / "b.bmp", dir / "a.png").ok());
    EXPECT_EQ(readAll(dir / "b.bmp"), bmp);

    Image24 big(64, 48);  // smooth, as JPEG expects
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            auto* p = big.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 3);
            p[1] = static_cast<std::uint8_t>(y * 4);
            p[2] = 100;
        }
    ASSERT_TRUE(writeJpeg(big, dir / "a.jpg", 100).ok());
    const auto jpeg = readJpeg(dir / "a.jpg");
    ASSERT_TRUE(jpeg.ok());
    ASSERT_EQ(jpeg->width, 64);
    int worst = 0;
    for (std::size_t i = 0; i < big.rgb.size(); ++i) worst = std::max(worst, std::abs(jpeg->rgb[i] - big.rgb[i]));
    EXPECT_LT(worst, 16);  // lossy, but the same picture
    EXPECT_TRUE(Jpeg2Bmp(dir / "c.bmp", dir / "a.jpg").ok());

    dir.write("bad.jpg", "not a jpeg");
    EXPECT_FALSE(readJpeg(dir / "bad.jpg").ok());
    EXPECT_FALSE(readPng(dir / "bad.jpg").ok());
    EXPECT_FALSE(writeJpeg(Image24{}, dir / "e.jpg", 80).ok());
    EXPECT_FALSE(writeBmp(img, dir / "missing" / "x.bmp").ok());
}

TEST(PictureFiles, StampAndExtensions) {
    EXPECT_EQ(stampText("EUMETSAT ", "2019-03-18 12:00", "Composite image 3+2+1"),
              "EUMETSAT 2019-03-18 12:00   Composite image 3+2+1");
    const auto mark = stampMark("x");
    EXPECT_EQ(mark.x1, 5);
    EXPECT_EQ(mark.y1, 2);
    EXPECT_EQ(mark.pen, (Rgb{0, 0, 0}));
    EXPECT_EQ(withExtension("/out/a", ".jpg"), "/out/a.jpg");
    EXPECT_EQ(withExtension("/out/a.jpg", ".jpg"), "/out/a.jpg");  // not appended twice
}

TEST(Kml, SingleOverlayAndNudge) {
    const auto kml = groundOverlayKml("eu", {"60", "35", "30", "-10"});
    std::istringstream lines(kml);
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) all.push_back(line);
    ASSERT_EQ(all.size(), 7u);
    EXPECT_EQ(all[1], "eu.jpg");
    EXPECT_EQ(all[3], "60</north><south>");
    EXPECT_EQ(twoDecimals(nudged(60, 55)), "60.10");
    EXPECT_EQ(twoDecimals(-0.5), "-0.50");
    EXPECT_NE(groundOverlayKml("a<b&c", {"1", "2", "3", "4"}).find("a&lt;b&amp;c.jpg"), std::string::npos);
}

TEST(Kml, AnimationTimesStepsAndOrder) {
    const AnimationCorners c{60, 35, 30, -10};
    const auto two = animationKml({"201903181215", "201903181200"}, c, "7", "41");
    // Sorted: 12:00 first; step 15 minutes x 1.26 = 18; ends rounded down to the quarter.
    const auto first = two.find("<name>\n201903181200");
    const auto second = two.find("<name>\n201903181215");
    ASSERT_NE(first, std::string::npos);
    ASSERT_LT(first, second);
    EXPECT_NE(two.find("2019-03-18T12:00Z\n</begin><end>\n2019-03-18T12:15Z"), std::string::npos);
    EXPECT_NE(two.find("2019-03-18T12:15Z\n</begin><end>\n2019-03-18T12:30Z"), std::string::npos);
    EXPECT_NE(two.find("<north>\n60.00</north>"), std::string::npos);
    // One frame: 15 minutes. Across midnight and a month end the step is real time.
    const auto one = animationKml({"201903181200"}, c, "7", "41");
    EXPECT_NE(one.find("2019-03-18T12:00Z\n</begin><end>\n2019-03-18T12:15Z"), std::string::npos);
    const auto month = animationKml({"201903312345", "201904010000"}, c, "7", "41");
    EXPECT_NE(month.find("2019-03-31T23:45Z\n</begin><end>\n2019-04-01T00:00Z"), std::string::npos);
    EXPECT_TRUE(animationKml({}, c, "7", "41").empty());
}

}  // namespace
