// kavlon-sim: the control loop without a window, for teachers, scripts and tests.
#include "cli/ErrorText.h"
#include "cli/SimCharts.h"
#include "cli/SimOptions.h"
#include "cli/SimRun.h"
#include "cli/TuningCommands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    using namespace kavlon::sim;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = ParseArguments(args);
    if (!parsed.ok()) {
        ReportError(parsed.error);
        return 2;
    }
    const SimOptions &o = parsed.options;
    if (o.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (o.version) {
        std::printf("kavlon-sim %s\n", KAVLON_VERSION);
        return 0;
    }

    if (o.identify)
        return RunIdentifyCommand(o);
    if (o.sweep)
        return RunSweepCommand(o);

    // The picture files are checked before anything is written.
    std::unique_ptr<ChartRecorder> charts;
    if (WantsPictures(o)) {
        std::string error;
        charts = MakeChartRecorder(o, error);
        if (!charts) {
            ReportError(error);
            return 2;
        }
    }
    TickObserver *observer = charts.get();

    std::FILE *metrics = nullptr;
    if (!o.metrics.empty()) {
        metrics = std::fopen(o.metrics.c_str(), "wb");
        if (!metrics) {
            ReportError("--metrics: cannot write " + QuoteValue(o.metrics) + ": "
                        + std::strerror(errno));
            return 2;
        }
    }
    std::FILE *out = stdout;
    if (!o.output.empty()) {
        out = std::fopen(o.output.c_str(), "wb");
        if (!out) {
            ReportError("--output: cannot write " + QuoteValue(o.output) + ": "
                        + std::strerror(errno));
            if (metrics) {
                // Nothing is left behind when the arguments cannot be served.
                std::fclose(metrics);
                std::remove(o.metrics.c_str());
            }
            return 2;
        }
    }
    const bool written = RunSimulation(o, out, observer, metrics);
    const bool closed = out == stdout || std::fclose(out) == 0;
    const bool metricsClosed = !metrics || std::fclose(metrics) == 0;
    if (!written || !closed || !metricsClosed) {
        ReportError(std::string("writing the CSV failed: ") + std::strerror(errno));
        return 1;
    }
    if (charts) {
        std::string error;
        if (!charts->Finish(error)) {
            ReportError(error);
            return 1;
        }
    }
    return 0;
}
