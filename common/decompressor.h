#pragma once
// Turning a received file into its decompressed file. Segments go through an external program
// (`deco` in the station directory: our stand-in, or a link to an installed xRIT decompressor);
// gzip and bzip2 archives are decoded in process. Whichever does the work, a failure leaves
// nothing under the decompressed name, and the received file is never touched.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace station {

struct DecompressionJob {
    std::filesystem::path input;
    std::optional<std::uint64_t> expectedBytes;  // the decompressed size, when known
};

struct Decompression {
    std::filesystem::path input;
    std::filesystem::path output;  // the decompressed name, whether or not it was made
    bool ok = false;
    std::string reason;           // why it failed; empty on success
    std::optional<int> exitCode;  // the external program's, when it exited by itself
    bool timedOut = false;        // the external program was stopped for taking too long
};

// The decompressed name of a compressed segment: its last three characters "-C_" become "-__".
// Nothing when the name does not end in "-C_".
std::optional<std::string> decompressedSegmentName(std::string_view name);
// The nominal decompressed size of a segment from its file name, when the name is one.
std::optional<std::uint64_t> nominalSegmentBytes(const std::filesystem::path& input);

class Decompressor {
  public:
    virtual ~Decompressor() = default;
    // Where the decompressed file of `input` goes; nothing when this decompressor does not
    // take files of that name.
    virtual std::optional<std::filesystem::path> outputFor(
        const std::filesystem::path& input) const = 0;
    virtual Decompression decompress(const DecompressionJob& job) const = 0;
    // One result per job, in the order of the jobs. One at a time, unless the decompressor
    // can do better.
    virtual std::vector<Decompression> decompressAll(std::span<const DecompressionJob> jobs) const;
};

inline constexpr std::string_view kDecoProgram = "deco";

struct ExternalSettings {
    std::filesystem::path program;  // made absolute, so it is never looked up on PATH
    std::filesystem::path workDir;  // where it runs and writes its output
    std::chrono::milliseconds timeout{60'000};
    int maxChildren = 2;  // how many run at once in `decompressAll`
};

// Runs the program with the full path of the input as its only argument, in the work
// directory. Success is exit code 0 and the output present, of the expected size when one is
// given; anything else is removed from under the output name.
class ExternalDecompressor final : public Decompressor {
  public:
    explicit ExternalDecompressor(ExternalSettings settings);
    // `deco` in the station directory.
    static ExternalSettings stationSettings(const std::filesystem::path& stationDir,
                                            const std::filesystem::path& workDir);

    const ExternalSettings& settings() const { return settings_; }
    std::optional<std::filesystem::path> outputFor(
        const std::filesystem::path& input) const override;
    Decompression decompress(const DecompressionJob& job) const override;
    // At most `maxChildren` at once; a hung one is killed at its time limit while the others
    // go on.
    std::vector<Decompression> decompressAll(std::span<const DecompressionJob> jobs) const override;

  private:
    ExternalSettings settings_;
};

enum class ArchiveFormat { Gzip, Bzip2 };

// "name.gz" becomes "name" (".bz2" likewise) beside it, written under a temporary name and
// renamed when complete; an existing file of that name is never replaced.
class ArchiveDecompressor final : public Decompressor {
  public:
    explicit ArchiveDecompressor(ArchiveFormat format) : format_(format) {}

    std::optional<std::filesystem::path> outputFor(
        const std::filesystem::path& input) const override;
    Decompression decompress(const DecompressionJob& job) const override;

  private:
    ArchiveFormat format_;
};

}  // namespace station
