#include "station/other_products.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>

#include "common/atomic_file.h"

namespace station {

namespace fs = std::filesystem;

namespace {

enum class Action { Copy, Gunzip, Bunzip2, Segment };

struct Row {
    std::string_view mask;
    // Names ending so are archives: a decompression row takes them, and the copy row leaves
    // them alone.
    std::string_view unlessSuffix;
    Action action;
    std::string_view folder;  // under the output root: where copies or segments go
    std::string_view sender;  // named in the log of an unpacked archive
};

// In this order: a row's copies are made before the archives of the same family are unpacked,
// so an unpacked file is copied by the next run, once it has settled.
constexpr std::array<Row, 15> kRows{{
    {"S-OSI_-*", ".gz", Action::Copy, "gribs", ""},
    {"S-OSI_-*.gz", "", Action::Gunzip, "", "the OSI SAF"},
    {"S-LSA_-*", ".bz2", Action::Copy, "hdf5", ""},
    // Ozone archives fit no row below: they are neither copied nor unpacked.
    {"S-O3M_-*", ".bz2", Action::Copy, "hdf5", ""},
    {"S-LSA_-*.bz2", "", Action::Bunzip2, "", "the LSA SAF"},
    {"*_dwdsat_*", ".bz2", Action::Copy, "dwds", ""},
    {"*_dwdsat_*.bz2", "", Action::Bunzip2, "", "DWDSAT"},
    {"AVHR_*", "", Action::Copy, "avhrr", ""},
    {"avhrr_*", ".bz2", Action::Copy, "avhrr", ""},
    {"avhrr_*.bz2", "", Action::Bunzip2, "", "NOAA polar satellites"},
    {"*_bufr", "", Action::Copy, "bufrs", ""},
    {"*MPEF*-AMV*", "", Action::Copy, "bufrs", ""},
    {"*MPEF*-GII*", "", Action::Copy, "bufrs", ""},
    {"*MPEF*-FIRG*", "", Action::Copy, "gribs", ""},
    {"L-000-MSG*-C_", "", Action::Segment, "lrit", ""},
}};

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// '*' is any run of characters, '?' any one; letters match whatever their case, since the
// senders do not agree on it.
bool matchesMask(std::string_view mask, std::string_view name) {
    std::size_t m = 0;
    std::size_t n = 0;
    std::size_t star = std::string_view::npos;
    std::size_t resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            star = m++;
            resume = n;
        } else if (m < mask.size() && (mask[m] == '?' || lower(mask[m]) == lower(name[n]))) {
            ++m;
            ++n;
        } else if (star != std::string_view::npos) {
            // Let the last star take one more character and try again from there.
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

bool endsWithNoCase(std::string_view name, std::string_view suffix) {
    return name.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(),
                      name.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return lower(a) == lower(b); });
}

// The received files a row takes, by name in order. Hidden names are files still being written
// (ours among them), and links may point anywhere: neither is taken.
std::vector<std::string> candidates(const fs::path& dir, const Row& row) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        auto name = it->path().filename().string();
        if (name.empty() || name[0] == '.' || it->is_symlink(ec) || !it->is_regular_file(ec))
            continue;
        if (!matchesMask(row.mask, name)) continue;
        if (!row.unlessSuffix.empty() && endsWithNoCase(name, row.unlessSuffix)) continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool present(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// Copies `from` to `to` whole or not at all, never replacing `to`, and keeps the modification
// time, which the product folders' purge goes by.
Result<bool> copyKeepingTime(const fs::path& from, const fs::path& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) return Result<bool>::failure("Cannot read " + from.string());
    const auto written = writeFileAtomically(
        to,
        [&](std::ostream& out) {
            // Inserting an empty buffer counts as a failed insertion: an empty file is copied
            // by writing nothing.
            if (in.peek() == std::ifstream::traits_type::eof()) return !in.bad();
            return static_cast<bool>(out << in.rdbuf());
        },
        IfExists::Keep);
    if (!written) return Result<bool>::failure(written.error());
    std::error_code ec;
    const auto when = fs::last_write_time(from, ec);
    if (!ec) fs::last_write_time(to, when, ec);
    return true;
}

class Run {
  public:
    Run(const StationPaths& paths, const Clock& clock, StationLog& log, std::chrono::seconds settle,
        const ExternalSettings& deco, fs::path root)
        : paths_(paths),
          clock_(clock),
          log_(log),
          settle_(settle),
          deco_(deco),
          root_(std::move(root)),
          todel_(paths.cdo / kTodelLrit, std::ios::trunc) {
        if (!todel_) log_.line(time() + "  Cannot write " + (paths.cdo / kTodelLrit).string());
    }

