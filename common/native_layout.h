#pragma once
// The Native file as both programs use it: where the header fields sit and how the line
// blocks of the interleaved channels are laid out.

#include <array>
#include <cstdint>
#include <string>

namespace station::native {

inline constexpr int kChannels = 12;
inline constexpr int kHrvChannel = 12;
inline constexpr int kVisIrGrid = 3712;     // lines and columns of channels 1 to 11
inline constexpr int kHrvGrid = 11136;      // lines and columns of the HRV grid
inline constexpr int kHrvLinePixels = 5568; // pixels of a full HRV line record
inline constexpr int kLineHeaderBytes = 65;

// Header offsets (bytes from the start of the file).
inline constexpr std::int64_t kSceneTimeLength = 2503;  // length byte, characters follow
inline constexpr std::int64_t kSceneTime = 2504;
inline constexpr std::int64_t kChannelString = 4424;
inline constexpr std::int64_t kRectSouth = 4504;  // then north, east, west every 80 bytes
inline constexpr std::int64_t kVisIrLines = 4824;
inline constexpr std::int64_t kVisIrColumns = 4904;
inline constexpr std::int64_t kHrvLines = 4984;
inline constexpr std::int64_t kHrvColumns = 5064;
inline constexpr std::int64_t kAsciiRecordStep = 80;
inline constexpr std::int64_t kAsciiValueWidth = 50;
inline constexpr std::int64_t kSubSatLongitude = 5155;
inline constexpr std::int64_t kBinaryHeaderStart = 5153;
inline constexpr std::int64_t kPlannedSouth = 392084;  // then north, east, west
inline constexpr std::int64_t kHrvLowerNorth = 392104;
inline constexpr std::int64_t kHrvLowerEast = 392108;
inline constexpr std::int64_t kHrvLowerWest = 392112;
inline constexpr std::int64_t kHrvUpperEast = 392124;
inline constexpr std::int64_t kCalibration = 392218;  // slope, offset of channel k at +16(k-1)
inline constexpr std::int64_t kAssemblerMark = 430614;
inline constexpr std::int64_t kImageStart = 450400;

// Bytes a header must hold so every field above can be read.
inline constexpr std::int64_t kMinHeaderBytes = kAssemblerMark + 1;

inline constexpr char kMarkRapidScan = 'i';
inline constexpr char kMarkStandardScan = 's';
inline bool isAssemblerMark(std::uint8_t b) { return b == kMarkRapidScan || b == kMarkStandardScan; }

inline constexpr std::int64_t calibrationSlopeOffset(int channel) {
    return kCalibration + 16 * (channel - 1);
}

// Bytes of a record holding `pixels` packed 10-bit counts.
inline constexpr int packedBytes(int pixels) { return pixels * 10 / 8; }

// Which channels a file holds: cn(k) counts the absent channels among 1..k, nnn those among
// 1..11. The twelfth character counts one more absence when HRV is missing.
struct ChannelMap {
    std::array<std::uint8_t, 13> cn{};
    int nnn = 0;

    static ChannelMap fromSelection(const std::string& selection);
    static ChannelMap allPresent() { return {}; }

    bool present(int channel) const;
    bool hrvPresent() const { return present(kHrvChannel); }
};

// Record arithmetic of one file: lengths of records and blocks, where a channel's record sits.
struct BlockLayout {
    int nobyco = 0;      // packed bytes per VIS/IR record
    int nobyco_hrv = 0;  // packed bytes per HRV record
    ChannelMap map;

    std::int64_t blocall() const;
    // Offset within a block of channel k's record (k 1..11), or of the first HRV record (k 12).
    std::int64_t recordStart(int channel) const;
    // File offset of the packed pixels of stored line `u` of channel k (first HRV sub-line).
    std::int64_t pixelOffset(int channel, std::int64_t u) const;
    std::int64_t hrvSubLineStep() const { return nobyco_hrv + kLineHeaderBytes; }
};

// A full disk of all twelve channels, as the assembler writes it.
inline constexpr std::int64_t kFullDiskBlock = 3 * (6960 + 65) + 11 * (4640 + 65);
inline constexpr std::int64_t kFullDiskFileBytes = kImageStart + kVisIrGrid * kFullDiskBlock;

}  // namespace station::native
