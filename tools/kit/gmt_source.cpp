#include "tools/kit/gmt_source.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

#include "common/child_process.h"
#include "tools/kit/text_lines.h"

namespace kit {

namespace {

// Longitudes -80..80 and latitudes to 81 cover everything seen from 0 degrees. Features under
// 50 km2 are dropped: on the 3 km grid they would be specks. The settings after the module's
// options pin what a user's gmt.conf could change.
const std::vector<std::string> kCommon = {
    "-R-80/80/-81/81",      "-Di", "-M", "--FORMAT_GEO_OUT=D", "--FORMAT_FLOAT_OUT=%.8g",
    "--IO_SEGMENT_MARKER=>"};

// gmt leaves a history file in its working directory whatever its settings say, so it works
// in a private folder, removed afterwards.
class ScratchDir {
  public:
    ScratchDir() {
        std::error_code ec;
        const auto tmp = std::filesystem::temp_directory_path(ec);
        if (ec) return;
        std::string pattern = (tmp / "tesmar-gmt-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

std::vector<std::string> coastArgs(std::initializer_list<std::string> feature) {
    std::vector<std::string> args{"coast"};
    args.insert(args.end(), feature);
    args.insert(args.end(), kCommon.begin(), kCommon.end());
    return args;
}

std::string lastLine(std::string_view text) {
    std::string last;
    text::forEachLine(text, [&](std::string_view line) {
        if (line.find_first_not_of(" \t") != std::string_view::npos) last = line;
    });
    return last;
}

std::string installHint() {
    return ". The coast lines come from the Debian packages " + std::string(kGmtPackages) +
           " (apt-get install " + std::string(kGmtPackages) + ").";
}

station::Result<std::vector<GeoLine>> runCoast(const std::filesystem::path& gmt,
                                               const std::vector<std::string>& args,
                                               std::string_view what, const ScratchDir& scratch) {
    using R = station::Result<std::vector<GeoLine>>;
    const auto run = station::runProgram(gmt, args, {.workDir = scratch.path()});
    if (!run) return R::failure(run.error() + installHint());
    if (run->exitCode != 0) {
        std::string why =
            "gmt failed on the " + std::string(what) +
            (run->exitCode < 0 ? " (ended by a signal)"
                               : " (exit code " + std::to_string(run->exitCode) + ")");
        if (const auto last = lastLine(run->err); !last.empty()) why += ": " + last;
        return R::failure(why + installHint());
    }
    auto lines = parseGmtSegments(run->out);
    if (!lines)
        return R::failure("gmt gave unreadable " + std::string(what) + ": " + lines.error());
    return lines;
}

}  // namespace

station::Result<std::vector<GeoLine>> parseGmtSegments(std::string_view text) {
    using R = station::Result<std::vector<GeoLine>>;
    std::vector<GeoLine> out;
    GeoLine current;
    int number = 0;
    std::string bad;
    text::forEachLine(text, [&](std::string_view line) {
        ++number;
        if (!bad.empty()) return;
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') return;
        if (line[first] == '>') {
            if (!current.empty()) out.push_back(std::move(current));
            current.clear();
            return;
        }
        std::string_view rest = line;
        const auto lon = text::number<double>(text::nextToken(rest));
        const auto lat = text::number<double>(text::nextToken(rest));
        if (!lon || !lat || !std::isfinite(*lon) || !std::isfinite(*lat) || std::fabs(*lat) > 90 ||
            std::fabs(*lon) > 360) {
            bad = "line " + std::to_string(number) + " is not a point: \"" +
                  std::string(line.substr(0, 60)) + "\"";
            return;
        }
        current.push_back({*lon > 180 ? *lon - 360 : *lon, *lat});
    });
    if (!bad.empty()) return R::failure(bad);
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

station::Result<std::vector<GeoLine>> fetchCoastsAndBorders(const std::filesystem::path& gmt) {
    using R = station::Result<std::vector<GeoLine>>;
    const ScratchDir scratch;
    if (scratch.path().empty()) return R::failure("Cannot make a scratch folder for gmt");
    // A relative path names the program from here, not from the scratch folder.
    std::error_code ec;
    const auto program = gmt.has_parent_path() ? std::filesystem::absolute(gmt, ec) : gmt;
    auto coasts = runCoast(program, coastArgs({"-W", "-A50"}), "shorelines", scratch);
    if (!coasts) return coasts;
    if (coasts->empty()) return R::failure("gmt gave no shoreline" + installHint());
    auto borders = runCoast(program, coastArgs({"-N1"}), "borders", scratch);
    if (!borders) return borders;
    coasts->insert(coasts->end(), std::make_move_iterator(borders->begin()),
                   std::make_move_iterator(borders->end()));
    return coasts;
}

}  // namespace kit
