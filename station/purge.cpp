#include "station/purge.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <limits>

#include "common/atomic_file.h"
#include "common/folder_paths.h"
#include "common/slot_time.h"

namespace station {

namespace fs = std::filesystem;

namespace {

// The lines of purge.txt that hold the values (1-based), in the order of PurgeFields.
constexpr std::array<int, 6> kValueLines = {2, 4, 6, 7, 9, 10};
constexpr std::size_t kPurgeLines = 10;
constexpr std::array<const char*, 6> kFieldMeanings = {
    "minutes to keep received hrit files", "minutes to keep other received files",
    "hours to keep all native files",      "hours to keep one native file per hour",
    "hours to keep all products",          "hours to keep one product per hour",
};

// Files of these folders of the station directory go after a fixed time whatever purge.txt says.
struct FixedFolder {
    const char* name;
    int hours;
};
constexpr std::array<FixedFolder, 6> kFixedFolders = {
    {{"dwds", 50}, {"lrit", 25}, {"gribs", 25}, {"bufrs", 25}, {"avhrr", 25}, {"hdf5", 25}}};

constexpr std::int64_t kSlotFolderSeconds = std::int64_t{80} * 60;
constexpr std::int64_t kMeteosat7FolderSeconds = std::int64_t{210} * 60;  // 3.5 hours
constexpr std::string_view kMeteosat7Suffix = "_5";
constexpr std::string_view kNativeExtension = ".nat";

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// A whole number of zero or more; a sign, a fraction or a value past `int` is not one. A
// negative keep time would delete everything, so it is refused like any other bad value.
std::optional<int> wholeNumber(std::string_view text) {
    const auto t = trimmed(text);
    if (t.empty() ||
        !std::all_of(t.begin(), t.end(), [](unsigned char c) { return std::isdigit(c); }))
        return std::nullopt;
    int v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc{} || end != t.data() + t.size()) return std::nullopt;
    return v;
}

std::optional<std::size_t> firstBadField(const PurgeFields& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!wholeNumber(fields[i])) return i;
    return std::nullopt;
}

std::string badFieldText(const PurgeFields& fields, std::size_t i) {
    std::string why = "\"";
    why += trimmed(fields[i]);
    why += "\" is not a whole number (";
    why += kFieldMeanings[i];
    why += ")";
    return why;
}

Result<bool> writePolicyFile(const fs::path& cdo, const PurgePolicy& p, IfExists ifExists) {
    const auto f = purgeFields(p);
    const auto written = writeFileAtomically(
        cdo / kPurgeFile,
        [&](std::ostream& out) {
            out << "#received hrit files\n"
                << f[0] << "\n#received other files\n"
                << f[1] << "\n#native files\n"
                << f[2] << '\n'
                << f[3] << "\n#products in prods\n"
                << f[4] << '\n'
                << f[5] << '\n';
            return static_cast<bool>(out);
        },
        ifExists);
    if (!written) return Result<bool>::failure(written.error());
    return true;
}

using station::isAncestorOrSelf;
using station::userHome;
const auto& resolved = station::resolvedPath;

// What lstat says: the kind of the entry itself (a link is a link) and its modification time.
struct Entry {
    bool regular = false;
    bool directory = false;
    std::int64_t mtime = 0;
};

std::optional<Entry> look(const fs::path& p) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return std::nullopt;
    return Entry{S_ISREG(st.st_mode), S_ISDIR(st.st_mode),
                 static_cast<std::int64_t>(st.st_mtim.tv_sec)};
}

