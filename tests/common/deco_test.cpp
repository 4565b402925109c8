// The stand-in deco run as the station runs it: a real process, one argument, working in the
// folder that receives its output.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/child_process.h"
#include "tests/common/segment_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::readFile;

namespace fs = std::filesystem;
using testing_support::segmentBytes;
using testing_support::segmentName;
using testing_support::TempDir;

station::ChildOutput runDeco(const std::vector<std::string>& args, const fs::path& workDir) {
    const auto r = station::runProgram(STATION_DECO_PROGRAM, args, {.workDir = workDir});
    EXPECT_TRUE(r.ok()) << r.error();
    return r.ok() ? *r : station::ChildOutput{};
}

struct Folders {
    TempDir dir;
    fs::path in = dir / "in";
    fs::path out = dir / "out";
    Folders() {
        fs::create_directories(in);
        fs::create_directories(out);
    }
};

TEST(Deco, CopiesAnUncompressedSegmentUnderTheDecompressedName) {
    Folders f;
    const auto bytes = segmentBytes(0);
    f.dir.write("in/" + segmentName(3), bytes);
    const auto run = runDeco({(f.in / segmentName(3)).string()}, f.out);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(testing_support::namesIn(f.out), std::vector<std::string>{segmentName(3, false)});
    EXPECT_EQ(readFile(f.out / segmentName(3, false)), bytes);
    EXPECT_EQ(readFile(f.in / segmentName(3)), bytes) << "the input stays";
}

struct Refusal {
    const char* what;
    std::string name;  // of the input in "in/"; empty: no input written
    std::string bytes;
    int exitCode;
};

std::string damagedHeader() {
    auto b = segmentBytes(0);
    b[17] = 0x7f;  // the image structure's length runs past the header
    return b;
}

TEST(Deco, RefusesWhatItCannotPassOnAndWritesNothing) {
    const std::vector<Refusal> cases = {
        {"lossless compressed", segmentName(1), segmentBytes(1), 4},
        {"lossy compressed", segmentName(1), segmentBytes(2), 4},
        {"unknown compression flag", segmentName(1), segmentBytes(9), 3},
        {"no image structure record", segmentName(1), segmentBytes(-1), 3},
        {"damaged header", segmentName(1), damagedHeader(), 3},
        {"header cut short", segmentName(1), segmentBytes(0).substr(0, 3000), 3},
        {"empty file", segmentName(1), "", 3},
        {"missing input", "", "", 3},
        {"name without -C_", segmentName(1, false), segmentBytes(0), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Folders f;
        if (!c.name.empty()) f.dir.write("in/" + c.name, c.bytes);
        const auto input = f.in / (c.name.empty() ? segmentName(1) : c.name);
        const auto run = runDeco({input.string()}, f.out);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.err.find("deco: "), std::string::npos) << run.err;
        EXPECT_TRUE(testing_support::namesIn(f.out).empty()) << "no output, not even a temporary one";
    }
}

TEST(Deco, NeverReplacesAnExistingOutput) {
    Folders f;
    f.dir.write("in/" + segmentName(1), segmentBytes(0));
    f.dir.write("out/" + segmentName(1, false), "earlier");
    const auto run = runDeco({(f.in / segmentName(1)).string()}, f.out);
    EXPECT_EQ(run.exitCode, 5);
    EXPECT_EQ(readFile(f.out / segmentName(1, false)), "earlier");
    EXPECT_EQ(testing_support::namesIn(f.out).size(), 1U);
}

TEST(Deco, TakesExactlyOneArgument) {
    Folders f;
    f.dir.write("in/" + segmentName(1), segmentBytes(0));
    const auto input = (f.in / segmentName(1)).string();
    for (const auto& args : {std::vector<std::string>{}, {input, input}}) {
        EXPECT_EQ(runDeco(args, f.out).exitCode, 2);
        EXPECT_TRUE(testing_support::namesIn(f.out).empty());
    }
}

}  // namespace
