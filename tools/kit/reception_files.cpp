#include "tools/kit/reception_files.h"

#include "common/native_assembly.h"
#include "common/segment_name.h"
#include "common/segment_templates.h"
#include "common/xrit_header.h"
#include "tools/synth/native_writer.h"

namespace kit {

namespace seg = station::segments;
namespace xrit = station::xrit;

namespace {

// The ASCII product headers of a full-disk file of all twelve channels; the assembly writes
// the slot time over the placeholder.
std::string headerTemplate(bool rapidScan) {
    synth::SyntheticScene s;
    s.mark = rapidScan ? 'i' : 's';
    s.time = "000000000000";
    return synth::headerBytes(s).substr(0, station::assembly::kTemplateBytes);
}

std::string blankSegment(bool hrv) {
    const int lineBytes = hrv ? seg::kHrvLineBytes : seg::kVisIrLineBytes;
    const std::uint64_t dataBytes = std::uint64_t{seg::kLinesPerSegment} * static_cast<std::uint64_t>(lineBytes);
    auto bytes = xrit::makeHeader(xrit::kFileTypeImage, seg::kSegmentHeaderBytes, dataBytes * 8,
                                  xrit::ImageStructure{10, hrv ? 5568 : 3712, seg::kLinesPerSegment, 0}, {});
    bytes.append(dataBytes, '\0');
    return bytes;
}

// A prologue of a full-disk scene (calibration, planned coverage, HRV windows) for slots
// whose own prologue never arrived.
std::string standByPrologue() {
    synth::SyntheticScene s;
    s.mark = 's';
    auto bytes = xrit::makeHeader(xrit::kFileTypePrologue, seg::kPrologueHeaderBytes, seg::kPrologueDataBytes * 8,
                                  std::nullopt, {});
    bytes += synth::headerBytes(s).substr(station::assembly::kTemplateBytes, seg::kPrologueDataBytes);
    return bytes;
}

std::string standByEpilogue() {
    auto bytes = xrit::makeHeader(xrit::kFileTypeEpilogue, 16, (seg::kEpilogueBytes - 16) * 8, std::nullopt, {});
    bytes.append(static_cast<std::size_t>(seg::kEpilogueBytes) - bytes.size(), '\0');
    return bytes;
}

}  // namespace

std::vector<ReceptionFile> receptionFiles() {
    std::vector<ReceptionFile> files{
        {"cabecero.nat", "ASCII headers of full-disk Native files", headerTemplate(false)},
        {"cabecerr.nat", "ASCII headers of rapid-scan Native files", headerTemplate(true)},
    };
    for (const char satellite : {'1', '2', '3', '4'})
        files.push_back({seg::templateFileName(satellite, satellite),
                         std::string("the 112 image segments of MSG") + satellite, seg::templateText(satellite)});
    files.push_back({"zeroh", "blank HRV segment", blankSegment(true)});
    files.push_back({"zeron", "blank segment of channels 1 to 11", blankSegment(false)});
    files.push_back({"pro", "stand-by prologue", standByPrologue()});
    files.push_back({"epi", "stand-by epilogue", standByEpilogue()});
    return files;
}

std::filesystem::path standInDeco() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    for (const auto& candidate : {self.parent_path() / "deco", self.parent_path().parent_path() / "tools" / "deco" / "deco"})
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
    return {};
}

}  // namespace kit
