#include "viewer/display/overlays.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "viewer/display/picture_fill.h"

namespace tesmar::display {

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kCyan{0, 255, 255};

int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Rows of a bit mask file, read one at a time.
class MaskFile {
public:
    MaskFile(const std::filesystem::path& path, std::int64_t header, int rowBytes, int rows)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), header_(header), rows_(rows), row_(static_cast<std::size_t>(rowBytes)) {}
    ~MaskFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    MaskFile(const MaskFile&) = delete;
    MaskFile& operator=(const MaskFile&) = delete;

    bool ok() const { return fd_ >= 0; }
    // Loads row r; false (and an all-clear row) outside the mask or past the file's end.
    bool load(int r) {
        std::fill(row_.begin(), row_.end(), 0);
        if (r < 0 || r >= rows_) return false;
        const auto n = ::pread(fd_, row_.data(), row_.size(), static_cast<off_t>(header_ + std::int64_t{r} * static_cast<std::int64_t>(row_.size())));
        return n == static_cast<ssize_t>(row_.size());
    }
    // Bit b of the loaded row, most significant bit first; bits outside the row read as -1.
    int bit(int b) const {
        if (b < 0 || b >= static_cast<int>(row_.size()) * 8) return -1;
        return (row_[static_cast<std::size_t>(b / 8)] >> (7 - b % 8)) & 1;
    }

private:
    int fd_;
    std::int64_t header_;
    int rows_;
    std::vector<std::uint8_t> row_;
};

// Marks one raster cell if it lies in the picture (positions outside are dropped).
struct Burner {
    const PictureGeometry& geometry;
    Raster& g;
    int cells = 0;
    void mark(int row, int col) {
        if (row < 0 || col < 0 || row > geometry.lastRow || col > geometry.lastCol || !Raster::inside(row, col)) return;
        g.setGrey(row, col, kCoastValue);
        ++cells;
    }
};

void burnVisIr(const OverlayContext& c, MaskFile& mask, Burner& burn) {
    const auto& s = c.scene;
    const auto& w = c.window;
    const auto map = cellMapping(w);
    const bool renavigate = c.nav.lonShift != 0.0;
    // A shifted satellite sees the mask's points further east: look a little beyond the window.
    const int firstColumn = w.fic + s.eac - (renavigate ? 300 : 0);
    for (int row = 0; map.storedLine(row) < w.lal && row <= burn.geometry.lastRow; ++row) {
        const int a = map.storedLine(row) + s.sol;
        if (!mask.load(a)) continue;
        for (int i = std::max(firstColumn, 0); i < w.lac + s.eac; ++i) {
            if (!renavigate && (i - s.eac - w.fic) % map.degra != 0) continue;
            if (mask.bit(3711 - i) != 1) continue;
            if (!renavigate) {
                burn.mark(row, (i - s.eac - w.fic) / map.degra);
                continue;
            }
            const auto geo = nav::lintogeo(a, i, {});
            if (!geo) continue;
            const auto p = nav::geoToVisIr(geo->lon, geo->lat, c.nav);
            if (!p) continue;
            burn.mark(floorDiv(p->line - s.sol - w.fil, map.degra), floorDiv(p->column - s.eac - w.fic, map.degra));
        }
    }
}

void burnHrv(const OverlayContext& c, MaskFile& mask, bool fullHrvMask, Burner& burn) {
    const auto& s = c.scene;
    const auto& w = c.window;
    const bool renavigate = c.nav.lonShift != 0.0;
    const int flag = s.marked() ? 1 : 0;
    const int firstColumn = w.fic + w.visof - (renavigate ? 900 : 0);
    auto place = [&](int a, int i, int m) {
        if (!renavigate) {
            burn.mark(3 * (a - w.fil - s.sol) + m, i - w.fic - w.visof);
            return;
        }
        const auto geo = nav::lintogeo(a, i / 3, {});
        if (!geo) return;
        const auto p = nav::geoToHrv(geo->lon, geo->lat, c.nav);
        if (!p) return;
        burn.mark(3 * (nav::hrvLineToVisIrLine(p->line) - w.fil - s.sol) + m, p->column - w.fic - w.visof);
    };
    for (int a = w.fil + s.sol; a < w.lal + s.sol; ++a) {
        if (fullHrvMask) {
            for (int m = 0; m < 3; ++m) {
                if (!mask.load(11135 - 3 * (a + flag) - m)) continue;
                for (int i = std::max(firstColumn, 0); i < w.lac + w.visof; ++i)
                    if (mask.bit(11133 - i) == 0) place(a, i, m);
            }
        } else {
            if (!mask.load(a - 1)) continue;
            for (int i = std::max(firstColumn, 0); i < w.lac + w.visof; ++i)
                if (i % 3 != 1 && mask.bit(3712 - i / 3) == 1) place(a, i, 1);
        }
    }
}

}  // namespace