// Empties the directory open at `fd` and closes it. Entries are looked at without following
// links and sub-directories are opened with O_NOFOLLOW, so a link is removed as a link and
// nothing outside the tree is reached, even when an entry is swapped for a link meanwhile.
void emptyDirectory(int fd) {
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view n = e->d_name;
        if (n != "." && n != "..") names.emplace_back(n);
    }
    for (const auto& n : names) {
        struct stat st {};
        if (::fstatat(fd, n.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            const int sub =
                ::openat(fd, n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub >= 0) emptyDirectory(sub);
            ::unlinkat(fd, n.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(fd, n.c_str(), 0);
        }
    }
    ::closedir(dir);
}

// Deletes a working directory and everything in it; false when anything is left (the next
// cycle tries again).
bool removeTree(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    emptyDirectory(fd);
    return ::rmdir(dir.c_str()) == 0;
}

std::string_view minuteOf(std::string_view slot) {
    return slot.substr(10, 2);
}

// Keep all of the last `allHours`, then only minute 00 up to `hourlyHours`.
bool thinnedOut(std::string_view slot, std::int64_t age, int allHours, int hourlyHours) {
    return (age > std::int64_t{allHours} * 3600 && minuteOf(slot) != "00") ||
           age > std::int64_t{hourlyHours} * 3600;
}

class Purger {
  public:
    explicit Purger(const PurgeContext& c)
        : c_(c),
          home_(c.home.empty() ? userHome() : c.home),
          now_(std::chrono::duration_cast<std::chrono::seconds>(c.clock.now().time_since_epoch())
                   .count()) {}

    void say(const std::string& text) const {
        if (c_.log) c_.log(text);
    }

    // Whether the files of `folder` may be looked at; a refusal is logged and reported.
    bool open(const fs::path& folder, const std::string& label) {
        if (const auto why = purgeRefusal(folder, c_.paths.cdo, home_)) {
            std::string line = "Old files of ";
            line += label;
            if (!folder.empty()) line += " (" + folder.string() + ")";
            line += " not purged: ";
            line += *why;
            say(line);
            report.refused.push_back(line);
            return false;
        }
        std::error_code ec;
        return fs::is_directory(folder, ec);
    }

    // Deletes the regular files directly in `folder` that `pick` chooses by name and age in
    // seconds; directories, links and anything else stay. With a `logPrefix`, each deletion
    // is logged as the prefix and the name.
    template <class Pick>
    void files(const fs::path& folder, const std::string& label, Pick pick,
               const std::string& logPrefix = {}) {
        if (!open(folder, label)) return;
        std::error_code ec;
        for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const auto name = it->path().filename().string();
            const auto e = look(it->path());
            if (!e || !e->regular || !pick(name, now_ - e->mtime)) continue;
            if (::unlink(it->path().c_str()) != 0) continue;
            report.deleted.push_back(it->path());
            if (!logPrefix.empty()) say(logPrefix + name);
        }
    }

    void fixedFolders() {
        for (const auto& f : kFixedFolders) {
            const std::int64_t keep = std::int64_t{f.hours} * 3600;
            files(c_.paths.cdo / f.name, f.name,
                  [&](const std::string&, std::int64_t age) { return age > keep; });
        }
    }

    void workingDirectories() {
        const auto& cdo = c_.paths.cdo;
        std::error_code ec;
        for (fs::directory_iterator it(cdo, ec), end; !ec && it != end; it.increment(ec)) {
            const auto name = it->path().filename().string();
            std::int64_t keep = 0;
            if (isSlotName(name)) {
                if (name == c_.closedSlot || name == c_.receivingSlot) continue;
                keep = kSlotFolderSeconds;
            } else if (name.size() == 12 + kMeteosat7Suffix.size() &&
                       name.ends_with(kMeteosat7Suffix) &&
                       isSlotName(std::string_view(name).substr(0, 12))) {
                keep = kMeteosat7FolderSeconds;
            } else {
                continue;
            }
            const auto e = look(it->path());
            if (!e || !e->directory || now_ - e->mtime <= keep) continue;
            if (!removeTree(it->path())) continue;
            report.deleted.push_back(it->path());
            say("Deleted directory " + name);
        }
    }

    void received(const PurgePolicy& p) {
        const std::int64_t n1 = std::int64_t{p.receivedMinutes} * 60;
        const std::int64_t n2 = std::int64_t{p.received13Minutes} * 60;
        files(c_.paths.received, "received",
              [&](const std::string&, std::int64_t age) { return age > n1; });
        files(c_.paths.received13, "received13",
              [&](const std::string&, std::int64_t age) { return age > n2; });
    }

    // Only slot + ".nat" is ever considered, so the files a user keeps beside the station's own
    // (a "sample" file) and those still being written (a "temp" or hidden name) cannot be
    // taken for one.
    void natives(const PurgePolicy& p) {
        const auto pick = [&](const std::string& name, std::int64_t age) {
            return isNativeName(name) &&
                   thinnedOut(name, age, p.nativeAllHours, p.nativeHourlyHours);
        };
        files(c_.paths.cdo / "nats", "nats", pick, "Deleted native ");
        files(c_.paths.cdo / "natstemp", "natstemp", pick, "Deleted native in temp directory ");
    }

    // Products are thinned by the slot time in their names, like the Native files.
    void products(const PurgePolicy& p) {
        files(c_.paths.cdo / "prods", "prods", [&](const std::string& name, std::int64_t age) {
            const auto slot = productSlot(name);
            return slot && thinnedOut(*slot, age, p.productAllHours, p.productHourlyHours);
        });
    }

    PurgeReport report;

  private:
    const PurgeContext& c_;
    fs::path home_;
    std::int64_t now_;
};

}  // namespace

PurgeFields purgeFields(const PurgePolicy& p) {
    return {std::to_string(p.receivedMinutes), std::to_string(p.received13Minutes),
            std::to_string(p.nativeAllHours),  std::to_string(p.nativeHourlyHours),
            std::to_string(p.productAllHours), std::to_string(p.productHourlyHours)};
}

Result<PurgePolicy> parsePurgeFields(const PurgeFields& fields) {
    if (const auto bad = firstBadField(fields))
        return Result<PurgePolicy>::failure(badFieldText(fields, *bad));
    std::array<int, 6> v{};
    for (std::size_t i = 0; i < fields.size(); ++i) v[i] = *wholeNumber(fields[i]);
    return PurgePolicy{v[0], v[1], v[2], v[3], v[4], v[5]};
}

