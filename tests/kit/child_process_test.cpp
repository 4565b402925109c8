#include "tools/kit/child_process.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace {

using testing_support::TempDir;

std::filesystem::path script(const TempDir& dir, const std::string& body) {
    dir.write("tool", "#!/bin/sh\n" + body);
    std::filesystem::permissions(dir / "tool", std::filesystem::perms::owner_all);
    return dir / "tool";
}

TEST(ChildProcess, CollectsBothOutputsAndTheExitCode) {
    TempDir dir;
    const auto r =
        kit::runProgram(script(dir, "echo \"$1|$2\"; echo oops >&2; exit 3\n"), {"a b", "*"});
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->out, "a b|*\n");  // arguments arrive as given, no shell in between
    EXPECT_EQ(r->err, "oops\n");
    EXPECT_EQ(r->exitCode, 3);
}

TEST(ChildProcess, RunsInTheFolderGiven) {
    TempDir dir;
    const auto r = kit::runProgram(script(dir, "pwd\n"), {}, dir.path());
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->out, dir.path().string() + "\n");
}

// More than a pipe holds on both outputs at once must not stall the child.
TEST(ChildProcess, DrainsLargeOutputOnBothStreams) {
    TempDir dir;
    const auto r = kit::runProgram(
        script(dir, "head -c 300000 /dev/zero >&2; head -c 300000 /dev/zero\n"), {});
    ASSERT_TRUE(r.ok()) << r.error();
    EXPECT_EQ(r->out.size(), 300000U);
    EXPECT_EQ(r->err.size(), 300000U);
    EXPECT_EQ(r->exitCode, 0);
}

TEST(ChildProcess, MissingProgramFailsToStart) {
    TempDir dir;
    for (const auto& program : {dir / "absent", std::filesystem::path("tesmar-no-such-program")}) {
        const auto r = kit::runProgram(program, {});
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error().find("No such file"), std::string::npos) << r.error();
    }
}

}  // namespace
