#pragma once
// Small helpers for the line-based text files the kit reads.

#include <charconv>
#include <optional>
#include <string_view>

namespace kit::text {

// Calls `each` with every line of `text`, without its line end (LF or CRLF).
template <class Each>
void forEachLine(std::string_view text, Each each) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        auto line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        each(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

// Splits off the next token separated by blanks or tabs; empty at the end.
inline std::string_view nextToken(std::string_view& s) {
    const auto start = s.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        s = {};
        return {};
    }
    s.remove_prefix(start);
    const auto end = s.find_first_of(" \t");
    const auto t = s.substr(0, end);
    s = end == std::string_view::npos ? std::string_view{} : s.substr(end);
    return t;
}

// The whole token as a number of type T (a leading '+' allowed); empty otherwise.
template <class T>
std::optional<T> number(std::string_view s) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    T v{};
    const auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc{} || p != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace kit::text
