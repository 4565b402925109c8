#include "viewer/cli_sequence.h"

#include <ostream>

#include "common/clock.h"
#include "viewer/sequence_commands.h"
#include "viewer/viewer.h"

namespace tesmar::cli {

namespace fs = std::filesystem;

int sequenceCommand(const Args& args, std::ostream& out, std::ostream& err,
                    const display::MarkPainter& painter) {
    const std::vector<std::pair<std::string, int>> flags = {
        {"--dir", 1},    {"--type", 1},  {"--channel", 1}, {"--rgb", 3},
        {"--centre", 2}, {"--scope", 1}, {"--out", 1}};
    std::vector<fs::path> natives;
    for (std::size_t i = 0;; ++i) {
        const auto a = args.positional(i, flags);
        if (!a) break;
        if (*a == "--bmp" || *a == "--clean") continue;
        if (a->starts_with("--")) return usageError(err, "unknown option " + *a);
        natives.emplace_back(*a);
    }
    const auto typeFlag = args.flag("--type", 1);
    const auto outFlag = args.flag("--out", 1);
    if (!typeFlag || !outFlag || natives.empty())
        return usageError(err,
                          "sequence needs --type TYPE --out FOLDER and at least one Native file");
    const auto type = products::sequenceTypeOfKey((*typeFlag)[0]);
    if (!type) return usageError(err, "unknown --type " + (*typeFlag)[0]);
    const auto options = pictureOptions(args);
    if (!options) return usageError(err, options.error());

    station::ConsoleHost host;
    host.answerAsk = args.has("--clean");  // --clean is the answer to "delete the old pictures?"
    const station::SystemClock clock;
    const auto dir = args.flag("--dir", 1);
    Viewer v(host, clock, dir ? fs::path((*dir)[0]) : fs::current_path());
    v.oncre();
    v.unattended = true;
    options->applyTo(v.controls);
    if (*type == products::SequenceType::HighResolution && options->rgb)
        v.hrvColour = {*options->rgb};
    if (*type == products::SequenceType::Complex && options->rgb)
        for (std::size_t p = 0; p < 3; ++p)
            v.complex.planes[p] = {number<int>((*options->rgb)[p]).value_or(0), 0};

    products::SequenceSettings settings;
    settings.destination = (*outFlag)[0];
    settings.type = *type;
    settings.bitmap = args.has("--bmp");
    settings.clean = args.has("--clean");
    const auto run = go_loop(v, settings, natives, painter);
    if (!run.refusal.empty()) return fail(err, run.refusal);
    for (const auto& f : run.cleaned) out << "deleted: " << f.string() << '\n';
    for (const auto& p : run.pictures) {
        if (p.file.empty()) {
            out << "failed:  " << p.native.string() << ": " << p.why << '\n';
            continue;
        }
        out << "written: " << p.file.string();
        if (!p.note.empty()) out << "  (" << p.note << ")";
        out << '\n';
    }
    return run.made() == static_cast<int>(run.pictures.size()) ? 0 : 1;
}

}  // namespace tesmar::cli
