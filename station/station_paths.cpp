#include "station/station_paths.h"

#include <fstream>
#include <vector>

#include "common/atomic_file.h"

namespace station {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> lines(const fs::path& file) {
    std::vector<std::string> out;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

Result<bool> writeLines(const fs::path& file, const std::vector<fs::path>& values, IfExists ifExists) {
    const auto written = writeFileAtomically(
        file,
        [&](std::ostream& out) {
            for (const auto& v : values) out << v.string() << '\n';
            return static_cast<bool>(out);
        },
        ifExists);
    if (!written) return Result<bool>::failure(written.error());
    return true;
}

}  // namespace

std::optional<StationPaths> readCd(const fs::path& dir) {
    const auto l = lines(dir / "cd.txt");
    if (l.size() < 3 || l[0].empty() || l[1].empty() || l[2].empty()) return std::nullopt;
    return StationPaths{l[0], l[1], l[2]};
}

Result<bool> writeCd(const fs::path& dir, const fs::path& received, const fs::path& received13) {
    return writeLines(dir / "cd.txt", {fs::absolute(dir), received, received13}, IfExists::Keep);
}

std::optional<fs::path> readCdr(const fs::path& dir) {
    const auto l = lines(dir / "cdr.txt");
    if (l.empty() || l[0].empty()) return std::nullopt;
    return fs::path(l[0]);
}

Result<bool> writeCdr(const fs::path& dir, const fs::path& remote) {
    return writeLines(dir / "cdr.txt", {remote}, IfExists::Replace);
}

}  // namespace station
