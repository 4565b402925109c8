// The product cycle on a full-disk file: each kind of the demo list alone, and a list of 24
// entries (the most a list holds) made in one tick. Pictures are written as JPEG into a
// scratch station whose data kit (coast masks, towns) is the demo station's when present.

#include <benchmark/benchmark.h>

#include <fstream>

#include "bench/full_disk.h"
#include "common/clock.h"
#include "common/host.h"
#include "viewer/viewer.h"

namespace {

namespace fs = std::filesystem;
using namespace tesmar;

// Entries as product.txt holds them; every kind the cycle makes, at several scopes and places.
const char* const kEntries[] = {
    "## eur\ns\n9\n\n\n7\n45\n2",       "## com\nc\n3\n2\n1\n10\n35\n3",
    "## air mercator -15 62 35 30 0 0\nf\n5\n6\n1\n10\n45\n2",
    "## hrv zoom\nh\n12\n12\n9\n5\n45\n5", "## tdi slice0;60\nd\n9\n5\n\n0\n0\n1",
};

const fs::path& scratchStation() {
    static const fs::path dir = [] {
        const auto d = fs::temp_directory_path() / "station-bench-products";
        fs::remove_all(d);
        fs::create_directories(d / "nats");
        fs::create_symlink(fs::absolute(bench::fullDiskPath()), d / "nats" / "201903181200.nat");
        for (const char* kit : {"coastline_m11.bmp", "coastline_hrv.pbm", "town.txt", "coast.txt", "label.txt"})
            if (fs::exists(bench::stationDir() / kit)) fs::copy_file(bench::stationDir() / kit, d / kit);
        std::ofstream list(d / "product.txt");
        // 24 entries: the five kinds around five centres and scopes.
        const char* centres[] = {"7\n45", "-5\n40", "20\n0", "30\n-20", "0\n55"};
        for (int i = 0; i < 24; ++i) {
            std::string e = kEntries[i % 5];
            const auto nameEnd = e.find('\n');
            const std::string number = std::to_string(i);  // distinct names, distinct files
            e = e.substr(0, nameEnd > 6 ? 6 : nameEnd).append(number).append(e.substr(nameEnd > 6 ? 6 : nameEnd));
            if (i >= 5) {
                // Another place: the centre lines (6th and 7th) of the entry.
                std::size_t at = 0;
                for (int line = 0; line < 5; ++line) at = e.find('\n', at) + 1;
                const auto end = e.find('\n', e.find('\n', at) + 1);
                e.replace(at, end - at, centres[i % 5]);
            }
            list << e << '\n';
        }
        return d;
    }();
    return dir;
}

struct Station {
    station::ConsoleHost host;
    station::SystemClock clock;
    Viewer v{host, clock, scratchStation()};
    Station() {
        v.oncre();
        v.unattended = true;
        v.controls.towns = true;
        if (!v.abrefiche_secre(scratchStation() / "nats" / "201903181200.nat")) std::abort();
    }
};

void ProductKind(benchmark::State& state) {
    Station st;
    const auto list = products::parseProductList(kEntries[state.range(0)] + std::string("\n"));
    const auto& entry = list.entries.at(0);
    state.SetLabel(entry.header);
    for (auto _ : state) {
        const auto run = st.v.makeProduct(entry, scratchStation() / "prods", {});
        if (run.file.empty()) state.SkipWithError(run.why.c_str());
    }
}
BENCHMARK(ProductKind)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

void ProductList24(benchmark::State& state) {
    Station st;
    for (auto _ : state) {
        st.v.date_ante.clear();  // the same slot again
        const auto runs = st.v.tualotuyo({}, scratchStation() / "nats" / "201903181200.nat");
        for (const auto& r : runs)
            if (r.file.empty()) state.SkipWithError((r.entry + ": " + r.why).c_str());
        state.counters["entries"] = static_cast<double>(runs.size());
    }
}
BENCHMARK(ProductList24)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
