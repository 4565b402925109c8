// The sequence maker: a series of Native files made into pictures named by their scene times,
// unattended once the files are chosen.

#include "viewer/sequence_commands.h"

#include <algorithm>
#include <set>

#include "viewer/display/picture_files.h"
#include "viewer/viewer.h"

namespace tesmar {

namespace fs = std::filesystem;
using products::SequenceType;

int SequenceRun::made() const {
    return static_cast<int>(std::count_if(pictures.begin(), pictures.end(),
                                          [](const auto& p) { return !p.file.empty(); }));
}

bool buildSequencePicture(Viewer& v, SequenceType type) {
    switch (type) {
        case SequenceType::Single:
            v.nomcan();
            return v.geogracr();
        case SequenceType::Difference:
            return v.two_channel_tt();
        case SequenceType::Composite:
            return v.composite();
        case SequenceType::HighResolution:
            return v.hr_colour() && v.hr_colo(v.hrvColour);
        case SequenceType::Flow:
            return v.runRecipe(*compose::findRecipe("airmass"));
        case SequenceType::Complex:
            return v.night();
    }
    return false;
}

namespace {

// The destination made, or cleaned of an earlier sequence's pictures when asked; why not.
std::string prepareDestination(Viewer& v, const products::SequenceSettings& s, SequenceRun& run) {
    const auto& dest = s.destination;
    if (dest.empty()) return "Choose a destination folder for the pictures";
    std::error_code ec;
    if (!fs::is_directory(dest, ec)) {
        fs::create_directories(dest, ec);
        if (!fs::is_directory(dest)) {
            std::string why = "The destination folder " + dest.string() + " cannot be made";
            if (ec) why += ": " + ec.message();
            return why;
        }
        return {};  // new: nothing to clean
    }
    if (!s.clean) return {};
    if (const auto refusal = products::cleaningRefusal(dest, v.cdo())) {
        std::string why = "The pictures in " + dest.string() + " are not cleaned: ";
        why += *refusal;
        return why;
    }
    const auto old = products::filesToClean(dest);
    if (old.empty()) return {};
    std::string question = "Delete the ";
    question += old.size() == 1 ? std::string("picture") : std::to_string(old.size()) + " pictures";
    question += " of an earlier sequence in ";
    question += dest.string();
    question += " (the files named by a scene time and .jpg or .bmp; nothing else is touched)?";
    if (!v.host.ask(question)) return {};
    for (const auto& f : old)
        if (fs::remove(f, ec)) run.cleaned.push_back(f);
    return {};
}

// The chosen files ordered by the scene times inside them; unreadable ones last, as chosen.
std::vector<fs::path> inSceneTimeOrder(const std::vector<fs::path>& natives) {
    std::vector<std::pair<std::optional<std::string>, fs::path>> keyed;
    for (const auto& f : natives) keyed.emplace_back(readSceneTime(f), f);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first.has_value() != b.first.has_value()) return a.first.has_value();
        return a.first && *a.first < *b.first;
    });
    std::vector<fs::path> ordered;
    for (auto& k : keyed) ordered.push_back(std::move(k.second));
    return ordered;
}

}  // namespace

SequenceRun go_loop(Viewer& v, const products::SequenceSettings& s,
                    const std::vector<fs::path>& natives, const display::MarkPainter& painter) {
    SequenceRun run;
    if (s.zoomed && !v.lastZoom) {
        run.refusal =
            "No zoom was made yet: zoom a picture first, or leave \"Zoomed as in last zooming\" "
            "off";
        return run;
    }
    run.refusal = prepareDestination(v, s, run);
    if (!run.refusal.empty() || natives.empty()) return run;

    const fs::path previous = v.scene.fich;
    const int clickx = v.clickposx, clicky = v.clickposy;
    const bool savedQuiet = v.gate.quiet, savedUnattended = v.unattended;
    // Nothing may wait for a person between the files: what a command would show in a dialog
    // becomes the reason its file was skipped.
    v.gate.quiet = true;
    v.unattended = true;
    station::BusyScope busy(v.host);

    const auto files = inSceneTimeOrder(natives);
    const int total = static_cast<int>(files.size());
    std::set<std::string> times;
    for (int i = 0; i < total; ++i) {
        v.host.progress(i, total);
        SequencePicture p;
        p.native = files[static_cast<std::size_t>(i)];
        v.gate.lastMessage.clear();
        const auto make = [&]() -> std::string {
            if (!v.abrefiche_secre(p.native)) return "it cannot be read";
            const auto target = products::sequencePicture(s.destination, v.scene.bsc, s.bitmap);
            if (!target) return "its scene time cannot be read";
            // One picture per scene time: a second file of the same time would replace the first.
            if (!times.insert(v.scene.bsc).second)
                return "another chosen file has the same scene time " + v.scene.bsc;
            if (!v.leedatos() || !buildSequencePicture(v, s.type))
                return "its picture could not be made";
            if (s.zoomed) {
                v.clickposx = v.lastZoom->col;
                v.clickposy = v.lastZoom->row;
                if (!v.zoomin()) return "its picture could not be zoomed";
            }
            if (v.shown.incomplete)
                return "the file ends early: an incomplete picture is not saved";
            display::Image24 stamped = v.picture;
            auto drawn = v.marks;
            drawn.push_back(display::stampMark(
                display::stampText(v.label, formatSceneTime(v.scene.bsc), v.title)));
            if (painter) painter(stamped, drawn);
            const auto written = s.bitmap ? display::writeBmp(stamped, *target)
                                          : display::writeJpeg(stamped, *target, 80);
            if (!written) return written.error();
            p.file = *target;
            return {};
        };
        p.why = make();
        if (p.why.empty())
            p.note = v.gate.lastMessage;
        else if (!v.gate.lastMessage.empty())
            p.why += ": " + v.gate.lastMessage;
        run.pictures.push_back(std::move(p));
    }
    v.host.progress(total, total);

    // The file that was current before comes back, with its picture of the chosen kind.
    if (!previous.empty()) {
        v.gate.lastMessage.clear();
        if (!v.abrefiche_secre(previous) || !v.leedatos() || !buildSequencePicture(v, s.type)) {
            run.restoreWhy = previous.filename().string() + " could not be shown again";
            if (!v.gate.lastMessage.empty()) run.restoreWhy += ": " + v.gate.lastMessage;
        }
    }
    v.clickposx = clickx;
    v.clickposy = clicky;
    v.gate.quiet = savedQuiet;
    v.unattended = savedUnattended;
    return run;
}

}  // namespace tesmar
