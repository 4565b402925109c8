#pragma once
// Time goes through a Clock so timer-driven cycles can be tested without waiting.

#include <chrono>
#include <filesystem>

namespace station {

using TimePoint = std::chrono::system_clock::time_point;

class Clock {
public:
    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
};

class SystemClock : public Clock {
public:
    TimePoint now() const override { return std::chrono::system_clock::now(); }
};

class ManualClock : public Clock {
public:
    explicit ManualClock(TimePoint t = {}) : t_(t) {}
    TimePoint now() const override { return t_; }
    void set(TimePoint t) { t_ = t; }
    void advance(std::chrono::seconds s) { t_ += s; }

private:
    TimePoint t_;
};

// A file's modification time on the system clock.
TimePoint fileTime(const std::filesystem::path& path);

}  // namespace station
