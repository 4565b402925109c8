// The external decompressor and its bounded pool of children.

#include <algorithm>
#include <system_error>
#include <utility>

#include "common/atomic_file.h"
#include "common/child_process.h"
#include "common/decompressor.h"

namespace station {

namespace fs = std::filesystem;

namespace {

std::string lastLine(std::string_view text) {
    constexpr std::size_t kLongest = 200;  // enough to say why; a runaway tool says no more
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.remove_suffix(1);
    const auto start = text.find_last_of('\n');
    if (start != std::string_view::npos) text.remove_prefix(start + 1);
    return std::string(text.substr(0, kLongest));
}

std::string seconds(std::chrono::milliseconds t) {
    const auto ms = t.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// A failed tool may leave its output, or the temporary name our stand-in writes through when
// it is killed mid-write. Both names are ones this system makes, and neither existed before
// the run (that was checked), so they are ours to remove.
void removeLeftovers(const fs::path& output) {
    std::error_code ec;
    for (const auto& p : {output, temporaryNameFor(output)}) {
        const auto st = fs::symlink_status(p, ec);
        if (!ec && fs::exists(st) && !fs::is_directory(st)) fs::remove(p, ec);
    }
}

class Run {
  public:
    Run(const ExternalSettings& settings, const DecompressionJob& job, Decompression& result)
        : settings_(settings), job_(job), result_(result) {}

    // Starts the tool; nothing (and the reason in the result) when it cannot run.
    std::optional<ChildProcess> start(const std::optional<fs::path>& output) {
        result_.input = job_.input;
        if (!output)
            return refuse(job_.input.filename().string() +
                          " is not a compressed segment name (it must end in -C_)");
        result_.output = *output;
        std::error_code ec;
        if (!fs::is_regular_file(job_.input, ec))
            return refuse(job_.input.string() + " is not there to decompress");
        if (fs::exists(fs::symlink_status(*output, ec)))
            return refuse(output->string() + " exists already; it was left as it was");
        auto child =
            ChildProcess::start(settings_.program, {fs::absolute(job_.input).string()},
                                {.workDir = settings_.workDir, .timeout = settings_.timeout});
        if (!child)
            return refuse(child.error() + " (the station's " + std::string(kDecoProgram) +
                          " is our stand-in or a link to an installed xRIT decompressor)");
        return std::move(*child);
    }

    // Judges what the tool did once it has ended.
    void finish(const ChildOutput& run) {
        const std::string tool = settings_.program.filename().string();
        const std::string said = lastLine(run.err);
        const auto withSaid = [&](std::string why) {
            if (!said.empty()) why += ": " + said;
            return why;
        };
        result_.timedOut = run.timedOut;
        if (!run.timedOut && run.signal == 0) result_.exitCode = run.exitCode;

        if (run.timedOut)
            return fail(tool + " did not finish " + result_.input.filename().string() + " within " +
                        seconds(settings_.timeout) + " and was stopped");
        if (run.signal != 0)
            return fail(withSaid(tool + " was ended by signal " + std::to_string(run.signal) +
                                 " on " + result_.input.filename().string()));
        if (run.exitCode != 0)
            return fail(withSaid(tool + " failed on " + result_.input.filename().string() +
                                 " (exit code " + std::to_string(run.exitCode) + ")"));
        std::error_code ec;
        if (!fs::is_regular_file(result_.output, ec))
            return fail(tool + " made no " + result_.output.string());
        const auto size = fs::file_size(result_.output, ec);
        if (ec) return fail("Cannot read the size of " + result_.output.string());
        if (job_.expectedBytes && size != *job_.expectedBytes)
            return fail(result_.output.filename().string() + " came out " + std::to_string(size) +
                        " bytes long, not " + std::to_string(*job_.expectedBytes) +
                        "; it was removed");
        result_.ok = true;
    }

  private:
    std::optional<ChildProcess> refuse(std::string why) {
        result_.reason = std::move(why);
        return std::nullopt;
    }
    void fail(std::string why) {
        result_.reason = std::move(why);
        removeLeftovers(result_.output);
    }

    const ExternalSettings& settings_;
    const DecompressionJob& job_;
    Decompression& result_;
};

struct Running {
    std::size_t index;
    ChildProcess child;
};

}  // namespace

ExternalDecompressor::ExternalDecompressor(ExternalSettings settings)
    : settings_(std::move(settings)) {
    // A bare name would be looked up on PATH: the tool must be the one we were given.
    std::error_code ec;
    if (!settings_.program.empty()) settings_.program = fs::absolute(settings_.program, ec);
}

ExternalSettings ExternalDecompressor::stationSettings(const fs::path& stationDir,
                                                       const fs::path& workDir) {
    ExternalSettings s;
    s.program = stationDir / kDecoProgram;
    s.workDir = workDir;
    return s;
}

std::optional<fs::path> ExternalDecompressor::outputFor(const fs::path& input) const {
    const auto name = decompressedSegmentName(input.filename().string());
    if (!name) return std::nullopt;
    return settings_.workDir / *name;
}

Decompression ExternalDecompressor::decompress(const DecompressionJob& job) const {
    return decompressAll(std::span(&job, 1)).front();
}

std::vector<Decompression> ExternalDecompressor::decompressAll(
    std::span<const DecompressionJob> jobs) const {
    std::vector<Decompression> results(jobs.size());
    const auto width = static_cast<std::size_t>(std::max(1, settings_.maxChildren));
    std::vector<Running> running;
    std::vector<ChildProcess*> waiting;
    std::size_t next = 0;
    while (next < jobs.size() || !running.empty()) {
        while (running.size() < width && next < jobs.size()) {
            const std::size_t i = next++;
            Run run(settings_, jobs[i], results[i]);
            if (auto child = run.start(outputFor(jobs[i].input)))
                running.push_back({i, std::move(*child)});
        }
        waiting.clear();
        for (auto& r : running) waiting.push_back(&r.child);
        waitForAny(waiting);
        // Judged as each ends, so a freed place is filled at once.
        for (auto it = running.begin(); it != running.end();) {
            if (it->child.finished()) {
                Run(settings_, jobs[it->index], results[it->index]).finish(it->child.output());
                it = running.erase(it);
            } else {
                ++it;
            }
        }
    }
    return results;
}

}  // namespace station
