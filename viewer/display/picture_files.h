#pragma once
// Picture files: BMP, JPEG and PNG written through a temporary name, JPEG and PNG read back
// (the conversions to BMP for the graphic import), and the stamp text of saved pictures.

#include <filesystem>
#include <string>

#include "common/result.h"
#include "viewer/display/overlays.h"
#include "viewer/display/raster.h"

namespace tesmar::display {

// 24-bit, bottom-up rows padded to four bytes.
station::Result<bool> writeBmp(const Image24& image, const std::filesystem::path& path);
station::Result<bool> writeJpeg(const Image24& image, const std::filesystem::path& path, int quality);

station::Result<Image24> readJpeg(const std::filesystem::path& path);
station::Result<Image24> readPng(const std::filesystem::path& path);
// The conversions of the graphic import: decode, write as a 24-bit BMP.
station::Result<bool> Jpeg2Bmp(const std::filesystem::path& bmp, const std::filesystem::path& jpeg);
station::Result<bool> png2Bmp(const std::filesystem::path& bmp, const std::filesystem::path& png);

// The stamp: prefix (first line of label.txt, else "EUMETSAT "), the date label
// "YYYY-MM-DD hh:mm", three blanks and the picture's title line.
std::string stampText(const std::string& prefix, const std::string& dateLabel, const std::string& title);
// The stamp drawn in black at (5, 2) of the picture.
DrawOp stampMark(const std::string& text);

// A save dialog's name with the extension appended unless it already ends with it.
std::filesystem::path withExtension(const std::filesystem::path& chosen, const std::string& extension);

}  // namespace tesmar::display
