#include "viewer/display/picture_files.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "viewer/display/png_writer.h"

namespace tesmar::display {

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

void putLe(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

void jpegFail(j_common_ptr info) {
    auto* e = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(e->jump, 1);
}

// Imported pictures are pictures of the size the station makes; a header that states far
// more (a few bytes can claim 60000 x 60000) is refused before its pixels are allocated.
constexpr std::uint64_t kLargestSide = 16384;
constexpr std::uint64_t kLargestPixels = std::uint64_t{64} << 20;

bool importableSize(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kLargestSide && height <= kLargestSide &&
           width * height <= kLargestPixels;
}

std::string tooLarge(const std::filesystem::path& path, std::uint64_t width, std::uint64_t height) {
    return path.filename().string() + " states " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels, more than a picture that can be imported";
}

}  // namespace

station::Result<bool> writeBmp(const Image24& image, const std::filesystem::path& path) {
    using R = station::Result<bool>;
    if (image.width <= 0 || image.height <= 0) return R::failure("There is no picture to save");
    const std::uint32_t stride = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
    const std::uint32_t dataBytes = stride * static_cast<std::uint32_t>(image.height);
    std::string out;
    out.reserve(54 + dataBytes);
    out += "BM";
    putLe(out, 54 + dataBytes, 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    putLe(out, 40, 4);
    putLe(out, static_cast<std::uint32_t>(image.width), 4);
    putLe(out, static_cast<std::uint32_t>(image.height), 4);
    putLe(out, 1, 2);
    putLe(out, 24, 2);
    putLe(out, 0, 4);
    putLe(out, dataBytes, 4);
    putLe(out, 2835, 4);
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const auto* px = image.pixel(x, y);
            out += static_cast<char>(px[2]);  // BMP stores blue, green, red
            out += static_cast<char>(px[1]);
            out += static_cast<char>(px[0]);
        }
        out.append(stride - static_cast<std::uint32_t>(image.width) * 3, '\0');
    }
    const auto written = station::writeFileAtomically(
        path,
        [&](std::ostream& s) {
            s.write(out.data(), static_cast<std::streamsize>(out.size()));
            return true;
        },
        station::IfExists::Replace);
    if (!written) return R::failure(written.error());
    return true;
}

station::Result<bool> writeJpeg(const Image24& image, const std::filesystem::path& path, int quality) {
    using R = station::Result<bool>;
    if (image.width <= 0 || image.height <= 0) return R::failure("There is no picture to save");
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = jpegFail;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return R::failure("Cannot encode " + path.string());
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(image.width);
    info.image_height = static_cast<JDIMENSION>(image.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.pixel(0, static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    const auto written = station::writeFileAtomically(
        path,
        [&](std::ostream& s) {
            s.write(reinterpret_cast<const char*>(buffer), static_cast<std::streamsize>(size));
            return true;
        },
        station::IfExists::Replace);
    std::free(buffer);
    if (!written) return R::failure(written.error());
    return true;
}

station::Result<Image24> readJpeg(const std::filesystem::path& path) {
    using R = station::Result<Image24>;
    File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return R::failure("Cannot open " + path.string());
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.mgr);
    error.mgr.error_exit = jpegFail;
    Image24 out;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return R::failure(path.filename().string() + " is not a readable JPEG file");
    }
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file.get());
    jpeg_read_header(&info, TRUE);
    if (!importableSize(info.image_width, info.image_height)) {
        const auto why = tooLarge(path, info.image_width, info.image_height);
        jpeg_destroy_decompress(&info);
        return R::failure(why);
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    out = Image24(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.pixel(0, static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return out;
}

station::Result<Image24> readPng(const std::filesystem::path& path) {
    using R = station::Result<Image24>;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return R::failure(path.filename().string() + " is not a readable PNG file");
    if (!importableSize(image.width, image.height)) {
        png_image_free(&image);
        return R::failure(tooLarge(path, image.width, image.height));
    }
    image.format = PNG_FORMAT_RGB;
    Image24 out(static_cast<int>(image.width), static_cast<int>(image.height));
    if (!png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return R::failure(path.filename().string() + " is not a readable PNG file");
    }
    return out;
}

station::Result<bool> Jpeg2Bmp(const std::filesystem::path& bmp, const std::filesystem::path& jpeg) {
    const auto image = readJpeg(jpeg);
    if (!image) return station::Result<bool>::failure(image.error());
    return writeBmp(*image, bmp);
}

station::Result<bool> png2Bmp(const std::filesystem::path& bmp, const std::filesystem::path& png) {
    const auto image = readPng(png);
    if (!image) return station::Result<bool>::failure(image.error());
    return writeBmp(*image, bmp);
}

std::string stampText(const std::string& prefix, const std::string& dateLabel, const std::string& title) {
    return prefix + dateLabel + "   " + title;
}

DrawOp stampMark(const std::string& text) {
    DrawOp op;
    op.kind = DrawOp::Kind::Text;
    op.x1 = 5;
    op.y1 = 2;
    op.pen = {0, 0, 0};
    op.text = text;
    op.boxed = true;
    return op;
}

std::filesystem::path withExtension(const std::filesystem::path& chosen, const std::string& extension) {
    const std::string name = chosen.string();
    if (name.size() >= extension.size() && name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
        return chosen;
    return std::filesystem::path(name + extension);
}

}  // namespace tesmar::display
