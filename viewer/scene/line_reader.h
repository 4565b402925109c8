#pragma once
// Reads image lines of the current scene: one positioned read of the record's bytes per line.

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "common/result.h"
#include "viewer/scene/native_scene.h"

namespace tesmar {

class LineReader {
public:
    // Opens the scene's file for the length of one operation.
    static station::Result<LineReader> open(const NativeScene& scene);

    LineReader(LineReader&& other) noexcept;
    LineReader& operator=(LineReader&& other) noexcept;
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader();

    // Counts of stored line `u` (0 = first block) of VIS/IR channel 1..11; `counts` takes
    // min(counts.size(), pixels per line) values. False when the channel is not in the file.
    bool readVisIr(int channel, std::int64_t u, std::span<std::uint16_t> counts);

    // The three HRV lines of stored line `u`, southernmost first.
    bool readHrv(std::int64_t u, std::span<std::uint16_t> south, std::span<std::uint16_t> middle,
                 std::span<std::uint16_t> north);

    // The packed record of stored line `u` of VIS/IR channel 1..11, for callers that unpack
    // only the pixels they sample; empty when the channel is not in the file. Valid until the
    // next read.
    std::span<const std::uint8_t> packedVisIr(int channel, std::int64_t u);
    // The three packed HRV records of stored line `u`, read at once; record i starts at
    // i * (nobyco_hrv + 65) and holds nobyco_hrv bytes. Empty without HRV.
    std::span<const std::uint8_t> packedHrv(std::int64_t u);

    // Some bytes were missing (a short or truncated file): they read as zero counts.
    bool incomplete() const { return incomplete_; }
    std::int64_t fileBytes() const { return fileBytes_; }
    const NativeScene& scene() const { return scene_; }

private:
    LineReader(int fd, const NativeScene& scene, std::int64_t fileBytes);
    // Reads n bytes at `at` into buf_, zero-filling what the file does not hold.
    void readAt(std::int64_t at, std::size_t n);

    int fd_ = -1;
    NativeScene scene_;
    native::BlockLayout layout_;
    std::int64_t fileBytes_ = 0;
    bool incomplete_ = false;
    std::vector<std::uint8_t> buf_;
};

}  // namespace tesmar
