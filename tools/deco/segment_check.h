#pragma once
// What the stand-in decompressor accepts: a whole xRIT segment whose image structure says its
// data is not compressed. Kept apart from the program so the decision can be tested and
// fuzzed without starting a process.

#include <string>
#include <string_view>

namespace deco {

// Exit codes: the caller logs them, so each kind of refusal keeps its own.
inline constexpr int kWritten = 0;
inline constexpr int kUsage = 2;
inline constexpr int kUnreadable = 3;  // unreadable input, or a damaged header
inline constexpr int kCompressed = 4;  // compressed data, which only a real decompressor can expand
inline constexpr int kWriteFailed = 5;

struct Verdict {
    int code = kWritten;  // kWritten: the bytes may be passed on unchanged
    std::string why;      // the refusal, naming `what`
};

// The verdict on the bytes of a segment; `what` names it in the refusal.
Verdict checkSegment(std::string_view bytes, const std::string& what);

}  // namespace deco
