#pragma once
// `tesmar stats`: the temporal statistics on the command line.

#include <iosfwd>

#include "viewer/cli_support.h"

namespace tesmar::cli {

// The statistic of the picture kind over the Native files given, written as a PNG picture
// (and, for the average and the maximum, the temperature file into the station's ncs/).
// One JSON line on `out`; files left out are told on `err`. Exit code 0 when the picture was
// written (and its temperature file, where there is one).
int statsCommand(const Args& args, std::ostream& out, std::ostream& err,
                 const display::MarkPainter& painter);

}  // namespace tesmar::cli
