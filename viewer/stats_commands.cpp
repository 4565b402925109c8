#include "viewer/stats_commands.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "viewer/compose/netcdf_export.h"
#include "viewer/display/picture_fill.h"
#include "viewer/scene/channels.h"

namespace tesmar {

namespace fs = std::filesystem;
using compose::Statistic;

namespace {

// What a statistic changes of the scene: each file of the series becomes current in turn.
struct SceneState {
    NativeScene scene;
    DataWindow window;
    ChannelCalibration cal;
    bool calValid = false;
    int ncha = 1;
    double wave_fac = 0;
};

SceneState sceneOf(const Viewer& v) {
    return {v.scene, v.window, v.cal, v.calValid, v.ncha, v.wave_fac};
}

void restore(Viewer& v, const SceneState& s) {
    v.scene = s.scene;
    v.window = s.window;
    v.cal = s.cal;
    v.calValid = s.calValid;
    v.ncha = s.ncha;
    v.wave_fac = s.wave_fac;
    v.host.showFact(station::Fact::SceneTime, formatSceneTime(v.scene.bsc));
    v.host.showFact(station::Fact::ChannelString, v.scene.channels);
    v.host.showFact(station::Fact::Line, "line: " + std::to_string(v.window.linn));
    v.host.showFact(station::Fact::Column, "column: " + std::to_string(v.window.coln));
}

// The picture on screen and what describes it, kept so that a series of which no file could
// be used leaves everything as it was.
struct PictureState {
    display::Raster g;
    display::Image24 picture;
    display::DrawList marks;
    std::string title, rangeLabel;
    ShownPicture shown;
    int prodnr = 0;
    bool shows_single = false, zoominchiv = false, pictureMade = false;
    int maxg = 0, ming = 255;
    double mindf = 0, maxdf = 0;
    display::ZoomState zoom;
    int zoom_c = 0;
    Controls controls;
};

PictureState pictureOf(const Viewer& v) {
    return {v.g,      v.picture,      v.marks,      v.title,       v.rangeLabel, v.shown,
            v.prodnr, v.shows_single, v.zoominchiv, v.pictureMade, v.maxg,       v.ming,
            v.mindf,  v.maxdf,        v.zoom,       v.zoom_c,      v.controls};
}

void restore(Viewer& v, const PictureState& p) {
    v.g = p.g;
    v.picture = p.picture;
    v.marks = p.marks;
    v.title = p.title;
    v.rangeLabel = p.rangeLabel;
    v.shown = p.shown;
    v.prodnr = p.prodnr;
    v.shows_single = p.shows_single;
    v.zoominchiv = p.zoominchiv;
    v.pictureMade = p.pictureMade;
    v.maxg = p.maxg;
    v.ming = p.ming;
    v.mindf = p.mindf;
    v.maxdf = p.maxdf;
    v.zoom = p.zoom;
    v.zoom_c = p.zoom_c;
    v.controls = p.controls;
}

// The gate kept quiet while the series runs: what a failing file would say in a dialog
// becomes the reason it is listed with, and the user sees one list at the end.
class QuietRun {
  public:
    explicit QuietRun(Viewer& v) : v_(v), quiet_(v.gate.quiet), last_(v.gate.lastMessage) {
        v_.gate.quiet = true;
    }
    ~QuietRun() {
        v_.gate.quiet = quiet_;
        v_.gate.lastMessage = last_;
    }
    QuietRun(const QuietRun&) = delete;
    QuietRun& operator=(const QuietRun&) = delete;

  private:
    Viewer& v_;
    bool quiet_;
    std::string last_;
};

struct Dated {
    fs::path file;
    std::string time;
};

std::string entry(const fs::path& file, const std::string& why) {
    std::string t = file.filename().string();
    t += ": ";
    t += why;
    return t;
}

std::string withReason(const char* what, const std::string& reason) {
    std::string t = what;
    if (!reason.empty()) {
        t += " (";
        t += reason;
        t += ')';
    }
    return t;
}

// The files by their scene times, the earliest first (files of one time keep their order).
std::vector<Dated> inTimeOrder(const std::vector<fs::path>& files,
                               std::vector<std::string>& skipped) {
    std::vector<Dated> dated;
    for (const auto& f : files) {
        const auto time = readSceneTime(f);
        if (!time || !isSlotTime(*time)) {
            skipped.push_back(entry(f, "its scene time cannot be read"));
            continue;
        }
        dated.push_back({f, *time});
    }
    std::stable_sort(dated.begin(), dated.end(),
                     [](const Dated& a, const Dated& b) { return a.time < b.time; });
    return dated;
}

std::optional<int> channelBox(const std::string& text) {
    int v = 0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || p != text.data() + text.size() || !channels::valid(v))
        return std::nullopt;
    return v;
}

compose::PictureKindText kindText(const Viewer& v, int kind) {
    compose::PictureKindText k;
    k.kind = kind;
    k.channel = v.controls.channel;
    k.red = v.controls.red;
    k.green = v.controls.green;
    k.blue = v.controls.blue;
    k.complexPlanes = v.complex.planes;
    k.hrvChannels = v.hrvColour.channels;
    return k;
}

}  // namespace

