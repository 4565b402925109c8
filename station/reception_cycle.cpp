#include "station/reception_cycle.h"

#include <stdio.h>

#include <fstream>

#include "common/atomic_file.h"
#include "common/native_assembly.h"
#include "common/segment_name.h"
#include "common/segment_templates.h"
#include "common/slot_time.h"

namespace station {

namespace fs = std::filesystem;
namespace seg = segments;

namespace {

std::int64_t epochOf(std::chrono::system_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::seconds>(t.time_since_epoch()).count();
}

std::optional<std::int64_t> fileEpoch(const fs::path& p) {
    std::error_code ec;
    if (!fs::exists(p, ec)) return std::nullopt;
    return epochOf(fileTime(p));
}

bool hasNominalSize(const fs::path& p, std::int64_t size) {
    std::error_code ec;
    const auto actual = fs::file_size(p, ec);
    return !ec && static_cast<std::int64_t>(actual) == size;
}

// Copies `from` to `to` whole or not at all, never replacing `to`.
bool copyWhole(const fs::path& from, const fs::path& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return false;
    return writeFileAtomically(
               to,
               [&](std::ostream& out) {
                   // An empty source would set the stream's failbit on the copy.
                   return in.peek() == std::char_traits<char>::eof() || static_cast<bool>(out << in.rdbuf());
               },
               IfExists::Keep)
        .ok();
}

// Moves a file into place without replacing anything there.
bool moveNoReplace(const fs::path& from, const fs::path& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

}  // namespace

std::string CycleSettings::scanField() const { return std::string(rapidScan ? seg::kRapidScan : seg::kFullDiskScan); }

ReceptionCycle::ReceptionCycle(StationPaths paths, const Clock& clock, CycleSettings settings,
                               DecompressSegments decompress)
    : paths_(std::move(paths)), clock_(clock), settings_(settings), decompress_(std::move(decompress)), log_(paths_.cdo) {}

std::int64_t ReceptionCycle::now() const { return epochOf(clock_.now()); }

bool ReceptionCycle::settled(const fs::path& file) const {
    const auto t = fileEpoch(file);
    return t && now() - *t >= settings_.settle.count();
}

fs::path ReceptionCycle::outputRoot() const { return settings_.remote && remoteDir ? *remoteDir : paths_.cdo; }

void ReceptionCycle::start() {
    for (const char* name : {"logfile.txt", "todel_lrit.txt", "todel_hrit.txt"})
        if (!fs::exists(paths_.cdo / name)) std::ofstream(paths_.cdo / name);
    srtime0_ = now() - 90 * 60;
    datea_ = slot_time::fromEpochSeconds(now() - settings_.refresh() * 60, settings_.refresh());
}

void ReceptionCycle::tick() {
    if (running_) return;  // the last tick is still at work: this one is dropped
    running_ = true;
    if (phase_ == 0) {
        if (!paths_.received.empty() && fs::is_directory(paths_.received) && !fs::exists(paths_.received / "check.tst"))
            std::ofstream(paths_.received / "check.tst");
        cualesdatea();
        if (!settings_.noNats) deco();
        local_transfi();
        if (afterDecompression) afterDecompression();
    } else {
        log_.rotate(datea_);  // also when no Native files are made
        if (!settings_.noNats) doma();
        purga_lrit();
        if (afterAssembly) afterAssembly();
    }
    phase_ = 1 - phase_;
    running_ = false;
}

void ReceptionCycle::cualesdatea() {
    const std::int64_t t = now();
    bool any = false;
    std::error_code ec;
    for (fs::directory_iterator it(paths_.received, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || it->path().filename().string().find(".tst") != std::string::npos) continue;
        const auto when = fileEpoch(it->path());
        if (!when) continue;
        any = true;
        // A clock set wrong on the reception side must not push the slot into the future.
        if (*when > t + 120) {
            log_.line("WARNING: " + it->path().filename().string() + " is dated in the future; it is not taken as the newest file");
            continue;
        }
        srtime0_ = std::max(srtime0_, *when);
    }
    if (any) datea_ = slot_time::fromEpochSeconds(srtime0_ - settings_.refresh() * 60, settings_.refresh());
    log_.line(std::string(15, ' '));
    if (std::llabs(srtime0_ - t) > 604)
        log_.line("WARNING: Waiting for data... Check your CLOCK SETTINGS or your satellite RECEPTION  !!");
    const auto local = [](std::int64_t s) { return localTimeText(std::chrono::system_clock::time_point(std::chrono::seconds(s))); };
    log_.line(":p1 mostrecentfile= " + local(srtime0_) + ":now= " + local(t) + ":closedslot= " + datea_);
}

void ReceptionCycle::deco() {
    const auto t = clock_.now();
    log_.line("  ");
    log_.line("-----------------------------------------------------  ");
    log_.line(std::string("MSG-") + settings_.satellite + "  " + localDateText(t));

    const auto work = workDir(datea_);
    const auto epilogue = seg::epilogueName(settings_.satellite, settings_.rapidScan, datea_);
    const auto prologue = seg::prologueName(settings_.satellite, settings_.rapidScan, datea_);
    if (fs::exists(work / epilogue)) return;  // decompressed already

    const auto slotStart = slot_time::epochSeconds(datea_);
    const bool epilogueArrived = fs::exists(paths_.received / epilogue);
    if (!slotStart || !(srtime0_ > *slotStart + (settings_.refresh() + 2) * 60 || epilogueArrived)) return;

    const auto lines = seg::readTemplate(paths_.cdo / seg::templateFileName(settings_.satellite, '2'));
    const auto expected = seg::expectedSegments(lines, settings_.scanField(), datea_, true);
    // Nothing is taken while the reception client may still be writing part of the slot.
    std::vector<std::string> busy;
    for (const auto& e : expected)
        if (fs::exists(paths_.received / e.name) && !settled(paths_.received / e.name)) busy.push_back(e.name);
    for (const auto& name : {prologue, epilogue})
        if (fs::exists(paths_.received / name) && !settled(paths_.received / name)) busy.push_back(name);
    if (!busy.empty()) {
        log_.line(localTimeText(t) + " waiting for " + std::to_string(busy.size()) + " files still being written, among them " + busy.front());
        return;
    }

    log_.line(":p19 received= " + paths_.received.string() + ":now= " + localTimeText(t) + ":closedslot= " + datea_);
    std::error_code ec;
    if (fs::create_directories(work, ec)) log_.line(localTimeText(t) + ":Created directory " + work.string());
    log_.line(" ");
    log_.line(std::string("MSG-") + settings_.satellite + "  " + localDateText(t) + " " + localTimeText(t) +
              "      -----------------starting decompression  MSG --------");

    std::vector<fs::path> inputs;
    // The list of what was decompressed starts afresh only here: a processor restarted before
    // the assembly finds the last slot's list and deletes its inputs as the first one would.
    std::ofstream todel(paths_.cdo / "todel_hrit.txt", std::ios::trunc);
    int count = 0;
    for (const auto& e : expected) {
        const auto input = paths_.received / e.name;
        if (!fs::exists(input)) continue;
        ++count;
        auto output = e.name;
        output.replace(output.size() - 3, 3, "-__");
        // A restart must not decompress again what is already there.
        if (hasNominalSize(work / output, e.hrv ? seg::kHrvSegmentBytes : seg::kVisIrSegmentBytes)) {
            todel << input.string() << '\n';
            continue;
        }
        inputs.push_back(input);
    }
    const auto outcomes = decompress_ ? decompress_(inputs, work) : std::vector<DecompressOutcome>(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const auto& o = i < outcomes.size() ? outcomes[i] : DecompressOutcome{};
        log_.line(":p20= " + std::to_string(o.exitCode) + ":now= " + localTimeText(clock_.now()) + ":aa= " +
                  inputs[i].filename().string() + (o.ok ? "" : "  (not decompressed: " + o.why + ")"));
        // Only what was really decompressed may go: the rest stays for a later look.
        if (o.ok) todel << inputs[i].string() << '\n';
    }
    todel.close();
    log_.line(localTimeText(clock_.now()) + "      -----------------ended decompression  MSG--------");

    // The prologue, then the epilogue: the epilogue in the working folder marks the slot done.
    for (const auto& [name, standBy, size] :
         {std::tuple{prologue, "pro", seg::kPrologueBytes}, std::tuple{epilogue, "epi", seg::kEpilogueBytes}}) {
        if (fs::exists(work / name)) continue;
        const auto own = paths_.received / name;
        if (!(hasNominalSize(own, size) && copyWhole(own, work / name)) && !copyWhole(paths_.cdo / standBy, work / name))
            log_.line("Cannot copy " + name + " nor the stand-by " + standBy + " into " + work.string());
    }
    receivedMessage = localTimeText(clock_.now()) + "     " + std::to_string(count) + " more segments added and slot " +
                      datea_ + " ready for eventual merge";
    log_.line(receivedMessage);
}

void ReceptionCycle::local_transfi() {
    const auto base = outputRoot();
    std::error_code ec;
    for (fs::directory_iterator it(base / "natstemp", ec), end; !ec && it != end; it.increment(ec)) {
        const auto name = it->path().filename().string();
        // Hidden names are files still being written.
        if (name.empty() || name[0] == '.' || !hasNominalSize(it->path(), assembly::kAssembledBytes)) continue;
        if (fs::is_directory(base / "archived") &&
            (name.find("0000.nat") != std::string::npos || name.find("1200.nat") != std::string::npos))
            copyWhole(it->path(), base / "archived" / name);
        fs::create_directories(base / "nats", ec);
        moveNoReplace(it->path(), base / "nats" / name);
    }
}

void ReceptionCycle::doma() {
    const auto root = outputRoot();
    const auto work = workDir(datea_);
    const auto t = [&] { return localTimeText(clock_.now()); };
    int files = 0;
    std::error_code ec;
    if (fs::is_directory(work))
        for (fs::directory_iterator it(work, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().filename().string().rfind("H-000-MSG", 0) == 0) ++files;
    log_.line(" ");
    fs::create_directories(root / "nats", ec);
    fs::create_directories(root / "natstemp", ec);
    const auto name = datea_ + ".nat";
    if (fs::exists(root / "nats" / name) || fs::exists(root / "natstemp" / name) || files <= 27 ||
        !fs::exists(work / seg::epilogueName(settings_.satellite, settings_.rapidScan, datea_)))
        return;

    log_.line("MSG " + t() + " :starting check on missing decompressed segments");
    log_.line(t() + "      Found " + std::to_string(files) + " decompressed segments in directory " + datea_);
    const assembly::Slot slot{work, datea_, settings_.satellite, settings_.rapidScan};
    const auto blanked = assembly::blank_missing(slot, seg::readTemplate(paths_.cdo / seg::templateFileName(settings_.satellite, '2')),
                                                 paths_.cdo / "zeroh", paths_.cdo / "zeron",
                                                 [&](const std::string& text) { log_.line(text); });
    const int hrv = blanked.missingHrv - (settings_.rapidScan ? seg::kRssMissingHrv : 0);
    const int other = blanked.missingOther - (settings_.rapidScan ? seg::kRssMissingOther : 0);
    missingMessage = t() + "   Missing " + std::to_string(hrv) + " segments in hrv and " + std::to_string(other) + " in other channels";
    log_.line(missingMessage);

    int nominal = 0;
    for (fs::directory_iterator it(work, ec), end; !ec && it != end; it.increment(ec)) {
        const auto size = it->is_regular_file(ec) ? static_cast<std::int64_t>(it->file_size(ec)) : -1;
        if (size == seg::kHrvSegmentBytes || size == seg::kVisIrSegmentBytes || size == seg::kPrologueBytes ||
            size == seg::kEpilogueBytes)
            ++nominal;
    }
    if (nominal < seg::kSlotFiles) return;  // the next cycle tries again

    log_.line(t() + "----- Merging of " + std::to_string(files) + " segments into " + name + " started------------");
    const auto made = assembly::assemble(slot, paths_.cdo / (settings_.rapidScan ? "cabecerr.nat" : "cabecero.nat"),
                                         root / "natstemp" / name);
    if (!made) {
        log_.line(t() + "----- Merging of " + name + " failed: " + made.error());
        return;
    }
    if (!settings_.remote) {
        const auto hhmm = datea_.substr(8, 4);
        if (fs::is_directory(root / "archived") && (hhmm == "0000" || hhmm == "1200"))
            copyWhole(root / "natstemp" / name, root / "archived" / name);
        if (!moveNoReplace(root / "natstemp" / name, root / "nats" / name))
            log_.line(t() + "----- " + name + " stays in natstemp: nats holds one already");
    }
    log_.line(t() + "----- Merging of " + name + "  ended--------");
}

void ReceptionCycle::purga_lrit() {
    // Only regular files inside the received folders may be deleted, whatever a list says.
    const auto inside = [&](const fs::path& file) {
        std::error_code ec;
        const auto parent = fs::weakly_canonical(file, ec).parent_path();
        for (const auto& dir : {paths_.received, paths_.received13})
            if (!dir.empty() && parent == fs::weakly_canonical(dir, ec)) return true;
        return false;
    };
    for (const char* list : {"todel_lrit.txt", "todel_hrit.txt"}) {
        std::ifstream in(paths_.cdo / list);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            const fs::path file = line;
            std::error_code ec;
            if (fs::is_symlink(file, ec) || !fs::is_regular_file(file, ec) || !inside(file)) continue;
            fs::remove(file, ec);
        }
    }
}

}  // namespace station
