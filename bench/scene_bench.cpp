// Header load time and line unpacking speed on a synthetic full-disk file.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "bench/full_disk.h"
#include "common/unpack10.h"
#include "tools/synth/native_writer.h"
#include "viewer/scene/line_reader.h"
#include "viewer/scene/native_scene.h"

namespace {

const std::filesystem::path& fullDisk() { return bench::fullDiskPath(); }

void HeaderLoad(benchmark::State& state) {
    for (auto _ : state) {
        auto scene = tesmar::readNativeHeader(fullDisk());
        benchmark::DoNotOptimize(scene);
    }
}
BENCHMARK(HeaderLoad)->Unit(benchmark::kMicrosecond);

void UnpackVisIrLine(benchmark::State& state) {
    std::vector<std::uint8_t> packed(4640);
    for (std::size_t i = 0; i < packed.size(); ++i) packed[i] = static_cast<std::uint8_t>(i * 37);
    std::vector<std::uint16_t> out(3712);
    for (auto _ : state) {
        station::unpack10(packed, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(UnpackVisIrLine);

// Reading every line of one channel from the file: one positioned read per line.
void ReadChannel(benchmark::State& state) {
    const auto scene = tesmar::readNativeHeader(fullDisk());
    const int channel = static_cast<int>(state.range(0));
    std::vector<std::uint16_t> a(5568), b(5568), c(5568);
    std::int64_t lines = 0;
    for (auto _ : state) {
        auto reader = tesmar::LineReader::open(*scene);
        for (std::int64_t u = 0; u < 3712; ++u) {
            if (channel == 12) reader->readHrv(u, a, b, c);
            else reader->readVisIr(channel, u, a);
        }
        lines += channel == 12 ? 3 * 3712 : 3712;
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsRate);
}
BENCHMARK(ReadChannel)->Arg(9)->Arg(12)->Unit(benchmark::kMillisecond);

}  // namespace

