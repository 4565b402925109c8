#include "viewer/cli.h"

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <ostream>

#include "common/clock.h"
#include "common/station_lock.h"
#include "viewer/conversion/hrit_conversion.h"
#include "common/json_writer.h"
#include "tools/kit/kit.h"
#include "viewer/cli_sequence.h"
#include "viewer/cli_stats.h"
#include "viewer/cli_support.h"
#include "viewer/display/png_writer.h"
#include "viewer/viewer.h"
#include "viewer/scene/native_scene.h"
#include "viewer/scene/navigation.h"
#include "viewer/scene/point_value.h"

namespace tesmar {

namespace {

constexpr const char* kUsage = R"(usage: tesmar [--dir STATION_DIR] [FILE.nat]  open the viewer window
       tesmar info FILE.nat                     scene facts as JSON
       tesmar value FILE.nat --channel K --lon LON --lat LAT
                                                stored count and value at a point
       tesmar nav --lonlat LON LAT [--file FILE.nat]
       tesmar nav --grid LINE COLUMN [--file FILE.nat]
                                                grid <-> longitude/latitude
       tesmar show FILE.nat --centre LON LAT --scope N --out PICTURE.png
                   [--kind KIND] [--channel K] [--rgb R G B] [--ihs] [--slice LOW HIGH]
                   [--zoom X Y]... [--mercator W N E S | --polar W N E S LON0 LAT0]
                   [--plate-carree] [--one-to-one]
                   [--stretch|--no-stretch] [--inverted|--not-inverted]
                   [--coast] [--towns] [--water] [--dir STATION_DIR]
                                                the picture the viewer makes
       tesmar kit STATION_DIR                   create or complete a station directory
       tesmar products --dir STATION_DIR [--once] [--file FILE.nat] [--no-towns]
                                                the product cycle of product.txt into prods/
       tesmar convert --dir STATION_DIR --from SOURCE --to DESTINATION --start yyyymmddhhmm
                      --end yyyymmddhhmm [--regional] [--uncompressed-only] [--threshold PERCENT]
                      [--recursive] [--clean]    archived segments into one Native file per slot
       tesmar sequence [--dir STATION_DIR] --type single|difference|composite|hrv|flow|complex
                       [--channel K] [--rgb R G B] [--centre LON LAT] [--scope N] [--bmp] [--clean]
                       --out FOLDER FILE.nat...  one stamped picture per file, named by its scene time
       tesmar stats [--dir STATION_DIR] --kind STATISTIC [--picture single|composite|difference|complex]
                    [--channel K] [--rgb R G B] [--centre LON LAT] [--scope N] [--coast] [--no-stretch]
                    [--inverted|--not-inverted] [--minimum] --out PICTURE.png FILE.nat...
                                                a statistic of the files' pictures, cell by cell
       tesmar --help

KIND is single (default: channel K), hrv (channel 12), composite (one channel per colour,
--rgb, a negative number inverts its colour), difference (R minus G of --rgb), complex (free
mode of the complex composite, minuends from --rgb), hrv-colour (HRV coloured with the
channels of --rgb, default 12 12 9), or a standard RGB: dust, night, convection, airmass,
natural. --ihs reads the composite's planes as intensity, hue and saturation. --slice
paints a single channel or a difference between two values (kelvin, percent) with the
colour scale. Each --zoom X Y doubles the picture around that picture position (full
resolution only, up to eight times). --mercator remaps the picture between its upper-west
and lower-east corners (degrees) into Mercator (--plate-carree: equal latitude steps),
--polar into a north polar stereographic grid around LON0 LAT0; --one-to-one adjusts the
corners to equal scales. Scope N is 1 (every stored pixel) to 5 (every fifth). Infrared channels are drawn inverted
(cold is white) unless --not-inverted; --coast burns in the coast mask, --towns and --water
draw the towns and water bounds of the station directory (default: the current directory).

sequence makes one picture per Native file, oldest first, stamped and named by the scene time
(FOLDER/yyyymmddhhmm.jpg, JPEG quality 80; --bmp: .bmp): single (channel K), difference (R
minus G of --rgb), composite (--rgb), hrv (HRV coloured with the channels of --rgb), flow (the
airmass recipe), complex (the fixed complex composite, minuends from --rgb). --clean first
deletes the pictures an earlier sequence left in FOLDER, and nothing else. A file that cannot
be made is reported and skipped.

stats combines the picture of every Native file, taken in the order of their scene times, cell
by cell into one picture. STATISTIC is average, deviation (standard deviation, spread over
0..255), maximum, minimum, range (maximum - minimum), rise (maximum - the picture of the
first FILE), heating (the rise in quarter kelvins of the single infrared channel K over the
picture of the first FILE) or evolution (the seasonal maxima of channel K: January to March
blue, April to June green, July to September red; --minimum takes the minima instead, for the
near infrared). average and maximum also write the brightness temperatures of a single
infrared channel over the region 8.23 W to 1.91 W, 37.28 N to 43.25 N into the station's
ncs/TIME_average.nc or ncs/TIME_maximum.nc (TIME: the latest scene time). A file whose
picture cannot be made is reported and left out.

Channels are 1 VIS0.6, 2 VIS0.8, 3 NIR1.6, 4 IR3.9, 5 WV6.2, 6 WV7.3, 7 IR8.7, 8 IR9.7,
9 IR10.8, 10 IR12.0, 11 IR13.4, 12 HRV. Values are brightness temperatures in kelvin for
channels 4 to 11 and albedo in percent for the others. Lines count from the south, columns
from the east of the 3712 x 3712 grid (HRV columns on the 11136 x 11136 grid).
)";

using cli::Args;
using cli::fail;
using cli::number;
using cli::usageError;

int info(const Args& args, std::ostream& out, std::ostream& err) {
    const auto file = args.positional(0, {});
    if (!file) return usageError(err, "info needs a Native file");
    const auto s = readNativeHeader(*file);
    if (!s) return fail(err, s.error());
    std::vector<int> cn(s->cn.begin(), s->cn.end());
    std::vector<double> slope, offset;
    for (const auto& c : s->calibration) {
        slope.push_back(c.slope);
        offset.push_back(c.offset);
    }
    station::JsonObject o;
    o.add("bsc", s->bsc)
        .add("salong", static_cast<double>(s->salong))
        .add("p95", static_cast<double>(s->p95))
        .add("b105", static_cast<int>(s->b105))
        .add("sol", s->sol)
        .add("nol", s->nol)
        .add("eac", s->eac)
        .add("wec", s->wec)
        .add("hrv_eac", s->hrv_eac)
        .add("hrv_eac_nor", s->hrv_eac_nor)
        .add("hrv_wec", s->hrv_wec)
        .add("vis_off_h", s->vis_off_h)
        .add("nopico_hrv", s->nopico_hrv)
        .add("nobyco", s->nobyco)
        .add("nobyco_hrv", s->nobyco_hrv)
        .add("blocall", static_cast<long long>(s->blocall))
        .add("cn", std::span<const int>(cn))
        .add("nnn", s->nnn)
        .add("channels", s->channels)
        .add("slope", std::span<const double>(slope))
        .add("offset", std::span<const double>(offset));
    out << o.str() << '\n';
    return 0;
}

int value(const Args& args, std::ostream& out, std::ostream& err) {
    const std::vector<std::pair<std::string, int>> flags = {{"--channel", 1}, {"--lon", 1}, {"--lat", 1}};
    const auto file = args.positional(0, flags);
    const auto k = args.flag("--channel", 1), lon = args.flag("--lon", 1), lat = args.flag("--lat", 1);
    if (!file || !k || !lon || !lat) return usageError(err, "value needs FILE.nat --channel K --lon LON --lat LAT");
    const auto channel = number<int>((*k)[0]);
    const auto x = number<double>((*lon)[0]), y = number<double>((*lat)[0]);
    if (!channel) return usageError(err, "the channel must be a whole number from 1 to 12");
    if (!x || !y) return usageError(err, "longitude and latitude must be numbers (degrees)");
    const auto s = readNativeHeader(*file);
    if (!s) return fail(err, s.error());
    const auto p = pointValue(*s, *channel, *x, *y);
    if (!p) return fail(err, p.error());
    station::JsonObject o;
    o.add("line", p->line).add("column", p->column);
    if (*channel == 12) o.add("hrv_line", p->hrvLine);
    o.add("count", p->count).add("value", p->value).add("unit", *channel >= 4 && *channel <= 11 ? "K" : "%");
    out << o.str() << '\n';
    return 0;
}

int navigate(const Args& args, std::ostream& out, std::ostream& err) {
    nav::Context ctx;
    if (const auto file = args.flag("--file", 1)) {
        const auto s = readNativeHeader((*file)[0]);
        if (!s) return fail(err, s.error());
        ctx.lonShift = s->p95;
    }
    if (const auto ll = args.flag("--lonlat", 2)) {
        const auto lon = number<double>((*ll)[0]), lat = number<double>((*ll)[1]);
        if (!lon || !lat) return usageError(err, "--lonlat takes two numbers (degrees)");
        const auto g = nav::geoToVisIr(*lon, *lat, ctx);
        const auto h = nav::geoToHrv(*lon, *lat, ctx);
        if (!g || !h) return fail(err, "the point is not visible from the satellite");
        station::JsonObject o;
        o.add("lon", *lon).add("lat", *lat).add("line", g->line).add("column", g->column);
        o.add("hrv_line", h->line).add("hrv_column", h->column);
        out << o.str() << '\n';
        return 0;
    }
    if (const auto lc = args.flag("--grid", 2)) {
        const auto line = number<int>((*lc)[0]), column = number<int>((*lc)[1]);
        if (!line || !column) return usageError(err, "--grid takes two whole numbers (line, column)");
        const auto p = nav::lintogeo(*line, *column, ctx);
        if (!p) return fail(err, "that grid position is off the Earth's disk");
        station::JsonObject o;
        o.add("line", *line).add("column", *column).add("lon", p->lon).add("lat", p->lat);
        out << o.str() << '\n';
        return 0;
    }
    return usageError(err, "nav needs --lonlat LON LAT or --grid LINE COLUMN");
}

int show(const std::vector<std::string>& argv, const Args& args, std::ostream& out, std::ostream& err,
         const MarkPainter& painter) {
    const std::vector<std::pair<std::string, int>> flags = {{"--channel", 1}, {"--centre", 2}, {"--scope", 1},
                                                            {"--out", 1},     {"--dir", 1},    {"--kind", 1},
                                                            {"--rgb", 3},     {"--slice", 2},  {"--zoom", 2},
                                                            {"--mercator", 4}, {"--polar", 6}};
    const auto file = args.positional(0, flags);
    const auto centre = args.flag("--centre", 2), target = args.flag("--out", 1);
    const auto kindFlag = args.flag("--kind", 1);
    const std::string kind = kindFlag ? (*kindFlag)[0] : "single";
    auto k = args.flag("--channel", 1);
    if (kind == "hrv") k = std::vector<std::string>{"12"};
    const auto* recipe = compose::findRecipe(kind);
    const bool known = kind == "single" || kind == "hrv" || kind == "composite" || kind == "difference" ||
                       kind == "complex" || kind == "hrv-colour" || recipe;
    if (!known) return usageError(err, "unknown --kind " + kind);
    if (!file || !centre || !target || (kind == "single" && !k))
        return usageError(err, "show needs FILE.nat --centre LON LAT --out PICTURE.png (and --channel K for a single channel)");
    const auto rgb = args.flag("--rgb", 3);
    const auto options = cli::pictureOptions(args);
    if (!options) return usageError(err, options.error());

    station::ConsoleHost host;
    const station::SystemClock clock;
    const auto dir = args.flag("--dir", 1);
    Viewer v(host, clock, dir ? std::filesystem::path((*dir)[0]) : std::filesystem::current_path());
    v.oncre();
    v.unattended = true;
    if (!v.abrefiche_secre(*file)) return 1;
    options->applyTo(v.controls);
    v.controls.channel = k ? (*k)[0] : std::string("1");
    v.nomcan();
    v.controls.automaticStretch = !args.has("--no-stretch");
    if (args.has("--inverted")) v.controls.inverted = true;
    if (args.has("--not-inverted")) v.controls.inverted = false;
    v.controls.coastLines = args.has("--coast");
    v.controls.towns = args.has("--towns");
    v.controls.waterBounds = args.has("--water");
    v.controls.ihs = args.has("--ihs");
    bool made = false;
    if (kind == "single" || kind == "hrv") {
        made = v.geogracr();
    } else if (kind == "composite") {
        made = v.composite();
    } else if (kind == "difference") {
        made = v.two_channel_tt();
    } else if (kind == "hrv-colour") {
        made = v.hr_colour() &&
               v.hr_colo({rgb ? std::array<std::string, 3>{(*rgb)[0], (*rgb)[1], (*rgb)[2]}
                              : std::array<std::string, 3>{"12", "12", "9"}});
    } else if (kind == "complex") {
        for (std::size_t p = 0; p < 3; ++p) {
            const auto box = p == 0 ? v.controls.red : p == 1 ? v.controls.green : v.controls.blue;
            v.complex.planes[p] = {number<int>(box).value_or(0), 0};
        }
        made = v.compose();
    } else {
        made = v.runRecipe(*recipe);
    }
    if (!made) return fail(err, "no picture was made");
    // Each --zoom X Y is one zoom level at that picture position, in order.
    for (std::size_t i = 0; i + 2 < argv.size(); ++i) {
        if (argv[i] != "--zoom") continue;
        const auto x = number<int>(argv[i + 1]), y = number<int>(argv[i + 2]);
        if (!x || !y) return usageError(err, "--zoom takes a picture position X Y");
        v.clickposx = *x;
        v.clickposy = *y;
        if (!v.zoomin()) return fail(err, "the picture could not be zoomed");
    }
    if (const auto slice = args.flag("--slice", 2)) {
        compose::ColourSliceSettings settings;
        settings.lower = (*slice)[0];
        settings.upper = (*slice)[1];
        if (!v.colourslice(settings)) return fail(err, "the picture could not be sliced");
    }
    if (v.shown.incomplete) return fail(err, "the file ends early: an incomplete picture is not saved");
    display::Image24 picture = v.picture;
    // --mercator WEST NORTH EAST SOUTH (upper-west and lower-east corners), or --polar with the
    // central longitude and latitude after them: the remapped picture is what is written.
    const auto merc = args.flag("--mercator", 4), polar = args.flag("--polar", 6);
    if (merc || polar) {
        const auto& c = merc ? *merc : *polar;
        std::vector<double> n;
        for (const auto& t : c) {
            const auto x = number<double>(t);
            if (!x) return usageError(err, "--mercator and --polar take numbers (degrees)");
            n.push_back(*x);
        }
        display::RemapRequest request;
        request.corners = {n[2], n[3], n[0], n[1]};
        request.polar = polar.has_value();
        if (polar) {
            request.lon0 = n[4];
            request.lat0 = n[5];
        }
        request.plateCarree = args.has("--plate-carree");
        request.oneToOne = args.has("--one-to-one");
        if (!v.remapPicture(request)) return fail(err, "the picture could not be remapped");
        picture = v.projection;
        v.marks.clear();
    }
    if (painter) painter(picture, v.marks);
    const auto written = display::writePng(picture, (*target)[0]);
    if (!written) return fail(err, written.error());
    station::JsonObject o;
    o.add("out", (*target)[0]).add("width", picture.width).add("height", picture.height);
    o.add("line", v.window.linn).add("column", v.window.coln).add("marks", static_cast<int>(v.marks.size()));
    o.add("title", v.title).add("prodnr", v.prodnr);
    if (!v.rangeLabel.empty()) o.add("range", v.rangeLabel);
    out << o.str() << '\n';
    return 0;
}

volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

int productsCommand(const Args& args, std::ostream& out, std::ostream& err, const MarkPainter& painter) {
    const auto dirFlag = args.flag("--dir", 1);
    const std::filesystem::path dir = dirFlag ? std::filesystem::path((*dirFlag)[0]) : std::filesystem::current_path();
    if (!std::filesystem::exists(dir / "product.txt")) return fail(err, (dir / "product.txt").string() + " does not exist");
    // One product cycle per station: the desktop's and this service's would write the same files.
    const auto lock = station::StationLock::tryAcquire(dir, kProductCycleJob);
    if (!lock) return fail(err, "another product cycle is running on " + dir.string());
    station::ConsoleHost host;
    const station::SystemClock clock;
    Viewer v(host, clock, dir);
    v.oncre();
    v.unattended = true;
    v.controls.towns = !args.has("--no-towns");
    // A once-only run takes the newest file whatever its age.
    v.srtime0 = {};
    const auto file = args.flag("--file", 1);
    auto tick = [&] {
        const auto runs = v.tualotuyo(painter, file ? std::filesystem::path((*file)[0]) : std::filesystem::path{});
        for (const auto& r : runs) {
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%.2f s", r.seconds);
            if (r.file.empty()) out << "failed:  " << r.entry << ": " << r.why << '\n';
            else out << "made:    " << r.file.string() << "  (" << seconds << ")" << (r.note.empty() ? "" : "  " + r.note) << '\n';
        }
        out.flush();
        return runs;
    };
    int code = 0;
    if (args.has("--once")) {
        const auto runs = tick();
        if (runs.empty()) {
            err << "tesmar: no new Native file in " << (dir / "nats").string() << '\n';
            code = 1;
        }
    } else {
        std::signal(SIGINT, requestStop);
        std::signal(SIGTERM, requestStop);
        out << "product cycle on " << dir.string() << ": every 90 s until stopped\n";
        while (!stopRequested) {
            tick();
            for (int s = 0; s < 90 && !stopRequested; ++s) std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    }
    return code;
}

int convertCommand(const Args& args, std::ostream& out, std::ostream& err) {
    conversion::ConversionOptions o;
    const auto dirFlag = args.flag("--dir", 1);
    const std::filesystem::path dir = dirFlag ? std::filesystem::path((*dirFlag)[0]) : std::filesystem::current_path();
    const auto value = [&](const char* flag) -> std::optional<std::string> {
        const auto v = args.flag(flag, 1);
        return v ? std::optional((*v)[0]) : std::nullopt;
    };
    if (!value("--from") || !value("--to") || !value("--start") || !value("--end"))
        return usageError(err, "convert needs --from, --to, --start and --end");
    o.source = *value("--from");
    o.destination = *value("--to");
    o.start = *value("--start");
    o.end = *value("--end");
    o.regional = args.has("--regional");
    o.uncompressedOnly = args.has("--uncompressed-only");
    o.recursive = args.has("--recursive");
    o.clean = args.has("--clean");
    o.threshold = args.has("--threshold");
    if (const auto t = value("--threshold")) o.percentage = *t;
    const auto checked = conversion::checkOptions(o);
    if (!checked) return fail(err, checked.error());
    const auto census = conversion::countSegments(o);
    for (const auto& skipped : census.skipped) err << "tesmar: skipped " << skipped << '\n';
    out << "Found " << census.uncompressed << " uncompressed and " << census.compressed
        << " compressed HRIT files for merge\n";
    const auto offered = conversion::offeredSlots(census, o);
    if (offered.empty()) return fail(err, "No NATs can be generated for your choices");
    std::vector<std::string> slots;
    for (const auto& s : offered) slots.push_back(s.slot);
    const auto outcomes = conversion::convert(o, slots, dir, conversion::stationDecoBatch(dir),
                                              [&err](const std::string& line) { err << line << '\n'; });
    int made = 0;
    for (const auto& r : outcomes) {
        if (r.file.empty()) {
            out << r.slot << ": not assembled: " << r.why << '\n';
        } else {
            ++made;
            out << r.slot << ": assembled " << r.file.string() << " (missing " << r.missingHrv << " HRV and "
                << r.missingOther << " other segments)\n";
        }
    }
    return made == static_cast<int>(outcomes.size()) ? 0 : 1;
}

int kitCommand(const Args& args, std::ostream& out, std::ostream& err) {
    const auto dir = args.positional(0, {});
    if (!dir) return usageError(err, "kit needs the station directory");
    const auto report = kit::makeStationKit(*dir, err);
    if (!report) return fail(err, report.error());
    for (const auto& f : report->written) out << "written: " << f << '\n';
    for (const auto& f : report->kept) out << "kept:    " << f << '\n';
    return 0;
}

}  // namespace

const char* cli::usageText() { return kUsage; }

bool isCliInvocation(const std::vector<std::string>& args) {
    if (args.empty()) return false;
    const auto& a = args[0];
    return a == "info" || a == "value" || a == "nav" || a == "show" || a == "kit" || a == "products" || a == "convert" ||
           a == "sequence" ||
           a == "stats" ||
           a == "--help" || a == "-h" || a == "help";
}

int runCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err, const MarkPainter& painter) {
    if (argv.empty()) return usageError(err, "no command");
    const Args args(argv);
    const auto& cmd = argv[0];
    if (cmd == "--help" || cmd == "-h" || cmd == "help" || args.has("--help")) {
        out << kUsage;
        return 0;
    }
    if (cmd == "info") return info(args, out, err);
    if (cmd == "value") return value(args, out, err);
    if (cmd == "nav") return navigate(args, out, err);
    if (cmd == "show") return show(argv, args, out, err, painter);
    if (cmd == "kit") return kitCommand(args, out, err);
    if (cmd == "products") return productsCommand(args, out, err, painter);
    if (cmd == "convert") return convertCommand(args, out, err);
    if (cmd == "sequence") return cli::sequenceCommand(args, out, err, painter);
    if (cmd == "stats") return cli::statsCommand(args, out, err, painter);
    return usageError(err, "unknown command '" + cmd + "'");
}

}  // namespace tesmar