std::optional<PicturePoint> picturePosition(const OverlayContext& c, double lon, double lat) {
    const auto& s = c.scene;
    const auto& w = c.window;
    RasterCell cell;
    if (c.hrv) {
        const auto p = nav::geoToHrv(lon, lat, c.nav);
        if (!p) return std::nullopt;
        const int line = nav::hrvLineToVisIrLine(p->line);
        if (line < 1 || p->column < 1) return std::nullopt;
        const int sub = p->line - 3 * (line - 1);
        cell = {3 * (line - s.sol - w.fil) + sub, p->column - w.visof - w.fic};
    } else {
        const auto p = nav::geoToVisIr(lon, lat, c.nav);
        if (!p || p->line < 1 || p->column < 1) return std::nullopt;
        const int d = std::max(1, w.degra);
        cell = {floorDiv(p->line - s.sol - w.fil, d), floorDiv(p->column - s.eac - w.fic, d)};
    }
    if (c.zoom && c.zoom->depth() > 0) {
        const auto zoomed = c.zoom->forward(cell, c.geometry);
        if (!zoomed) return std::nullopt;  // it has left the zoomed picture
        cell = *zoomed;
    }
    return PicturePoint{c.geometry.pictureX(cell.col), c.geometry.pictureY(cell.row)};
}

station::Result<int> overl(const OverlayContext& c, const std::filesystem::path& visIrMask,
                           const std::filesystem::path& hrvMask, Raster& g) {
    using R = station::Result<int>;
    if (c.window.empty() || c.geometry.empty()) return 0;
    Burner burn{c.geometry, g};
    if (c.hrv && std::filesystem::exists(hrvMask)) {
        MaskFile mask(hrvMask, 38, 1392, 11136);
        if (!mask.ok()) return R::failure("Cannot read the coast mask " + hrvMask.string());
        burnHrv(c, mask, true, burn);
        return burn.cells;
    }
    MaskFile mask(visIrMask, 62, 464, 3712);
    if (!mask.ok()) return R::failure("Cannot read the coast mask " + visIrMask.string());
    if (c.hrv) burnHrv(c, mask, false, burn);
    else burnVisIr(c, mask, burn);
    return burn.cells;
}

DrawList overl2(const OverlayContext& c, const std::vector<Polyline>& coast, const std::string& fich) {
    DrawList out;
    // Files of the first satellite after its move to 41.5 E, when their navigation does not
    // already carry the shift.
    const bool moved = fich.find("MSG1-") != std::string::npos && c.nav.lonShift == 0.0 &&
                       c.scene.bsc.size() >= 6 && c.scene.bsc.substr(0, 6) > "201608" &&
                       std::all_of(c.scene.bsc.begin(), c.scene.bsc.begin() + 6, [](char ch) { return ch >= '0' && ch <= '9'; });
    for (const auto& line : coast) {
        std::optional<PicturePoint> last;
        for (const auto& pt : line) {
            const auto p = picturePosition(c, moved ? pt.lon - 41.5 : pt.lon, pt.lat);
            if (!p || p->x < 1 || p->y < 1) continue;  // skipped; the polyline goes on
            if (last) out.push_back({DrawOp::Kind::Line, last->x, last->y, p->x, p->y, kWhite, kWhite, {}});
            last = p;
        }
    }
    return out;
}

DrawList do_town(const OverlayContext& c, const std::vector<Town>& towns) {
    DrawList out;
    for (const auto& t : towns) {
        const auto p = picturePosition(c, t.at.lon, t.at.lat);
        if (!p) continue;
        out.push_back({DrawOp::Kind::Square, p->x - 3, p->y - 3, p->x + 3, p->y + 3, kBlue, kWhite, {}});
        out.push_back({DrawOp::Kind::Text, p->x, p->y, 0, 0, kBlue, kWhite, t.name});
    }
    return out;
}

DrawList do_town_fire(const OverlayContext& c, const std::vector<Fire>& fires) {
    DrawList out;
    for (const auto& f : fires) {
        const auto p = picturePosition(c, f.at.lon, f.at.lat);
        if (!p) continue;
        if (c.hrv) {
            out.push_back({DrawOp::Kind::Square, p->x - 3, p->y - 3, p->x + 3, p->y + 3, kCyan, kWhite, {}});
            out.push_back({DrawOp::Kind::Text, p->x, p->y, 0, 0, kCyan, kWhite, std::to_string(f.value)});
            continue;
        }
        const double q = std::clamp(1.0 - f.value / 500.0, 0.0, 1.0);
        const double r = std::clamp(f.value / 500.0, 0.0, 1.0);
        const Rgb fill{static_cast<std::uint8_t>(255 * r), static_cast<std::uint8_t>(255 * std::pow(q, 0.4)), 127};
        out.push_back({DrawOp::Kind::Square, p->x - 3, p->y - 3, p->x + 3, p->y + 3, kCyan, fill, {}});
    }
    return out;
}

}  // namespace tesmar::display
