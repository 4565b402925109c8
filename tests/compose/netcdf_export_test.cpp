#include "viewer/compose/netcdf_export.h"

#include <gtest/gtest.h>
#include <netcdf.h>

#include <cmath>
#include <limits>

#include "tests/support/scenes.h"
#include "tests/support/temp_dir.h"
#include "viewer/scene/calibration.h"

namespace {

using namespace tesmar;
using namespace tesmar::compose;
using testing_support::makeWindow;
using testing_support::TempDir;

const ChannelCalibration kChannel9{0.19, -0.19 * 51};

ExportRow expectedRow(int line, int column, std::uint8_t v) {
    const auto p = nav::lintogeo(line, column, {});
    EXPECT_TRUE(p.has_value());
    return {exportValue(10 * calib::brightnessTemperature(9, kChannel9, 4.0 * v)),
            exportValue((p->lon + 180) * 100), exportValue((p->lat + 90) * 100)};
}

TEST(NetcdfExport, ValuesAreTruncatedIntoAShort) {
    const struct {
        double in;
        std::int16_t out;
    } cases[] = {{-5, 0},
                 {0, 0},
                 {12.9, 12},
                 {2799.99, 2799},
                 {32767.5, 32767},
                 {64535, 32767},
                 {std::numeric_limits<double>::quiet_NaN(), 0},
                 {std::numeric_limits<double>::infinity(), 0}};
    for (const auto& c : cases) EXPECT_EQ(exportValue(c.in), c.out) << c.in;
}

TEST(NetcdfExport, PointsOfTheWindowInsideTheRegion) {
    const auto scene = testing_support::standardFullDiskScene();
    display::Raster g;
    g.fill(100);  // also the cells just past the window: they must not be taken
    const ExportTemperature t{9, kChannel9};

    // Grid lines 3150..3154 and columns 1991..1995, near 5 W 40 N: the bounds are exclusive.
    const auto rows = selectExportRows(g, makeWindow(3149, 3154, 1990, 1995), scene, {}, t);
    ASSERT_EQ(rows.size(), 25u);
    EXPECT_GT(rows[0][0], 2000);
    EXPECT_EQ(rows[0], expectedRow(3150, 1991, 100));
    EXPECT_EQ(rows[1], expectedRow(3150, 1992, 100));  // a line from the east first
    EXPECT_EQ(rows[5], expectedRow(3151, 1991, 100));  // then the next line north
    EXPECT_EQ(rows[24], expectedRow(3154, 1995, 100));

    // At scope 2 every other line and pixel.
    const auto sampled = selectExportRows(g, makeWindow(3149, 3154, 1990, 1995, 2), scene, {}, t);
    ASSERT_EQ(sampled.size(), 9u);
    EXPECT_EQ(sampled[1], expectedRow(3150, 1993, 100));
    EXPECT_EQ(sampled[3], expectedRow(3152, 1991, 100));

    // Cells without a temperature are no points.
    g.at(0, 0, 0) = 0;
    EXPECT_EQ(selectExportRows(g, makeWindow(3149, 3154, 1990, 1995), scene, {}, t).size(), 24u);
}

TEST(NetcdfExport, NoPointsWithoutTemperatureOrOutsideTheRegion) {
    const auto scene = testing_support::standardFullDiskScene();
    display::Raster g;
    g.fill(100);
    const ExportTemperature ir{9, kChannel9};
    EXPECT_TRUE(
        selectExportRows(g, makeWindow(1800, 1900, 1800, 1900), scene, {}, ir).empty());  // 0 N 0 E
    EXPECT_TRUE(
        selectExportRows(g, makeWindow(3149, 3154, 1990, 1995), scene, {}, std::nullopt).empty());
    EXPECT_TRUE(selectExportRows(g, makeWindow(3149, 3154, 1990, 1995), scene, {},
                                 ExportTemperature{1, kChannel9})
                    .empty());
    EXPECT_TRUE(selectExportRows(g, makeWindow(3154, 3154, 1990, 1995), scene, {}, ir)
                    .empty());  // empty window
}

TEST(NetcdfExport, AtMostTheFileHoldsAreTaken) {
    const auto scene = testing_support::standardFullDiskScene();
    display::Raster g;
    g.fill(100);
    const auto rows = selectExportRows(g, makeWindow(3084, 3235, 1879, 2110), scene, {},
                                       ExportTemperature{9, kChannel9});
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kExportPoints));
    for (const auto& r : rows) {
        EXPECT_GT(r[1], 17177);
        EXPECT_LT(r[1], 17809);
        EXPECT_GT(r[2], 12728);
        EXPECT_LT(r[2], 13325);
    }
}

TEST(NetcdfExport, FileReadsBackAsWritten) {
    TempDir dir;
    const auto file = dir / "ncs_201903181200.nc";
    dir.write("ncs_201903181200.nc", "an older file that is replaced");
    const std::vector<ExportRow> rows = {{2801, 17500, 12990}, {2799, 17501, 12990}};
    const auto written = writeExportNetcdf(file, rows);
    ASSERT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(*written, file);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
              1);  // no temporary left

    int id = -1;
    ASSERT_EQ(nc_open(file.c_str(), NC_NOWRITE, &id), NC_NOERR);
    int format = 0, ndims = 0, nvars = 0, natts = 0, unlimited = 0;
    ASSERT_EQ(nc_inq_format(id, &format), NC_NOERR);
    EXPECT_EQ(format, NC_FORMAT_CLASSIC);
    ASSERT_EQ(nc_inq(id, &ndims, &nvars, &natts, &unlimited), NC_NOERR);
    EXPECT_EQ(ndims, 2);
    EXPECT_EQ(nvars, 1);
    EXPECT_EQ(natts, 0);
    const struct {
        const char* name;
        std::size_t length;
    } dims[] = {{"point", 12501}, {"value", 3}};
    for (const auto& d : dims) {
        int dim = -1;
        std::size_t length = 0;
        ASSERT_EQ(nc_inq_dimid(id, d.name, &dim), NC_NOERR) << d.name;
        ASSERT_EQ(nc_inq_dimlen(id, dim, &length), NC_NOERR);
        EXPECT_EQ(length, d.length) << d.name;
    }
    int var = -1, type = 0, varDims = 0, varAtts = 0;
    ASSERT_EQ(nc_inq_varid(id, "bt", &var), NC_NOERR);
    ASSERT_EQ(nc_inq_vartype(id, var, &type), NC_NOERR);
    EXPECT_EQ(type, NC_SHORT);
    ASSERT_EQ(nc_inq_varndims(id, var, &varDims), NC_NOERR);
    EXPECT_EQ(varDims, 2);
    ASSERT_EQ(nc_inq_varnatts(id, var, &varAtts), NC_NOERR);
    EXPECT_EQ(varAtts, 0);
    std::vector<short> values(12501 * 3, -1);
    ASSERT_EQ(nc_get_var_short(id, var, values.data()), NC_NOERR);
    nc_close(id);
    EXPECT_EQ(values[0], 2801);
    EXPECT_EQ(values[1], 17500);
    EXPECT_EQ(values[2], 12990);
    EXPECT_EQ(values[3], 2799);
    for (std::size_t i = 6; i < values.size(); ++i) ASSERT_EQ(values[i], 0) << i;
}

TEST(NetcdfExport, UnwritableFolderIsRefused) {
    TempDir dir;
    const auto written = writeExportNetcdf(dir / "missing/x.nc", std::vector<ExportRow>{});
    EXPECT_FALSE(written.ok());
    EXPECT_FALSE(written.error().empty());
}

}  // namespace
