#include "common/child_process.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using station::ChildProcess;
using station::runProgram;
using testing_support::TempDir;

fs::path script(const TempDir& dir, const std::string& body, const std::string& name = "tool") {
    dir.write(name, "#!/bin/sh\n" + body);
    fs::permissions(dir / name, fs::perms::owner_all);
    return dir / name;
}

// Alive means running: a killed process that nobody has reaped yet counts as gone.
bool alive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

// Death after SIGKILL is not instant for a process we do not reap; give it a few seconds.
bool endsSoon(pid_t pid) {
    for (int i = 0; i < 500 && alive(pid); ++i) std::this_thread::sleep_for(10ms);
    return !alive(pid);
}

TEST(ChildProcess, CollectsBothOutputsAndTheExitCode) {
    TempDir dir;
    const auto r = runProgram(script(dir, "echo \"$1|$2\"; echo oops >&2; exit 3\n"), {"a b", "*"});
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->out, "a b|*\n");  // arguments arrive as given, no shell in between
    EXPECT_EQ(r->err, "oops\n");
    EXPECT_EQ(r->exitCode, 3);
    EXPECT_FALSE(r->timedOut);
}

TEST(ChildProcess, RunsInTheFolderGiven) {
    TempDir dir;
    const auto r = runProgram(script(dir, "pwd\n"), {}, {.workDir = dir.path()});
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->out, dir.path().string() + "\n");
}

// More than a pipe holds on both outputs at once must not stall the child.
TEST(ChildProcess, DrainsLargeOutputOnBothStreams) {
    TempDir dir;
    const auto r =
        runProgram(script(dir, "head -c 300000 /dev/zero >&2; head -c 300000 /dev/zero\n"), {});
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->out.size(), 300000U);
    EXPECT_EQ(r->err.size(), 300000U);
    EXPECT_EQ(r->exitCode, 0);
}

TEST(ChildProcess, FailsToStartWhenProgramOrFolderIsMissing) {
    TempDir dir;
    const auto tool = script(dir, "exit 0\n");
    struct Case {
        fs::path program;
        fs::path workDir;
        const char* says;
    };
    for (const auto& c : {Case{dir / "absent", {}, "No such file"},
                          Case{"tesmar-no-such-program", {}, "No such file"},
                          Case{tool, dir / "absent", "no such folder"}}) {
        const auto r = runProgram(c.program, {}, {.workDir = c.workDir});
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error().find(c.says), std::string::npos) << r.error();
    }
}

// The tool's own children are killed with it: the whole group goes.
TEST(ChildProcess, TimeLimitKillsTheWholeGroup) {
    TempDir dir;
    const auto r = runProgram(script(dir, "sleep 30 & echo $! > pid; echo started; wait\n"), {},
                              {.workDir = dir.path(), .timeout = 300ms});
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_TRUE(r->timedOut);
    EXPECT_EQ(r->signal, SIGKILL);
    EXPECT_EQ(r->exitCode, -1);
    EXPECT_EQ(r->out, "started\n") << "what it printed before is kept";
    pid_t sleeper = 0;
    std::ifstream(dir / "pid") >> sleeper;
    ASSERT_GT(sleeper, 0);
    EXPECT_TRUE(endsSoon(sleeper));
}

TEST(ChildProcess, DroppedWhileRunningItIsKilled) {
    TempDir dir;
    pid_t pid = 0;
    {
        auto child = ChildProcess::start(script(dir, "exec sleep 30\n"), {});
        ASSERT_TRUE(child.ok()) << child.error();
        pid = child->pid();
        EXPECT_FALSE(child->finished());
    }
    EXPECT_FALSE(alive(pid));  // killed and reaped before the owner went
}

// Waiting for any of ours returns when one ends, leaves the others running, and never reaps a
// process that is not ours.
TEST(ChildProcess, WaitsOnlyForItsOwnChildren) {
    TempDir dir;
    const pid_t stranger = ::fork();
    ASSERT_GE(stranger, 0);
    if (stranger == 0) ::_exit(7);

    auto slow = ChildProcess::start(script(dir, "exec sleep 30\n", "slow"), {});
    auto quick = ChildProcess::start(script(dir, "echo done\n", "quick"), {});
    ASSERT_TRUE(slow.ok() && quick.ok());
    std::vector<ChildProcess*> ours{&*slow, &*quick};
    while (!quick->finished()) station::waitForAny(ours);
    EXPECT_EQ(quick->output().out, "done\n");
    EXPECT_EQ(quick->output().exitCode, 0);
    EXPECT_FALSE(slow->finished());
    EXPECT_FALSE(slow->waitFor(50ms));

    slow->kill();
    EXPECT_TRUE(slow->finished());
    EXPECT_EQ(slow->output().signal, SIGKILL);
    EXPECT_FALSE(slow->output().timedOut);

    int status = 0;
    ASSERT_EQ(::waitpid(stranger, &status, 0), stranger) << "someone else reaped it";
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

}  // namespace
