#pragma once
// What the command-line subcommands share: the argument reader, number parsing, the two ways
// of refusing, and the picture options that `show` and `sequence` both take.

#include <array>
#include <charconv>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "common/result.h"
#include "viewer/viewer.h"

namespace tesmar::cli {

// The usage text of every subcommand (viewer/cli.cpp).
const char* usageText();

class Args {
  public:
    explicit Args(std::vector<std::string> a) : a_(std::move(a)) {}

    // Value(s) following `flag`; empty when the flag is absent or short of values.
    std::optional<std::vector<std::string>> flag(const std::string& name, std::size_t count) const {
        for (std::size_t i = 0; i < a_.size(); ++i)
            if (a_[i] == name) {
                if (i + count >= a_.size()) return std::nullopt;
                return std::vector<std::string>(a_.begin() + static_cast<long>(i) + 1,
                                                a_.begin() + static_cast<long>(i + count) + 1);
            }
        return std::nullopt;
    }
    bool has(const std::string& name) const {
        for (const auto& x : a_)
            if (x == name) return true;
        return false;
    }
    // The i-th argument that is not a flag or a flag's value.
    std::optional<std::string> positional(
        std::size_t i, const std::vector<std::pair<std::string, int>>& flags) const {
        std::size_t seen = 0;
        for (std::size_t k = 1; k < a_.size(); ++k) {
            bool skipped = false;
            for (const auto& [f, n] : flags)
                if (a_[k] == f) {
                    k += static_cast<std::size_t>(n);
                    skipped = true;
                    break;
                }
            if (skipped) continue;
            if (seen++ == i) return a_[k];
        }
        return std::nullopt;
    }

  private:
    std::vector<std::string> a_;
};

template <class T>
std::optional<T> number(const std::string& text) {
    T v{};
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc{} || p != text.data() + text.size()) return std::nullopt;
    return v;
}

inline int fail(std::ostream& err, const std::string& why) {
    err << "tesmar: " << why << '\n';
    return 1;
}

inline int usageError(std::ostream& err, const std::string& why) {
    err << "tesmar: " << why << "\n\n" << usageText();
    return 2;
}

// The picture options: --channel K, --rgb R G B, --centre LON LAT and --scope N (1, every
// stored pixel, to 5, every fifth; default 1). Absent ones stay empty.
struct PictureOptions {
    std::optional<std::string> channel;
    std::optional<std::array<std::string, 3>> rgb;
    std::optional<std::array<std::string, 2>> centre;
    int scope = 1;

    // Into the main window's entries: the scope slider runs the other way (5 is every pixel).
    void applyTo(Controls& c) const {
        if (channel) c.channel = *channel;
        if (rgb) {
            c.red = (*rgb)[0];
            c.green = (*rgb)[1];
            c.blue = (*rgb)[2];
        }
        if (centre) {
            c.lon = (*centre)[0];
            c.lat = (*centre)[1];
        }
        c.scopeSlider = 6 - scope;
    }
};

// The picture options read and checked; a refusal says which one is wrong.
inline station::Result<PictureOptions> pictureOptions(const Args& args) {
    using R = station::Result<PictureOptions>;
    PictureOptions o;
    if (const auto k = args.flag("--channel", 1)) o.channel = (*k)[0];
    if (const auto rgb = args.flag("--rgb", 3))
        o.rgb = std::array<std::string, 3>{(*rgb)[0], (*rgb)[1], (*rgb)[2]};
    if (const auto centre = args.flag("--centre", 2)) {
        if (!number<double>((*centre)[0]) || !number<double>((*centre)[1]))
            return R::failure("--centre takes two numbers (degrees)");
        o.centre = std::array<std::string, 2>{(*centre)[0], (*centre)[1]};
    }
    if (const auto scope = args.flag("--scope", 1)) {
        const auto degra = number<int>((*scope)[0]);
        if (!degra || *degra < 1 || *degra > 5) return R::failure("--scope takes 1 to 5");
        o.scope = *degra;
    }
    return o;
}

}  // namespace tesmar::cli
