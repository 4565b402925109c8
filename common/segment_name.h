#pragma once
// The names of the xRIT segment files of a repeat cycle, read and built by character position,
// and what a slot's names and sizes are. Every part of the station that looks at received
// files goes through these, so they can never disagree on a name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace station::segments {

inline constexpr std::size_t kNameLength = 61;
inline constexpr int kVisIrSegments = 8;
inline constexpr int kHrvSegments = 24;
inline constexpr int kImageSegments = 11 * kVisIrSegments + kHrvSegments;  // 112
inline constexpr int kSlotFiles = kImageSegments + 2;                       // with prologue, epilogue
inline constexpr int kLinesPerSegment = 464;
inline constexpr int kSegmentHeaderBytes = 6198;
inline constexpr int kVisIrLineBytes = 4640;
inline constexpr int kHrvLineBytes = 6960;
inline constexpr std::int64_t kVisIrSegmentBytes = kSegmentHeaderBytes + std::int64_t{kLinesPerSegment} * kVisIrLineBytes;
inline constexpr std::int64_t kHrvSegmentBytes = kSegmentHeaderBytes + std::int64_t{kLinesPerSegment} * kHrvLineBytes;
inline constexpr int kPrologueHeaderBytes = 90;
inline constexpr std::int64_t kPrologueDataBytes = 425461;
inline constexpr std::int64_t kPrologueBytes = kPrologueHeaderBytes + kPrologueDataBytes;  // 425,551
inline constexpr std::int64_t kEpilogueBytes = 380415;
// Image segments a rapid scan never delivers.
inline constexpr int kRssMissingHrv = 15;
inline constexpr int kRssMissingOther = 55;

inline constexpr std::string_view kFullDiskScan = "________";
inline constexpr std::string_view kRapidScan = "_RSS____";

enum class Part { Image, Prologue, Epilogue };

// The channel field of channel k (1..12), nine characters, as the names and the Native file
// order them.
std::string_view channelField(int channel);
// The channel of a channel field, or nothing.
std::optional<int> channelOfField(std::string_view field);
// Segments per cycle of channel k: 24 for HRV, 8 for the others.
inline int segmentsOf(int channel) { return channel == 12 ? kHrvSegments : kVisIrSegments; }
// The nominal size of a decompressed file.
std::int64_t nominalBytes(Part part, int channel);

struct SegmentName {
    char service = 'H';          // 'H' high rate, 'L' low rate
    char satellite = '4';        // the digit of "MSG4"
    bool rapidScan = false;      // "_RSS____" rather than "________"
    Part part = Part::Image;
    int channel = 0;             // 1..12 for an image segment
    int segment = 0;             // 1..24 for an image segment, 0 for prologue and epilogue
    std::string slot;            // "yyyymmddhhmm"
    bool compressed = false;     // "C_" rather than "__"

    std::string scanField() const { return std::string(rapidScan ? kRapidScan : kFullDiskScan); }
    // The 61 characters of the name.
    std::string build() const;
    // Nominal size of the file once decompressed.
    std::int64_t nominalBytes() const { return segments::nominalBytes(part, channel); }
    bool operator==(const SegmentName&) const = default;
};

// Reads an MSG segment name; nothing when it is not one (too short, a field out of its
// vocabulary, a slot time that is not 12 digits).
std::optional<SegmentName> parse(std::string_view name);

// The working-directory names of a slot's prologue and epilogue ("-__").
std::string prologueName(char satellite, bool rapidScan, const std::string& slot);
std::string epilogueName(char satellite, bool rapidScan, const std::string& slot);

}  // namespace station::segments
