#pragma once
// What the fuzz targets share: a scratch directory of their own for the readers that take a
// path, and a check that stops the run when an invariant of a reader does not hold.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

namespace fuzzing {

// One directory per fuzzing process, under $FUZZ_SCRATCH (tools/fuzz.sh points it at a
// memory file system, so the many small writes cost no disk), else the system's temporary
// directory. Removed when the process ends normally; a crash leaves it for the report.
inline const std::filesystem::path& scratch() {
    static const std::filesystem::path dir = [] {
        const char* base = std::getenv("FUZZ_SCRATCH");
        const std::filesystem::path root =
            base && *base ? std::filesystem::path(base) : std::filesystem::temp_directory_path();
        auto d = root / ("station-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratch(), ec);
        });
        return d;
    }();
    return dir;
}

// Replaces the file `name` of the scratch directory (or of `dir`) with `bytes`.
inline std::filesystem::path writeFile(const std::filesystem::path& dir, const std::string& name,
                                       std::string_view bytes) {
    const auto p = dir / name;
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}
inline std::filesystem::path writeFile(const std::string& name, std::string_view bytes) {
    return writeFile(scratch(), name, bytes);
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Choices taken from the front of the input, then the rest of it as bytes; an input used up
// gives the first choice of everything.
class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool flag() { return (byte() & 1) != 0; }
    // A value in lo..hi.
    template <class T>
    T inRange(T lo, T hi) {
        const auto span = static_cast<std::uint64_t>(hi) - static_cast<std::uint64_t>(lo);
        std::uint64_t v = 0;
        for (std::uint64_t seen = span; seen != 0; seen >>= 8) v = (v << 8) | byte();
        return static_cast<T>(static_cast<std::uint64_t>(lo) +
                              (span == ~std::uint64_t{0} ? v : v % (span + 1)));
    }
    std::string rest() {
        std::string out(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
        at_ = size_;
        return out;
    }

  private:
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// An invariant of a reader does not hold: a finding, as a sanitizer report would be.
[[noreturn]] inline void broken(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "invariant broken: %s", what);
    if (!detail.empty()) {
        std::fputs(" [", stderr);
        for (const char c : detail) {
            const auto u = static_cast<unsigned char>(c);
            if (u >= 0x20 && u < 0x7f && u != '\\')
                std::fputc(c, stderr);
            else
                std::fprintf(stderr, "\\x%02x", u);
        }
        std::fputc(']', stderr);
    }
    std::fputc('\n', stderr);
    std::abort();
}
inline void require(bool ok, const char* what, std::string_view detail = {}) {
    if (!ok) broken(what, detail);
}

// A file name the station may write: one component, no separator, no NUL, not "." or "..".
inline bool plainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace fuzzing
