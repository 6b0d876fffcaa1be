#pragma once

#include "cli/SimOptions.h"
#include "cli/SimRun.h"

#include <memory>
#include <string>

namespace kavlon::sim {

// The two live charts of a run, drawn tick by tick as the window draws them,
// and the files made of them at the end: the chart pair as one PNG
// (controller chart above the plant chart), the clipboard picture, the page.
class ChartRecorder : public TickObserver {
public:
    virtual ~ChartRecorder() = default;
    // Writes the pictures; on failure returns false and an error line.
    virtual bool Finish(std::string &error) = 0;
};

// Prepares the charts and opens the picture files (nothing is written to them
// before Finish). Returns null and an error line when a file cannot be
// written.
std::unique_ptr<ChartRecorder> MakeChartRecorder(const SimOptions &o, std::string &error);

// Starts the toolkit (offscreen without a display) that drawing text needs.
void EnsureGuiApplication();

} // namespace kavlon::sim
