#include "viewer/products/idle_frames.h"

#include <algorithm>

#include "viewer/products/animation.h"

namespace tesmar::products {

namespace fs = std::filesystem;

std::vector<fs::path> idleFrames(const fs::path& prods, const ProductEntry& e, std::size_t limit) {
    std::vector<fs::path> names;
    std::error_code ec;
    for (fs::directory_iterator it(prods, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) names.push_back(it->path());
    std::sort(names.begin(), names.end());

    const std::string n = e.name().substr(0, 3) + "_" + e.code;
    const std::string r = "r" + e.detail;
    const std::string patterns[] = {n + e.box1 + e.box2 + e.box3 + r, n + e.box1 + r,
                                    n + e.box1 + e.box2 + r, n + r};
    std::vector<fs::path> frames;
    for (const auto& pattern : patterns) {
        for (const auto& f : names)
            if (f.filename().string().find(pattern) != std::string::npos && frames.size() < limit)
                frames.push_back(f);
        if (!frames.empty()) break;
    }
    if (frames.size() <= 3) return {};
    return orderFrames(std::move(frames));
}

}  // namespace tesmar::products
