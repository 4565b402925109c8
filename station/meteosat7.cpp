#include "station/meteosat7.h"

#include <system_error>

#include "common/segment_templates.h"

namespace station {

namespace fs = std::filesystem;

namespace {

// The service runs on the hour and the half hour of slot time.
bool halfHourSlot(const std::string& slot) {
    return !slot.empty() && slot.back() == '0';
}

std::string compressedName(const std::string& prefix, const std::string& slot) {
    std::string name = prefix;
    name += slot;
    name += "-C_";
    return name;
}

std::string decompressedName(const std::string& prefix, const std::string& slot) {
    std::string name = prefix;
    name += slot;
    name += "-__";
    return name;
}

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

}  // namespace

bool Meteosat7::settled(const fs::path& file) const {
    std::error_code ec;
    const auto t = fs::last_write_time(file, ec);
    return !ec && clock_.now() - std::chrono::file_clock::to_sys(t) >= settle;
}

std::optional<std::vector<std::string>> Meteosat7::prefixes() {
    const auto file = paths_.cdo / kMeteosat7Template;
    if (!isFile(file)) {
        if (!toldNoTemplate_)
            log_.line(time() + "  Meteosat-7: there is no " + file.string() +
                      " listing its segments, so its data are not decompressed");
        toldNoTemplate_ = true;
        return std::nullopt;
    }
    std::vector<std::string> out;
    for (const auto& line : segments::readTemplate(file))
        if (line.size() >= kMeteosat7PrefixLength)
            out.push_back(line.substr(0, kMeteosat7PrefixLength));
    return out;
}

Meteosat7Decompression Meteosat7::deco_ana(const std::string& slot) {
    Meteosat7Decompression report;
    const auto folder = slotFolder(slot);
    std::error_code ec;
    if (!halfHourSlot(slot) || fs::exists(fs::symlink_status(folder, ec))) return report;
    std::string triggerName(kMeteosat7Trigger);
    triggerName += slot;
    triggerName += "-C_";
    const auto trigger = paths_.received13 / triggerName;
    if (!isFile(trigger)) return report;
    const auto lines = prefixes();
    if (!lines) return report;

    std::vector<fs::path> inputs;
    for (const auto& prefix : *lines)
        if (const auto p = paths_.received13 / compressedName(prefix, slot); isFile(p))
            inputs.push_back(p);
    // The folder is the mark that the slot is done: it is made only once every file is whole.
    std::vector<fs::path> busy;
    for (const auto& p : inputs)
        if (!settled(p)) busy.push_back(p);
    if (!settled(trigger)) busy.push_back(trigger);
    if (!busy.empty()) {
        log_.line(time() + " Met-7: waiting for " + std::to_string(busy.size()) +
                  " files still being written, among them " + busy.front().filename().string());
        report.waiting = true;
        return report;
    }
    if (!fs::create_directory(folder, ec)) {
        if (ec)
            log_.line(time() + " Met-7: cannot create " + folder.string() + ": " + ec.message());
        return report;
    }
    report.started = true;
    reported_ = false;
    const auto t = clock_.now();
    log_.line(" ");
    log_.line("MET-7 " + localDateText(t) + " " + localTimeText(t) +
              "      -----------------starting decompression M7---------");

    ExternalSettings settings = deco;
    if (settings.program.empty()) settings.program = paths_.cdo / kDecoProgram;
    settings.workDir = folder;
    std::vector<DecompressionJob> jobs;
    for (const auto& p : inputs) jobs.push_back({p, std::nullopt});  // no fixed size to check
    report.received = static_cast<int>(inputs.size());
    for (const auto& done : ExternalDecompressor(settings).decompressAll(jobs)) {
        const auto name = done.input.filename().string();
        if (done.ok) {
            report.decompressed.push_back(name);
        } else {
            report.failed.push_back(name);
            log_.line(time() + " Met-7: not decompressed: " + done.reason);
        }
    }
    log_.line(time() + "      -----------------ending decompression M7---------");
    report.message = time() + " Met-7: For " + slot + " received " +
                     std::to_string(report.received) + " compressed files";
    log_.line(report.message);
    return report;
}

Meteosat7Check Meteosat7::doma_ana(const std::string& slot) {
    Meteosat7Check report;
    const auto folder = slotFolder(slot);
    std::error_code ec;
    if (!halfHourSlot(slot) || reported_ || !fs::is_directory(folder, ec)) return report;
    const auto lines = prefixes();
    if (!lines) return report;
    for (const auto& prefix : *lines)
        if (!isFile(folder / decompressedName(prefix, slot))) ++report.missing;
    report.reported = true;
    report.message =
        time() + "     Missing " + std::to_string(report.missing) + " segments for Meteosat-India ";
    log_.line("");
    log_.line("MET-7");
    log_.line(report.message);
    reported_ = true;
    return report;
}

}  // namespace station
