#include "common/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace station {

std::string jsonQuote(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    return out + "\"";
}

std::string jsonNumber(double v) {
    if (!std::isfinite(v)) return "null";
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc{} ? std::string(buf, end) : "null";
}

void JsonObject::key(std::string_view k) {
    if (!body_.empty()) body_ += ", ";
    body_ += jsonQuote(k) + ": ";
}

JsonObject& JsonObject::add(std::string_view k, std::string_view value) {
    key(k);
    body_ += jsonQuote(value);
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, long long value) {
    key(k);
    body_ += std::to_string(value);
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, double value) {
    key(k);
    body_ += jsonNumber(value);
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, bool value) {
    key(k);
    body_ += value ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, std::span<const double> values) {
    key(k);
    body_ += "[";
    for (std::size_t i = 0; i < values.size(); ++i) body_ += (i ? ", " : "") + jsonNumber(values[i]);
    body_ += "]";
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, std::span<const int> values) {
    key(k);
    body_ += "[";
    for (std::size_t i = 0; i < values.size(); ++i)
        body_ += (i ? ", " : "") + std::to_string(values[i]);
    body_ += "]";
    return *this;
}

JsonObject& JsonObject::addObject(std::string_view k, const JsonObject& inner) {
    key(k);
    body_ += inner.str();
    return *this;
}

}  // namespace station
