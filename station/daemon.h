#pragma once
// tinrell without windows: the reception cycle on its 30-second timer until a signal stops it
// (the step in progress is finished first), or one tick of each phase for scripts.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace station {

// Runs `tinrell` with its arguments (without the program name). Returns the exit code.
int runTinrellCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
bool wantsWindow(const std::vector<std::string>& args);

}  // namespace station
