#pragma once

#include <string>

namespace kavlon::sim {

struct SimOptions;

// The options of the step test and the tuning map: --identify, --sweep,
// --sweep-csv, --sweep-png, --sweep-metric and --threads.
bool IsTuningOption(const std::string &name);

// Reads one of them into `o`; an error line naming the option, or empty.
std::string ParseTuningOption(const std::string &name, const std::string &value, SimOptions &o);

// Checks how they combine with the other options once all are read; an error
// line or empty. Without --ticks the step test starts from rest (ticks 0).
std::string CheckTuningOptions(SimOptions &o);

} // namespace kavlon::sim
