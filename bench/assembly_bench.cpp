// Assembling a full slot (112 segments, prologue, epilogue) into its 270 MB Native file, next
// to copying a file of that size on the same disk with the same checked, synced writes.

#include <benchmark/benchmark.h>

#include <fstream>

#include "common/durable_file.h"
#include "common/native_assembly.h"
#include "common/segment_name.h"
#include "tools/kit/reception_files.h"

namespace {

namespace fs = std::filesystem;
namespace seg = station::segments;

const fs::path& slotDir() {
    static const fs::path dir = [] {
        const auto d = fs::temp_directory_path() / "station-bench-slot";
        fs::remove_all(d);
        fs::create_directories(d / "work");
        for (const auto& f : kit::receptionFiles())
            if (f.name == "cabecero.nat" || f.name == "pro")
                std::ofstream(d / (f.name == "pro" ? "work/" + seg::prologueName('4', false, "201906121030") : f.name),
                              std::ios::binary)
                    << f.bytes;
        for (int k = 1; k <= 12; ++k)
            for (int s = 1; s <= seg::segmentsOf(k); ++s) {
                std::ofstream out(d / "work" / seg::SegmentName{'H', '4', false, seg::Part::Image, k, s, "201906121030", false}.build(),
                                  std::ios::binary);
                out << std::string(static_cast<std::size_t>(seg::nominalBytes(seg::Part::Image, k)), static_cast<char>(k + s));
            }
        // The same number of bytes in one file, for the copy.
        std::ofstream big(d / "big.nat", std::ios::binary);
        const std::string mb(1 << 20, 'x');
        for (std::uint64_t n = 0; n < station::assembly::kAssembledBytes; n += mb.size())
            big.write(mb.data(), static_cast<std::streamsize>(std::min<std::uint64_t>(mb.size(), station::assembly::kAssembledBytes - n)));
        return d;
    }();
    return dir;
}

void AssembleSlot(benchmark::State& state) {
    const auto& d = slotDir();
    const station::assembly::Slot slot{d / "work", "201906121030", '4', false};
    for (auto _ : state) {
        fs::remove(d / "out.nat");
        const auto made = station::assembly::assemble(slot, d / "cabecero.nat", d / "out.nat");
        if (!made) state.SkipWithError(made.error().c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * station::assembly::kAssembledBytes));
}
BENCHMARK(AssembleSlot)->Unit(benchmark::kMillisecond)->Iterations(5);

void CopyNativeSizedFile(benchmark::State& state) {
    const auto& d = slotDir();
    std::vector<char> buffer(8 << 20);
    for (auto _ : state) {
        fs::remove(d / "copy.nat");
        std::ifstream in(d / "big.nat", std::ios::binary);
        station::DurableFile out(d / "copy.nat");
        while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
            out.write(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
        const auto done = out.publish(station::IfExists::Replace);
        if (!done) state.SkipWithError(done.error().c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * station::assembly::kAssembledBytes));
}
BENCHMARK(CopyNativeSizedFile)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
