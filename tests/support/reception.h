#pragma once
// What the reception tests share: slot times as clock readings, file times, and a stand-in
// `deco` script.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/clock.h"
#include "common/slot_time.h"

namespace testing_support {

inline std::int64_t epochOf(const std::string& slot) { return *station::slot_time::epochSeconds(slot); }
inline station::TimePoint at(std::int64_t epoch) { return station::TimePoint(std::chrono::seconds(epoch)); }

// A `deco` for tests: copies its argument to the decompressed name in the folder it runs in,
// and fails on a file whose first line reads "broken".
inline void writeScriptDeco(const std::filesystem::path& file) {
    std::ofstream(file) << "#!/bin/sh\n"
                           "n=${1##*/}\n"
                           "read -r first < \"$1\"\n"
                           "if [ \"$first\" = broken ]; then echo \"cannot read $n\" >&2; exit 2; fi\n"
                           "cat \"$1\" > \"${n%C_}__\"\n";
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

}  // namespace testing_support
