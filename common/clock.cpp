#include "common/clock.h"

namespace station {

TimePoint fileTime(const std::filesystem::path& path) {
    const auto t = std::filesystem::last_write_time(path);
    return std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        std::chrono::file_clock::to_sys(t));
}

}  // namespace station
