#include "viewer/display/png_writer.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace tesmar::display {

station::Result<bool> writePng(const Image24& image, const std::filesystem::path& path) {
    using R = station::Result<bool>;
    if (image.width <= 0 || image.height <= 0) return R::failure("There is no picture to save");
    std::string tmpName = ".";
    tmpName += path.filename().string();
    tmpName += ".part";
    const auto tmp = path.parent_path() / tmpName;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(tmp.c_str(), "wb"), &std::fclose);
    if (!file) return R::failure("Cannot create " + tmp.string());

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        return R::failure("Out of memory writing " + path.string());
    }
    volatile bool written = false;  // set after setjmp: must survive the longjmp
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file.get());
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < image.height; ++y)
            png_write_row(png, const_cast<png_bytep>(image.pixel(0, y)));
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file.release()) == 0;
    std::error_code ec;
    if (!written || !closed) {
        std::filesystem::remove(tmp, ec);
        return R::failure("Cannot write " + path.string());
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return R::failure("Cannot write " + path.string() + ": " + ec.message());
    }
    return true;
}

}  // namespace tesmar::display
