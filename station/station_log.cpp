#include "station/station_log.h"

#include <ctime>
#include <fstream>

namespace station {

namespace fs = std::filesystem;

void StationLog::line(const std::string& text) {
    std::ofstream out(file(), std::ios::app);
    out << text << '\n';
    out.flush();
    if (echo) echo(text);
    // A full disk must not silence the station: say it where it can still be seen.
    if (!out && echo) echo("Cannot write " + file().string() + " (disk full?)");
}

void StationLog::rotate(const std::string& slot, std::uintmax_t limit) {
    std::error_code ec;
    const auto size = fs::file_size(file(), ec);
    if (ec || size <= limit) return;
    fs::create_directories(dir_ / "logs", ec);
    fs::path archive = dir_ / "logs" / ("logfile_until_" + slot + ".txt");
    for (int n = 2; fs::exists(archive, ec); ++n)
        archive = dir_ / "logs" / ("logfile_until_" + slot + "-" + std::to_string(n) + ".txt");
    fs::rename(file(), archive, ec);
    if (ec) {
        fs::copy_file(file(), archive, ec);
        if (!ec) fs::remove(file(), ec);
    }
    std::ofstream(file(), std::ios::app);
}

namespace {
std::string format(std::chrono::system_clock::time_point t, const char* pattern) {
    const std::time_t tt = std::chrono::system_clock::to_time_t(t);
    std::tm local{};
    localtime_r(&tt, &local);
    char text[64];
    std::strftime(text, sizeof text, pattern, &local);
    return text;
}
}  // namespace

std::string localTimeText(std::chrono::system_clock::time_point t) { return format(t, "%H:%M:%S"); }
std::string localDateText(std::chrono::system_clock::time_point t) { return format(t, "%Y-%m-%d"); }

}  // namespace station
