#include "tools/kit/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace kit {

namespace {

// A file descriptor closed when it goes out of scope.
class Fd {
  public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { reset(); }
    int get() const { return fd_; }
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

std::string lastError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

// Reads both pipes to their ends; polling both keeps the child from blocking on a full one.
void drain(int outFd, int errFd, ChildOutput& into) {
    std::array<pollfd, 2> fds{{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}}};
    std::array<std::string*, 2> sinks{&into.out, &into.err};
    std::array<char, 65536> buf{};
    int open = 2;
    while (open > 0) {
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const auto n = ::read(fds[i].fd, buf.data(), buf.size());
            if (n > 0) {
                sinks[i]->append(buf.data(), static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fds[i].fd = -1;  // poll ignores negative descriptors
                --open;
            }
        }
    }
}

}  // namespace

station::Result<ChildOutput> runProgram(const std::filesystem::path& program,
                                        const std::vector<std::string>& args,
                                        const std::filesystem::path& workDir) {
    using R = station::Result<ChildOutput>;
    Pipe out, err;
    if (!makePipe(out) || !makePipe(err)) return R::failure(lastError("Cannot make a pipe"));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.write.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.write.get(), STDERR_FILENO);
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());

    const std::string name = program.string();
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(name.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, name.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return R::failure("Cannot run " + name + ": " + std::strerror(rc));

    // Our copies of the writing ends must go, or the reads never see the end.
    out.write.reset();
    err.write.reset();
    ChildOutput result;
    drain(out.read.get(), err.read.get(), result);
    out.read.reset();  // a child still writing now ends instead of waiting on us
    err.read.reset();

    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return R::failure(lastError(("Cannot wait for " + name).c_str()));
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace kit
