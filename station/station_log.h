#pragma once
// logfile.txt: one entry per line, appended as the cycle goes, and archived into logs/ once it
// grows past 550,000 bytes. Times in the text are local; decisions never read them.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace station {

class StationLog {
public:
    explicit StationLog(std::filesystem::path dir) : dir_(std::move(dir)) {}

    // Where else each line goes (the headless daemon's stderr).
    std::function<void(const std::string&)> echo;

    void line(const std::string& text);
    // Archives the log as logs/logfile_until_SLOT.txt when it is larger than the limit (never
    // replacing an archive: a second one of the same slot gets "-2", "-3", ...).
    void rotate(const std::string& slot, std::uintmax_t limit = 550000);
    std::filesystem::path file() const { return dir_ / "logfile.txt"; }

private:
    std::filesystem::path dir_;
};

// Local time as the log writes it ("10:52:07"), and the local date ("2019-06-12").
std::string localTimeText(std::chrono::system_clock::time_point t);
std::string localDateText(std::chrono::system_clock::time_point t);

}  // namespace station