std::string statisticRefusal(const Viewer& v, Statistic statistic) {
    if (statistic == Statistic::Evolution && !channelBox(v.controls.channel))
        return "Channels are numbered 1 to 12";
    if (!compose::comparesWithActual(statistic)) return {};
    if (v.prodnr == 0 || v.shown.geometry.empty())
        return "Show a picture first: the series is compared with it";
    if (v.zoom.depth() > 0) return "Zoom out first: the series is compared with the whole picture";
    if (statistic == Statistic::Heating) {
        const auto channel = channelBox(v.controls.channel);
        if (!(v.prodnr == 1 && v.shows_single && !v.shown.hrvSingle && channel &&
              *channel == v.ncha && channels::infrared(v.ncha)))
            return "Heating in K compares single-channel infrared pictures: show the channel "
                   "of the channel box (4 to 11) first";
    }
    return {};
}

namespace {

// What the statistic is drawn with: the automatic stretch, else the plain or the inverted
// writer as for a picture of the kind it was made of.
void render(Viewer& v) {
    const auto& geo = v.shown.geometry;
    const auto kind = v.shown.hrvSingle ? display::PictureKind::SingleHrv
                      : v.shows_single  ? display::PictureKind::SingleVisIr
                                        : display::PictureKind::Composite;
    if (v.controls.automaticStretch)
        v.picture = display::bitmapea_c(v.g, geo, kind, v.contrastControls());
    else if (v.shows_single && v.controls.inverted && !v.shown.hrvSingle)
        v.picture = display::bitmapea_r(v.g, geo);
    else
        v.picture = display::bitmapea(v.g, geo);
}

}  // namespace

fs::path exportFileName(const Viewer& v, Statistic statistic, const std::string& sceneTime) {
    std::string name = sceneTime;
    name += '_';
    name += compose::statisticWord(statistic);
    name += ".nc";
    return v.cdo() / "ncs" / name;
}

station::Result<fs::path> exportTemperatures(Viewer& v, const fs::path& file) {
    using R = station::Result<fs::path>;
    if (v.window.empty() || v.shown.geometry.empty())
        return R::failure("The window is empty: there is nothing to export");
    const bool singleInfrared =
        v.prodnr == 1 && v.shows_single && !v.shown.hrvSingle && channels::infrared(v.ncha);
    std::optional<compose::ExportTemperature> temperature;
    if (singleInfrared) temperature = compose::ExportTemperature{v.ncha, v.cal};
    const auto rows =
        compose::selectExportRows(v.g, v.window, v.scene, v.navContext(), temperature);
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    return compose::writeExportNetcdf(file, rows);
}

