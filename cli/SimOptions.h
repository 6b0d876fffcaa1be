#pragma once

#include "analysis/CsvWriter.h"
#include "analysis/ParameterSweep.h"
#include "analysis/StepMetrics.h"
#include "engine/LoopState.h"
#include "experiment/EventSchedule.h"

#include <optional>
#include <string>
#include <vector>

namespace kavlon::sim {

// An operator change applied after tick `tick` (before tick + 1); the
// schedule's own type, shared with the experiment files.
using SimEvent = ScheduledEvent;

// The start values are those of a fresh loop, as the window starts with them.
struct SimOptions {
    int plant = LoopState{}.PlantIndex;
    int ticks = 600;
    Real w = LoopState{}.w;
    Real z = LoopState{}.Z;
    Real kr = LoopState{}.Kr;
    Real tn = LoopState{}.Tn;
    Real tv = LoopState{}.Tv;
    Real y = LoopState{}.y; // used only with --mode hand
    bool yGiven = false;
    bool arwu = false;
    bool option = false;
    bool hand = false;
    EventSchedule events;                    // stable-sorted by tick
    std::string output;                      // empty: standard output
    CsvForm format = CsvForm::International; // --format en|de
    std::string experimentTitle;             // for the German form's text block
    std::string charts;                      // PNG of both live charts after the run; empty: none
    int chartWidth = 980;                    // each chart image, as in a 1000 x 700 client area
    int chartHeight = 216;
    int timeAxis = 600; // chart window in ticks: 180, 300 or 600
    bool blackBackground = false;
    std::string png;            // the clipboard picture after the run; empty: none
    std::string pdf;            // the printed page after the run; empty: none
    bool blackAndWhite = false; // --bw: line styles instead of colours in png/pdf
    std::string reference;      // a previous run's CSV drawn under the pictures' traces
    std::string metrics;        // CSV of the step segments and their figures; empty: none
    Real bandPercent = DefaultBandPercent; // --band: tolerance band in per cent of the step
    bool bandGiven = false;
    bool ticksGiven = false;
    std::optional<Real> identify;   // --identify Y1: the step test instead of the CSV run
    std::optional<SweepPlan> sweep; // --sweep: the tuning map instead of the CSV run
    std::string sweepCsv;           // one row of figures per point
    std::string sweepPng;           // the heat map of sweepMetric
    SweepMetric sweepMetric = SweepMetric::IAE;
    bool sweepMetricGiven = false;
    int threads = 0; // --threads: 0 runs one thread per core
    bool help = false;
    bool version = false;
};

// Whether the run ends with a picture or a page (and so needs the charts).
inline bool WantsPictures(const SimOptions &o)
{
    return !o.charts.empty() || !o.png.empty() || !o.pdf.empty();
}

// The outcome of reading the command line: the options, or one line of error
// text naming the offending argument (without the "kavlon-sim: " prefix).
struct ParseResult {
    SimOptions options;
    std::string error;
    bool ok() const { return error.empty(); }
};

ParseResult ParseArguments(const std::vector<std::string> &args);

// Reads one "T:NAME=VALUE" or "T:reset" change; empty error when it is sound.
std::string ParseEvent(const std::string &text, SimEvent &event);

const char *UsageText();

} // namespace kavlon::sim
