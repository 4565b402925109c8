#include "tools/kit/kit.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>

#include "common/atomic_file.h"
#include "tools/kit/coast_masks.h"
#include "tools/kit/coast_text.h"
#include "tools/kit/gmt_source.h"
#include "tools/kit/mask_files.h"
#include "tools/kit/reception_files.h"
#include "tools/kit/towns.h"

namespace kit {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDefaultLabel = "EUMETSAT \n";  // what the viewer prints without a label

std::optional<std::string> readWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string s{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return s;
}

// One kit run: the directory, the log and what has been done so far.
class KitRun {
  public:
    KitRun(fs::path dir, std::ostream& log) : dir_(std::move(dir)), log_(log) {}

    bool has(const std::string& name) const {
        std::error_code ec;
        return fs::exists(dir_ / name, ec);
    }
    void keep(const std::string& name) {
        report_.kept.push_back(name);
        log_ << "kept " << name << " as it was\n";
    }

    station::Result<bool> folder(const std::string& name) {
        const auto p = dir_ / name;
        std::error_code ec;
        if (fs::is_directory(p, ec)) {
            keep(name + "/");
            return true;
        }
        if (fs::exists(p, ec) || !fs::create_directory(p, ec))
            return station::Result<bool>::failure(
                "Cannot make the folder " + p.string() +
                (ec ? ": " + ec.message() : ": a file has that name"));
        report_.written.push_back(name + "/");
        log_ << "made " << name << "/\n";
        return true;
    }

    station::Result<bool> file(const std::string& name,
                               const std::function<bool(std::ostream&)>& fill,
                               const std::string& what) {
        const auto r = station::writeFileAtomically(dir_ / name, fill, station::IfExists::Keep);
        if (!r) return station::Result<bool>::failure(r.error());
        report_.written.push_back(name);
        log_ << "wrote " << name << " (" << what << ", " << *r << " bytes)\n";
        return true;
    }

    station::Result<bool> text(const std::string& name, const std::string& content,
                               const std::string& what) {
        return file(
            name, [&](std::ostream& out) { return static_cast<bool>(out << content); }, what);
    }

    const fs::path& dir() const { return dir_; }
    KitReport& report() { return report_; }

  private:
    fs::path dir_;
    std::ostream& log_;
    KitReport report_;
};

station::Result<bool> makeTowns(KitRun& run, const KitSources& sources) {
    using R = station::Result<bool>;
    for (const auto& table : sources.zoneTables) {
        const auto text = readWhole(table);
        if (!text) continue;
        const auto places = visiblePlaces(*text);
        if (places.empty())
            return R::failure(table.string() + " holds no place seen from the satellite");
        return run.text("town.txt", formatTownText(places),
                        std::to_string(places.size()) + " places from " + table.string());
    }
    return R::failure("No time-zone table found for town.txt (Debian package tzdata)");
}

station::Result<bool> makeCoast(KitRun& run, const KitSources& sources) {
    using R = station::Result<bool>;
    const bool wantText = !run.has("coast.txt");
    const bool wantVisIr = !run.has("coastline_m11.bmp");
    const bool wantHrv = !run.has("coastline_hrv.pbm");
    if (!wantText) run.keep("coast.txt");
    if (!wantVisIr) run.keep("coastline_m11.bmp");
    if (!wantHrv) run.keep("coastline_hrv.pbm");
    if (!wantText && !wantVisIr && !wantHrv) return true;

    // The masks come from the same lines as coast.txt, rounded the same way, so what the
    // viewer draws from the text and burns in from the masks agree; a coast.txt of the user's
    // own thus gives masks that match it.
    std::vector<CoastLine> lines;
    if (wantText) {
        const auto fetched = fetchCoastsAndBorders(sources.gmt);
        if (!fetched)
            return R::failure("coast.txt and the coast masks were not made: " + fetched.error());
        lines = toCoastLines(*fetched);
        const auto done = run.text("coast.txt", formatCoastText(lines),
                                   std::to_string(lines.size()) + " polylines, " +
                                       std::to_string(pointCount(lines)) + " points");
        if (!done) return done;
    } else {
        const auto text = readWhole(run.dir() / "coast.txt");
        if (text) lines = parseCoastText(*text);
        if (lines.empty())
            return R::failure("The coast masks were not made: coast.txt holds no polyline");
    }

    if (wantVisIr) {
        const auto mask = rasteriseCoast(lines, kVisIrMask);
        const auto done = run.file(
            "coastline_m11.bmp", [&](std::ostream& out) { return writeBmp(out, mask); },
            "coast mask on the VIS/IR grid");
        if (!done) return done;
    }
    if (wantHrv) {
        const auto mask = rasteriseCoast(lines, kHrvMask);
        const auto done = run.file(
            "coastline_hrv.pbm", [&](std::ostream& out) { return writePbm(out, mask); },
            "coast mask on the HRV grid");
        if (!done) return done;
    }
    return true;
}

}  // namespace

station::Result<KitReport> makeStationKit(const fs::path& dir, std::ostream& log,
                                          const KitSources& sources) {
    using R = station::Result<KitReport>;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec))
        return R::failure("Cannot make the station folder " + dir.string());

    // Each part goes on when another fails, so one missing source costs only its own files.
    KitRun run(dir, log);
    std::string errors;
    const auto check = [&](const station::Result<bool>& r) {
        if (r) return;
        errors += (errors.empty() ? "" : "\n") + r.error();
    };
    for (const auto* name : {"nats", "prods", "creas"}) check(run.folder(name));

    if (run.has("label.txt"))
        run.keep("label.txt");
    else
        check(run.text("label.txt", kDefaultLabel, "default label"));

    if (run.has("town.txt"))
        run.keep("town.txt");
    else
        check(makeTowns(run, sources));

    check(makeCoast(run, sources));

    for (const auto& f : receptionFiles()) {
        if (run.has(f.name))
            run.keep(f.name);
        else
            check(run.text(f.name, f.bytes, f.what));
    }
    // `deco` may be the user's link to an installed decompressor: never replaced.
    std::error_code linkError;
    if (fs::exists(dir / "deco", linkError) || fs::is_symlink(dir / "deco", linkError)) {
        run.keep("deco");
    } else if (const auto standIn = standInDeco(); !standIn.empty()) {
        fs::create_symlink(standIn, dir / "deco", linkError);
        if (linkError) check(station::Result<bool>::failure("Cannot link deco: " + linkError.message()));
        else {
            run.report().written.push_back("deco");
            log << "linked deco to " << standIn.string() << '\n';
        }
    }
    if (!errors.empty()) return R::failure(errors);
    return std::move(run.report());
}

station::Result<KitReport> makeStationKit(const fs::path& dir, std::ostream& log) {
    return makeStationKit(dir, log, KitSources{});
}

}  // namespace kit
