#pragma once
// The viewer's commands that need no display: scene facts, point values, navigation.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "viewer/display/overlays.h"
#include "viewer/display/raster.h"

namespace tesmar {

// Paints overlay marks (lines, squares, names) onto a rendered picture; supplied by the
// picture layer, absent where no fonts are at hand.
using MarkPainter = std::function<void(display::Image24&, const display::DrawList&)>;

// True when the arguments name a command-line subcommand (or ask for help).
bool isCliInvocation(const std::vector<std::string>& args);

// Runs the subcommand; results on `out` as JSON, refusals on `err`. Returns the exit code.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const MarkPainter& painter = {});

}  // namespace tesmar
