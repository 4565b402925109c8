#include "common/slot_time.h"

#include <cctype>
#include <cstdio>

namespace station::slot_time {

namespace {

// Days since 1970-01-01 of a civil date, and back (Howard Hinnant's algorithms).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

int number(std::string_view s, std::size_t at, std::size_t width) {
    int v = 0;
    for (std::size_t i = at; i < at + width; ++i) v = v * 10 + (s[i] - '0');
    return v;
}

}  // namespace

std::optional<std::int64_t> epochSeconds(std::string_view slot) {
    if (slot.size() != 12) return std::nullopt;
    for (const char c : slot)
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    const int y = number(slot, 0, 4), mo = number(slot, 4, 2), d = number(slot, 6, 2), h = number(slot, 8, 2),
              mi = number(slot, 10, 2);
    if (mo < 1 || mo > 12 || d < 1 || h > 23 || mi > 59) return std::nullopt;
    const std::int64_t days = daysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d));
    // A day past the month's end (31 April) comes back as another month: not a date.
    std::int64_t cy;
    unsigned cm, cd;
    civilFromDays(days, cy, cm, cd);
    if (cy != y || static_cast<int>(cm) != mo || static_cast<int>(cd) != d) return std::nullopt;
    return days * 86400 + h * 3600 + mi * 60;
}

std::string fromEpochSeconds(std::int64_t seconds, int refresh) {
    if (refresh <= 0) refresh = 1;
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    std::int64_t y;
    unsigned m, d;
    civilFromDays(days, y, m, d);
    const int h = static_cast<int>(rest / 3600);
    int mi = static_cast<int>(rest % 3600 / 60);
    mi -= mi % refresh;
    char text[32];
    std::snprintf(text, sizeof text, "%04lld%02u%02u%02d%02d", static_cast<long long>(y), m, d, h, mi);
    return text;
}

std::string ant_fecha(int minutes, std::string_view slot, int refresh) {
    const auto t = epochSeconds(slot);
    if (!t) return {};
    return fromEpochSeconds(*t + std::int64_t{minutes} * 60, refresh);
}

std::optional<std::int64_t> shortKey(std::string_view slot) {
    if (!epochSeconds(slot)) return std::nullopt;
    return std::stoll(std::string(slot.substr(2)));
}

}  // namespace station::slot_time
