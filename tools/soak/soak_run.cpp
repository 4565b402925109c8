#include "tools/soak/soak_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <span>
#include <sstream>

#include "common/clock.h"
#include "common/decompressor.h"
#include "common/native_assembly.h"
#include "common/native_layout.h"
#include "common/segment_name.h"
#include "common/slot_time.h"
#include "common/station_lock.h"
#include "station/meteosat7.h"
#include "station/other_products.h"
#include "station/purge.h"
#include "station/reception_cycle.h"
#include "station/segment_decompression.h"
#include "station/station.h"
#include "station/station_paths.h"
#include "tools/kit/reception_files.h"
#include "tools/synth/line_source.h"
#include "viewer/scene/native_scene.h"

namespace soak {

namespace fs = std::filesystem;
namespace seg = station::segments;
namespace native = station::native;

namespace {

constexpr std::int64_t kQuarter = 15 * 60;
constexpr std::int64_t kTick = 30;  // the reception timer
constexpr int kTicksPerQuarter = static_cast<int>(kQuarter / kTick);

// The soak's purge.txt keeps things briefly, so the purge deletes while the soak runs.
constexpr station::PurgePolicy kPolicy{40, 60, 1, 2, 1, 2};
// Working folders go 80 minutes after their last change, whatever purge.txt says.
constexpr std::int64_t kFolderSeconds = 80 * 60;

// When the files of a slot arrive, in seconds after its start: the prologue first, the image
// segments every few seconds in broadcast order, the epilogue once the scan is over.
constexpr std::int64_t kPrologueArrival = 4;
constexpr std::int64_t kFirstSegmentArrival = 10;
constexpr std::int64_t kSegmentInterval = 6;
constexpr std::int64_t kEpilogueArrival = 690;
// A file still being written when its slot closes grows in parts from just before the first
// tick after the next slot's prologue, each part dating it anew, so that it is young at every
// tick until the last part: a station that took it by its age alone would take it cut short.
constexpr std::int64_t kLateFirstPart = kQuarter + 25;
constexpr std::int64_t kLatePartInterval = 25;
constexpr int kLateParts = 3;

// Decoys are planted long before the soak starts, so anything that purges by age alone would
// take them.
constexpr std::int64_t kDecoyAge = 30 * 24 * 3600;

station::TimePoint at(std::int64_t epoch) {
    return station::TimePoint(std::chrono::seconds(epoch));
}

std::optional<struct stat> lookAt(const fs::path& p) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return std::nullopt;
    return st;
}

// Dates an entry itself, never what a link points at.
void setTime(const fs::path& p, std::int64_t epoch) {
    const timespec t{static_cast<time_t>(epoch), 0};
    const timespec times[2] = {t, t};
    ::utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

bool writeText(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

std::string readAt(const fs::path& file, std::int64_t offset, std::size_t count) {
    std::string bytes(count, '\0');
    std::ifstream in(file, std::ios::binary);
    in.seekg(offset);
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

std::string imageName(const std::string& slot, synth::SegmentKey k) {
    return seg::SegmentName{'H', '4', false, seg::Part::Image, k.channel, k.segment, slot, true}
        .build();
}

std::string keyText(synth::SegmentKey k) {
    return std::to_string(k.channel) + ":" + std::to_string(k.segment);
}

// The reception processor as station::Station composes it (the lock, the cycle with the
// station's deco, the other products, the Meteosat-7 service and the purge after assembly),
// with a short time limit on deco so that a hanging one costs seconds, not minutes.
class SoakStation {
  public:
    static std::unique_ptr<SoakStation> open(const fs::path& dir, const station::Clock& clock,
                                             std::chrono::milliseconds timeout, std::string& why) {
        auto lock = station::StationLock::tryAcquire(dir, station::kReceptionJob);
        if (!lock) {
            why = "the station is locked: the last processor did not let go of it";
            return nullptr;
        }
        auto paths = station::readCd(dir);
        if (!paths) {
            why = "cd.txt cannot be read";
            return nullptr;
        }
        paths->cdo = dir;
        std::unique_ptr<SoakStation> s(new SoakStation(std::move(*lock)));
        s->cycle_ = std::make_unique<station::ReceptionCycle>(
            *paths, clock, station::CycleSettings{}, station::stationDeco(dir, timeout, 2));
        s->cycle_->remoteDir = station::readCdr(dir);
        auto& cycle = *s->cycle_;
        s->other_ = std::make_unique<station::OtherProducts>(*paths, clock, cycle.log());
        s->meteosat7_ = std::make_unique<station::Meteosat7>(*paths, clock, cycle.log());
        SoakStation* self = s.get();
        cycle.afterDecompression = [self] {
            auto& c = *self->cycle_;
            self->other_->settle = self->meteosat7_->settle = c.settings().settle;
            if (station::otherProductsDue(c.closedSlot())) self->other_->deco_lrit(c.outputRoot());
            if (const auto r = self->meteosat7_->deco_ana(c.closedSlot()); r.started)
                c.receivedMessage = r.message;
        };
        cycle.afterAssembly = [self, &clock] {
            auto& c = *self->cycle_;
            if (const auto k = self->meteosat7_->doma_ana(c.closedSlot()); k.reported)
                c.missingMessage = k.message;
            if (!c.settings().purge) return;
            const auto receiving = station::slot_time::ant_fecha(
                c.settings().refresh(), c.closedSlot(), c.settings().refresh());
            station::purga(station::PurgeContext{c.paths(),
                                                 clock,
                                                 c.closedSlot(),
                                                 receiving,
                                                 [&c](const std::string& t) { c.log().line(t); },
                                                 {}});
        };
        return s;
    }

    station::ReceptionCycle& cycle() { return *cycle_; }

  private:
    explicit SoakStation(station::StationLock lock) : lock_(std::move(lock)) {}
    station::StationLock lock_;
    std::unique_ptr<station::ReceptionCycle> cycle_;
    std::unique_ptr<station::OtherProducts> other_;
    std::unique_ptr<station::Meteosat7> meteosat7_;
};

struct Delivery {
    fs::path from;  // in the staging folder
    std::string name;
    int slot = 0;  // index of the slot's plan
    int part = 0;  // of `parts`; a whole file is one part
    int parts = 1;
};

// A file of the received folder the soak put there, while it is there.
struct ReceivedFile {
    int slot = 0;
    std::int64_t dated = 0;
    bool decompressed =
        false;  // its output was in the working folder once its slot was decompressed
};

struct Decoy {
    enum class Kind { File, Folder, Link };
    fs::path path;
    Kind kind = Kind::File;
    // Files of the received folders: the purge takes every file there once it is older than
    // the folder's retention, so these are only promised that long.
    std::optional<std::int64_t> keptSeconds;
    std::int64_t dated = 0;
    bool lost = false;
    bool early = false;  // lost while it was still promised
};

struct SlotState {
    bool processed = false;
    bool restarted = false;
    int natives = 0;  // times a Native file of the slot appeared in nats/
    bool folderGone = false;
    std::int64_t folderDated = 0;  // its working folder's time when last seen
    std::int64_t decompressedAt = 0;
    bool inputsLeft = false;  // said once
};

struct Published {
    int slot = 0;
    std::int64_t made = 0;
    bool gone = false;
};

class Soak {
  public:
    explicit Soak(const SoakOptions& o) : o_(o) {
        report_.seed = o.seed;
        report_.slots = o.slots;
    }

    SoakReport run() {
        const auto started = std::chrono::steady_clock::now();
        start_ = station::slot_time::epochSeconds(o_.firstSlot).value_or(0);
        if (!start_ || o_.slots < 1) {
            fail("the first slot " + o_.firstSlot + " is not a slot time, or there are no slots");
            return report_;
        }
        if (setUp()) {
            plans_ = planSlots(o_.slots, o_.seed, o_.firstSlot);
            states_.resize(plans_.size());
            for (const auto& p : plans_) {
                for (const auto f : p.faults) ++report_.faults[static_cast<std::size_t>(f)];
                if (p.nativeExpected()) ++report_.nativesExpected;
            }
            clock_.set(at(start_));
            if (openStation()) {
                // One quarter more than there are slots: the last slot closes when the next one
                // begins to arrive.
                for (int q = 0; q <= o_.slots && station_; ++q) quarter(q);
                finish();
            }
        }
        report_.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        return report_;
    }

  private:
    void fail(const std::string& why) { report_.failures.push_back(why); }

    std::string slotOf(int index) const {
        return station::slot_time::fromEpochSeconds(start_ + std::int64_t{index} * kQuarter);
    }
    fs::path workDir(int index) const { return cdo_ / slotOf(index); }

    bool setUp() {
        root_ = o_.dir;
        cdo_ = root_ / "station";
        received_ = root_ / "received";
        received13_ = root_ / "received13";
        staging_ = root_ / "staging";
        std::error_code ec;
        for (const auto& d : {cdo_, received_, received13_, staging_, root_ / "outside"})
            fs::create_directories(d, ec);
        if (ec) {
            fail("cannot make the scratch station in " + root_.string() + ": " + ec.message());
            return false;
        }
        for (const auto& f : kit::receptionFiles())
            if (!writeText(cdo_ / f.name, f.bytes)) {
                fail("cannot write " + (cdo_ / f.name).string());
                return false;
            }
        if (const auto r = station::writeCd(cdo_, received_, received13_); !r) {
            fail(r.error());
            return false;
        }
        if (const auto r = station::writePurgePolicy(cdo_, kPolicy); !r) {
            fail(r.error());
            return false;
        }
        if (!fs::is_regular_file(o_.standInDeco, ec)) {
            fail("the stand-in deco " + o_.standInDeco.string() + " is missing");
            return false;
        }
        const auto standIn = fs::absolute(o_.standInDeco).string();
        if (standIn.find('\'') != std::string::npos) {
            fail(
                "the stand-in deco's path holds a quote, which the soak's deco script cannot "
                "carry");
            return false;
        }
        fs::create_symlink(standIn, cdo_ / "deco", ec);
        if (ec) {
            fail("cannot link " + (cdo_ / "deco").string() + ": " + ec.message());
            return false;
        }
        plantDecoys();
        return true;
    }

    // Files and folders of the user's beside the station's own, some named like the station's.
    void plantDecoys() {
        const auto old = start_ - kDecoyAge;
        const auto file = [&](const fs::path& p, std::optional<std::int64_t> kept = {}) {
            writeText(p, "the user's own " + p.filename().string() + "\n");
            const auto dated = kept ? start_ : old;
            setTime(p, dated);
            decoys_.push_back({p, Decoy::Kind::File, kept, dated});
        };
        const auto folder = [&](const fs::path& p) {
            fs::create_directories(p);
            file(p / "beach.jpg");
            setTime(p, old);
            decoys_.push_back({p, Decoy::Kind::Folder, {}, old});
        };
        const auto link = [&](const fs::path& p, const fs::path& target) {
            std::error_code ec;
            fs::create_symlink(target, p, ec);
            decoys_.push_back({p, Decoy::Kind::Link, {}, old});
        };
        const auto day = station::slot_time::fromEpochSeconds(old);  // a slot time before the soak
        const auto day2 = station::slot_time::fromEpochSeconds(old + kQuarter);
        const auto day3 = station::slot_time::fromEpochSeconds(old + 2 * kQuarter);

        file(cdo_ / "notes.txt");
        folder(cdo_ / "2019-photos");
        file(cdo_ / day);              // a file named like a working folder
        file(cdo_ / (day2 + ".nat"));  // a Native name, but not in nats/
        folder(cdo_ / (day3 + " old"));
        folder(root_ / "outside" / "linked");
        link(cdo_ / day2, root_ / "outside" / "linked");  // a link named like a working folder
        fs::create_directories(cdo_ / "prods");
        file(cdo_ / "prods" / "my-picture.jpg");
        fs::create_directories(cdo_ / "natstemp");
        file(cdo_ / "natstemp" / "notes.txt");

        const std::int64_t receivedKeep = std::int64_t{kPolicy.receivedMinutes} * 60;
        const std::int64_t received13Keep = std::int64_t{kPolicy.received13Minutes} * 60;
        folder(received_ / "2019-photos");
        file(root_ / "outside" / "target.txt");
        link(received_ / "notes-link", root_ / "outside" / "target.txt");
        file(received_ / "notes.txt", receivedKeep);
        file(received_ / day, receivedKeep);
        folder(received13_ / "2019-photos");
        file(root_ / "outside" / "target13.txt");
        link(received13_ / "notes-link", root_ / "outside" / "target13.txt");
        file(received13_ / "notes.txt", received13Keep);
        file(received13_ / day, received13Keep);
        for (const auto& d : decoys_) (d.keptSeconds ? report_.agedDecoys : report_.decoys)++;
    }

    bool openStation() {
        std::string why;
        station_ = SoakStation::open(cdo_, clock_, o_.decoTimeout, why);
        if (!station_) {
            fail("the reception processor does not start: " + why);
            return false;
        }
        if (o_.stationLog) station_->cycle().log().echo = o_.stationLog;
        station_->cycle().start();
        return true;
    }

    void restart(int index) {
        station_.reset();
        if (openStation()) states_[static_cast<std::size_t>(index)].restarted = true;
    }

    // One quarter hour: slot q arrives while the slot before it is processed.
    void quarter(int q) {
        const std::int64_t begin = start_ + std::int64_t{q} * kQuarter;
        stage(q, begin);
        setDeco(q);
        for (int j = 0; j < kTicksPerQuarter && station_; ++j) {
            const std::int64_t t = begin + j * kTick;
            deliver(t);
            clock_.set(at(t));
            const bool decompressing = station_->cycle().phase() == 0;
            station_->cycle().tick();
            ++report_.ticks;
            redate(t);
            if (decompressing) noteDecompressed(q, t);
            observe(t);
        }
        if (o_.progress && (q % 20 == 19 || q == o_.slots)) {
            std::ostringstream s;
            s << "station_soak: " << std::min(q + 1, o_.slots) << "/" << o_.slots
              << " slots broadcast, " << report_.processed << " processed, " << report_.natives
              << " Native files, " << report_.failures.size() << " failed checks";
            o_.progress(s.str());
        }
    }

    // The generator writes the slot into the staging folder at once; its files are handed to
    // the received folder one by one as the clock passes the time each would arrive.
    void stage(int q, std::int64_t begin) {
        synth::ReceivedSlotOptions options;
        const SlotPlan* plan = q < o_.slots ? &plans_[static_cast<std::size_t>(q)] : nullptr;
        if (plan) {
            options = plan->options();
        } else {
            // The slot after the last: only its prologue and epilogue, enough to close the last.
            options.slot = slotOf(q);
            options.content = synth::Content::Pattern;
            options.only = std::set<synth::SegmentKey>{};
        }
        const auto dir = staging_ / options.slot;
        const auto files = synth::writeReceivedSlot(options, dir);
        if (!files) {
            fail("the generator cannot write slot " + options.slot + ": " + files.error());
            return;
        }
        int image = 0;
        for (const auto& f : *files) {
            FileKey key = kPrologueKey;
            std::int64_t arrival = kPrologueArrival;
            if (f.id.part == seg::Part::Image) {
                key = {f.id.channel, f.id.segment};
                arrival = kFirstSegmentArrival + kSegmentInterval * image++;
            } else if (f.id.part == seg::Part::Epilogue) {
                key = kEpilogueKey;
                arrival = kEpilogueArrival;
            }
            if (plan && plan->stillWriting == key) {
                for (int part = 0; part < kLateParts; ++part)
                    pending_.insert({begin + kLateFirstPart + part * kLatePartInterval,
                                     {dir / f.name, f.name, q, part, kLateParts}});
            } else {
                pending_.insert({begin + arrival, {dir / f.name, f.name, q}});
            }
        }
    }

    void deliver(std::int64_t t) {
        while (!pending_.empty() && pending_.begin()->first <= t) {
            const auto [when, d] = *pending_.begin();
            pending_.erase(pending_.begin());
            const auto target = received_ / d.name;
            std::error_code ec;
            if (d.parts == 1) {
                fs::rename(d.from, target, ec);
            } else {
                // Written in place under its own name, part after part, as a reception client does.
                const auto size = static_cast<std::int64_t>(fs::file_size(d.from, ec));
                const auto from = size * d.part / d.parts;
                const auto bytes = readAt(
                    d.from, from, static_cast<std::size_t>(size * (d.part + 1) / d.parts - from));
                std::ofstream out(target, std::ios::binary | std::ios::app);
                if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
                    ec = std::make_error_code(std::errc::io_error);
                out.close();
                if (d.part + 1 == d.parts) fs::remove(d.from, ec);
            }
            if (ec) {
                fail("cannot deliver " + d.name + ": " + ec.message());
                continue;
            }
            setTime(target, when);
            receivedFiles_[d.name] = {d.slot, when};
            if (fs::is_empty(d.from.parent_path(), ec)) fs::remove(d.from.parent_path(), ec);
        }
    }

    // The station's deco: a link to the stand-in, or while a slot with decompression faults may
    // be decompressed, a script that refuses some names, hangs on others and hands the rest on.
    void setDeco(int q) {
        std::string refused, hung;
        const auto add = [](std::string& names, const std::string& name) {
            if (!names.empty()) names += '|';
            names += name;
        };
        for (int p = std::max(0, q - 2); p <= std::min(q, o_.slots - 1); ++p) {
            const auto& plan = plans_[static_cast<std::size_t>(p)];
            for (const auto& k : plan.refused) add(refused, imageName(plan.slot, k));
            for (const auto& k : plan.hung) add(hung, imageName(plan.slot, k));
        }
        const auto standIn = fs::absolute(o_.standInDeco).string();
        const auto next = cdo_ / ".deco.soak";
        std::error_code ec;
        fs::remove(next, ec);
        if (refused.empty() && hung.empty()) {
            fs::create_symlink(standIn, next, ec);
        } else {
            std::string script =
                "#!/bin/sh\n# The soak's deco: fails or hangs on chosen segments, else the "
                "stand-in.\n";
            script += "case \"${1##*/}\" in\n";
            if (!refused.empty())
                script += "  " + refused + ") echo \"deco: refused $1\" >&2; exit 9 ;;\n";
            if (!hung.empty()) script += "  " + hung + ") exec sleep 120 ;;\n";
            script += "esac\nexec '" + standIn + "' \"$1\"\n";
            if (writeText(next, script))
                fs::permissions(
                    next, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec, ec);
        }
        fs::rename(next, cdo_ / "deco", ec);
        if (ec) fail("cannot replace the station's deco: " + ec.message());
    }

    // The station's own files are dated by the real clock, years after the manual one; they
    // are dated as if made at the manual clock's time, so the purge sees the ages it would see
    // in real operation. Only entries themselves are dated (never through a link), and only
    // those with a real-clock date: the decoys and the received files keep theirs.
    void redate(std::int64_t t) {
        for (const auto& dir : {cdo_, cdo_ / "nats", cdo_ / "natstemp"}) {
            std::error_code ec;
            for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
                const auto st = lookAt(it->path());
                if (st && (S_ISREG(st->st_mode) || S_ISDIR(st->st_mode)) &&
                    st->st_mtim.tv_sec > t + kQuarter)
                    setTime(it->path(), t);
            }
        }
    }

    void noteDecompressed(int q, std::int64_t t) {
        for (int p = std::max(0, q - 2); p <= std::min(q, o_.slots - 1); ++p) {
            auto& state = states_[static_cast<std::size_t>(p)];
            if (state.processed ||
                !fs::exists(workDir(p) / seg::epilogueName('4', false, slotOf(p))))
                continue;
            state.processed = true;
            state.decompressedAt = t;
            // Before the assembly puts blanks under the names of what failed.
            for (auto& [name, f] : receivedFiles_)
                if (f.slot == p) f.decompressed = decompressed(name, p);
            ++report_.processed;
            // Stopped between its decompression and its assembly: the next processor must go on
            // from the marks on disk.
            if (plans_[static_cast<std::size_t>(p)].restart && !state.restarted) restart(p);
        }
    }

    void observe(std::int64_t t) {
        observeNatives(t);
        observeFolders(t);
        observeReceived(t);
        observeDecoys(t);
    }

    bool isDecoy(const fs::path& p) const {
        return std::any_of(decoys_.begin(), decoys_.end(),
                           [&](const Decoy& d) { return d.path == p; });
    }

    void observeNatives(std::int64_t t) {
        std::set<std::string> present;
        std::error_code ec;
        for (fs::directory_iterator it(cdo_ / "nats", ec), end; !ec && it != end;
             it.increment(ec)) {
            const auto name = it->path().filename().string();
            present.insert(name);
            const auto st = lookAt(it->path());
            if (!st || !S_ISREG(st->st_mode) ||
                static_cast<std::uint64_t>(st->st_size) != station::assembly::kAssembledBytes) {
                if (badNats_.insert(name).second)
                    fail("nats/" + name + " was published incomplete (" +
                         std::to_string(st ? st->st_size : -1) + " bytes)");
                continue;
            }
            const auto seen = natives_.find(name);
            if (seen != natives_.end()) {
                if (seen->second.gone) {
                    fail("nats/" + name + " was made again after the purge took it");
                    seen->second = {seen->second.slot, t, false};
                    ++states_[static_cast<std::size_t>(seen->second.slot)].natives;
                }
                continue;
            }
            const auto index = slotIndex(name);
            if (!index) {
                fail("nats/" + name + " is not the Native file of a slot the soak broadcast");
                natives_[name] = {0, t, false};
                continue;
            }
            natives_[name] = {*index, t, false};
            ++report_.natives;
            ++states_[static_cast<std::size_t>(*index)].natives;
            verifyNative(*index, it->path());
        }
        for (auto& [name, p] : natives_) {
            if (p.gone || present.contains(name)) continue;
            p.gone = true;
            ++report_.nativesPurged;
            const auto age = t - p.made;
            const bool hourly = name.substr(10, 2) == "00";
            const bool due = (age > std::int64_t{kPolicy.nativeAllHours} * 3600 && !hourly) ||
                             age > std::int64_t{kPolicy.nativeHourlyHours} * 3600;
            if (!due)
                fail("nats/" + name + " was deleted " + std::to_string(age) +
                     " s after it was made, before its retention");
        }
    }

    std::optional<int> slotIndex(const std::string& name) const {
        if (!station::isNativeName(name)) return std::nullopt;
        const auto epoch = station::slot_time::epochSeconds(name.substr(0, 12));
        if (!epoch || *epoch < start_ || (*epoch - start_) % kQuarter) return std::nullopt;
        const auto index = (*epoch - start_) / kQuarter;
        if (index >= o_.slots) return std::nullopt;
        return static_cast<int>(index);
    }

    // The header reads back with the slot's time, the assembler's mark and the HRV windows of
    // the prologue used; a few records of every blanked segment and of some others hold the
    // blank's zeros or the generator's lines.
    void verifyNative(int index, const fs::path& file) {
        const auto& plan = plans_[static_cast<std::size_t>(index)];
        const auto what = "nats/" + file.filename().string();
        if (!plan.nativeExpected())
            fail(what + " was made from a slot of only " + std::to_string(plan.only->size()) +
                 " segments");
        const auto scene = tesmar::readNativeHeader(file);
        if (!scene) {
            fail(what + ": its header does not read back: " + scene.error());
            return;
        }
        if (scene->bsc != plan.slot) fail(what + ": the header's time is " + scene->bsc);
        if (scene->b105 != native::kMarkStandardScan)
            fail(what + ": no full-disk mark at " + std::to_string(native::kAssemblerMark));
        const auto w = plan.headerWindows();
        if (scene->vis_off_h != w.lowerNorth - 1 || scene->hrv_eac != w.lowerEast - 1)
            fail(what + ": the header's HRV window is not the one of its " +
                 (plan.prologue ? "own" : "stand-by") + " prologue");

        const auto blanked = plan.blanked();
        std::set<synth::SegmentKey> keys = blanked;
        if (plan.stillWriting && plan.stillWriting->image())
            keys.insert({plan.stillWriting->channel, plan.stillWriting->segment});
        std::mt19937_64 random(plan.checkSeed);
        const auto draw = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        for (int i = 0; i < 4; ++i) {
            const int channel = draw(1, 12);
            keys.insert({channel, draw(1, seg::segmentsOf(channel))});
        }
        synth::LineSource source(synth::sceneOf(plan.options()));
        const auto layout = scene->layout();
        std::vector<std::uint8_t> expected(
            static_cast<std::size_t>(std::max(source.visIrBytes(), source.hrvBytes())));
        for (const auto& k : keys) {
            const bool blank = blanked.contains(k);
            const bool hrv = k.channel == native::kHrvChannel;
            const auto bytes =
                static_cast<std::size_t>(hrv ? source.hrvBytes() : source.visIrBytes());
            for (const int line : {1, draw(2, seg::kLinesPerSegment - 1), seg::kLinesPerSegment}) {
                // VIS/IR segment S holds grid lines (S-1)*464+1.., HRV segment S the HRV lines
                // (S-1)*464+1..; VIS/IR line u stores HRV lines 3u-2..3u.
                const std::int64_t gridLine =
                    std::int64_t{k.segment - 1} * seg::kLinesPerSegment + line;
                const std::int64_t offset = hrv ? layout.pixelOffset(12, (gridLine - 1) / 3) +
                                                      (gridLine - 1) % 3 * layout.hrvSubLineStep()
                                                : layout.pixelOffset(k.channel, gridLine - 1);
                std::span<std::uint8_t> want(expected.data(), bytes);
                if (blank)
                    std::fill(want.begin(), want.end(), std::uint8_t{0});
                else if (hrv)
                    source.hrv(static_cast<int>(gridLine), want);
                else
                    source.visIr(k.channel, static_cast<int>(gridLine), want);
                const auto got = readAt(file, offset, bytes);
                if (got.size() != bytes ||
                    !std::equal(want.begin(), want.end(), got.begin(), [](std::uint8_t a, char b) {
                        return a == static_cast<std::uint8_t>(b);
                    })) {
                    fail(what + ": line " + std::to_string(line) + " of segment " + keyText(k) +
                         " is not " + (blank ? "blank" : "the broadcast's"));
                    break;
                }
            }
        }
    }

    // A working folder goes only once its slot is done with.
    void observeFolders(std::int64_t t) {
        for (std::size_t i = 0; i < states_.size(); ++i) {
            auto& s = states_[i];
            if (!s.processed || s.folderGone) continue;
            if (const auto st = lookAt(workDir(static_cast<int>(i)))) {
                s.folderDated = st->st_mtim.tv_sec;
                continue;
            }
            s.folderGone = true;
            ++report_.folderPurged;
            if (plans_[i].nativeExpected() && s.natives == 0)
                fail("the working folder of " + plans_[i].slot +
                     " was deleted before its Native file was made");
            if (t - s.folderDated <= kFolderSeconds)
                fail("the working folder of " + plans_[i].slot + " was deleted " +
                     std::to_string(t - s.folderDated) + " s after its last change");
        }
    }

    bool decompressed(const std::string& name, int slot) const {
        const auto output = station::decompressedSegmentName(name);
        const auto nominal = station::nominalSegmentBytes(name);
        std::error_code ec;
        return output && nominal && fs::file_size(workDir(slot) / *output, ec) == *nominal && !ec;
    }

    // A received file goes when it has been decompressed, or when it is older than the
    // received folder's retention; nothing else may take it. What was decompressed goes with
    // the assembly that follows, even when the processor was restarted in between.
    void observeReceived(std::int64_t t) {
        for (auto it = receivedFiles_.begin(); it != receivedFiles_.end();) {
            const auto& [name, f] = *it;
            if (lookAt(received_ / name)) {
                if (f.slot < o_.slots) {
                    auto& state = states_[static_cast<std::size_t>(f.slot)];
                    if (f.decompressed && !state.inputsLeft &&
                        t > state.decompressedAt + 3 * kTick) {
                        state.inputsLeft = true;
                        fail("decompressed segments of " + slotOf(f.slot) +
                             " were left in received/ after its assembly, " + name + " among them");
                    }
                }
                ++it;
                continue;
            }
            if (!f.decompressed) {
                if (t - f.dated > std::int64_t{kPolicy.receivedMinutes} * 60)
                    ++report_.receivedPurged;
                else
                    fail("received/" + name + " was deleted " + std::to_string(t - f.dated) +
                         " s after it arrived without having been decompressed");
            }
            it = receivedFiles_.erase(it);
        }
    }

    void observeDecoys(std::int64_t t) {
        for (auto& d : decoys_) {
            if (d.lost) continue;
            const auto st = lookAt(d.path);
            const bool kind = st && (d.kind == Decoy::Kind::File     ? S_ISREG(st->st_mode)
                                     : d.kind == Decoy::Kind::Folder ? S_ISDIR(st->st_mode)
                                                                     : S_ISLNK(st->st_mode));
            if (kind) continue;
            d.lost = true;
            if (d.keptSeconds && t - d.dated > *d.keptSeconds) continue;  // its retention is over
            d.early = true;
            fail(d.path.lexically_relative(root_).string() +
                 " of the user's was deleted or replaced");
        }
    }

    void finish() {
        for (std::size_t i = 0; i < plans_.size(); ++i) {
            const auto& p = plans_[i];
            const auto& s = states_[i];
            if (!s.processed) fail("slot " + p.slot + " was never decompressed");
            if (p.nativeExpected() && s.natives != 1)
                fail("slot " + p.slot + " became " + std::to_string(s.natives) +
                     " Native files, not one");
        }
        std::error_code ec;
        for (fs::directory_iterator it(cdo_ / "natstemp", ec), end; !ec && it != end;
             it.increment(ec))
            if (!isDecoy(it->path()))
                fail("natstemp/" + it->path().filename().string() + " was left behind");
        for (const auto& d : decoys_)
            (d.keptSeconds ? report_.agedDecoysKept : report_.decoysIntact) += !d.early;
        // Decoys behind links must be as they were.
        for (const auto* target :
             {"outside/target.txt", "outside/target13.txt", "outside/linked/beach.jpg"})
            if (!fs::is_regular_file(root_ / target))
                fail(std::string(target) + " behind a link was deleted");
    }

    const SoakOptions& o_;
    SoakReport report_;
    std::int64_t start_ = 0;
    fs::path root_, cdo_, received_, received13_, staging_;
    station::ManualClock clock_;
    std::unique_ptr<SoakStation> station_;
    std::vector<SlotPlan> plans_;
    std::vector<SlotState> states_;
    std::multimap<std::int64_t, Delivery> pending_;
    std::map<std::string, ReceivedFile> receivedFiles_;
    std::map<std::string, Published> natives_;
    std::set<std::string> badNats_;
    std::vector<Decoy> decoys_;
};

}  // namespace

int SoakReport::faultTotal() const {
    int n = 0;
    for (const int f : faults) n += f;
    return n;
}

std::string SoakReport::summary() const {
    std::ostringstream s;
    s << "station_soak: seed " << seed << ", " << slots << " slots, " << processed << " processed, "
      << natives << " Native files (" << nativesExpected << " expected), " << faultTotal()
      << " faults injected (";
    for (int f = 0; f < kFaultKinds; ++f)
        s << (f ? " " : "") << faultName(static_cast<Fault>(f)) << " "
          << faults[static_cast<std::size_t>(f)];
    s << "), " << ticks << " ticks with nats/ checked after each, purged " << nativesPurged
      << " Native files, " << folderPurged << " working folders and " << receivedPurged
      << " received files, decoys intact " << decoysIntact << "/" << decoys
      << " (received-folder files kept through their retention " << agedDecoysKept << "/"
      << agedDecoys << "), " << failures.size() << " failed checks, "
      << static_cast<long long>(seconds + 0.5) << " s";
    return s.str();
}

SoakReport runSoak(const SoakOptions& options) {
    return Soak(options).run();
}

}  // namespace soak
