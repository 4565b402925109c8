#pragma once
// A small writer of one-line JSON objects for the command-line read-outs.

#include <span>
#include <string>
#include <string_view>

namespace station {

class JsonObject {
public:
    JsonObject& add(std::string_view key, std::string_view value);
    JsonObject& add(std::string_view key, const char* value) { return add(key, std::string_view(value)); }
    JsonObject& add(std::string_view key, long long value);
    JsonObject& add(std::string_view key, int value) { return add(key, static_cast<long long>(value)); }
    JsonObject& add(std::string_view key, double value);
    JsonObject& add(std::string_view key, bool value);
    JsonObject& add(std::string_view key, std::span<const double> values);
    JsonObject& add(std::string_view key, std::span<const int> values);
    JsonObject& addObject(std::string_view key, const JsonObject& inner);

    std::string str() const { return "{" + body_ + "}"; }

private:
    void key(std::string_view k);
    std::string body_;
};

std::string jsonQuote(std::string_view text);
// Shortest text that reads back as the same double; non-finite values become null.
std::string jsonNumber(double v);

}  // namespace station
