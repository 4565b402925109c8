#pragma once
// The viewer's commands that need no display: scene facts, point values, navigation.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "viewer/display/overlays.h"
#include "viewer/display/raster.h"

namespace tesmar {

using display::MarkPainter;

// True when the arguments name a command-line subcommand (or ask for help).
bool isCliInvocation(const std::vector<std::string>& args);

// Runs the subcommand; results on `out` as JSON, refusals on `err`. Returns the exit code.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const MarkPainter& painter = {});

}  // namespace tesmar
