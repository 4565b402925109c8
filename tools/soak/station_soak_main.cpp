// station_soak: runs the reception processor for many slots on an accelerated clock against a
// generator that broadcasts synthetic slots with faults, checks what the station made, kept and
// deleted, and prints one summary line.

#include <stdlib.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "tools/kit/reception_files.h"
#include "tools/soak/soak_run.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    R"(usage: station_soak [--slots N] [--seed S] [--dir SCRATCH] [--keep] [options]

Runs the reception processor on a scratch station, 15 minutes of a manual clock per slot, while
synthetic slots arrive in its received folder with faults drawn per slot from the seed: missing
and truncated segments, no prologue or epilogue, a deco that fails or hangs on some segments, a
restart between decompression and assembly, a file still being written when its slot closes,
a slot with too few segments; purge.txt keeps files briefly so the purge works throughout.
After every tick nats/ must hold complete files only; every slot must become one Native file
with the right header and lines (blanks where segments were lost); nothing of the user's
(decoy files, folders and links in the station and received folders) may be deleted.
Prints one summary line; exits 1 when a check failed, 2 on bad arguments.

  --slots N           slots to broadcast (default 200)
  --seed S            the seed of the faults (default: a random one, shown in the summary)
  --dir SCRATCH       where the scratch station goes: a new or empty directory (default: a
                      new temporary directory); removed at the end unless --keep, or kept
                      when a check failed
  --keep              keep the scratch station
  --deco PATH         the stand-in decompressor (default: the one built beside this program)
  --deco-timeout MS   how long the station lets one deco run (default 2000)
  --verbose           a progress line every 20 slots on stderr
  --log               the station's log on stderr
  --help              this text
)";

template <class T>
bool number(const std::string& text, T& value) {
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && p == text.data() + text.size();
}

int usage(const std::string& why) {
    std::cerr << "station_soak: " << why << "\n" << kUsage;
    return 2;
}

fs::path standInDeco() {
    std::error_code ec;
    const auto self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        for (const auto& candidate :
             {self.parent_path() / "deco", self.parent_path().parent_path() / "deco" / "deco"})
            if (fs::is_regular_file(candidate, ec)) return candidate;
    if (auto kit = kit::standInDeco(); !kit.empty()) return kit;
#ifdef STATION_SOAK_DECO
    return STATION_SOAK_DECO;
#else
    return {};
#endif
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    soak::SoakOptions o;
    bool seedGiven = false, keep = false, verbose = false, log = false;
    fs::path dir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (a == "--slots" && hasValue) {
            if (!number(args[++i], o.slots) || o.slots < 1 || o.slots > 100000)
                return usage("--slots needs a number from 1");
        } else if (a == "--seed" && hasValue) {
            if (!number(args[++i], o.seed)) return usage("--seed needs a whole number");
            seedGiven = true;
        } else if (a == "--dir" && hasValue) {
            dir = args[++i];
        } else if (a == "--deco" && hasValue) {
            o.standInDeco = args[++i];
        } else if (a == "--deco-timeout" && hasValue) {
            int ms = 0;
            if (!number(args[++i], ms) || ms < 1) return usage("--deco-timeout needs milliseconds");
            o.decoTimeout = std::chrono::milliseconds(ms);
        } else if (a == "--keep") {
            keep = true;
        } else if (a == "--verbose") {
            verbose = true;
        } else if (a == "--log") {
            log = true;
        } else {
            return usage("unknown argument '" + a + "'");
        }
    }
    if (!seedGiven) o.seed = std::random_device{}();
    if (o.standInDeco.empty()) o.standInDeco = standInDeco();
    if (o.standInDeco.empty())
        return usage("no stand-in deco found beside the program; name it with --deco");

    std::error_code ec;
    bool made = false;
    if (dir.empty()) {
        auto pattern = (fs::temp_directory_path() / "station-soak-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::cerr << "station_soak: cannot make a temporary directory\n";
            return 1;
        }
        dir = pattern;
        made = true;
    } else if (fs::exists(dir, ec)) {
        if (!fs::is_directory(dir, ec) || !fs::is_empty(dir, ec))
            return usage(dir.string() +
                         " is not an empty directory: the soak only works in one of its own");
    } else {
        made = fs::create_directories(dir, ec);
        if (!made) {
            std::cerr << "station_soak: cannot make " << dir.string() << ": " << ec.message()
                      << '\n';
            return 1;
        }
    }
    o.dir = fs::absolute(dir);
    if (verbose) o.progress = [](const std::string& line) { std::cerr << line << std::endl; };
    if (log) o.stationLog = [](const std::string& line) { std::cerr << line << '\n'; };

    const auto report = soak::runSoak(o);
    constexpr std::size_t kShown = 40;
    for (std::size_t i = 0; i < report.failures.size() && i < kShown; ++i)
        std::cerr << "station_soak: FAILED: " << report.failures[i] << '\n';
    if (report.failures.size() > kShown)
        std::cerr << "station_soak: ... and " << report.failures.size() - kShown
                  << " more failed checks\n";
    std::cout << report.summary() << std::endl;

    if (keep || !report.ok()) {
        std::cerr << "station_soak: the scratch station stays in " << o.dir.string() << '\n';
    } else if (made) {
        fs::remove_all(o.dir, ec);
    } else {
        // An empty directory was given: everything in it is the soak's.
        for (const auto& entry : fs::directory_iterator(o.dir, ec))
            fs::remove_all(entry.path(), ec);
    }
    return report.ok() ? 0 : 1;
}
