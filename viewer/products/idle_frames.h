#pragma once
// The idle slide show: the stored products of one entry of the list, oldest first.

#include <filesystem>
#include <string>
#include <vector>

#include "viewer/products/product_list.h"

namespace tesmar::products {

// The files of prods/ that `entry` made, found by the name patterns its code may have given,
// tried from the most specific; at most `limit` files, ordered by the 12-digit slot time in
// their names as the animation orders its frames (names without one go last). Fewer than
// four files make no slide show: empty.
std::vector<std::filesystem::path> idleFrames(const std::filesystem::path& prods, const ProductEntry& entry,
                                              std::size_t limit = 99);

}  // namespace tesmar::products
