#include "common/segment_name.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace station::segments {

namespace {

constexpr std::array<std::string_view, 12> kChannelFields{"VIS006___", "VIS008___", "IR_016___", "IR_039___",
                                                          "WV_062___", "WV_073___", "IR_087___", "IR_097___",
                                                          "IR_108___", "IR_120___", "IR_134___", "HRV______"};
constexpr std::string_view kNoChannel = "_________";
constexpr std::string_view kPrologue = "PRO______";
constexpr std::string_view kEpilogue = "EPI______";

bool allDigits(std::string_view s) {
    for (const char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return !s.empty();
}

}  // namespace

std::string_view channelField(int channel) {
    return channel >= 1 && channel <= 12 ? kChannelFields[static_cast<std::size_t>(channel - 1)] : kNoChannel;
}

std::optional<int> channelOfField(std::string_view field) {
    for (std::size_t i = 0; i < kChannelFields.size(); ++i)
        if (kChannelFields[i] == field) return static_cast<int>(i) + 1;
    return std::nullopt;
}

std::int64_t nominalBytes(Part part, int channel) {
    switch (part) {
        case Part::Prologue: return kPrologueBytes;
        case Part::Epilogue: return kEpilogueBytes;
        case Part::Image: return channel == 12 ? kHrvSegmentBytes : kVisIrSegmentBytes;
    }
    return 0;
}

std::string SegmentName::build() const {
    std::string n;
    n.reserve(kNameLength);
    n += service;
    n += "-000-MSG";
    n += satellite;
    n += "__-MSG";
    n += satellite;
    n += scanField();
    n += '-';
    if (part == Part::Image) {
        n += channelField(channel);
        n += '-';
        std::string number = std::to_string(segment);
        n += std::string(6 - std::min<std::size_t>(6, number.size()), '0') + number + "___";
    } else {
        n += kNoChannel;
        n += '-';
        n += part == Part::Prologue ? kPrologue : kEpilogue;
    }
    n += '-';
    n += slot;
    n += compressed ? "-C_" : "-__";
    return n;
}

std::optional<SegmentName> parse(std::string_view name) {
    if (name.size() < kNameLength) return std::nullopt;
    // Fixed characters first: anything else is another kind of file.
    if ((name[0] != 'H' && name[0] != 'L') || name.substr(1, 8) != "-000-MSG" || name.substr(10, 6) != "__-MSG" ||
        name[16] != name[9] || !std::isdigit(static_cast<unsigned char>(name[9])) || name[25] != '-' ||
        name[35] != '-' || name[45] != '-' || name[58] != '-')
        return std::nullopt;
    SegmentName s;
    s.service = name[0];
    s.satellite = name[9];
    const auto scan = name.substr(17, 8);
    if (scan == kRapidScan) s.rapidScan = true;
    else if (scan != kFullDiskScan) return std::nullopt;
    const auto channel = name.substr(26, 9);
    const auto segment = name.substr(36, 9);
    if (channel == kNoChannel) {
        if (segment == kPrologue) s.part = Part::Prologue;
        else if (segment == kEpilogue) s.part = Part::Epilogue;
        else return std::nullopt;
    } else {
        const auto k = channelOfField(channel);
        if (!k || !allDigits(segment.substr(0, 6)) || segment.substr(6) != "___") return std::nullopt;
        s.channel = *k;
        s.segment = std::stoi(std::string(segment.substr(0, 6)));
        if (s.segment < 1 || s.segment > segmentsOf(s.channel)) return std::nullopt;
    }
    s.slot = std::string(name.substr(46, 12));
    if (!allDigits(s.slot)) return std::nullopt;
    const auto suffix = name.substr(59, 2);
    if (suffix == "C_") s.compressed = true;
    else if (suffix != "__") return std::nullopt;
    if (name.size() != kNameLength) return std::nullopt;
    return s;
}

std::string prologueName(char satellite, bool rapidScan, const std::string& slot) {
    return SegmentName{'H', satellite, rapidScan, Part::Prologue, 0, 0, slot, false}.build();
}

std::string epilogueName(char satellite, bool rapidScan, const std::string& slot) {
    return SegmentName{'H', satellite, rapidScan, Part::Epilogue, 0, 0, slot, false}.build();
}

}  // namespace station::segments
