#pragma once
// The viewer's commands that need no display: scene facts, point values, navigation.

#include <iosfwd>
#include <string>
#include <vector>

namespace tesmar {

// True when the arguments name a command-line subcommand (or ask for help).
bool isCliInvocation(const std::vector<std::string>& args);

// Runs the subcommand; results on `out` as JSON, refusals on `err`. Returns the exit code.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tesmar
