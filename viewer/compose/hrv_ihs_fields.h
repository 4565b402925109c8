#pragma once
// The integer entries of the HRV colouring window and of the colour editor's hue step. A
// text that is not a whole number is refused with the platform's conversion message, and the
// command that read it changes nothing.

#include <cctype>
#include <charconv>
#include <string>
#include <string_view>
#include <utility>

#include "common/result.h"

namespace tesmar::compose {

// Blanks around the number and a leading "+" are accepted, as the entries always did.
inline station::Result<int> integerField(std::string_view text) {
    std::string_view t = text;
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
    if (t.size() > 1 && t.front() == '+' && t[1] != '-') t.remove_prefix(1);
    int v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (!t.empty() && ec == std::errc{} && end == t.data() + t.size()) return v;
    // Appended piece by piece: GCC 12 warns falsely about "'" + std::string(...).
    std::string why(1, '\'');
    why.append(text);
    why.append("' is not a valid integer value");
    return station::Result<int>::failure(std::move(why));
}

}  // namespace tesmar::compose
