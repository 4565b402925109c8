#pragma once
// Running a helper program directly (no shell) and collecting what it prints.

#include <filesystem>
#include <string>
#include <vector>

#include "common/result.h"

namespace kit {

struct ChildOutput {
    std::string out;    // standard output
    std::string err;    // standard error
    int exitCode = -1;  // -1 when a signal ended it
};

// Runs `program` with `args` (looked up on PATH when the name holds no slash), its input
// from /dev/null, in `workDir` when one is given, and waits for it. Fails only when it
// cannot be started.
station::Result<ChildOutput> runProgram(const std::filesystem::path& program,
                                        const std::vector<std::string>& args,
                                        const std::filesystem::path& workDir = {});

}  // namespace kit
