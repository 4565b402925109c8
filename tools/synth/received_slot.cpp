#include "tools/synth/received_slot.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <ostream>
#include <span>
#include <thread>

#include "common/atomic_file.h"
#include "common/native_layout.h"
#include "common/slot_time.h"
#include "common/xrit_header.h"
#include "tools/synth/line_source.h"

namespace synth {

namespace fs = std::filesystem;
namespace seg = station::segments;
namespace native = station::native;
namespace xrit = station::xrit;

namespace {

// Prologue and epilogue headers alike: the primary header, the file name and a filler record.
constexpr int kPrologueHeaderBytes = seg::kPrologueHeaderBytes;
constexpr int kEpilogueHeaderBytes = seg::kPrologueHeaderBytes;
// Image segments that make up one group (segment g of channels 1..11, three HRV segments).
constexpr int kGroupFiles = 14;

// A rapid scan covers the northern part only: the southern 15 HRV segments and the southern
// 5 of each other channel are never sent.
bool missingInRapidScan(SegmentKey k) {
    constexpr int missingPerChannel = seg::kRssMissingOther / 11;
    return k.segment <=
           (k.channel == native::kHrvChannel ? seg::kRssMissingHrv : missingPerChannel);
}

bool validKey(SegmentKey k) {
    return k.channel >= 1 && k.channel <= native::kChannels && k.segment >= 1 &&
           k.segment <= seg::segmentsOf(k.channel);
}

// The group of an image segment: the VIS/IR segment whose lines it covers.
int groupOf(SegmentKey k) {
    return k.channel == native::kHrvChannel ? (k.segment + 2) / 3 : k.segment;
}

bool written(const ReceivedSlotOptions& o, SegmentKey k) {
    if (o.rapidScan && missingInRapidScan(k)) return false;
    if (o.drop.contains(k)) return false;
    return !o.only || o.only->contains(k);
}

seg::SegmentName nameOf(const ReceivedSlotOptions& o, seg::Part part, SegmentKey k) {
    // Image segments arrive compressed, prologue and epilogue as they are.
    return {.service = 'H',
            .satellite = o.satellite,
            .rapidScan = o.rapidScan,
            .part = part,
            .channel = k.channel,
            .segment = k.segment,
            .slot = o.slot,
            .compressed = part == seg::Part::Image};
}

std::string prologueBytes(const ReceivedSlotOptions& o, const std::string& name) {
    auto bytes = xrit::makeHeader(xrit::kFileTypePrologue, kPrologueHeaderBytes,
                                  seg::kPrologueDataBytes * 8, std::nullopt, name);
    // The binary header a Native file of the scene holds, from its first byte to the one
    // before the assembler's mark: calibration, planned coverage and HRV windows.
    bytes += headerBytes(sceneOf(o)).substr(native::kBinaryHeaderStart, seg::kPrologueDataBytes);
    return bytes;
}

std::string epilogueBytes(const std::string& name) {
    auto bytes =
        xrit::makeHeader(xrit::kFileTypeEpilogue, kEpilogueHeaderBytes,
                         (seg::kEpilogueBytes - kEpilogueHeaderBytes) * 8, std::nullopt, name);
    bytes.resize(static_cast<std::size_t>(seg::kEpilogueBytes), '\0');
    return bytes;
}

std::string segmentHeader(int channel, const std::string& name) {
    const bool hrv = channel == native::kHrvChannel;
    const std::uint64_t dataBytes =
        std::uint64_t{seg::kLinesPerSegment} *
        static_cast<std::uint64_t>(hrv ? seg::kHrvLineBytes : seg::kVisIrLineBytes);
    return xrit::makeHeader(
        xrit::kFileTypeImage, seg::kSegmentHeaderBytes, dataBytes * 8,
        xrit::ImageStructure{10, hrv ? native::kHrvLinePixels : native::kVisIrGrid,
                             seg::kLinesPerSegment, 0},
        name);
}

// The wanted image segments of one group, made line by line from the south: VIS/IR line
// (g-1)*464 + L is line L of segment g of each channel, and its three HRV lines are lines
// 3L-2..3L counted through the group's three HRV segments. Each line's Earth state is worked
// out once for all fourteen files.
std::vector<std::string> groupBytes(LineSource& source, int group,
                                    const std::vector<const SlotFile*>& files) {
    std::vector<std::string> bytes(files.size());
    std::array<std::uint8_t*, kGroupFiles> data{};  // channel 1..11, then HRV segments 3g-2..3g
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& id = files[i]->id;
        const bool hrv = id.channel == native::kHrvChannel;
        bytes[i] = segmentHeader(id.channel, files[i]->name);
        bytes[i].resize(static_cast<std::size_t>(id.nominalBytes()), '\0');
        const int index = hrv ? 11 + id.segment - (3 * group - 2) : id.channel - 1;
        data[static_cast<std::size_t>(index)] =
            reinterpret_cast<std::uint8_t*>(bytes[i].data()) + seg::kSegmentHeaderBytes;
    }
    constexpr int lines = seg::kLinesPerSegment;
    const auto record = [](std::uint8_t* d, int index, int lineBytes) {
        const auto n = static_cast<std::size_t>(lineBytes);
        return std::span<std::uint8_t>(d + static_cast<std::size_t>(index) * n, n);
    };
    for (int L = 0; L < lines; ++L) {
        const int line = (group - 1) * lines + L + 1;
        for (int k = 1; k <= 11; ++k)
            if (auto* d = data[static_cast<std::size_t>(k - 1)])
                source.visIr(k, line, record(d, L, seg::kVisIrLineBytes));
        for (int i = 0; i < 3; ++i) {
            const int inGroup = 3 * L + i;  // HRV line of the group, from 0
            const int file = 11 + inGroup / lines;
            if (auto* d = data[static_cast<std::size_t>(file)])
                source.hrv(3 * (line - 1) + i + 1, record(d, inGroup % lines, seg::kHrvLineBytes));
        }
    }
    return bytes;
}

// Writes a whole file at once through a temporary name, never replacing an existing one.
std::string writeWhole(const fs::path& target, std::string_view bytes) {
    const auto r = station::writeFileAtomically(
        target,
        [&](std::ostream& out) {
            return static_cast<bool>(
                out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
        },
        station::IfExists::Keep);
    return r ? std::string{} : r.error();
}

// Writes a file under its own name chunk by chunk, so it is seen growing.
std::string writeSlowly(const fs::path& target, std::string_view bytes, std::size_t chunk,
                        std::chrono::milliseconds pause) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return "Cannot create " + target.string() + ": " + std::strerror(errno);
    std::string error;
    for (std::size_t at = 0; at < bytes.size() && error.empty();) {
        const std::size_t end = std::min(bytes.size(), at + chunk);
        while (at < end) {
            const auto n = ::write(fd, bytes.data() + at, end - at);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                error = "Cannot write " + target.string() + ": " + std::strerror(errno);
                break;
            }
            at += static_cast<std::size_t>(n);
        }
        if (error.empty() && at < bytes.size()) std::this_thread::sleep_for(pause);
    }
    if (::close(fd) != 0 && error.empty())
        error = "Cannot write " + target.string() + ": " + std::strerror(errno);
    return error;
}

}  // namespace

