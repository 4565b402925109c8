// Pictures to files: the main picture with its stamp, the projection, Google-Earth overlays
// and animations.

#include <cstdlib>
#include <fstream>

#include "common/atomic_file.h"
#include "viewer/display/picture_files.h"
#include "viewer/display/png_writer.h"
#include "viewer/viewer.h"

namespace tesmar {

namespace fs = std::filesystem;
using PathResult = station::Result<fs::path>;

namespace {

PathResult written(const station::Result<bool>& r, const fs::path& file) {
    if (!r) return PathResult::failure(r.error());
    return file;
}

PathResult writeText(const fs::path& file, const std::string& text) {
    const auto r = station::writeFileAtomically(
        file, [&](std::ostream& out) { return static_cast<bool>(out << text); }, station::IfExists::Replace);
    if (!r) return PathResult::failure(r.error());
    return file;
}

std::optional<double> number(const std::string& text) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') return std::nullopt;
    return v;
}

}  // namespace

PathResult Viewer::savePicture(const fs::path& chosen, PictureFormat format, const display::MarkPainter& painter) {
    if (picture.width <= 0) return PathResult::failure("There is no picture to save");
    display::Image24 stamped = picture;
    auto drawn = marks;
    drawn.push_back(display::stampMark(display::stampText(label, formatSceneTime(scene.bsc), title)));
    if (painter) painter(stamped, drawn);
    switch (format) {
        case PictureFormat::Bmp: {
            const auto file = display::withExtension(chosen, ".bmp");
            return written(display::writeBmp(stamped, file), file);
        }
        case PictureFormat::Jpeg: {
            const auto file = display::withExtension(chosen, ".jpg");
            return written(display::writeJpeg(stamped, file, 80), file);
        }
        case PictureFormat::Png: {
            const auto file = display::withExtension(chosen, ".png");
            return written(display::writePng(stamped, file), file);
        }
    }
    return PathResult::failure("unknown picture format");
}

PathResult Viewer::saveProjectionBmp(const fs::path& chosen) {
    if (projection.width <= 0) return PathResult::failure("There is no projection to save");
    const auto file = display::withExtension(chosen, ".bmp");
    return written(display::writeBmp(projection, file), file);
}

PathResult Viewer::guarda_ge(const fs::path& chosen, const display::OverlayCorners& typed) {
    if (projection.width <= 0) return PathResult::failure("There is no projection to save");
    const auto n = number(typed.north), s = number(typed.south), e = number(typed.east), w = number(typed.west);
    if (!n || !s || !e || !w) return PathResult::failure("The corners must be numbers");
    fs::path base = chosen;
    if (base.extension() == ".kml" || base.extension() == ".jpg") base.replace_extension();
    const auto jpeg = display::withExtension(base, ".jpg");
    const auto picture = written(display::writeJpeg(projection, jpeg, 100), jpeg);
    if (!picture) return picture;
    const auto kml = writeText(display::withExtension(base, ".kml"),
                               display::groundOverlayKml(base.filename().string(), typed));
    if (!kml) return kml;
    overlay = {*kml, base.filename().string(), *n, *s, *e, *w};
    return kml;
}

PathResult Viewer::do_nudge(const std::array<int, 4>& settings) {
    if (overlay.kml.empty()) {
        if (animation.times.empty()) return PathResult::failure("Save an overlay or make an animation first");
        auto corners = animation.corners;
        corners.north = display::nudged(corners.north, settings[0]);
        corners.south = display::nudged(corners.south, settings[1]);
        corners.east = display::nudged(corners.east, settings[2]);
        corners.west = display::nudged(corners.west, settings[3]);
        return writeText(cdo() / "creas" / ("kml_" + std::to_string(animation.kind) + ".kml"),
                         display::animationKml(animation.times, corners, controls.lon, controls.lat));
    }
    const display::OverlayCorners moved{display::twoDecimals(display::nudged(overlay.north, settings[0])),
                                        display::twoDecimals(display::nudged(overlay.south, settings[1])),
                                        display::twoDecimals(display::nudged(overlay.east, settings[2])),
                                        display::twoDecimals(display::nudged(overlay.west, settings[3]))};
    return writeText(overlay.kml, display::groundOverlayKml(overlay.baseName, moved));
}

PathResult Viewer::ge_animation(const std::vector<fs::path>& files, const display::Corners& corners,
                                const display::MarkPainter& painter) {
    if (files.empty()) return PathResult::failure("No Native file was chosen");
    station::BusyScope busy(host);
    const fs::path creas = cdo() / "creas";
    std::error_code ec;
    fs::create_directories(creas, ec);
    const int kind = prodnr;
    std::vector<std::string> times;
    std::string skipped;
    for (std::size_t i = 0; i < files.size(); ++i) {
        host.progress(static_cast<int>(i), static_cast<int>(files.size()));
        const auto& file = files[i];
        auto skip = [&](const std::string& why) {
            skipped += '\n';
            skipped += file.filename().string();
            skipped += ": ";
            skipped += why;
        };
        if (!abrefiche_secre(file) || !leedatos()) {
            skip("cannot be read");
            continue;
        }
        prodnr = kind;
        const auto rebuilt = rebuildPicture();
        if (!(rebuilt ? *rebuilt : geogracr())) {
            skip("its picture could not be made");
            continue;
        }
        display::RemapRequest request;
        request.corners = corners;
        request.plateCarree = true;  // Google Earth lays pictures on a latitude-longitude grid
        if (!remapPicture(request)) {
            skip("could not be remapped");
            continue;
        }
        display::Image24 frame = projection;
        if (painter) painter(frame, {display::stampMark(display::stampText(label, formatSceneTime(scene.bsc), title))});
        const auto jpeg = display::writeJpeg(frame, creas / ("ge_" + scene.bsc + ".jpg"), 80);
        if (!jpeg) {
            skip(jpeg.error());
            continue;
        }
        times.push_back(scene.bsc);
    }
    host.progress(static_cast<int>(files.size()), static_cast<int>(files.size()));
    if (times.empty()) return PathResult::failure("No frame could be made:" + skipped);
    animation = {times, {corners.north, corners.south, corners.east, corners.west}, kind};
    const auto index = writeText(creas / ("kml_" + std::to_string(kind) + ".kml"),
                                 display::animationKml(times, animation.corners, controls.lon, controls.lat));
    if (index && !skipped.empty()) host.message("Some files gave no frame:" + skipped);
    return index;
}

}  // namespace tesmar
