#include "common/decompressor.h"

#include "common/segment_name.h"

namespace station {

std::optional<std::string> decompressedSegmentName(std::string_view name) {
    constexpr std::string_view kCompressed = "-C_";
    if (name.size() <= kCompressed.size() || !name.ends_with(kCompressed)) return std::nullopt;
    std::string out(name.substr(0, name.size() - kCompressed.size()));
    out += "-__";
    return out;
}

std::optional<std::uint64_t> nominalSegmentBytes(const std::filesystem::path& input) {
    const auto name = segments::parse(input.filename().string());
    if (!name) return std::nullopt;
    return static_cast<std::uint64_t>(name->nominalBytes());
}

std::vector<Decompression> Decompressor::decompressAll(
    std::span<const DecompressionJob> jobs) const {
    std::vector<Decompression> results;
    results.reserve(jobs.size());
    for (const auto& job : jobs) results.push_back(decompress(job));
    return results;
}

}  // namespace station
