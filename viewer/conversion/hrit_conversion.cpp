#include "viewer/conversion/hrit_conversion.h"

#include <stdlib.h>

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include "common/decompressor.h"
#include "common/native_assembly.h"
#include "common/segment_name.h"
#include "common/segment_templates.h"
#include "common/slot_time.h"

namespace tesmar::conversion {

namespace fs = std::filesystem;
namespace seg = station::segments;

namespace {

std::optional<int> wholeNumber(const std::string& text) {
    int v = 0;
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || p != text.data() + text.size() || v < 0) return std::nullopt;
    return v;
}

int percentOf(const ConversionOptions& o, int whole) { return wholeNumber(o.percentage).value_or(40) * whole / 100; }

// The folders searched: the source and, when recursive, its immediate sub-folders other than
// the scratch folders a conversion makes.
std::vector<fs::path> searchedFolders(const ConversionOptions& o) {
    std::vector<fs::path> folders{o.source};
    if (!o.recursive) return folders;
    std::error_code ec;
    for (fs::directory_iterator it(o.source, ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = it->path().filename().string();
        if (it->is_directory(ec) && name != "temp" && name != "tempc" && name.rfind(".hrit2native-", 0) != 0)
            folders.push_back(it->path());
    }
    return folders;
}

struct Found {
    fs::path path;
    seg::SegmentName name;
};

// Every segment file of the period and mode; what is passed over goes to `skipped`.
std::vector<Found> findSegments(const ConversionOptions& o, std::vector<std::string>* skipped) {
    std::vector<Found> found;
    for (const auto& folder : searchedFolders(o)) {
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const auto file = it->path().filename().string();
            if (file.rfind("H-000-MSG", 0) != 0 || !it->is_regular_file(ec)) continue;
            const auto name = seg::parse(file);
            if (!name) {
                if (skipped) skipped->push_back(file + ": not a segment name");
                continue;
            }
            if (name->rapidScan != o.regional || name->slot < o.start || name->slot > o.end) continue;
            found.push_back({it->path(), *name});
        }
    }
    return found;
}

bool copyInto(const fs::path& file, const fs::path& folder) {
    std::error_code ec;
    fs::copy_file(file, folder / file.filename(), fs::copy_options::overwrite_existing, ec);
    return !ec;
}

}  // namespace

station::Result<bool> checkOptions(ConversionOptions& o) {
    if (o.percentage.empty()) o.percentage = "40";
    std::string refusal;
    if (o.source.empty()) refusal = "Undefined HRIT directory";
    else if (!fs::is_directory(o.source)) refusal = "HRIT directory does not exist";
    if (o.destination.empty()) {
        refusal = "Undefined NAT directory";
    } else {
        std::error_code ec;
        fs::create_directories(o.destination, ec);
        if (!fs::is_directory(o.destination)) refusal = "Such NAT directory does not exist and cannot be created";
    }
    if (!station::slot_time::epochSeconds(o.start)) {
        o.start = "201112151800";
        refusal = "Use date-time format: yyyymmddhhmm (no gaps) in start date";
    }
    if (!station::slot_time::epochSeconds(o.end)) {
        o.end = "201112152100";
        refusal = "Use date-time format: yyyymmddhhmm in end date";
    }
    if (refusal.empty() && o.end < o.start) refusal = "End date is less recent than start date";
    if (refusal.empty() && o.threshold && !wholeNumber(o.percentage)) refusal = "The percentage must be a whole number";
    if (!refusal.empty()) return station::Result<bool>::failure(refusal);
    return true;
}

Census countSegments(const ConversionOptions& o) {
    Census census;
    std::map<std::string, int> perSlot;
    for (const auto& f : findSegments(o, &census.skipped)) {
        if (f.name.compressed) {
            ++census.compressed;
            if (o.uncompressedOnly) continue;
        } else {
            ++census.uncompressed;
        }
        ++perSlot[f.name.slot];
    }
    for (const auto& [slot, files] : perSlot) census.perSlot.push_back({slot, files});
    return census;
}

int offerThreshold(const ConversionOptions& o) {
    return o.threshold ? std::max(1, percentOf(o, o.regional ? 45 : 114)) : 1;
}

std::vector<SlotCount> offeredSlots(const Census& census, const ConversionOptions& o) {
    std::vector<SlotCount> offered;
    for (const auto& s : census.perSlot)
        if (s.files >= offerThreshold(o)) offered.push_back(s);
    return offered;
}

