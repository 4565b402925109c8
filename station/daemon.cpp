#include "station/daemon.h"

#include <chrono>
#include <csignal>
#include <thread>

#include "common/clock.h"
#include "station/station.h"

namespace station {

namespace {

constexpr const char* kUsage = R"(usage: tinrell [--dir STATION] [--headless | --once] [options]

The reception processor: watches the folders the reception client writes into (cd.txt of the
station directory names them), decompresses each closed slot, assembles its Native file into
nats/, sorts the other products and purges old files.

  --dir STATION   the station directory (default: the current directory)
  --headless      run the cycle with no window until SIGTERM or SIGINT, logging to
                  logfile.txt and stderr
  --once          run one tick of each phase (decompression, then assembly) and exit
  --satellite D   the satellite digit of the segment names (default 4)
  --rss           5-minute rapid-scan slots
  --no-purge      do not purge old files
  --remote        write Native files under the directory named in cdr.txt
  --no-nats       no decompression nor assembly of MSG slots
  --settle SECONDS  how old a received file must be before it is taken (default 20)
  --interval SECONDS  seconds between ticks of --headless (default 30; shorter for tests)
  --help          this text
Without --headless or --once the station window opens.
)";

volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) { stopRequested = 1; }

}  // namespace

bool wantsWindow(const std::vector<std::string>& args) {
    for (const auto& a : args)
        if (a == "--headless" || a == "--once" || a == "--help" || a == "-h") return false;
    return true;
}

int runTinrellCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::filesystem::path dir = std::filesystem::current_path();
    CycleSettings settings;
    bool once = false;
    int interval = 30;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            out << kUsage;
            return 0;
        } else if (a == "--dir" && hasValue) {
            dir = args[++i];
        } else if (a == "--satellite" && hasValue && args[i + 1].size() == 1) {
            settings.satellite = args[++i][0];
        } else if (a == "--settle" && hasValue) {
            const auto& v = args[++i];
            if (v.empty() || v.find_first_not_of("0123456789") != std::string::npos || v.size() > 6) {
                err << "tinrell: --settle needs a number of seconds\n";
                return 2;
            }
            settings.settle = std::chrono::seconds(std::stoi(v));
        } else if (a == "--interval" && hasValue) {
            const auto& v = args[++i];
            if (v.empty() || v.find_first_not_of("0123456789") != std::string::npos || v.size() > 5 || v == "0") {
                err << "tinrell: --interval needs a number of seconds\n";
                return 2;
            }
            interval = std::stoi(v);
        } else if (a == "--rss") {
            settings.rapidScan = true;
        } else if (a == "--no-purge") {
            settings.purge = false;
        } else if (a == "--remote") {
            settings.remote = true;
        } else if (a == "--no-nats") {
            settings.noNats = true;
        } else if (a == "--once") {
            once = true;
        } else if (a == "--headless") {
            // The default of this entry point: nothing to set.
        } else {
            err << "tinrell: unknown argument '" << a << "'\n" << kUsage;
            return 2;
        }
    }
    if (settings.remote && settings.noNats) {
        err << "tinrell: --remote and --no-nats exclude each other\n";
        return 2;
    }
    const SystemClock clock;
    auto station = Station::open(dir, clock, settings);
    if (!station) {
        err << "tinrell: " << station.error() << '\n';
        return 1;
    }
    auto& cycle = (*station)->cycle();
    cycle.log().echo = [&err](const std::string& line) { err << line << '\n'; };
    cycle.start();
    if (once) {
        cycle.tickBoth();
        return 0;
    }
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    cycle.log().line("tinrell: reception cycle on " + dir.string() + " every " + std::to_string(interval) +
                     " seconds until stopped");
    while (!stopRequested) {
        cycle.tick();  // a signal during a step lets the step finish
        for (int s = 0; s < interval * 10 && !stopRequested; ++s) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    cycle.log().line("tinrell: stopped");
    return 0;
}

}  // namespace station
