#pragma once
// PNG files of rendered pictures.

#include <filesystem>

#include "common/result.h"
#include "viewer/display/raster.h"

namespace tesmar::display {

// Writes through a temporary name in the target directory, renamed when complete.
station::Result<bool> writePng(const Image24& image, const std::filesystem::path& path);

}  // namespace tesmar::display
