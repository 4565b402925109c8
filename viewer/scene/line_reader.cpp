#include "viewer/scene/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "common/unpack10.h"

namespace tesmar {

using station::Result;

station::Result<LineReader> LineReader::open(const NativeScene& scene) {
    const int fd = ::open(scene.fich.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Result<LineReader>::failure("Cannot open " + scene.fich.string() + ": " + std::strerror(errno));
    struct stat st {};
    const std::int64_t bytes = ::fstat(fd, &st) == 0 ? st.st_size : 0;
    return LineReader(fd, scene, bytes);
}

LineReader::LineReader(int fd, const NativeScene& scene, std::int64_t fileBytes)
    : fd_(fd), scene_(scene), layout_(scene.layout()), fileBytes_(fileBytes) {}

LineReader::LineReader(LineReader&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      scene_(std::move(other.scene_)),
      layout_(other.layout_),
      fileBytes_(other.fileBytes_),
      incomplete_(other.incomplete_),
      buf_(std::move(other.buf_)) {}

LineReader& LineReader::operator=(LineReader&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        scene_ = std::move(other.scene_);
        layout_ = other.layout_;
        fileBytes_ = other.fileBytes_;
        incomplete_ = other.incomplete_;
        buf_ = std::move(other.buf_);
    }
    return *this;
}

LineReader::~LineReader() {
    if (fd_ >= 0) ::close(fd_);
}

void LineReader::readAt(std::int64_t at, std::size_t n) {
    buf_.assign(n, 0);
    std::size_t got = 0;
    if (at >= 0) {
        while (got < n) {
            const ssize_t r = ::pread(fd_, buf_.data() + got, n - got, static_cast<off_t>(at + static_cast<std::int64_t>(got)));
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) break;
            got += static_cast<std::size_t>(r);
        }
    }
    if (got < n) incomplete_ = true;
}

std::span<const std::uint8_t> LineReader::packedVisIr(int channel, std::int64_t u) {
    if (channel < 1 || channel > 11 || !scene_.channelPresent(channel)) return {};
    readAt(layout_.pixelOffset(channel, u), static_cast<std::size_t>(layout_.nobyco));
    return buf_;
}

std::span<const std::uint8_t> LineReader::packedHrv(std::int64_t u) {
    if (!scene_.channelPresent(native::kHrvChannel)) return {};
    const auto step = static_cast<std::size_t>(layout_.hrvSubLineStep());
    // The three records are adjacent but for their line headers: one read covers them.
    readAt(layout_.pixelOffset(native::kHrvChannel, u), 2 * step + static_cast<std::size_t>(layout_.nobyco_hrv));
    return buf_;
}

bool LineReader::readVisIr(int channel, std::int64_t u, std::span<std::uint16_t> counts) {
    if (packedVisIr(channel, u).empty()) return false;
    const auto n = std::min<std::size_t>(counts.size(), static_cast<std::size_t>(scene_.visir_columns));
    station::unpack10(buf_, counts.first(n));
    return true;
}

bool LineReader::readHrv(std::int64_t u, std::span<std::uint16_t> south, std::span<std::uint16_t> middle,
                         std::span<std::uint16_t> north) {
    const std::span<const std::uint8_t> all = packedHrv(u);
    if (all.empty()) return false;
    const auto record = static_cast<std::size_t>(layout_.nobyco_hrv);
    const auto step = static_cast<std::size_t>(layout_.hrvSubLineStep());
    const auto pixels = static_cast<std::size_t>(scene_.nopico_hrv);
    std::span<std::uint16_t> outs[3] = {south, middle, north};
    for (std::size_t i = 0; i < 3; ++i) {
        const auto n = std::min(outs[i].size(), pixels);
        station::unpack10(all.subspan(i * step, record), outs[i].first(n));
    }
    return true;
}

}  // namespace tesmar
