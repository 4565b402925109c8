// The reception's own text files: purge.txt, cd.txt and cdr.txt (the same bytes as each), and
// the names the purge recognises (each line as a file name). A purge policy read from the file
// holds no negative keep time and reads back as written; the folders cd.txt names are purged
// only when they are neither the root, the home directory, nor the station directory or one
// above it.

#include <cstdint>
#include <filesystem>
#include <string>

#include "common/slot_time.h"
#include "fuzz/fuzz_support.h"
#include "station/purge.h"
#include "station/station_paths.h"

namespace {

namespace fs = std::filesystem;
using fuzzing::require;

fs::path normal(const fs::path& p) {
    std::error_code ec;
    fs::path r = fs::weakly_canonical(fs::absolute(p, ec), ec);
    while (!r.has_filename() && r.has_relative_path()) r = r.parent_path();
    return r;
}

// Whether `inner` is `outer` or lies under it, both made absolute and canonical.
bool within(const fs::path& inner, const fs::path& outer) {
    const auto i = normal(inner), o = normal(outer);
    for (fs::path p = i;; p = p.parent_path()) {
        if (p == o) return true;
        if (p == p.parent_path()) return false;
    }
}

void checkRefusal(const fs::path& folder, const fs::path& cdo, const fs::path& home) {
    if (folder.empty()) return;
    if (station::purgeRefusal(folder, cdo, home)) return;
    require(normal(folder) != normal("/"), "the root would be purged", folder.string());
    require(normal(folder) != normal(home), "the home directory would be purged", folder.string());
    require(!within(cdo, folder), "the station directory or one above it would be purged",
            folder.string());
}

void checkNames(std::string_view text) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        const auto name = text.substr(0, end);
        if (const auto slot = station::productSlot(name))
            require(station::isSlotName(*slot), "a product slot that is not a slot time", *slot);
        if (station::isNativeName(name))
            require(name.size() == 16, "a Native name of another length");
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = fuzzing::asText(data, size);
    static const fs::path cdo = fuzzing::scratch() / "station";
    static const fs::path home = fuzzing::scratch() / "home";
    static const fs::path copy = fuzzing::scratch() / "copy";
    fs::create_directories(cdo);
    fs::create_directories(home);
    fs::create_directories(copy);
    for (const char* name : {station::kPurgeFile, "cd.txt", "cdr.txt"})
        fuzzing::writeFile(cdo, name, text);

    const auto fields = station::readPurgeFields(cdo);
    if (fields) (void)station::purgeDiskEstimateGb(*fields);
    const auto policy = station::readPurgePolicy(cdo);
    if (policy) {
        const auto& p = *policy;
        for (const int v : {p.receivedMinutes, p.received13Minutes, p.nativeAllHours,
                            p.nativeHourlyHours, p.productAllHours, p.productHourlyHours})
            require(v >= 0, "a negative keep time");
        require(station::writePurgePolicy(copy, p).ok(), "a policy that cannot be written");
        const auto back = station::readPurgePolicy(copy);
        require(back.ok() && *back == p, "a policy that does not read back");
        require(fields.ok() && station::parsePurgeFields(*fields).ok(),
                "the fields refused what the file gave");
    }

    if (const auto paths = station::readCd(cdo)) {
        require(!paths->cdo.empty() && !paths->received.empty() && !paths->received13.empty(),
                "an empty folder");
        checkRefusal(paths->received, cdo, home);
        checkRefusal(paths->received13, cdo, home);
        checkRefusal(paths->cdo, cdo, home);
    }
    if (const auto remote = station::readCdr(cdo))
        require(!remote->empty(), "an empty remote station");

    checkNames(text);
    return 0;
}
