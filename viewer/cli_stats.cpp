#include "viewer/cli_stats.h"

#include <ostream>

#include "common/clock.h"
#include "common/json_writer.h"
#include "viewer/display/png_writer.h"
#include "viewer/stats_commands.h"
#include "viewer/viewer.h"

namespace tesmar::cli {

namespace fs = std::filesystem;

namespace {

// The picture of the first file, made as `tesmar show` makes it: it fixes the kind of the
// series and is the picture rise and heating compare with.
bool firstPicture(Viewer& v, const std::string& picture) {
    if (picture == "composite") return v.composite();
    if (picture == "difference") return v.two_channel_tt();
    if (picture == "complex") {
        for (std::size_t p = 0; p < 3; ++p) {
            const auto& box = p == 0 ? v.controls.red : p == 1 ? v.controls.green : v.controls.blue;
            v.complex.planes[p] = {number<int>(box).value_or(0), 0};
        }
        return v.compose();
    }
    return v.geogracr();
}

}  // namespace

int statsCommand(const Args& args, std::ostream& out, std::ostream& err,
                 const display::MarkPainter& painter) {
    const std::vector<std::pair<std::string, int>> flags = {
        {"--dir", 1}, {"--kind", 1},   {"--picture", 1}, {"--channel", 1},
        {"--rgb", 3}, {"--centre", 2}, {"--scope", 1},   {"--out", 1}};
    std::vector<fs::path> natives;
    for (std::size_t i = 0;; ++i) {
        const auto a = args.positional(i, flags);
        if (!a) break;
        if (*a == "--coast" || *a == "--no-stretch" || *a == "--inverted" ||
            *a == "--not-inverted" || *a == "--minimum")
            continue;
        if (a->starts_with("--")) return usageError(err, "unknown option " + *a);
        natives.emplace_back(*a);
    }
    const auto kindFlag = args.flag("--kind", 1);
    const auto target = args.flag("--out", 1);
    if (!kindFlag || !target || natives.empty())
        return usageError(
            err, "stats needs --kind STATISTIC --out PICTURE.png and at least one Native file");
    const auto statistic = compose::statisticNamed((*kindFlag)[0]);
    if (!statistic) return usageError(err, "unknown --kind " + (*kindFlag)[0]);
    const auto pictureFlag = args.flag("--picture", 1);
    const std::string picture = pictureFlag ? (*pictureFlag)[0] : "single";
    if (picture != "single" && picture != "composite" && picture != "difference" &&
        picture != "complex")
        return usageError(err, "unknown --picture " + picture);
    const auto options = pictureOptions(args);
    if (!options) return usageError(err, options.error());

    station::ConsoleHost host;
    // The evolution's question: the maximum of the counts (infrared) unless --minimum.
    host.answerAsk = !args.has("--minimum");
    const station::SystemClock clock;
    const auto dir = args.flag("--dir", 1);
    Viewer v(host, clock, dir ? fs::path((*dir)[0]) : fs::current_path());
    v.oncre();
    v.unattended = true;
    options->applyTo(v.controls);
    if (!v.abrefiche_secre(natives.front()))
        return fail(err, "the first file cannot be read: " + natives.front().string());
    v.nomcan();
    v.controls.automaticStretch = !args.has("--no-stretch");
    if (args.has("--inverted")) v.controls.inverted = true;
    if (args.has("--not-inverted")) v.controls.inverted = false;
    v.controls.coastLines = args.has("--coast");
    if (!firstPicture(v, picture))
        return fail(err, "no picture could be made of " + natives.front().string());

    const auto run = temporalStatistic(v, *statistic, natives);
    if (!run.made) return fail(err, "no statistic was made");
    if (painter) painter(v.picture, v.marks);
    const auto written = display::writePng(v.picture, (*target)[0]);
    if (!written) return fail(err, written.error());
    station::JsonObject o;
    o.add("out", (*target)[0]).add("width", v.picture.width).add("height", v.picture.height);
    o.add("title", v.title)
        .add("combined", run.combined)
        .add("skipped", static_cast<int>(run.skipped.size()));
    if (!run.netcdf.empty()) o.add("netcdf", run.netcdf.string());
    out << o.str() << '\n';
    return run.netcdfError.empty() ? 0 : 1;
}

}  // namespace tesmar::cli