SyntheticScene sceneOf(const ReceivedSlotOptions& o) {
    SyntheticScene s;
    s.mark = o.rapidScan ? native::kMarkRapidScan : native::kMarkStandardScan;
    s.time = o.slot;
    s.content = o.content;
    s.hrv = o.hrv;
    s.seed = o.seed;
    return s;
}

std::string optionsError(const ReceivedSlotOptions& o) {
    namespace st = station::slot_time;
    const int refresh = o.rapidScan ? st::kRapidScanMinutes : st::kFullDiskMinutes;
    const auto epoch = st::epochSeconds(o.slot);
    if (!epoch) return "the slot time '" + o.slot + "' is not yyyymmddhhmm";
    if (st::fromEpochSeconds(*epoch, refresh) != o.slot)
        return "the slot time " + o.slot + " is not on a " + std::to_string(refresh) +
               "-minute cycle";
    if (o.satellite < '0' || o.satellite > '9') return "the satellite is one digit";
    if (o.content != Content::Earth && o.content != Content::Pattern)
        return "the content is Earth or Pattern";
    const auto& h = o.hrv;
    // The segments hold full HRV lines, so both windows are one record wide.
    if (h.lowerNorth < 1 || h.lowerNorth > native::kHrvGrid || h.lowerEast < 1 ||
        h.lowerWest - h.lowerEast + 1 != native::kHrvLinePixels || h.lowerWest > native::kHrvGrid ||
        h.upperEast < 1 || h.upperEast + native::kHrvLinePixels - 1 > native::kHrvGrid)
        return "the HRV windows must be 5568 columns wide and inside the HRV grid";
    const auto unknown = [](const std::set<SegmentKey>& keys) {
        for (const auto k : keys)
            if (!validKey(k))
                return "there is no segment " + std::to_string(k.segment) + " of channel " +
                       std::to_string(k.channel);
        return std::string{};
    };
    if (auto why = unknown(o.drop); !why.empty()) return why;
    if (auto why = o.only ? unknown(*o.only) : std::string{}; !why.empty()) return why;
    if (const auto& t = o.truncate) {
        if (!validKey(t->segment)) return "the segment to cut short is not one of the slot";
        const auto nominal = seg::nominalBytes(seg::Part::Image, t->segment.channel);
        if (t->bytes < 0 || t->bytes >= nominal)
            return "a segment is cut short to fewer than its " + std::to_string(nominal) + " bytes";
        if (!written(o, t->segment)) return "the segment to cut short is not written";
    }
    if (o.chunkPause.count() < 0 || (o.chunkPause.count() > 0 && o.chunkBytes == 0))
        return "slow mode needs a pause of 0 ms or more and chunks of at least one byte";
    return {};
}

