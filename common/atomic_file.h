#pragma once
// Writing a file whole or not at all: the content goes to a temporary name beside the target
// and is renamed over it when complete, so a reader never meets half a file and a failed
// write leaves the previous file as it was.

#include <fcntl.h>  // AT_FDCWD
#include <stdio.h>  // renameat2, RENAME_NOREPLACE

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <system_error>

#include "common/result.h"

namespace station {

enum class IfExists {
    Replace,  // the target is ours to rewrite
    Keep,     // the target may be the user's: fail rather than replace it
};

// The temporary name used for `target` (hidden, in the same directory).
inline std::filesystem::path temporaryNameFor(const std::filesystem::path& target) {
    std::string name = ".";  // built step by step: GCC 12 warns falsely on "." + string&&
    name += target.filename().string();
    name += ".part";
    return target.parent_path() / name;
}

// Writes `target` with what `fill` puts into the stream. `fill` returning false (or the
// stream failing) abandons the file; the error then names the target. Gives the bytes written.
inline Result<std::uintmax_t> writeFileAtomically(const std::filesystem::path& target,
                                                  const std::function<bool(std::ostream&)>& fill,
                                                  IfExists ifExists) {
    using R = Result<std::uintmax_t>;
    const auto tmp = temporaryNameFor(target);
    std::error_code ec;
    const auto abandon = [&](const std::string& why) {
        std::filesystem::remove(tmp, ec);
        return R::failure(why);
    };
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return R::failure("Cannot create " + tmp.string());
        if (!fill(out)) return abandon("Cannot make " + target.string());
        out.flush();
        if (!out) return abandon("Cannot write " + tmp.string());
    }
    const auto size = std::filesystem::file_size(tmp, ec);
    if (ec) return abandon("Cannot write " + tmp.string());

    if (ifExists == IfExists::Keep) {
        // The kernel refuses the rename when the target exists, closing the gap a check
        // beforehand would leave; file systems without that flag get the check.
        if (::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return size;
        if (errno == EEXIST)
            return abandon(target.string() + " exists already; it was left as it was");
        if (errno != EINVAL && errno != ENOSYS)
            return abandon("Cannot rename " + tmp.string() + ": " +
                           std::generic_category().message(errno));
        if (std::filesystem::exists(target, ec))
            return abandon(target.string() + " exists already; it was left as it was");
    }
    std::filesystem::rename(tmp, target, ec);
    if (ec) return abandon("Cannot rename " + tmp.string() + ": " + ec.message());
    return size;
}

}  // namespace station
