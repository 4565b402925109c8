#include "viewer/scene/scene_time.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace tesmar {

std::string formatSceneTime(std::string_view b) {
    if (b.size() < 12) return std::string(b);
    return std::string(b.substr(0, 4)) + "-" + std::string(b.substr(4, 2)) + "-" + std::string(b.substr(6, 2)) +
           " " + std::string(b.substr(8, 2)) + ":" + std::string(b.substr(10, 2));
}

namespace {
bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}
}  // namespace

bool isSlotTime(std::string_view text) { return text.size() == 12 && allDigits(text); }

NewestNative cualesdatea(const std::filesystem::path& nats, NewestNative newest) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(nats, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() < 6 || name.rfind("20", 0) != 0 || name.substr(name.size() - 4) != ".nat") continue;
        std::error_code tec;
        const auto t = fs::last_write_time(it->path(), tec);
        if (tec) continue;  // vanished meanwhile
        const auto when = std::chrono::time_point_cast<station::TimePoint::duration>(
            std::chrono::file_clock::to_sys(t));
        if (when <= newest.srtime0) continue;
        newest.srtime0 = when;
        // "20" + ".nat" is 6 characters; a name this short holds no time at all.
        const std::string stem = name.substr(0, name.size() - 4);
        const std::string time = stem.size() >= 12 ? stem.substr(stem.size() - 12) : std::string{};
        newest.datea = time.size() == 12 && allDigits(time.substr(0, 6)) && allDigits(time.substr(6))
                           ? time
                           : std::string(kDefaultDatea);
    }
    return newest;
}

}  // namespace tesmar
