#pragma once
// Running helper programs directly (never through a shell) and collecting what they print.
// Each child leads its own process group, so a time limit or an early end stops everything it
// started. Waiting looks only at our own children's process ids, never at other processes that
// happen to share a name.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/result.h"

namespace station {

struct ChildOutput {
    std::string out;        // standard output
    std::string err;        // standard error
    int exitCode = -1;      // -1 when a signal ended it
    int signal = 0;         // the signal that ended it, 0 when it exited
    bool timedOut = false;  // it ran past its time limit and was killed
};

struct ChildOptions {
    std::filesystem::path workDir;         // empty: ours
    std::chrono::milliseconds timeout{0};  // 0: no limit
};

// A started child. Its output is gathered while waiting; dropped before it ends, it is killed
// (with its process group) and reaped, so no child outlives its owner unnoticed.
class ChildProcess {
  public:
    // Starts `program` with `args` (looked up on PATH when the name holds no slash), its input
    // from /dev/null. Fails only when it cannot be started; the message says why.
    static Result<ChildProcess> start(const std::filesystem::path& program,
                                      const std::vector<std::string>& args,
                                      const ChildOptions& options = {});

    ChildProcess(ChildProcess&&) noexcept;
    ChildProcess& operator=(ChildProcess&&) noexcept;
    ~ChildProcess();

    pid_t pid() const;
    bool finished() const;
    // Waits until it ends (killing it once past its time limit) and gives what it printed.
    const ChildOutput& wait();
    // Waits at most `limit` (negative: without limit); true when it has ended.
    bool waitFor(std::chrono::milliseconds limit);
    // Ends it now with SIGKILL to its whole group; `wait` then reports the signal.
    void kill();
    // What it printed so far; complete once `finished()`.
    const ChildOutput& output() const;

  private:
    struct State;
    friend void waitForAny(std::span<ChildProcess* const>, std::chrono::milliseconds);
    explicit ChildProcess(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// Waits until at least one of `children` that had not ended yet ends, or `limit` passes
// (negative: without limit). Each child past its time limit is killed meanwhile. Returns at
// once when none is still running.
void waitForAny(std::span<ChildProcess* const> children,
                std::chrono::milliseconds limit = std::chrono::milliseconds(-1));

// Starts the program and waits for it. Fails only when it cannot be started.
Result<ChildOutput> runProgram(const std::filesystem::path& program,
                               const std::vector<std::string>& args,
                               const ChildOptions& options = {});

}  // namespace station
