#pragma once
// `tesmar sequence`: the sequence maker on the command line.

#include <iosfwd>

#include "viewer/cli_support.h"

namespace tesmar::cli {

// One picture per Native file into the --out folder, one line per file (written, or why not).
// Exit code 0 when every file gave its picture.
int sequenceCommand(const Args& args, std::ostream& out, std::ostream& err,
                    const display::MarkPainter& painter);

}  // namespace tesmar::cli
