#pragma once
// A large file written whole or not at all, and durable once published: the bytes go to a
// hidden temporary name beside the target through checked writes, and `publish` syncs them
// to disk before renaming the file into place. Dropped unpublished, the temporary file is
// removed, so a failed or interrupted write never leaves a short file under the real name.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "common/atomic_file.h"
#include "common/result.h"

namespace station {

class DurableFile {
public:
    // Creates the temporary file for `target`; check `ok()` / `error()`.
    explicit DurableFile(std::filesystem::path target);
    ~DurableFile();
    DurableFile(const DurableFile&) = delete;
    DurableFile& operator=(const DurableFile&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    std::uint64_t written() const { return written_; }

    // Appends the bytes; after a failure every later call does nothing and `ok()` is false.
    bool write(std::span<const std::uint8_t> bytes);
    bool write(std::string_view bytes) {
        return write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    }
    // Syncs, checks the size when one is expected (0: any), and renames into place.
    Result<std::uint64_t> publish(IfExists ifExists, std::uint64_t expectedSize = 0);

private:
    void fail(const std::string& why);
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    int fd_ = -1;
    std::uint64_t written_ = 0;
    std::string error_;
};

}  // namespace station
