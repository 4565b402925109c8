#pragma once
// Scene times: "YYYYMMDDhhmm" as shown, and the newest Native file of the station.

#include <filesystem>
#include <string>
#include <string_view>

#include "common/clock.h"

namespace tesmar {

inline constexpr std::string_view kDefaultDatea = "200301011200";

// "2019-03-18 13:30" from "201903181330"; the text as it stands when it is shorter.
std::string formatSceneTime(std::string_view bsc);

// True when the 12 characters are all digits.
bool isSlotTime(std::string_view text);

struct NewestNative {
    std::string datea{kDefaultDatea};
    station::TimePoint srtime0;
};

// Scans `nats` for "20*.nat" files later than `newest.srtime0` and takes the time in the name
// of the latest one (the 12 characters before ".nat"); a name whose time is not a number
// gives the default time.
NewestNative cualesdatea(const std::filesystem::path& nats, NewestNative newest);

}  // namespace tesmar