    void row(const Row& r) {
        auto names = candidates(paths_.received13, r);
        // A file still being written is left for a later run.
        std::erase_if(names, [&](const std::string& name) {
            if (settled(paths_.received13 / name)) return false;
            report_.waiting.push_back(name);
            return true;
        });
        switch (r.action) {
            case Action::Copy:
                copy(r, names);
                break;
            case Action::Gunzip:
                unpack(r, names, ArchiveFormat::Gzip, "Unzipped");
                break;
            case Action::Bunzip2:
                unpack(r, names, ArchiveFormat::Bzip2, "Bunzipped");
                break;
            case Action::Segment:
                segments(r, names);
                break;
        }
    }

    OtherProductsReport take() { return std::move(report_); }

  private:
    std::string time() const { return localTimeText(clock_.now()); }

    bool settled(const fs::path& file) const {
        std::error_code ec;
        const auto t = fs::last_write_time(file, ec);
        if (ec) return false;
        const auto age = clock_.now() - std::chrono::file_clock::to_sys(t);
        return age >= settle_;
    }

    void list(const std::string& name) {
        todel_ << (paths_.received13 / name).string() << '\n';
        // Listed as soon as done: what is on the list has been dealt with, whatever comes next.
        todel_.flush();
    }

    // The row's folder, made before the row whether or not it has files, so the viewer finds it.
    bool folder(const Row& r, const std::vector<std::string>& names) {
        std::error_code ec;
        const auto dir = root_ / r.folder;
        fs::create_directories(dir, ec);
        if (!ec && fs::is_directory(dir, ec)) return true;
        log_.line(time() + "  Cannot create the folder " + dir.string() +
                  (ec ? ": " + ec.message() : ""));
        report_.failed.insert(report_.failed.end(), names.begin(), names.end());
        return false;
    }

    void copy(const Row& r, const std::vector<std::string>& names) {
        if (!folder(r, names)) return;
        const auto dir = root_ / r.folder;
        for (const auto& name : names) {
            const auto target = dir / name;
            // A copy made before stays as it is; the source has been dealt with all the same.
            if (present(target)) {
                report_.alreadyThere.push_back(name);
                list(name);
                continue;
            }
            const auto copied = copyKeepingTime(paths_.received13 / name, target);
            if (copied) {
                report_.moved.push_back(name);
                list(name);
                log_.line(time() + "  Moved to " + dir.string() + "  the file " + name);
            } else if (present(target)) {  // made by someone else meanwhile
                report_.alreadyThere.push_back(name);
                list(name);
            } else {
                report_.failed.push_back(name);
                log_.line(time() + "  Cannot copy the file " + name + ": " + copied.error());
            }
        }
    }

    void unpack(const Row& r, const std::vector<std::string>& names, ArchiveFormat format,
                const std::string& verb) {
        const ArchiveDecompressor archives(format);
        for (const auto& name : names) {
            const auto source = paths_.received13 / name;
            const auto output = archives.outputFor(source);
            if (output && present(*output)) {
                report_.alreadyDecompressed.push_back(name);
                list(name);
                continue;
            }
            const auto done = archives.decompress({source, std::nullopt});
            if (done.ok) {
                report_.decompressed.push_back(name);
                list(name);
                log_.line(time() + "  " + verb + " the file " + name + " from " +
                          std::string(r.sender));
            } else {
                report_.failed.push_back(name);
                log_.line(time() + "  Not decompressed, kept for a later look: " + done.reason);
            }
        }
    }

    void segments(const Row& r, const std::vector<std::string>& names) {
        if (!folder(r, names)) return;
        ExternalSettings settings = deco_;
        if (settings.program.empty()) settings.program = paths_.cdo / kDecoProgram;
        settings.workDir = root_ / r.folder;
        const ExternalDecompressor decompressor(settings);
        std::vector<DecompressionJob> jobs;
        for (const auto& name : names) {
            ++report_.segments;
            const auto source = paths_.received13 / name;
            const auto output = decompressor.outputFor(source);
            if (output && present(*output)) {
                report_.alreadyDecompressed.push_back(name);
                list(name);
                continue;
            }
            // Low-rate segments have no fixed size to check against.
            jobs.push_back({source, std::nullopt});
        }
        for (const auto& done : decompressor.decompressAll(jobs)) {
            const auto name = done.input.filename().string();
            if (done.ok) {
                report_.decompressed.push_back(name);
                list(name);
            } else {
                report_.failed.push_back(name);
                log_.line(time() + "  Not decompressed, kept for a later look: " + done.reason);
            }
        }
    }

    const StationPaths& paths_;
    const Clock& clock_;
    StationLog& log_;
    std::chrono::seconds settle_;
    const ExternalSettings& deco_;
    fs::path root_;
    std::ofstream todel_;
    OtherProductsReport report_;
};

}  // namespace

bool otherProductsDue(std::string_view slot) {
    if (slot.size() != 12 ||
        !std::all_of(slot.begin(), slot.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const int minute = (slot[10] - '0') * 10 + (slot[11] - '0');
    return minute % 15 == 0;
}

OtherProductsReport OtherProducts::deco_lrit(const fs::path& outputRoot) const {
    Run run(paths_, clock_, log_, settle, deco, outputRoot);
    for (const auto& row : kRows) run.row(row);
    return run.take();
}

}  // namespace station
