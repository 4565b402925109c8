#include "common/native_assembly.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <fstream>
#include <memory>

#include "common/durable_file.h"
#include "common/native_layout.h"
#include "common/segment_name.h"
#include "common/segment_templates.h"

namespace station::assembly {

namespace fs = std::filesystem;
namespace seg = station::segments;
using R = station::Result<std::uint64_t>;

namespace {

constexpr std::int64_t kTemplateFirstPart = 2503;  // bytes 0..2502
constexpr std::int64_t kTemplateSecondStart = 2516;
constexpr int kFillerBytes = 19785;

// The first `size` bytes of a file into `bytes` (whose memory is reused from group to group);
// an error when the file holds fewer.
std::string readExactly(const fs::path& file, std::int64_t size, std::vector<std::uint8_t>& bytes) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "Cannot open " + file.string();
    bytes.resize(static_cast<std::size_t>(size));
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, bytes.data() + done, static_cast<std::size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += n;
    }
    ::close(fd);
    if (done < size)
        return file.string() + " is " + std::to_string(done) + " bytes, shorter than " + std::to_string(size);
    return {};
}

fs::path imagePath(const Slot& s, int channel, int segment) {
    return s.workDir / seg::SegmentName{'H', s.satellite, s.rapidScan, seg::Part::Image, channel, segment, s.slot, false}.build();
}

}  // namespace

R assemble(const Slot& s, const fs::path& headerTemplate, const fs::path& output) {
    std::vector<std::uint8_t> h, prologue;
    if (auto why = readExactly(headerTemplate, kTemplateBytes, h); !why.empty()) return R::failure(why);
    if (auto why = readExactly(s.workDir / seg::prologueName(s.satellite, s.rapidScan, s.slot), seg::kPrologueBytes, prologue);
        !why.empty())
        return R::failure(why);

    DurableFile out(output);
    if (!out.ok()) return R::failure(out.error());
    out.write(std::span(h).first(kTemplateFirstPart));
    std::string time(1, '\x0c');
    time += s.slot;
    out.write(time);
    out.write(std::span(h).subspan(kTemplateSecondStart));
    out.write(std::span(prologue).subspan(seg::kPrologueHeaderBytes));
    out.write(std::string(1, s.rapidScan ? native::kMarkRapidScan : native::kMarkStandardScan));
    out.write(std::string(kFillerBytes, '\0'));

    // Eight groups of 464 VIS/IR lines; each reads its eleven segments and three HRV segments
    // once and writes its 464 line blocks in one go.
    constexpr int lines = seg::kLinesPerSegment;
    constexpr std::size_t blockBytes = 11 * (native::kLineHeaderBytes + seg::kVisIrLineBytes) +
                                       3 * (native::kLineHeaderBytes + seg::kHrvLineBytes);
    // The line headers stay zero: only the pixels are copied in, group after group.
    std::vector<std::uint8_t> group(blockBytes * lines, 0);
    std::array<std::vector<std::uint8_t>, 11> visIr;
    std::array<std::vector<std::uint8_t>, 3> hrv;
    for (int S = 1; S <= seg::kVisIrSegments && out.ok(); ++S) {
        for (int k = 1; k <= 11; ++k)
            if (auto why = readExactly(imagePath(s, k, S), seg::kVisIrSegmentBytes, visIr[static_cast<std::size_t>(k - 1)]);
                !why.empty())
                return R::failure(why);
        for (int i = 0; i < 3; ++i)
            if (auto why = readExactly(imagePath(s, 12, 3 * S - 2 + i), seg::kHrvSegmentBytes, hrv[static_cast<std::size_t>(i)]);
                !why.empty())
                return R::failure(why);
        for (int L = 0; L < lines; ++L) {
            auto* at = group.data() + blockBytes * static_cast<std::size_t>(L);
            for (const auto& segment : visIr) {
                at += native::kLineHeaderBytes;
                std::copy_n(segment.data() + seg::kSegmentHeaderBytes + std::size_t{seg::kVisIrLineBytes} * L,
                            seg::kVisIrLineBytes, at);
                at += seg::kVisIrLineBytes;
            }
            // The three HRV lines of VIS/IR line L: HRV lines 3L..3L+2 of the group, each
            // segment giving its own 464 lines in order.
            for (int i = 0; i < 3; ++i) {
                const int hrvLine = 3 * L + i;
                const auto& segment = hrv[static_cast<std::size_t>(hrvLine / lines)];
                at += native::kLineHeaderBytes;
                std::copy_n(segment.data() + seg::kSegmentHeaderBytes + std::size_t{seg::kHrvLineBytes} * (hrvLine % lines),
                            seg::kHrvLineBytes, at);
                at += seg::kHrvLineBytes;
            }
        }
        out.write(group);
    }
    return out.publish(IfExists::Keep, kAssembledBytes);
}

BlankingReport blank_missing(const Slot& s, const std::vector<std::string>& templateLines, const fs::path& zeroh,
                             const fs::path& zeron, const AssemblyLog& log) {
    BlankingReport report;
    const auto say = [&](const std::string& text) {
        if (log) log(text);
    };
    for (const auto& expected :
         seg::expectedSegments(templateLines, std::string(s.rapidScan ? seg::kRapidScan : seg::kFullDiskScan), s.slot, false)) {
        const auto path = s.workDir / expected.name;
        const auto nominal = expected.hrv ? seg::kHrvSegmentBytes : seg::kVisIrSegmentBytes;
        std::error_code ec;
        if (fs::exists(path, ec)) {
            const auto size = fs::file_size(path, ec);
            if (!ec && static_cast<std::int64_t>(size) == nominal) continue;
            // A wrong-size segment would shift or cut every line after it: it goes aside and
            // the slot gets a blank in its place.
            const auto aside = s.workDir / "set-aside";
            fs::create_directories(aside, ec);
            fs::rename(path, aside / expected.name, ec);
            if (ec) {
                say("Cannot set aside the wrong-size segment " + path.string() + ": " + ec.message());
                report.failed.push_back(path.string());
                continue;
            }
            say("Set aside the wrong-size segment " + path.string() + " (" + std::to_string(size) + " bytes)");
            report.setAside.push_back(expected.name);
        }
        say((expected.hrv ? "Blanking missing HRV file " : "Blanking missing regular file ") + path.string());
        (expected.hrv ? report.missingHrv : report.missingOther)++;
        const auto& blank = expected.hrv ? zeroh : zeron;
        std::error_code size;
        if (static_cast<std::int64_t>(fs::file_size(blank, size)) != nominal || size) {
            say("Blanking failed for segment " + path.string() + ": " + blank.string() + " is missing or of the wrong size");
            report.failed.push_back(path.string());
            continue;
        }
        std::ifstream in(blank, std::ios::binary);
        const auto copied = writeFileAtomically(
            path, [&](std::ostream& o) { return static_cast<bool>(o << in.rdbuf()); }, IfExists::Keep);
        if (!copied || static_cast<std::int64_t>(*copied) != nominal) {
            say("Blanking failed for segment " + path.string());
            report.failed.push_back(path.string());
        }
    }
    return report;
}

}  // namespace station::assembly
