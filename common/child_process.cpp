#include "common/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>

extern char** environ;

namespace station {

namespace {

// Through the system call itself: this glibc's header declares the wrapper without C linkage.
int openPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

using Clock = std::chrono::steady_clock;

// Without a process descriptor (old kernels) the end of a child is noticed by looking again
// this often.
constexpr std::chrono::milliseconds kTick{20};

// A file descriptor closed when it goes out of scope.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) reset(std::exchange(other.fd_, -1));
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

struct Pipe {
    Fd read, write;
};

bool makePipe(Pipe& p) {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) return false;
    p.read.reset(fds[0]);
    p.write.reset(fds[1]);
    return true;
}

std::string lastError(std::string what) {
    what += ": ";
    what += std::strerror(errno);
    return what;
}

// Reads what the pipe holds now; closes it at its end.
void drain(Fd& fd, std::string& sink) {
    std::array<char, 65536> buf{};
    while (fd) {
        const auto n = ::read(fd.get(), buf.data(), buf.size());
        if (n > 0) {
            sink.append(buf.data(), static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            return;
        } else {
            fd.reset();
        }
    }
}

}  // namespace

struct ChildProcess::State {
    pid_t pid = -1;
    Fd pidfd;  // readable once the child has ended
    Fd out, err;
    std::optional<Clock::time_point> deadline;
    ChildOutput output;
    bool done = false;

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (!done && pid > 0) killNow();
    }

    void collect() {
        drain(out, output.out);
        drain(err, output.err);
    }

    // `status` is empty when the child was reaped behind our back and its end is unknown.
    void record(std::optional<int> status) {
        output.exitCode = status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
        output.signal = status && WIFSIGNALED(*status) ? WTERMSIG(*status) : 0;
        // What it wrote before it ended is in the pipes; whatever it left running in the
        // background does not hold us up.
        collect();
        out.reset();
        err.reset();
        pidfd.reset();
        done = true;
    }

    // Reaps the child when it has ended; true then.
    bool reapIfEnded() {
        int status = 0;
        pid_t r = 0;
        do r = ::waitpid(pid, &status, WNOHANG);
        while (r < 0 && errno == EINTR);
        if (r == 0) return false;
        record(r == pid ? std::optional(status) : std::nullopt);
        return true;
    }

    void killNow() {
        // The group id is still ours: the leader is not reaped yet.
        ::kill(-pid, SIGKILL);
        int status = 0;
        pid_t r = 0;
        do r = ::waitpid(pid, &status, 0);
        while (r < 0 && errno == EINTR);
        record(r == pid ? std::optional(status) : std::nullopt);
    }

    // Kills the child once past its time limit; true when it has ended by now.
    bool check(Clock::time_point now) {
        if (done) return true;
        collect();
        if (reapIfEnded()) return true;
        if (deadline && now >= *deadline) {
            killNow();
            output.timedOut = true;
            return true;
        }
        return false;
    }
};

ChildProcess::ChildProcess(std::unique_ptr<State> state) : state_(std::move(state)) {}
ChildProcess::ChildProcess(ChildProcess&&) noexcept = default;
ChildProcess& ChildProcess::operator=(ChildProcess&&) noexcept = default;
ChildProcess::~ChildProcess() = default;

pid_t ChildProcess::pid() const {
    return state_->pid;
}
bool ChildProcess::finished() const {
    return state_->done;
}
const ChildOutput& ChildProcess::output() const {
    return state_->output;
}

void ChildProcess::kill() {
    if (!state_->done) state_->killNow();
}

bool ChildProcess::waitFor(std::chrono::milliseconds limit) {
    ChildProcess* self = this;
    waitForAny(std::span<ChildProcess* const>(&self, 1), limit);
    return finished();
}

const ChildOutput& ChildProcess::wait() {
    while (!finished()) waitFor(std::chrono::milliseconds(-1));
    return output();
}

Result<ChildProcess> ChildProcess::start(const std::filesystem::path& program,
                                         const std::vector<std::string>& args,
                                         const ChildOptions& options) {
    using R = Result<ChildProcess>;
    const std::string name = program.string();
    if (!options.workDir.empty()) {
        std::error_code ec;
        // Checked here: a failed change of directory would otherwise read as a missing program.
        if (!std::filesystem::is_directory(options.workDir, ec))
            return R::failure("Cannot run " + name + " in " + options.workDir.string() +
                              ": no such folder");
    }
    Pipe out, err;
    if (!makePipe(out) || !makePipe(err)) return R::failure(lastError("Cannot make a pipe"));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.write.get(), STDERR_FILENO);
    if (!options.workDir.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.workDir.c_str());

    // Its own process group, so a kill reaches what it starts too; signals as a fresh program
    // expects them, whatever we block or ignore ourselves.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(
        &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attr, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attr, &signals);
    sigaddset(&signals, SIGPIPE);
    posix_spawnattr_setsigdefault(&attr, &signals);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(name.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    auto state = std::make_unique<State>();
    const auto started = Clock::now();
    const int rc = ::posix_spawnp(&state->pid, name.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        state->done = true;  // nothing to kill
        return R::failure("Cannot run " + name + ": " + std::strerror(rc));
    }

    state->pidfd.reset(openPidFd(state->pid));  // -1 on old kernels: we poll instead
    if (options.timeout.count() > 0) state->deadline = started + options.timeout;
    // Our copies of the writing ends must go, or the reads never see the end.
    out.write.reset();
    err.write.reset();
    for (Fd* fd : {&out.read, &err.read})
        ::fcntl(fd->get(), F_SETFL, ::fcntl(fd->get(), F_GETFL) | O_NONBLOCK);
    state->out = std::move(out.read);
    state->err = std::move(err.read);
    return ChildProcess(std::move(state));
}

void waitForAny(std::span<ChildProcess* const> children, std::chrono::milliseconds limit) {
    const auto begin = Clock::now();
    const std::optional<Clock::time_point> until =
        limit.count() >= 0 ? std::optional(begin + limit) : std::nullopt;
    std::vector<pollfd> fds;
    while (true) {
        const auto now = Clock::now();
        fds.clear();
        std::optional<Clock::time_point> wake = until;
        const auto earliest = [&](Clock::time_point t) { wake = wake ? std::min(*wake, t) : t; };
        bool running = false;
        for (ChildProcess* child : children) {
            auto& s = child->state_;
            if (s->done) continue;
            if (s->check(now)) return;  // ended, or killed for running too long
            running = true;
            for (const Fd* fd : {&s->out, &s->err, &s->pidfd})
                if (*fd) fds.push_back({fd->get(), POLLIN, 0});
            if (!s->pidfd) earliest(now + kTick);
            if (s->deadline) earliest(*s->deadline);
        }
        if (!running || (until && now >= *until)) return;

        int timeoutMs = -1;
        if (wake) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(*wake - now);
            timeoutMs = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 1 << 30));
        }
        if (::poll(fds.data(), fds.size(), timeoutMs) < 0 && errno != EINTR) return;
    }
}

Result<ChildOutput> runProgram(const std::filesystem::path& program,
                               const std::vector<std::string>& args, const ChildOptions& options) {
    auto child = ChildProcess::start(program, args, options);
    if (!child) return Result<ChildOutput>::failure(child.error());
    return child->wait();
}

}  // namespace station
