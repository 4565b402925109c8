#pragma once
// Repeat-cycle ("slot") times: "yyyymmddhhmm" in UTC, their arithmetic, and their ten-digit
// short key. Dates are computed on the proleptic Gregorian calendar in UTC epoch seconds, so
// month ends, leap years and the local clock's daylight saving never shift a slot.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace station::slot_time {

inline constexpr int kFullDiskMinutes = 15;
inline constexpr int kRapidScanMinutes = 5;

// UTC epoch seconds of a slot time; nothing unless it is 12 digits of a real date and time.
std::optional<std::int64_t> epochSeconds(std::string_view slot);
// The slot time of epoch seconds, its minute rounded down to a multiple of `refresh`.
std::string fromEpochSeconds(std::int64_t seconds, int refresh = kFullDiskMinutes);
// `slot` plus `minutes` (negative to go back), the minute rounded down to a multiple of
// `refresh`. Empty when `slot` is not a slot time.
std::string ant_fecha(int minutes, std::string_view slot, int refresh = kFullDiskMinutes);
// "yymmddhhmm" as a number (it needs more than 31 bits from 2022 on).
std::optional<std::int64_t> shortKey(std::string_view slot);

}  // namespace station::slot_time
