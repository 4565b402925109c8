// The automatic product cycle: every entry of product.txt made from the newest slot into
// prods/, unattended. An entry that cannot be made is reported and skipped; the settings it
// changes do not reach the next entry.

#include <chrono>
#include <fstream>
#include <sstream>

#include "viewer/display/picture_files.h"
#include "viewer/viewer.h"

namespace tesmar {

namespace fs = std::filesystem;

namespace {

std::optional<int> wholeNumber(const std::string& text) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0') return std::nullopt;
    return static_cast<int>(v);
}

// What the builder of an entry's code makes, before zoom, remap and slice.
bool build(Viewer& v, const Viewer::ProductJob& job, std::string& why) {
    const auto& e = job.entry;
    switch (e.code) {
        case 's':
            v.controls.channel = e.box1;
            if (job.slice) v.controls.heightFocus = false;
            v.nomcan();
            return v.geogracr();
        case 'c':
            v.controls.red = e.box1;
            v.controls.green = e.box2;
            v.controls.blue = e.box3;
            return v.composite();
        case 'd':
            v.controls.red = e.box1;
            v.controls.green = e.box2;
            if (job.slice) v.controls.heightFocus = false;
            return v.two_channel_tt();
        case 'f':
        case 'n':
            v.controls.channel = std::string("2");
            v.nomcan();
            if (!v.geogracr()) return false;
            return e.code == 'f' ? v.runRecipe(*compose::findRecipe("airmass")) : v.night();
        case 'h':
            return v.hr_colour() && v.hr_colo({{e.box1, e.box2, e.box3}});
        default:
            why = std::string("product code '") + e.code + "' needs imagery this station does not make yet";
            return false;
    }
}

}  // namespace

Viewer::ProductJob Viewer::ProductJob::of(const products::ProductEntry& e) {
    ProductJob job;
    job.entry = e;
    job.zoom = e.zoom();
    job.mercator = e.mercator();
    job.cornersLine = e.header;
    job.slice = e.slice();
    job.lower = e.sliceLower();
    job.upper = e.sliceUpper();
    return job;
}

Viewer::ProductRun Viewer::makeProduct(const products::ProductEntry& e, const fs::path& dir,
                                       const display::MarkPainter& painter) {
    const auto output = products::productOutput(e, scene.bsc);
    if (!output) {
        return {e.header, {}, products::noOutputReason(e), 0, {}};
    }
    auto job = ProductJob::of(e);
    job.file = dir / output->fileName;
    job.separator = output->separator;
    job.titleWord = output->titleWord;
    job.quality = output->quality;
    return makeProduct(job, painter);
}

Viewer::ProductRun Viewer::makeProduct(const ProductJob& job, const display::MarkPainter& painter) {
    const auto& e = job.entry;
    const auto started = std::chrono::steady_clock::now();
    ProductRun run;
    run.entry = e.header;
    // Every entry starts from the same settings, and leaves them as it found them.
    const Controls savedControls = controls;
    const auto savedComplex = complex;
    const auto savedHrv = hrvColour;
    const bool savedUnattended = unattended;
    const bool savedQuiet = gate.quiet;
    unattended = true;
    gate.quiet = true;
    gate.lastMessage.clear();
    auto finish = [&](std::string why) {
        // What a command would have shown in a dialog says best why the entry failed.
        if (!why.empty() && !gate.lastMessage.empty()) why += ": " + gate.lastMessage;
        if (why.empty()) run.note = gate.lastMessage;
        run.why = std::move(why);
        gate.quiet = savedQuiet;
        controls = savedControls;
        complex = savedComplex;
        hrvColour = savedHrv;
        unattended = savedUnattended;
        run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return run;
    };

    const auto detail = wholeNumber(e.detail);
    if (!detail) return finish("the detail line \"" + e.detail + "\" is not a whole number");
    controls.lon = e.lon;
    controls.lat = e.lat;
    controls.scopeSlider = std::clamp(*detail, 1, 5);
    controls.automaticStretch = true;
    std::string why;
    if (!build(*this, job, why)) return finish(why.empty() ? "the picture could not be made" : why);
    if (title.find(job.titleWord) == std::string::npos || (e.code == 'h' && prodnr != 4))
        return finish("the picture made is not the one asked for (" + title + ")");
    if (job.zoom) {
        clickposx = picture.width / 2;
        clickposy = picture.height / 2;
        if (!zoomin()) return finish("the picture could not be zoomed");
    }
    display::Image24 image = picture;
    if (job.mercator) {
        const auto offered = mercator(false);
        if (!offered) return finish("the picture could not be remapped");
        const auto line = display::mercadea(job.cornersLine, *offered);
        display::RemapRequest request;
        request.corners = line.corners;
        request.oneToOne = line.oneToOne;
        if (!remapPicture(request)) return finish("the picture could not be remapped");
        image = projection;
    }
    if (job.slice && (e.code == 's' || e.code == 'd')) {
        compose::ColourSliceSettings slice;
        slice.lower = job.lower;
        slice.upper = job.upper;
        const bool sliced = job.mercator ? colourslice3(slice) : colourslice(slice);
        if (!sliced) return finish("the colour slice could not be applied");
        image = job.mercator ? projection : picture;
    }
    if (shown.incomplete) return finish("the file ends early: an incomplete picture is not saved");
    // Towns and coasts placed on the main picture do not fit the projection.
    auto drawn = job.mercator ? std::vector<display::DrawOp>{} : marks;
    drawn.push_back(display::stampMark(label + formatSceneTime(scene.bsc) + job.separator + title));
    if (painter) painter(image, drawn);
    std::error_code ec;
    fs::create_directories(job.file.parent_path(), ec);
    const auto written = display::writeJpeg(image, job.file, job.quality);
    if (!written) return finish(written.error());
    run.file = job.file;
    return finish({});
}