Result<PurgeFields> readPurgeFields(const fs::path& cdo) {
    using R = Result<PurgeFields>;
    const auto file = cdo / kPurgeFile;
    std::error_code ec;
    // A station that cannot write the file still purges with the defaults.
    if (!fs::exists(file, ec) && !fs::is_symlink(file, ec) &&
        !writePolicyFile(cdo, {}, IfExists::Keep))
        return purgeFields({});
    std::ifstream in(file);
    if (!in) return R::failure("Cannot read " + file.string());
    std::vector<std::string> lines;
    std::string line;
    while (lines.size() < kPurgeLines && std::getline(in, line)) lines.push_back(line);
    if (lines.size() < kPurgeLines)
        return R::failure(file.string() + " has " + std::to_string(lines.size()) +
                          " lines; it needs " + std::to_string(kPurgeLines));
    PurgeFields f;
    for (std::size_t i = 0; i < f.size(); ++i)
        f[i] = std::string(trimmed(lines[kValueLines[i] - 1]));
    return f;
}

Result<PurgePolicy> readPurgePolicy(const fs::path& cdo) {
    using R = Result<PurgePolicy>;
    const auto fields = readPurgeFields(cdo);
    if (!fields) return R::failure(fields.error());
    if (const auto bad = firstBadField(*fields)) {
        std::string why = (cdo / kPurgeFile).string();
        why += ", line ";
        why += std::to_string(kValueLines[*bad]);
        why += ": ";
        why += badFieldText(*fields, *bad);
        return R::failure(why);
    }
    return parsePurgeFields(*fields);
}

Result<bool> writePurgePolicy(const fs::path& cdo, const PurgePolicy& policy) {
    return writePolicyFile(cdo, policy, IfExists::Replace);
}

std::optional<int> purgeDiskEstimateGb(const PurgeFields& fields) {
    std::array<std::int64_t, 6> v{};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (trimmed(fields[i]).empty()) continue;
        const auto n = wholeNumber(fields[i]);
        if (!n) return std::nullopt;
        v[i] = *n;
    }
    // In thousandths of a GB, so that the whole part is exact.
    const std::int64_t milli =
        v[0] * 8 + v[1] * 4 + (4 * v[2] + v[3]) * 300 + (4 * v[4] + v[5]) * 10;
    const std::int64_t gb = milli / 1000 + 2;
    if (gb > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(gb);
}

std::string purgeDiskEstimateText(int gb) {
    std::string text = "Please make sure you have ";
    text += std::to_string(gb);
    text += " GB available on disk";
    return text;
}

std::optional<std::string> purgeRefusal(const fs::path& folder, const fs::path& cdo,
                                        const fs::path& home) {
    if (folder.empty()) return "it is not configured";
    const auto f = resolved(folder);
    if (f == f.root_path()) return "it is the root of the file system";
    const auto station = resolved(cdo);
    if (f == station) return "it is the station directory";
    if (isAncestorOrSelf(f, station)) return "it holds the station directory";
    const auto h = home.empty() ? userHome() : home;
    if (!h.empty() && f == resolved(h)) return "it is the home directory";
    return std::nullopt;
}

bool isSlotName(std::string_view name) {
    return slot_time::epochSeconds(name).has_value();
}

bool isNativeName(std::string_view name) {
    return name.size() == 12 + kNativeExtension.size() && name.ends_with(kNativeExtension) &&
           isSlotName(name.substr(0, 12));
}

std::optional<std::string> productSlot(std::string_view name) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || name.front() == '.') return std::nullopt;
    const auto ext = name.substr(dot + 1);
    if (ext.empty() || ext.size() > 5 ||
        !std::all_of(ext.begin(), ext.end(), [](unsigned char c) { return std::isalnum(c); }))
        return std::nullopt;
    const auto stem = name.substr(0, dot);
    // Three characters, "_", at least one of the middle, "_", the slot time.
    if (stem.size() < 3 + 1 + 1 + 1 + 12 || stem[3] != '_' || stem[stem.size() - 13] != '_')
        return std::nullopt;
    const auto slot = stem.substr(stem.size() - 12);
    if (!isSlotName(slot)) return std::nullopt;
    return std::string(slot);
}

PurgeReport purga(const PurgeContext& context) {
    Purger p(context);
    const auto policy = readPurgePolicy(context.paths.cdo);
    if (!policy) {
        std::string line = "Old received files, native files and products not purged: ";
        line += policy.error();
        p.say(line);
        p.report.refused.push_back(line);
    }
    p.report.policyRead = policy.ok();
    p.fixedFolders();
    p.workingDirectories();
    if (policy) {
        p.received(*policy);
        p.natives(*policy);
        p.products(*policy);
    }
    return p.report;
}

}  // namespace station
