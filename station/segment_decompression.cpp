#include "station/segment_decompression.h"

#include "common/decompressor.h"

namespace station {

DecompressSegments stationDeco(const std::filesystem::path& stationDir, std::chrono::milliseconds timeout, int children) {
    return [=](const std::vector<std::filesystem::path>& inputs, const std::filesystem::path& workDir) {
        auto settings = ExternalDecompressor::stationSettings(stationDir, workDir);
        settings.timeout = timeout;
        settings.maxChildren = children;
        const ExternalDecompressor deco(settings);
        std::vector<DecompressionJob> jobs;
        for (const auto& in : inputs) jobs.push_back({in, nominalSegmentBytes(in)});
        std::vector<DecompressOutcome> outcomes;
        for (const auto& d : deco.decompressAll(jobs))
            outcomes.push_back({d.ok, d.exitCode.value_or(-1), d.timedOut ? "timed out: " + d.reason : d.reason});
        return outcomes;
    };
}

}  // namespace station