StatisticRun temporalStatistic(Viewer& v, Statistic statistic, const std::vector<fs::path>& files) {
    StatisticRun run;
    if (files.empty()) return run;
    if (const auto why = statisticRefusal(v, statistic); !why.empty()) {
        v.host.message(why);
        return run;
    }
    station::BusyScope busy(v.host);
    const bool evolution = statistic == Statistic::Evolution;
    // Maximum of the counts for infrared channels, maximum of the complements (the minimum)
    // for the near infrared.
    const bool onMaximum =
        evolution &&
        v.host.ask("Better based on Max (for IR) than on Min (for NIR) on the selected periods?");

    const PictureState before = pictureOf(v);
    const SceneState current = sceneOf(v);
    // Heating is always of the single channel; a kind that cannot be rebuilt is taken as one.
    const int kind =
        statistic == Statistic::Heating ? 1 : (v.prodnr >= 1 && v.prodnr <= 6 ? v.prodnr : 1);
    const int evolutionChannel = evolution ? *channelBox(v.controls.channel) : 0;
    if (evolution) {
        v.controls.automaticStretch = false;
        v.controls.heightFocus = false;
    }

    std::optional<compose::TemporalAccumulator> acc;
    if (compose::comparesWithActual(statistic)) {
        acc.emplace(statistic, compose::CellArea::of(v.shown.geometry));
        acc->setActual(v.g);
    }
    // The state of the latest file combined: the statistic is drawn, titled and exported with it.
    SceneState last;
    ShownPicture lastShown;
    bool lastSingle = false;
    int lastKind = kind;

    const auto series = inTimeOrder(files, run.skipped);
    const int total = static_cast<int>(series.size());
    {
        const QuietRun quiet(v);
        for (int i = 0; i < total; ++i) {
            v.host.progress(i, total);
            const auto& file = series[static_cast<std::size_t>(i)].file;
            const auto skip = [&](const char* what) {
                run.skipped.push_back(entry(file, withReason(what, v.gate.lastMessage)));
            };
            v.gate.lastMessage.clear();
            std::optional<int> plane;
            if (evolution) {
                const auto month = compose::sceneMonth(series[static_cast<std::size_t>(i)].time);
                plane = month ? compose::evolutionPlane(*month) : std::nullopt;
                if (!plane) {
                    run.skipped.push_back(entry(file, "October to December give no colour"));
                    continue;
                }
            }
            if (!v.abrefiche_secre(file)) {
                skip("cannot be read");
                continue;
            }
            display::PictureGeometry geometry;
            if (evolution) {
                // Only the plane of the file's season is loaded, as counts div 4 or their
                // complements.
                if (!v.leedatos()) {
                    skip("no window");
                    continue;
                }
                display::FillRequest request;
                request.channel = evolutionChannel;
                request.target = display::FillTarget::Plane;
                request.plane = *plane;
                request.normal = onMaximum;
                const auto filled = display::fillChannel(v.scene, v.window, request, v.g, v.fx);
                if (!filled.ok) {
                    run.skipped.push_back(
                        entry(file, withReason("its picture could not be made", filled.error)));
                    continue;
                }
                if (filled.incomplete) {
                    run.skipped.push_back(entry(file, "the file ends early"));
                    continue;
                }
                geometry = evolutionChannel == channels::kHrv
                               ? display::PictureGeometry::hrvSingle(v.window)
                               : display::PictureGeometry::visIr(v.window);
            } else {
                v.prodnr = kind;
                const auto rebuilt =
                    kind == 1 ? std::optional<bool>(v.geogracr()) : v.rebuildPicture();
                if (!rebuilt || !*rebuilt) {
                    skip("its picture could not be made");
                    continue;
                }
                if (v.shown.incomplete) {
                    run.skipped.push_back(entry(file, "the file ends early"));
                    continue;
                }
                geometry = v.shown.geometry;
            }
            const auto area = compose::CellArea::of(geometry);
            if (area.empty()) {
                run.skipped.push_back(entry(file, "its window is empty"));
                continue;
            }
            if (acc && !(acc->area() == area)) {
                run.skipped.push_back(
                    entry(file, "its picture covers another window than the rest"));
                continue;
            }
            if (!acc) acc.emplace(statistic, area);
            if (evolution)
                acc->addPlane(*plane, v.g);
            else
                acc->add(v.g);
            ++run.combined;
            last = sceneOf(v);
            lastShown = v.shown;
            lastShown.geometry = geometry;
            lastSingle = v.shows_single;
            lastKind = v.prodnr;
        }
    }
    v.host.progress(total, total);

    if (run.combined == 0) {
        // Nothing to show: the picture, its title and the scene stay as they were.
        restore(v, before);
        restore(v, current);
        std::string why = "No file could be used for the statistic";
        for (const auto& s : run.skipped) {
            why += '\n';
            why += s;
        }
        v.host.message(why);
        return run;
    }

    restore(v, last);
    compose::FinishContext context;
    context.channel = v.ncha;
    context.cal = v.cal;
    context.lines = {v.window.fil, v.window.lal,
                     lastShown.hrvSingle ? 1 : std::max(1, v.window.degra),
                     lastShown.hrvSingle ? 3 : 1};
    const auto extremes = acc->finish(v.g, context);
    v.shown = lastShown;
    v.shown.incomplete = false;
    v.zoom.clear();
    v.zoom_c = 0;
    v.zoominchiv = false;
    if (evolution) {
        // Three seasons in three colours, drawn inverted and stretched; the "inverted" box stays.
        v.shown.hrvSingle = evolutionChannel == channels::kHrv;
        v.shows_single = false;
        v.prodnr = 2;
        auto contrast = v.contrastControls();
        contrast.inverted = true;
        v.picture =
            display::bitmapea_c(v.g, v.shown.geometry, display::PictureKind::SingleVisIr, contrast);
    } else {
        v.shows_single = lastSingle;
        v.prodnr = lastKind;
        if (statistic == Statistic::Deviation) {
            v.maxg = extremes.maxg;
            v.ming = extremes.ming;
        }
        render(v);
    }
    v.title = compose::statisticTitle(statistic, kindText(v, lastKind));
    v.rangeLabel.clear();
    v.pictureMade = true;
    run.made = true;

    if (compose::exportsTemperatures(statistic)) {
        const auto written = exportTemperatures(v, exportFileName(v, statistic, v.scene.bsc));
        if (written)
            run.netcdf = *written;
        else
            run.netcdfError = written.error();
    }
    // The file that was current before is current again; with none, the last one stays.
    if (!current.scene.fich.empty()) restore(v, current);
    v.marks.clear();
    v.drawMapMarks();
    v.host.status(v.title);

    std::string report;
    if (!run.skipped.empty()) {
        report = "Left out of the statistic:";
        for (const auto& s : run.skipped) {
            report += '\n';
            report += s;
        }
    }
    if (!run.netcdfError.empty()) {
        if (!report.empty()) report += '\n';
        report += run.netcdfError;
    }
    if (!report.empty()) v.host.message(report);
    return run;
}

}  // namespace tesmar
