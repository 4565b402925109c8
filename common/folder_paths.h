#pragma once
// Comparing folders before deleting anything in them: the user's home, a path with its links
// resolved, and whether one folder holds another. Both the purge and the sequence maker's
// cleaning refuse the same places through these.

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace station {

inline std::filesystem::path userHome() {
    if (const char* h = std::getenv("HOME"); h && *h) return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

// The absolute path with every link resolved as far as it exists, without a final separator,
// so that two spellings of one folder compare equal.
inline std::filesystem::path resolvedPath(const std::filesystem::path& p) {
    std::error_code ec;
    std::filesystem::path r = std::filesystem::weakly_canonical(std::filesystem::absolute(p, ec), ec);
    if (ec) r = std::filesystem::absolute(p, ec).lexically_normal();
    while (!r.has_filename() && r.has_relative_path()) r = r.parent_path();
    return r;
}

// Whether `folder` is `p` or one of its ancestors (both resolved already).
inline bool isAncestorOrSelf(const std::filesystem::path& folder, std::filesystem::path p) {
    for (;;) {
        if (p == folder) return true;
        if (p == p.parent_path()) return false;
        p = p.parent_path();
    }
}

}  // namespace station
