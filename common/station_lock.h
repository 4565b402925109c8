#pragma once
// An exclusive lock on one job of a station directory (the product cycle, the reception
// cycle), so a desktop program and a service never run the same job on the same files. The
// lock is an advisory flock on a hidden file; the system releases it when the holder exits,
// however it ends, so a crash never leaves a station locked.

#include <filesystem>
#include <optional>
#include <string>

namespace station {

class StationLock {
public:
    // The lock of `job` on `stationDir`, or nothing when another holder has it.
    static std::optional<StationLock> tryAcquire(const std::filesystem::path& stationDir, const std::string& job);

    StationLock(StationLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    StationLock& operator=(StationLock&& other) noexcept;
    StationLock(const StationLock&) = delete;
    StationLock& operator=(const StationLock&) = delete;
    ~StationLock();

    static std::filesystem::path pathFor(const std::filesystem::path& stationDir, const std::string& job) {
        return stationDir / ("." + job + ".lock");
    }

private:
    explicit StationLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace station