std::vector<SlotFile> plannedFiles(const ReceivedSlotOptions& o) {
    std::vector<SlotFile> files;
    const auto add = [&](seg::Part part, SegmentKey k) {
        const auto id = nameOf(o, part, k);
        std::int64_t bytes = id.nominalBytes();
        if (o.truncate && part == seg::Part::Image && o.truncate->segment == k)
            bytes = o.truncate->bytes;
        files.push_back({id, id.build(), bytes});
    };
    if (o.prologue) add(seg::Part::Prologue, {});
    for (int g = 1; g <= seg::kVisIrSegments; ++g) {
        for (int k = 1; k <= 11; ++k)
            if (written(o, {k, g})) add(seg::Part::Image, {k, g});
        for (int s = 3 * g - 2; s <= 3 * g; ++s)
            if (written(o, {native::kHrvChannel, s}))
                add(seg::Part::Image, {native::kHrvChannel, s});
    }
    if (o.epilogue) add(seg::Part::Epilogue, {});
    return files;
}

station::Result<std::vector<SlotFile>> writeReceivedSlot(
    const ReceivedSlotOptions& o, const fs::path& dir,
    const std::function<void(const SlotFile&)>& onWritten) {
    using R = station::Result<std::vector<SlotFile>>;
    if (const auto why = optionsError(o); !why.empty()) return R::failure(why);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) return R::failure("Cannot create " + dir.string() + ": " + ec.message());
    const auto plan = plannedFiles(o);
    for (const auto& f : plan)
        if (fs::exists(fs::symlink_status(dir / f.name, ec)))
            return R::failure((dir / f.name).string() + " exists already; nothing was written");

    std::vector<SlotFile> done;
    const auto put = [&](const SlotFile& f, const std::string& bytes) {
        const std::string_view kept =
            std::string_view(bytes).substr(0, static_cast<std::size_t>(f.bytes));
        const auto error = o.chunkPause.count() > 0
                               ? writeSlowly(dir / f.name, kept, o.chunkBytes, o.chunkPause)
                               : writeWhole(dir / f.name, kept);
        if (!error.empty()) return error;
        done.push_back(f);
        if (onWritten) onWritten(f);
        return std::string{};
    };

    LineSource source(sceneOf(o));
    for (std::size_t i = 0; i < plan.size();) {
        const auto& f = plan[i];
        if (f.id.part != seg::Part::Image) {
            const auto error = put(f, f.id.part == seg::Part::Prologue ? prologueBytes(o, f.name)
                                                                       : epilogueBytes(f.name));
            if (!error.empty()) return R::failure(error);
            ++i;
            continue;
        }
        // The run of planned segments of this group is made in one pass, then written in order.
        const int group = groupOf({f.id.channel, f.id.segment});
        std::vector<const SlotFile*> files;
        for (; i < plan.size() && plan[i].id.part == seg::Part::Image &&
               groupOf({plan[i].id.channel, plan[i].id.segment}) == group;
             ++i)
            files.push_back(&plan[i]);
        const auto bytes = groupBytes(source, group, files);
        for (std::size_t j = 0; j < files.size(); ++j)
            if (const auto error = put(*files[j], bytes[j]); !error.empty())
                return R::failure(error);
    }
    return done;
}

std::optional<SegmentKey> parseSegmentKey(std::string_view text) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    SegmentKey k;
    const auto number = [](std::string_view s, int& v) {
        const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        return ec == std::errc{} && p == s.data() + s.size();
    };
    if (!number(text.substr(0, colon), k.channel) || !number(text.substr(colon + 1), k.segment) ||
        !validKey(k))
        return std::nullopt;
    return k;
}

std::string dropFile(ReceivedSlotOptions& o, std::string_view what) {
    if (const auto k = parseSegmentKey(what)) {
        o.drop.insert(*k);
        return {};
    }
    const auto id = seg::parse(what);
    if (!id) {
        std::string why = "'";  // appended: GCC 12 warns falsely on "'" + string&&
        why += what;
        return why + "' is neither CHANNEL:SEGMENT nor a segment file name";
    }
    if (id->service != 'H' || id->satellite != o.satellite || id->rapidScan != o.rapidScan ||
        id->slot != o.slot)
        return std::string(what) + " is not a file of this slot";
    switch (id->part) {
        case seg::Part::Prologue:
            o.prologue = false;
            break;
        case seg::Part::Epilogue:
            o.epilogue = false;
            break;
        case seg::Part::Image:
            o.drop.insert({id->channel, id->segment});
            break;
    }
    return {};
}

}  // namespace synth
