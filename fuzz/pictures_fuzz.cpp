// The graphic import: JPEG and PNG files (the same bytes as each) decoded and converted to the
// 24-bit BMP the import works on. A picture that decodes has the pixels its size says, and
// its BMP is as long as its header states.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/fuzz_support.h"
#include "viewer/display/picture_files.h"

namespace {

namespace display = tesmar::display;
using fuzzing::require;

std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

void check(const station::Result<display::Image24>& image, const station::Result<bool>& converted,
           const std::filesystem::path& bmp) {
    require(image.ok() == converted.ok(), "a picture read but not converted, or the other way");
    if (!image) return;
    require(image->width > 0 && image->height > 0, "a picture of no size");
    require(image->rgb.size() == static_cast<std::size_t>(image->width) *
                                     static_cast<std::size_t>(image->height) * 3,
            "a picture with another number of pixels than its size");
    std::ifstream in(bmp, std::ios::binary);
    const std::string b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    require(b.size() >= 54 && b.size() == le32(b, 2),
            "a BMP of another length than its header says");
    require(le32(b, 18) == static_cast<std::uint32_t>(image->width) &&
                le32(b, 22) == static_cast<std::uint32_t>(image->height),
            "a BMP of another size than its picture");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = fuzzing::asText(data, size);
    const auto jpeg = fuzzing::writeFile("import.jpg", bytes);
    const auto png = fuzzing::writeFile("import.png", bytes);
    const auto bmp = fuzzing::scratch() / "import.bmp";

    check(display::readJpeg(jpeg), display::Jpeg2Bmp(bmp, jpeg), bmp);
    check(display::readPng(png), display::png2Bmp(bmp, png), bmp);
    return 0;
}
