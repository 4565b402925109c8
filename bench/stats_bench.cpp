// The temporal statistics over a day of slots: the average of one infrared channel over 96
// full-disk files (symbolic links to the one full-disk scene, so its pages stay cached) at
// full resolution on the largest display, with the temperature file written at the end.
// Reports the time per file and the peak resident size after the first file and after the
// last: the accumulators are made once, so the second must not grow with the files.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

#include "bench/full_disk.h"
#include "common/clock.h"
#include "common/host.h"
#include "viewer/stats_commands.h"
#include "viewer/viewer.h"

namespace {

namespace fs = std::filesystem;
using namespace tesmar;

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Notes the peak resident size when the first file is done and when all are.
class MeasuringHost : public station::ConsoleHost {
  public:
    double afterFirst = 0, afterAll = 0;
    void progress(int done, int total) override {
        if (done == 1) afterFirst = peakRssMb();
        if (done == total) afterAll = peakRssMb();
    }
};

std::vector<fs::path> slots(int count) {
    const auto dir = fs::temp_directory_path() / "station-bench-stats";
    fs::remove_all(dir);
    fs::create_directories(dir / "nats");
    std::vector<fs::path> files;
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "20190318%02d%02d.nat", i / 4, 15 * (i % 4));
        files.push_back(dir / "nats" / name);
        fs::create_symlink(fs::absolute(bench::fullDiskPath()), files.back());
    }
    return files;
}

void AverageOfFullDisks(benchmark::State& state) {
    const auto files = slots(static_cast<int>(state.range(0)));
    MeasuringHost host;
    const station::SystemClock clock;
    Viewer v(host, clock, files.front().parent_path().parent_path());
    v.oncre();
    v.unattended = true;
    v.gsize = 1280;
    v.gsizev = 1024;
    v.controls.coastLines = false;
    v.controls.channel = std::string("9");
    v.controls.lon = std::string("-5");
    v.controls.lat = std::string("40");
    v.controls.scopeSlider = 5;  // every stored pixel
    v.nomcan();
    if (!v.abrefiche_secre(files.front()) || !v.geogracr()) {
        state.SkipWithError("the full-disk scene cannot be drawn");
        return;
    }
    const double before = peakRssMb();
    double seconds = 0;
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        const auto run = temporalStatistic(v, compose::Statistic::Average, files);
        seconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!run.made || run.combined != static_cast<int>(files.size()) || run.netcdf.empty())
            state.SkipWithError("the average was not made of every file");
    }
    state.counters["ms_per_file"] =
        1000 * seconds /
        (static_cast<double>(files.size()) * static_cast<double>(state.iterations()));
    // The accumulators are made with the first file; later files may not add to the peak
    // beyond noise (a few pages of the reader and the picture).
    if (host.afterAll > host.afterFirst + 8)
        state.SkipWithError("memory grew with the number of files");
    state.counters["peak_rss_MB_before"] = before;
    state.counters["peak_rss_MB_first_file"] = host.afterFirst;
    state.counters["peak_rss_MB_all_files"] = host.afterAll;
}
BENCHMARK(AverageOfFullDisks)->Arg(96)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
