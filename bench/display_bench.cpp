// Picture making on a synthetic full-disk scene: filling the raster at scopes 1 and 5 and for
// HRV against the bare cost of reading the same records, coast burn-in and the stretch.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "bench/full_disk.h"
#include "tests/support/scene_facts.h"
#include "viewer/display/fine_contrast.h"
#include "viewer/display/height_focus.h"
#include "viewer/display/stretch.h"
#include "viewer/display/overlays.h"
#include "viewer/display/picture_fill.h"
#include "viewer/display/picture_files.h"
#include "viewer/display/remap.h"
#include "viewer/display/zoom.h"
#include "viewer/scene/line_reader.h"

namespace {

using namespace tesmar;

DataWindow windowAt(const NativeScene& s, int ncha, int slider) {
    WindowRequest r;
    r.fi = 5;
    r.la = 45;
    r.ncha = ncha;
    r.scopeSlider = slider;
    return leedatos(s, {s.p95}, r);
}

void ReadRecordsOnly(benchmark::State& state) {
    const auto s = bench::fullDiskScene();
    const auto w = windowAt(s, 9, 5);
    for (auto _ : state) {
        auto reader = LineReader::open(s);
        for (int u = w.fil; u < w.lal; ++u) benchmark::DoNotOptimize(reader->packedVisIr(9, u).data());
    }
}
BENCHMARK(ReadRecordsOnly)->Unit(benchmark::kMillisecond);

void FillVisIr(benchmark::State& state) {
    const auto s = bench::fullDiskScene();
    const auto w = windowAt(s, 9, static_cast<int>(state.range(0)));
    display::Raster g;
    display::WorkPlane fx;
    for (auto _ : state) benchmark::DoNotOptimize(display::fillChannel(s, w, {9}, g, fx).cells);
}
BENCHMARK(FillVisIr)->Arg(5)->Arg(1)->Unit(benchmark::kMillisecond);

void FillHrv(benchmark::State& state) {
    const auto s = bench::fullDiskScene();
    const auto w = windowAt(s, 12, 5);
    display::Raster g;
    display::WorkPlane fx;
    for (auto _ : state) benchmark::DoNotOptimize(display::fillChannel(s, w, {12}, g, fx).cells);
}
BENCHMARK(FillHrv)->Unit(benchmark::kMillisecond);

void CoastBurnIn(benchmark::State& state) {
    const auto s = bench::fullDiskScene();
    const auto mask = bench::stationDir() / "coastline_m11.bmp";
    if (!std::filesystem::exists(mask)) {
        state.SkipWithError("no coast mask: run the demo first");
        return;
    }
    const auto w = windowAt(s, 9, 5);
    display::Raster g;
    const display::OverlayContext ctx{s, w, display::PictureGeometry::visIr(w), false, {s.p95}};
    for (auto _ : state) benchmark::DoNotOptimize(display::overl(ctx, mask, bench::stationDir() / "none.pbm", g));
}
BENCHMARK(CoastBurnIn)->Unit(benchmark::kMillisecond);

void Stretch(benchmark::State& state) {
    const auto s = bench::fullDiskScene();
    const auto w = windowAt(s, 9, 5);
    display::Raster g;
    display::WorkPlane fx;
    display::fillChannel(s, w, {9}, g, fx);
    const auto geo = display::PictureGeometry::visIr(w);
    for (auto _ : state)
        benchmark::DoNotOptimize(display::bitmapea_c(g, geo, display::PictureKind::SingleVisIr, {}).rgb.data());
}
BENCHMARK(Stretch)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// One zoom level of a full picture, in place on the two rasters.
void ZoomIn(benchmark::State& state) {
    tesmar::display::Raster g, gp;
    const auto geo =
        tesmar::display::PictureGeometry::visIr(testing_support::makeWindow(0, 1024, 0, 1280));
    for (auto _ : state) {
        tesmar::display::ZoomState z;
        z.zoomIn(g, gp, geo, 640, 512);
        benchmark::DoNotOptimize(g.row(0, 0));
    }
}
BENCHMARK(ZoomIn)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// A Mercator remap of a full-resolution picture of the largest display, 1280 x 1024.
void MercatorRemap(benchmark::State& state) {
    const auto s = bench::fullDiskScene();
    tesmar::WindowRequest r;
    r.fi = 5;
    r.la = 45;
    r.gsize = 1280;
    r.gsizev = 1024;
    const auto w = tesmar::leedatos(s, {s.p95}, r);
    tesmar::display::Raster g, gp;
    tesmar::display::RemapRequest q;
    q.corners = tesmar::display::mercatorCorners(s, w, {s.p95}, false);
    for (auto _ : state) benchmark::DoNotOptimize(tesmar::display::remap(s, w, {s.p95}, false, g, q, gp).ok);
}
BENCHMARK(MercatorRemap)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// JPEG quality 80 of a 1280 x 1024 picture, as the product cycle saves it.
void JpegQ80(benchmark::State& state) {
    tesmar::display::Image24 img(1280, 1024);
    for (std::size_t i = 0; i < img.rgb.size(); ++i) img.rgb[i] = static_cast<std::uint8_t>((i / 3) % 251);
    const auto path = std::filesystem::temp_directory_path() / "station-bench.jpg";
    for (auto _ : state) benchmark::DoNotOptimize(tesmar::display::writeJpeg(img, path, 80).ok());
    std::filesystem::remove(path);
}
BENCHMARK(JpegQ80)->Unit(benchmark::kMillisecond);

}  // namespace