std::vector<Viewer::ProductRun> Viewer::tualotuyo(const display::MarkPainter& painter, const fs::path& nativeFile) {
    fs::path file = nativeFile;
    if (file.empty()) {
        cualesdatea();
        file = cdo() / "nats" / (datea + ".nat");
    }
    if (!fs::exists(file)) return {};
    const auto key = readSceneTime(file);
    // One slot is made once: the scene time inside the file is the key.
    if (key && *key == date_ante) return {};
    const bool wasQuiet = gate.quiet;
    gate.quiet = true;
    const bool opened = key && abrefiche_secre(file);
    gate.quiet = wasQuiet;
    if (!opened) {
        // Said once per file and version, not at every tick while it stays broken.
        std::error_code ec;
        const auto id = file.string() + "@" + std::to_string(fs::last_write_time(file, ec).time_since_epoch().count());
        if (id == unreadable_ante) return {};
        unreadable_ante = id;
        return {{file.filename().string(), {}, "the Native file cannot be read", 0, {}}};
    }
    station::BusyScope busy(host);
    std::ifstream in(cdo() / "product.txt");
    std::stringstream text;
    text << in.rdbuf();
    const auto list = products::parseProductList(text.str());
    std::vector<ProductRun> runs;
    for (const auto& skipped : list.skipped) runs.push_back({"product.txt", {}, skipped, 0, {}});
    const int total = static_cast<int>(list.entries.size());
    for (int i = 0; i < total; ++i) {
        host.progress(i, total);
        runs.push_back(makeProduct(list.entries[i], cdo() / "prods", painter));
    }
    host.progress(total, total);
    // The slot is done once every entry had its turn, made or not.
    date_ante = *key;
    return runs;
}

}  // namespace tesmar

namespace tesmar {

Viewer::ProductRun Viewer::tualotuyo_now(const products::ProductForm& form, const display::MarkPainter& painter) {
    ProductRun refused{form.listText, {}, {}, 0, {}};
    if (scene.fich.empty() || !fs::exists(scene.fich)) {
        refused.why = "open a Native file first";
        return refused;
    }
    ProductJob job;
    auto& e = job.entry;
    e.header = form.listText;
    e.code = form.code;
    e.box1 = form.box1;
    e.box2 = form.box2;
    e.box3 = form.box3;
    e.lon = products::cutNumber(form.lon);
    e.lat = products::cutNumber(form.lat);
    e.detail = std::to_string(form.detail);
    const auto output = products::productOutput(e, scene.bsc);
    if (!output) {
        refused.why = products::noOutputReason(e);
        return refused;
    }
    job.zoom = form.zoomed;
    job.mercator = form.mercator;
    job.cornersLine = form.listText;  // a chosen entry's corners; none typed: the offered ones
    job.slice = form.slicing && products::sliceOffered(form);
    job.lower = products::cutNumber(form.lower);
    job.upper = products::cutNumber(form.upper);
    job.separator = "   ";
    job.titleWord = output->titleWord;
    job.quality = 80;
    // The list text without its "## " and its last two characters names the picture.
    std::string name = form.listText.size() > 5 ? form.listText.substr(3, form.listText.size() - 5) : std::string{};
    for (auto& c : name)
        if (c == '/' || c == '\\') c = '_';
    job.file = cdo() / "creas" / (name + "_" + scene.bsc + ".jpg");
    return makeProduct(job, painter);
}

}  // namespace tesmar
