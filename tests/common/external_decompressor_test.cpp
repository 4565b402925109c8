// The external decompressor judges what its tool did: the exit code, the output's presence and
// size, a time limit. Small shell scripts stand in for tools that misbehave.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/atomic_file.h"
#include "common/decompressor.h"
#include "tests/common/segment_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::readFile;

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using station::DecompressionJob;
using station::ExternalDecompressor;
using testing_support::kNominalDataBytes;
using testing_support::segmentBytes;
using testing_support::segmentName;
using testing_support::TempDir;

struct Station {
    TempDir dir;
    fs::path in = dir / "in";
    fs::path work = dir / "work";
    Station() {
        fs::create_directories(in);
        fs::create_directories(work);
    }
    fs::path input(const std::string& name, const std::string& bytes) const {
        dir.write("in/" + name, bytes);
        return in / name;
    }
    fs::path tool(const std::string& body) const {
        dir.write("tool", "#!/bin/sh\n" + body);
        fs::permissions(dir / "tool", fs::perms::owner_all);
        return dir / "tool";
    }
    ExternalDecompressor decompressor(const fs::path& program,
                                      std::chrono::milliseconds timeout = 60s) const {
        return ExternalDecompressor({.program = program, .workDir = work, .timeout = timeout});
    }
};

TEST(ExternalDecompressor, NominalSegmentThroughDeco) {
    Station s;
    const auto input = s.input(segmentName(1), segmentBytes(0, kNominalDataBytes));
    const auto expected = station::nominalSegmentBytes(input);
    ASSERT_EQ(expected, 2159158U);
    const auto r = s.decompressor(STATION_DECO_PROGRAM).decompress({input, expected});
    EXPECT_TRUE(r.ok) << r.reason;
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output, s.work / segmentName(1, false));
    EXPECT_EQ(fs::file_size(r.output), 2159158U);
    EXPECT_TRUE(fs::exists(input));
}

TEST(ExternalDecompressor, ShortOutputOfDecoIsRemoved) {
    Station s;
    const auto input = s.input(segmentName(1), segmentBytes(0, 1000));
    const auto r = s.decompressor(STATION_DECO_PROGRAM)
                       .decompress({input, station::nominalSegmentBytes(input)});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.reason.find("7198 bytes long, not 2159158"), std::string::npos) << r.reason;
    EXPECT_FALSE(fs::exists(r.output));
    EXPECT_TRUE(fs::exists(input));
}

TEST(ExternalDecompressor, HandsTheToolTheFullPathAloneInTheWorkFolder) {
    Station s;
    const auto input = s.input(segmentName(1), "x");
    const auto tool = s.tool("echo \"$#|$1|$(pwd)\" > " + segmentName(1, false) + "\n");
    const auto r = s.decompressor(tool).decompress({input, {}});
    ASSERT_TRUE(r.ok) << r.reason;
    EXPECT_EQ(readFile(r.output), "1|" + input.string() + "|" + s.work.string() + "\n");
}

struct Misbehaviour {
    const char* what;
    std::string script;  // run as the tool; "" for a tool that is not there
    std::optional<std::uint64_t> expectedBytes;
    std::optional<int> exitCode;  // reported
    bool timedOut;
    const char* reason;  // part of the reason given
};

TEST(ExternalDecompressor, EachFailureIsReportedAndLeavesNoOutput) {
    const std::string out = segmentName(1, false);
    const std::vector<Misbehaviour> cases = {
        {"non-zero exit after writing",
         "echo data > " + out + "; echo bad input >&2; exit 3\n",
         {},
         3,
         false,
         "(exit code 3): bad input"},
        {"success without output", "exit 0\n", {}, 0, false, "made no"},
        {"wrong size", "printf 12345 > " + out + "\n", 4, 0, false, "5 bytes long, not 4"},
        {"killed by a signal", "kill -9 $$\n", {}, std::nullopt, false, "signal 9"},
        {"hangs after a partial write",
         "printf part > " + out + "; printf part > ." + out + ".part; sleep 30\n",
         {},
         std::nullopt,
         true,
         "within 1 s and was stopped"},
        {"missing tool", "", {}, std::nullopt, false, "No such file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Station s;
        const auto input = s.input(segmentName(1), segmentBytes(0));
        const auto tool = c.script.empty() ? s.dir / "deco" : s.tool(c.script);
        const auto r = s.decompressor(tool, 1s).decompress({input, c.expectedBytes});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.timedOut, c.timedOut);
        EXPECT_NE(r.reason.find(c.reason), std::string::npos) << r.reason;
        EXPECT_FALSE(fs::exists(s.work / out));
        EXPECT_FALSE(fs::exists(station::temporaryNameFor(s.work / out)));
        EXPECT_TRUE(fs::exists(input));
    }
}

TEST(ExternalDecompressor, LeavesAnExistingOutputAloneWithoutRunning) {
    Station s;
    const auto input = s.input(segmentName(1), segmentBytes(0));
    s.dir.write("work/" + segmentName(1, false), "earlier");
    const auto tool = s.tool("touch ran\n");
    const auto r = s.decompressor(tool).decompress({input, {}});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.reason.find("exists already"), std::string::npos) << r.reason;
    EXPECT_EQ(readFile(s.work / segmentName(1, false)), "earlier");
    EXPECT_FALSE(fs::exists(s.work / "ran"));
}

// Each tool notes how many are running as it starts (the hung one never counts itself); the
// count can only fall short of the truth, so a count above the bound proves the pool let too
// many run.
TEST(ExternalDecompressor, PoolKeepsOrderBoundAndGoesOnPastFailures) {
    Station s;
    const auto tool = s.tool(
        "name=$(basename \"$1\" -C_)\n"
        "case \"$name\" in *hang*) sleep 30;; esac\n"
        "touch \"busy.$name\"; ls busy.* | wc -l >> counts\n"
        "sleep 0.2; rm \"busy.$name\"\n"
        "case \"$name\" in *fail*) exit 9;; esac\n"
        "cp \"$1\" \"$name-__\"\n");
    const std::vector<std::string> names = {"a", "fail", "b", "hang", "c", "d"};
    std::vector<DecompressionJob> jobs;
    for (const auto& n : names) jobs.push_back({s.input(n + "-C_", n), {}});
    auto settings = s.decompressor(tool, 1s).settings();
    settings.maxChildren = 2;
    const auto results = ExternalDecompressor(settings).decompressAll(jobs);

    ASSERT_EQ(results.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(results[i].input, jobs[i].input);
        const bool good = names[i] != "fail" && names[i] != "hang";
        EXPECT_EQ(results[i].ok, good) << results[i].reason;
        if (good) {
            EXPECT_EQ(readFile(s.work / (names[i] + "-__")), names[i]);
        }
    }
    EXPECT_EQ(results[1].exitCode, 9);
    EXPECT_TRUE(results[3].timedOut);

    std::istringstream counts(readFile(s.work / "counts"));
    int most = 0, n = 0, lines = 0;
    while (counts >> n) {
        most = std::max(most, n);
        ++lines;
    }
    EXPECT_EQ(lines, 5);
    EXPECT_LE(most, 2);
}

TEST(ExternalDecompressor, RefusesANameWithoutCompressedMark) {
    Station s;
    const auto input = s.input(segmentName(1, false), segmentBytes(0));
    const auto r = s.decompressor(STATION_DECO_PROGRAM).decompress({input, {}});
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.reason.find("-C_"), std::string::npos) << r.reason;
    EXPECT_FALSE(r.exitCode);
}

}  // namespace
