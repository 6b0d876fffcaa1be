#pragma once

#include "cli/SimOptions.h"

namespace kavlon::sim {

// kavlon-sim --identify: the step test, its figures and the rule table as CSV
// to --output or standard output. Returns the exit status.
int RunIdentifyCommand(const SimOptions &o);

// kavlon-sim --sweep: every grid point's figures to --sweep-csv and the map
// to --sweep-png. Progress goes to standard error when it is a terminal.
// Returns the exit status.
int RunSweepCommand(const SimOptions &o);

} // namespace kavlon::sim
