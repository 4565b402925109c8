// The airmass RGB of a 920 x 740 window at full resolution: six channel reads, brightness
// temperatures from the per-channel tables, fixed ranges and gamma.

#include <benchmark/benchmark.h>

#include "bench/full_disk.h"
#include "viewer/compose/composites.h"

namespace {

using namespace tesmar;

// A standard RGB over a full-resolution window around 5 E, 45 N.
void Recipe(benchmark::State& state, const char* key) {
    const auto s = bench::fullDiskScene();
    WindowRequest r;
    r.fi = 5;
    r.la = 45;
    r.scopeSlider = 5;
    const auto w = leedatos(s, {s.p95}, r);
    compose::ComplexSettings settings;
    settings.planes = compose::findRecipe(key)->planes;
    settings.fixedRanges = true;
    display::Raster g;
    display::WorkPlane fx;
    for (auto _ : state) {
        const auto built = compose::superseis_f({s, w, {s.p95}}, settings, false, g, fx);
        if (!built.ok) state.SkipWithError(built.error.c_str());
        benchmark::DoNotOptimize(built.ok);
    }
}
BENCHMARK_CAPTURE(Recipe, airmass, "airmass")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Recipe, natural, "natural")->Unit(benchmark::kMillisecond);

}  // namespace
