#pragma once

// kavlon-sim's CSV is the window's international form of measured data; the
// writer lives with the recording in analysis/.
#include "analysis/CsvWriter.h"

namespace kavlon::sim {

using kavlon::ColumnText;
using kavlon::CsvWriter;
using kavlon::SameReal;

} // namespace kavlon::sim
