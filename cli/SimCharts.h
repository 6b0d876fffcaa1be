#pragma once

#include "SimOptions.h"
#include "SimRun.h"

#include <memory>
#include <string>

namespace kavlon::sim {

// The two live charts of a run, drawn tick by tick as the window draws them,
// and written as one PNG (controller chart above the plant chart) at the end.
class ChartRecorder : public TickObserver {
public:
    virtual ~ChartRecorder() = default;
    // Writes the picture; on failure returns false and an error line.
    virtual bool Finish(std::string &error) = 0;
};

// Prepares the charts and opens the picture file (nothing is written to it
// before Finish). Returns null and an error line when the file cannot be
// written.
std::unique_ptr<ChartRecorder> MakeChartRecorder(const SimOptions &o, std::string &error);

} // namespace kavlon::sim
