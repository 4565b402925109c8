#include "common/durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace station {

namespace fs = std::filesystem;

DurableFile::DurableFile(fs::path target) : target_(std::move(target)), temporary_(temporaryNameFor(target_)) {
    // A temporary left by a crash is ours to replace.
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) error_ = "Cannot create " + temporary_.string() + ": " + std::strerror(errno);
}

DurableFile::~DurableFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.empty()) {
        std::error_code ec;
        fs::remove(temporary_, ec);
    }
}

void DurableFile::fail(const std::string& why) {
    if (error_.empty()) error_ = why;
}

bool DurableFile::write(std::span<const std::uint8_t> bytes) {
    if (!ok()) return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            fail("Cannot write " + temporary_.string() + ": " + std::strerror(n < 0 ? errno : ENOSPC));
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
        written_ += static_cast<std::uint64_t>(n);
    }
    return true;
}

Result<std::uint64_t> DurableFile::publish(IfExists ifExists, std::uint64_t expectedSize) {
    using R = Result<std::uint64_t>;
    if (!ok()) return R::failure(error_);
    if (expectedSize != 0 && written_ != expectedSize)
        return R::failure(target_.filename().string() + " came out " + std::to_string(written_) + " bytes long, not " +
                          std::to_string(expectedSize));
    if (::fsync(fd_) != 0) return R::failure("Cannot sync " + temporary_.string() + ": " + std::strerror(errno));
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) return R::failure("Cannot close " + temporary_.string() + ": " + std::strerror(errno));
    if (ifExists == IfExists::Keep) {
        if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST) return R::failure(target_.string() + " exists already; it was left as it was");
            if (errno != EINVAL && errno != ENOSYS)
                return R::failure("Cannot rename " + temporary_.string() + ": " + std::strerror(errno));
            std::error_code ec;
            if (fs::exists(target_, ec)) return R::failure(target_.string() + " exists already; it was left as it was");
            fs::rename(temporary_, target_, ec);
            if (ec) return R::failure("Cannot rename " + temporary_.string() + ": " + ec.message());
        }
    } else {
        std::error_code ec;
        fs::rename(temporary_, target_, ec);
        if (ec) return R::failure("Cannot rename " + temporary_.string() + ": " + ec.message());
    }
    temporary_.clear();  // published: nothing to remove
    // The directory entry too, so the published name survives a power cut.
    const int dir = ::open(target_.parent_path().empty() ? "." : target_.parent_path().c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return written_;
}

}  // namespace station