std::vector<SlotOutcome> convert(const ConversionOptions& o, const std::vector<std::string>& chosenSlots,
                                 const fs::path& programDir, const DecompressBatch& decompress, const Progress& progress) {
    const auto say = [&](const std::string& text) {
        if (progress) progress(text);
    };
    std::vector<SlotOutcome> outcomes;
    const std::set<std::string> chosen(chosenSlots.begin(), chosenSlots.end());
    // A scratch folder of our own: nothing the user keeps in the destination is touched.
    std::string pattern = (o.destination / ".hrit2native-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        for (const auto& s : chosenSlots) outcomes.push_back({s, {}, "cannot make a scratch folder in " + o.destination.string()});
        return outcomes;
    }
    const fs::path scratch = pattern, temp = scratch / "temp", tempc = scratch / "tempc";
    fs::create_directories(temp);
    fs::create_directories(tempc);

    // Copy the chosen slots' segments.
    const auto census = countSegments(o);
    std::map<std::string, int> counts;
    for (const auto& s : census.perSlot) counts[s.slot] = s.files;
    const int copyThreshold = o.threshold ? percentOf(o, o.regional ? 43 : 112) : 0;
    std::map<std::string, char> satellite;
    std::vector<fs::path> compressed;
    int copied = 0;
    for (const auto& f : findSegments(o, nullptr)) {
        if (!chosen.count(f.name.slot) || counts[f.name.slot] < copyThreshold) continue;
        if (f.name.compressed && o.uncompressedOnly) continue;
        const auto& into = f.name.compressed ? tempc : temp;
        if (!copyInto(f.path, into)) {
            say("Cannot copy " + f.path.string());
            continue;
        }
        if (f.name.compressed) compressed.push_back(into / f.path.filename());
        satellite.emplace(f.name.slot, f.name.satellite);
        ++copied;
    }
    say("Found " + std::to_string(copied) + " HRIT files to merge");

    if (!compressed.empty() && decompress) {
        const auto results = decompress(compressed, temp);
        int failed = 0;
        for (std::size_t i = 0; i < results.size() && i < compressed.size(); ++i)
            if (!results[i]) {
                ++failed;
                say("Not decompressed: " + compressed[i].filename().string());
            }
        if (failed) say(std::to_string(failed) + " segments could not be decompressed; they are blanked");
    }

    const auto& programFile = [&](const char* name) { return programDir / name; };
    for (const auto& slot : chosenSlots) {
        SlotOutcome out{slot, {}, {}, 0, 0};
        const auto target = o.destination / (slot + ".nat");
        if (!satellite.count(slot)) {
            out.why = "no segment of this slot was found";
        } else if (fs::exists(target)) {
            out.why = target.string() + " exists already";
        } else {
            const station::assembly::Slot s{temp, slot, satellite[slot], o.regional};
            // Stand-by prologue and epilogue for those that never arrived.
            std::error_code ec;
            fs::copy_file(programFile("pro"), temp / seg::prologueName(s.satellite, s.rapidScan, slot), ec);
            fs::copy_file(programFile("epi"), temp / seg::epilogueName(s.satellite, s.rapidScan, slot), ec);
            const auto lines = seg::readTemplate(programDir / seg::templateFileName(s.satellite, '4'));
            const auto blanked = station::assembly::blank_missing(s, lines, programFile("zeroh"), programFile("zeron"), say);
            out.missingHrv = blanked.missingHrv;
            out.missingOther = blanked.missingOther;
            const int present = seg::kImageSegments - blanked.missingHrv - blanked.missingOther;
            if (lines.size() != seg::kImageSegments) {
                out.why = "the segment list " + seg::templateFileName(s.satellite, '4') + " is missing or incomplete";
            } else if (o.threshold && present < percentOf(o, o.regional ? 43 : 112)) {
                out.why = std::to_string(present) + " of 112 segments: too few";
            } else {
                const auto made = station::assembly::assemble(s, programFile(o.regional ? "cabecerr.nat" : "cabecero.nat"), target);
                if (made) out.file = target;
                else out.why = made.error();
            }
            // The slot's files are not needed any more, whatever came of it.
            for (const auto& e : seg::expectedSegments(lines, s.rapidScan ? std::string(seg::kRapidScan) : std::string(seg::kFullDiskScan), slot, false))
                fs::remove(temp / e.name, ec);
            fs::remove(temp / seg::prologueName(s.satellite, s.rapidScan, slot), ec);
            fs::remove(temp / seg::epilogueName(s.satellite, s.rapidScan, slot), ec);
        }
        say(out.file.empty() ? slot + ": not assembled: " + out.why : slot + ": assembled into " + out.file.string());
        outcomes.push_back(out);
    }

    std::error_code ec;
    fs::remove_all(tempc, ec);
    if (o.clean) fs::remove_all(scratch, ec);
    else say("The decompressed segments stay in " + temp.string());
    return outcomes;
}

}  // namespace tesmar::conversion

namespace tesmar::conversion {

DecompressBatch stationDecoBatch(const fs::path& stationDir, std::chrono::milliseconds timeout) {
    return [=](const std::vector<fs::path>& inputs, const fs::path& workDir) {
        auto settings = station::ExternalDecompressor::stationSettings(stationDir, workDir);
        settings.timeout = timeout;
        const station::ExternalDecompressor deco(settings);
        std::vector<station::DecompressionJob> jobs;
        for (const auto& in : inputs) jobs.push_back({in, station::nominalSegmentBytes(in)});
        std::vector<bool> ok;
        for (const auto& d : deco.decompressAll(jobs)) ok.push_back(d.ok);
        return ok;
    };
}

}  // namespace tesmar::conversion
