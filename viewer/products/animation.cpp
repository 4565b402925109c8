#include "viewer/products/animation.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>

#include "common/folder_paths.h"
#include "common/slot_time.h"

namespace tesmar::products {

namespace fs = std::filesystem;

namespace {

bool digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool present(const fs::path& file) {
    std::error_code ec;
    return fs::exists(file, ec);
}

using station::isAncestorOrSelf;
using station::userHome;
const auto& resolved = station::resolvedPath;

// Folders that hold the system's own files, with everything under them.
constexpr std::array<const char*, 13> kSystemTrees = {
    "/usr",    "/etc",  "/bin", "/sbin", "/lib", "/lib32", "/lib64",
    "/libx32", "/boot", "/dev", "/proc", "/sys", "/run"};
// Folders that hold everybody's folders: refused themselves, while a folder below them may be
// a station's.
constexpr std::array<const char*, 10> kSharedRoots = {
    "/", "/home", "/root", "/tmp", "/var", "/var/tmp", "/srv", "/opt", "/mnt", "/media"};

}  // namespace

std::optional<std::string> frameTime(const fs::path& file) {
    const std::string name = file.filename().string();
    for (std::size_t dot = name.find('.'); dot != std::string::npos;
         dot = name.find('.', dot + 1)) {
        if (dot < 12) continue;
        const std::size_t start = dot - 12;
        if (!std::all_of(name.begin() + static_cast<long>(start),
                         name.begin() + static_cast<long>(dot), digit))
            continue;
        if (start > 0 && digit(name[start - 1])) continue;  // a longer number is not a time
        return name.substr(start, 12);
    }
    return std::nullopt;
}

std::vector<fs::path> orderFrames(std::vector<fs::path> files) {
    std::vector<std::pair<std::optional<std::string>, fs::path>> keyed;
    keyed.reserve(files.size());
    for (auto& f : files) keyed.emplace_back(frameTime(f), std::move(f));
    // Twelve digits compare as numbers when compared as text.
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        if (a.first.has_value() != b.first.has_value()) return a.first.has_value();
        return a.first && *a.first < *b.first;
    });
    std::vector<fs::path> ordered;
    ordered.reserve(keyed.size());
    for (auto& k : keyed) ordered.push_back(std::move(k.second));
    return ordered;
}

PlaySchedule scheduleOf(PlayKind kind, int speed) {
    const int hold = std::max(speed, 1) * 50;
    switch (kind) {
        case PlayKind::First:
            return {1500, 100};
        case PlayKind::Restart:
            return {2000, hold};
        case PlayKind::Idle:
            return {1500, hold};
    }
    return {};
}

void FrameList::choose(std::vector<fs::path> files) {
    files_ = orderFrames(std::move(files));
    playing_ = false;
    stepIndex_ = -1;
    playIndex_ = -1;
    played_ = 0;
}

bool FrameList::play(PlayKind kind, int speed) {
    playing_ = !files_.empty();
    if (!playing_) return false;
    kind_ = kind;
    schedule_ = scheduleOf(kind, speed);
    played_ = 0;
    // The restart walks the index of the single steps, so a step after it goes on from where
    // it stopped; the other plays keep their own.
    (kind == PlayKind::Restart ? stepIndex_ : playIndex_) = -1;
    return true;
}

std::optional<Frame> FrameList::nextFrame() {
    const int n = static_cast<int>(files_.size());
    int pause = 0;
    while (playing_ && n > 0 && played_ < kFramesPerPlay) {
        ++played_;
        int& i = kind_ == PlayKind::Restart ? stepIndex_ : playIndex_;
        i = (i + 1) % n;
        if (i == 0) pause += schedule_.roundPauseMs;
        const auto& file = files_[static_cast<std::size_t>(i)];
        if (present(file))
            return Frame{static_cast<std::size_t>(i), file, pause, schedule_.frameHoldMs};
    }
    playing_ = false;
    return std::nullopt;
}

std::optional<Frame> FrameList::step(int direction) {
    const int n = static_cast<int>(files_.size());
    int i = stepIndex_;
    if (i < 0 && direction < 0) i = 0;  // before the first frame, "previous" is the last one
    for (int tried = 0; tried < n; ++tried) {
        i = ((i + direction) % n + n) % n;
        const auto& file = files_[static_cast<std::size_t>(i)];
        if (present(file)) {
            stepIndex_ = i;
            return Frame{static_cast<std::size_t>(i), file, 0, 0};
        }
    }
    return std::nullopt;
}

bool FrameList::idleTick(std::vector<fs::path> frames, int speed) {
    if (playing_ || frames.empty()) return false;
    choose(std::move(frames));
    return play(PlayKind::Idle, speed);
}

std::string_view sequenceTypeCaption(SequenceType type) {
    switch (type) {
        case SequenceType::Single:
            return "Single";
        case SequenceType::Difference:
            return "Difference";
        case SequenceType::Composite:
            return "Composite";
        case SequenceType::HighResolution:
            return "High resolution";
        case SequenceType::Flow:
            return "Flow product";
        case SequenceType::Complex:
            return "Complex composite";
    }
    return {};
}

std::string_view sequenceTypeKey(SequenceType type) {
    switch (type) {
        case SequenceType::Single:
            return "single";
        case SequenceType::Difference:
            return "difference";
        case SequenceType::Composite:
            return "composite";
        case SequenceType::HighResolution:
            return "hrv";
        case SequenceType::Flow:
            return "flow";
        case SequenceType::Complex:
            return "complex";
    }
    return {};
}

std::optional<SequenceType> sequenceTypeOfKey(std::string_view key) {
    for (const auto t : kSequenceTypes)
        if (sequenceTypeKey(t) == key) return t;
    return std::nullopt;
}

std::optional<fs::path> sequencePicture(const fs::path& destination, std::string_view sceneTime,
                                        bool bitmap) {
    if (sceneTime.size() != 12 || !std::all_of(sceneTime.begin(), sceneTime.end(), digit))
        return std::nullopt;
    std::string name(sceneTime);
    name += bitmap ? ".bmp" : ".jpg";
    return destination / name;
}

bool isSequencePicture(std::string_view name) {
    if (name.size() != 16) return false;
    const auto ext = name.substr(12);
    return (ext == ".jpg" || ext == ".bmp") &&
           station::slot_time::epochSeconds(name.substr(0, 12)).has_value();
}

std::optional<std::string> cleaningRefusal(const fs::path& destination, const fs::path& station,
                                           const fs::path& home) {
    if (destination.empty()) return "no folder was given";
    const auto d = resolved(destination);
    for (const char* tree : kSystemTrees)
        if (isAncestorOrSelf(fs::path(tree), d)) return "it is a folder of the system";
    for (const char* root : kSharedRoots)
        if (d == fs::path(root)) return "it is a folder of the system";
    const auto s = resolved(station);
    if (d == s) return "it is the station directory";
    if (isAncestorOrSelf(d, s)) return "it holds the station directory";
    const auto h = home.empty() ? userHome() : home;
    if (!h.empty() && d == resolved(h)) return "it is the home directory";
    return std::nullopt;
}

std::vector<fs::path> filesToClean(const fs::path& destination) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(destination, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind;
        // symlink_status: a link named like a picture is not the picture.
        if (!fs::is_regular_file(it->symlink_status(kind))) continue;
        if (isSequencePicture(it->path().filename().string())) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace tesmar::products
