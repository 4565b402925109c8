// natsynth: writes a synthetic Native file.

#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "tools/synth/native_writer.h"

namespace {

constexpr const char* kUsage = R"(usage: natsynth OUT.nat [options]
  --earth                 a plausible Earth disk (default: position-coded pattern)
  --mark i|s              an assembled file with that mark (default: a standard file)
  --channels STRING       12 characters, "-" for an absent channel (default XXXXXXXXXXXX)
  --rect S N E W          stored lines S..N and columns E..W, 1-based (default 1 3712 1 3712)
  --hrv-columns N         stated HRV columns of a standard file (default 11136)
  --hrv-window N E W U    lower HRV window north line, east and west columns, upper east column
  --lon DEG               sub-satellite longitude (default 0)
  --time YYYYMMDDhhmm     scene time (default 201903181200)
  --seed N                varies the clouds of --earth
)";

template <class T>
bool parse(const std::string& s, T& out) {
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc{} && p == s.data() + s.size();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> a(argv + 1, argv + argc);
    if (a.empty() || a[0] == "--help" || a[0] == "-h") {
        std::cout << kUsage;
        return a.empty() ? 2 : 0;
    }
    synth::SyntheticScene s;
    const std::string out = a[0];
    auto need = [&](std::size_t i, std::size_t n) {
        if (i + n >= a.size()) {
            std::cerr << "natsynth: " << a[i] << " needs " << n << " value(s)\n";
            std::exit(2);
        }
    };
    auto num = [&](const std::string& text, auto& v) {
        if (!parse(text, v)) {
            std::cerr << "natsynth: '" << text << "' is not a number\n";
            std::exit(2);
        }
    };
    for (std::size_t i = 1; i < a.size(); ++i) {
        const auto& f = a[i];
        if (f == "--earth") s.content = synth::Content::Earth;
        else if (f == "--mark") { need(i, 1); s.mark = a[++i].empty() ? 0 : a[i][0]; }
        else if (f == "--channels") { need(i, 1); s.channels = a[++i]; }
        else if (f == "--rect") { need(i, 4); num(a[i + 1], s.south); num(a[i + 2], s.north); num(a[i + 3], s.east); num(a[i + 4], s.west); i += 4; }
        else if (f == "--hrv-columns") { need(i, 1); num(a[++i], s.hrvColumns); }
        else if (f == "--hrv-window") { need(i, 4); num(a[i + 1], s.hrv.lowerNorth); num(a[i + 2], s.hrv.lowerEast); num(a[i + 3], s.hrv.lowerWest); num(a[i + 4], s.hrv.upperEast); i += 4; }
        else if (f == "--lon") { need(i, 1); num(a[++i], s.subSatLon); }
        else if (f == "--time") { need(i, 1); s.time = a[++i]; }
        else if (f == "--seed") { need(i, 1); num(a[++i], s.seed); }
        else { std::cerr << "natsynth: unknown option " << f << "\n" << kUsage; return 2; }
    }
    if (s.channels.size() != 12 || s.time.size() != 12) {
        std::cerr << "natsynth: --channels and --time take exactly 12 characters\n";
        return 2;
    }
    const auto r = synth::writeNative(s, out);
    if (!r) {
        std::cerr << "natsynth: " << r.error() << '\n';
        return 1;
    }
    std::cout << out << ": " << *r << " bytes\n";
    return 0;
}
