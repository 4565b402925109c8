#include "viewer/viewer.h"

#include <charconv>
#include <fstream>

#include "viewer/scene/channels.h"

namespace tesmar {

namespace fs = std::filesystem;

namespace {

std::optional<double> toReal(std::string text) {
    // The decimal comma of some desktops is taken as a point.
    for (auto& c : text)
        if (c == ',') c = '.';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    double v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || p != text.data() + text.size()) return std::nullopt;
    return v;
}

std::optional<int> toInt(const std::string& text) {
    int v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || p != text.data() + text.size()) return std::nullopt;
    return v;
}

std::vector<std::string> readLines(const fs::path& path, std::size_t most) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    std::string line;
    while (lines.size() < most && std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

Viewer::Viewer(station::Host& h, const station::Clock& c, fs::path stationDir)
    : gate(h), host(gate), clock(c), cdo_(std::move(stationDir)), messages_(MessageTable::standard()) {}

void Viewer::oncre(int screenHeight) {
    gsize = 920;
    gsizev = 740;
    srtime0 = clock.now() - std::chrono::seconds(45000);
    datea = std::string(kDefaultDatea);
    lang = Lang::English;
    pictureMade = false;
    zoom_c = 0;
    zoom.clear();
    townFile = cdo_ / "town.txt";
    coastBitmap = cdo_ / "coastline_m11.bmp";
    goesCoastBitmap = cdo_ / "goes12_countries.bmp";
    scene = NativeScene{};

    if (const auto lines = readLines(cdo_ / "label.txt", 1); !lines.empty()) label = lines[0];

    // The first entry of the product list presets the boxes, the centre and the scope: its
    // lines are header, code, three boxes, longitude, latitude, detail.
    if (const auto p = readLines(cdo_ / "product.txt", 8); p.size() >= 7 && p[0].rfind("## ", 0) == 0) {
        controls.red = p[2];
        controls.green = p[3];
        controls.blue = p[4];
        controls.lon = p[5];
        controls.lat = p[6];
        if (p.size() >= 8)
            if (const auto slider = toInt(p[7]); slider && *slider >= 1 && *slider <= 5) controls.scopeSlider = *slider;
    }

    // The header template gives the scene its bounds even when no image is current. The
    // reception's template holds only the ASCII headers, which the scene reader refuses: that
    // is no news for anybody, so it is tried quietly.
    const auto header = cdo_ / "cabecero.nat";
    const bool wasQuiet = gate.quiet;
    gate.quiet = true;
    if (fs::exists(header)) abrefiche_secre(header);
    gate.quiet = wasQuiet;
    const auto sample = cdo_ / "nats" / "201004241200sample.nat";
    if (!(fs::exists(sample) && abrefiche_secre(sample))) scene.fich.clear();

    if (screenHeight < 864)
        host.message(
            "Your screen resolution is low. Try at least [1152 x 864] for more comfortable visualisation");
    host.status(mess(msg::OpenNativeHint));
}

void Viewer::abrefiche() {
    host.status(mess(msg::OpenImageTitle));
    station::FileDialog dialog;
    dialog.title = mess(msg::OpenImageTitle);
    dialog.filters = {{"Native files", "*.nat *.NAT"}, {"All files", "*"}};
    dialog.directory = scene.fich.empty() ? cdo_ / "nats" : scene.fich.parent_path();
    const auto chosen = host.openFile(dialog);
    if (chosen) {
        const std::string name = chosen->string();
        const bool nativeName = name.find("MSG") != std::string::npos || name.find(".nat") != std::string::npos ||
                                name.find(".NAT") != std::string::npos;
        if (!nativeName) {
            host.message(chosen->filename().string() + " is not a Native (.nat) file");
        } else if (!fs::exists(*chosen)) {
            host.message(chosen->string() + " does not exist");
        } else if (abrefiche_secre(*chosen)) {
            controls.idleVisible = true;
        }
    } else if (scene.fich.empty()) {
        if (++iborde > 2) {
            host.message("This program requires a NATIVE format to work");
            host.quit();
            return;
        }
    }
    host.status(mess(msg::ChooseAction));
}

bool Viewer::abrefiche_secre(const fs::path& file) {
    station::BusyScope busy(host);
    iborde = 0;
    auto loaded = readNativeHeader(file);
    if (!loaded) {
        host.message(loaded.error());
        return false;
    }
    scene = std::move(*loaded);
    lee_fecha();
    host.status("");
    host.showFact(station::Fact::ChannelString, scene.channels);
    // The calibration in hand belonged to the previous file.
    calValid = false;
    if (channels::valid(ncha)) {
        cal = scene.calibration[static_cast<std::size_t>(ncha - 1)];
        calValid = true;
    }
    return true;
}

void Viewer::lee_fecha() {
    scene.bsc = std::string(12, ' ');
    const auto time = readSceneTime(scene.fich);
    if (!time) return;
    scene.bsc = *time;
    host.showFact(station::Fact::SceneTime, formatSceneTime(scene.bsc));
}

void Viewer::cualesdatea() {
    const auto newest = tesmar::cualesdatea(cdo_ / "nats", {datea, srtime0});
    datea = newest.datea;
    srtime0 = newest.srtime0;
}

bool Viewer::lee() {
    if (scene.fich.empty() || !fs::exists(scene.fich)) abrefiche();
    calValid = false;
    if (scene.fich.empty()) return false;
    const auto c = readChannelCalibration(scene.fich, ncha);
    if (!c) return false;
    cal = *c;
    calValid = true;
    return true;
}

void Viewer::wavef() { wave_fac = channels::waveFac(ncha); }

void Viewer::nomcan() {
    auto k = toInt(controls.channel);
    if (!k) {
        controls.channel = std::string("1");  // moved in: GCC 12 misreads a literal assignment
        k = 1;
    }
    host.showFact(station::Fact::ChannelName, channels::name(*k));
    if (*k != 1 && *k >= 1 && *k <= 12) controls.channelHint = scene.cn[*k - 1] < scene.cn[*k];
    else controls.channelHint = false;
    controls.inverted = channels::infrared(*k);
    if (channels::valid(*k)) ncha = *k;
}

std::optional<int> Viewer::usableChannel() {
    const auto k = toInt(controls.channel);
    if (!k || !channels::valid(*k)) {
        host.message("Channels are numbered 1 to 12");
        return std::nullopt;
    }
    if (!scene.channelPresent(*k)) {
        host.message("Channel " + std::to_string(*k) + " is not in this file. Choose an existing channel");
        return std::nullopt;
    }
    return k;
}

bool Viewer::leedatos() {
    const auto lon = toReal(controls.lon), lat = toReal(controls.lat);
    if (!lon || !lat) {
        host.message("The centre longitude and latitude must be numbers");
        return false;
    }
    if (!toInt(controls.red)) controls.red = std::string("3");
    if (!toInt(controls.green)) controls.green = std::string("2");
    if (!toInt(controls.blue)) controls.blue = std::string("1");
    zoom_c = 0;
    zoom.clear();
    WindowRequest r;
    r.fi = *lon;
    r.la = *lat;
    r.scopeSlider = controls.scopeSlider;
    r.gsize = gsize;
    r.gsizev = gsizev;
    r.ncha = ncha;
    r.previousColumn = window.coln;
    window = tesmar::leedatos(scene, navContext(), r);
    host.showFact(station::Fact::Line, "line: " + std::to_string(window.linn));
    host.showFact(station::Fact::Column, "column: " + std::to_string(window.coln));
    return true;
}

void Viewer::transla() {
    if (spanishMenu) return;  // the entry is disabled after its first use
    lang = Lang::Spanish;
    spanishMenu = true;
}

}  // namespace tesmar
