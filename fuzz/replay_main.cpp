// fuzz_replay TARGET PATH...: runs a fuzz target on the given inputs (files, or every file of
// the given folders) without libFuzzer, so the inputs that once broke a reader stay tests in
// every build. A broken invariant or a sanitizer report ends the program with an error; "ok"
// and the count of inputs run otherwise.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#define STATION_FUZZ_TARGETS(X)                                                        \
    X(native)                                                                          \
    X(segment_names)                                                                   \
    X(xrit_header) X(product_list) X(station_files) X(viewer_startup) X(overlay_texts) \
        X(shapefile) X(coast_masks) X(pictures) X(archives)

#define STATION_DECLARE(name) extern "C" int station_fuzz_##name(const std::uint8_t*, std::size_t);
STATION_FUZZ_TARGETS(STATION_DECLARE)
#undef STATION_DECLARE
extern "C" int station_fuzz_init_archives(int*, char***);

namespace {

namespace fs = std::filesystem;

struct Target {
    std::string_view name;
    int (*run)(const std::uint8_t*, std::size_t);
};

#define STATION_ENTRY(name) Target{#name, station_fuzz_##name},
constexpr Target kTargets[] = {STATION_FUZZ_TARGETS(STATION_ENTRY)};
#undef STATION_ENTRY

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: fuzz_replay TARGET FILE_OR_FOLDER...\ntargets:";
        for (const auto& t : kTargets) std::cerr << ' ' << t.name;
        std::cerr << '\n';
        return 2;
    }
    const auto* target = std::find_if(std::begin(kTargets), std::end(kTargets),
                                      [&](const Target& t) { return t.name == argv[1]; });
    if (target == std::end(kTargets)) {
        std::cerr << "fuzz_replay: no target " << argv[1] << '\n';
        return 2;
    }
    if (target->name == "archives") station_fuzz_init_archives(&argc, &argv);

    std::vector<fs::path> inputs;
    for (int i = 2; i < argc; ++i) {
        const fs::path p = argv[i];
        if (fs::is_directory(p)) {
            for (const auto& e : fs::directory_iterator(p))
                if (e.is_regular_file()) inputs.push_back(e.path());
        } else {
            inputs.push_back(p);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    for (const auto& p : inputs) {
        std::ifstream in(p, std::ios::binary);
        if (!in) {
            std::cerr << "fuzz_replay: cannot read " << p.string() << '\n';
            return 1;
        }
        const std::string bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
        std::cout << target->name << ": " << p.filename().string() << std::endl;
        target->run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::cout << "ok: " << inputs.size() << " inputs\n";
    return 0;
}
