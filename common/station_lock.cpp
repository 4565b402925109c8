#include "common/station_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace station {

std::optional<StationLock> StationLock::tryAcquire(const std::filesystem::path& stationDir, const std::string& job) {
    const int fd = ::open(pathFor(stationDir, job).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return std::nullopt;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return StationLock(fd);
}

StationLock& StationLock::operator=(StationLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

StationLock::~StationLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the flock
}

}  // namespace station
