#include "viewer/compose/netcdf_export.h"

#include <netcdf.h>

#include <cmath>
#include <string>

#include "common/atomic_file.h"
#include "viewer/display/picture_fill.h"
#include "viewer/display/picture_geometry.h"
#include "viewer/scene/calibration.h"
#include "viewer/scene/channels.h"

namespace tesmar::compose {

namespace fs = std::filesystem;

std::int16_t exportValue(double v) {
    if (!std::isfinite(v) || v <= 0) return 0;
    return v >= 32767 ? std::int16_t{32767} : static_cast<std::int16_t>(v);
}

std::vector<ExportRow> selectExportRows(const display::Raster& g, const DataWindow& w,
                                        const NativeScene& s, const nav::Context& nav,
                                        const std::optional<ExportTemperature>& temperature,
                                        const ExportRegion& region) {
    std::vector<ExportRow> rows;
    if (!temperature || !channels::infrared(temperature->channel) || w.empty()) return rows;
    std::array<double, 256> kelvin10{};
    for (int v = 0; v < 256; ++v)
        kelvin10[static_cast<std::size_t>(v)] =
            10 * calib::brightnessTemperature(temperature->channel, temperature->cal, 4.0 * v);
    const auto geo = display::PictureGeometry::visIr(w);
    const auto map = display::cellMapping(w);
    for (int row = 0; row < geo.height; ++row) {
        const int line = map.storedLine(row) + s.sol;
        for (int col = 0; col < geo.width; ++col) {
            const std::int16_t t = exportValue(kelvin10[g.at(0, row, col)]);
            if (t == 0) continue;
            const auto p = nav::lintogeo(line, map.storedPixel(col) + s.eac, nav);
            if (!p) continue;  // off the disk: no place
            const std::int16_t lon = exportValue((p->lon + 180) * 100),
                               lat = exportValue((p->lat + 90) * 100);
            if (lon <= region.lonLow || lon >= region.lonHigh || lat <= region.latLow ||
                lat >= region.latHigh)
                continue;
            rows.push_back({t, lon, lat});
            if (static_cast<int>(rows.size()) == kExportPoints) return rows;
        }
    }
    return rows;
}

namespace {

std::string ncFailure(const char* what, const fs::path& file, int status) {
    std::string why = "Cannot ";
    why += what;
    why += ' ';
    why += file.string();
    why += ": ";
    why += nc_strerror(status);
    return why;
}

}  // namespace

station::Result<fs::path> writeExportNetcdf(const fs::path& file, std::span<const ExportRow> rows) {
    using R = station::Result<fs::path>;
    std::vector<short> values(static_cast<std::size_t>(kExportPoints) * kExportValues, 0);
    const std::size_t taken = std::min(rows.size(), static_cast<std::size_t>(kExportPoints));
    for (std::size_t i = 0; i < taken; ++i)
        for (std::size_t k = 0; k < kExportValues; ++k) values[i * kExportValues + k] = rows[i][k];

    const auto tmp = station::temporaryNameFor(file);
    int id = -1;
    int status = nc_create(tmp.c_str(), NC_CLOBBER, &id);
    if (status != NC_NOERR) return R::failure(ncFailure("create", tmp, status));
    int pointDim = -1, valueDim = -1, var = -1;
    status = nc_def_dim(id, "point", kExportPoints, &pointDim);
    if (status == NC_NOERR) status = nc_def_dim(id, "value", kExportValues, &valueDim);
    const int dims[2] = {pointDim, valueDim};
    if (status == NC_NOERR) status = nc_def_var(id, "bt", NC_SHORT, 2, dims, &var);
    if (status == NC_NOERR) status = nc_enddef(id);
    if (status == NC_NOERR) status = nc_put_var_short(id, var, values.data());
    const int closed = nc_close(id);
    if (status == NC_NOERR) status = closed;
    std::error_code ec;
    if (status != NC_NOERR) {
        fs::remove(tmp, ec);
        return R::failure(ncFailure("write", file, status));
    }
    fs::rename(tmp, file, ec);
    if (ec) {
        fs::remove(tmp, ec);
        std::string why = "Cannot rename ";
        why += tmp.string();
        why += ": ";
        why += ec.message();
        return R::failure(why);
    }
    return file;
}

}  // namespace tesmar::compose
