// slotsynth: writes the files of one received slot, named as broadcast.

#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "tools/synth/received_slot.h"

namespace {

constexpr const char* kUsage = R"(usage: slotsynth DIR --slot YYYYMMDDhhmm [options]
Writes one repeat cycle's files into DIR as the broadcast names them: the prologue, the image
segments ("-C_" names holding uncompressed data) and the epilogue, one line per file written.
  --slot YYYYMMDDhhmm      the slot time (a 15-minute cycle, 5 minutes with --rss)
  --satellite D            the digit of the satellite's name (default 4)
  --rss                    a rapid-scan slot: the 15 southern HRV and 55 other segments never come
  --pattern                position-coded counts (default: a plausible Earth disk)
  --hrv-window N E W U     lower HRV window north line, east and west columns, upper east column
  --seed N                 varies the clouds of the Earth disk
  --drop WHAT ...          leave out files: CHANNEL:SEGMENT (e.g. 9:8, 12:24) or a file name
  --truncate CH:SEG BYTES  cut that segment short to BYTES
  --no-prologue            leave out the prologue
  --no-epilogue            leave out the epilogue
  --slow MS                write each file in chunks under its own name, pausing MS after each
  --chunk BYTES            chunk size of --slow (default 262144)
Existing files of the slot are never replaced.
)";

template <class T>
bool number(const std::string& s, T& out) {
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc{} && p == s.data() + s.size();
}

[[noreturn]] void fail(const std::string& why, int code = 2) {
    std::cerr << "slotsynth: " << why << '\n';
    std::exit(code);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.empty() || a[0] == "--help" || a[0] == "-h") {
        std::cout << kUsage;
        return a.empty() ? 2 : 0;
    }
    synth::ReceivedSlotOptions o;
    const std::string dir = a[0];
    bool slotGiven = false;
    std::vector<std::string> drops;  // applied once the slot is known
    const auto need = [&](std::size_t i, std::size_t n) {
        if (i + n >= a.size()) fail(a[i] + " needs " + std::to_string(n) + " value(s)");
    };
    const auto num = [&](const std::string& text, auto& v) {
        if (!number(text, v)) fail("'" + text + "' is not a number");
    };
    for (std::size_t i = 1; i < a.size(); ++i) {
        const auto& f = a[i];
        if (f == "--help" || f == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (f == "--slot") {
            need(i, 1);
            o.slot = a[++i];
            slotGiven = true;
        } else if (f == "--satellite") {
            need(i, 1);
            if (a[++i].size() != 1) fail("--satellite takes one digit");
            o.satellite = a[i][0];
        } else if (f == "--rss") {
            o.rapidScan = true;
        } else if (f == "--pattern") {
            o.content = synth::Content::Pattern;
        } else if (f == "--hrv-window") {
            need(i, 4);
            num(a[i + 1], o.hrv.lowerNorth);
            num(a[i + 2], o.hrv.lowerEast);
            num(a[i + 3], o.hrv.lowerWest);
            num(a[i + 4], o.hrv.upperEast);
            i += 4;
        } else if (f == "--seed") {
            need(i, 1);
            num(a[++i], o.seed);
        } else if (f == "--drop") {
            need(i, 1);
            while (i + 1 < a.size() && a[i + 1].rfind("--", 0) != 0) drops.push_back(a[++i]);
        } else if (f == "--truncate") {
            need(i, 2);
            const auto key = synth::parseSegmentKey(a[i + 1]);
            if (!key) fail("'" + a[i + 1] + "' is not CHANNEL:SEGMENT");
            std::int64_t bytes = 0;
            num(a[i + 2], bytes);
            o.truncate = synth::Truncation{*key, bytes};
            i += 2;
        } else if (f == "--no-prologue") {
            o.prologue = false;
        } else if (f == "--no-epilogue") {
            o.epilogue = false;
        } else if (f == "--slow") {
            need(i, 1);
            int ms = 0;
            num(a[++i], ms);
            o.chunkPause = std::chrono::milliseconds(ms);
        } else if (f == "--chunk") {
            need(i, 1);
            num(a[++i], o.chunkBytes);
        } else {
            std::cerr << "slotsynth: unknown option " << f << "\n" << kUsage;
            return 2;
        }
    }
    if (!slotGiven) fail("--slot is needed");
    for (const auto& d : drops)
        if (const auto why = synth::dropFile(o, d); !why.empty()) fail(why);
    if (const auto why = synth::optionsError(o); !why.empty()) fail(why);

    const auto r = synth::writeReceivedSlot(o, dir, [](const synth::SlotFile& f) {
        std::cout << f.name << ' ' << f.bytes
                  << std::endl;  // flushed: a watcher sees each file as it lands
    });
    if (!r) fail(r.error(), 1);
    return 0;
}
