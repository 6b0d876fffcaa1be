#include "cli/TuningCommands.h"

#include "analysis/TuningCsv.h"
#include "charts/TuningMap.h"
#include "cli/ErrorText.h"
#include "cli/SimCharts.h"
#include "cli/SimTuning.h"

#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace kavlon::sim {

namespace {

// A file written whole at the end or not at all, opened before the work so a
// wrong name is reported before anything runs.
bool OpenOutput(std::unique_ptr<QSaveFile> &file, const char *option, const std::string &path)
{
    if (path.empty())
        return true;
    file = std::make_unique<QSaveFile>(QString::fromStdString(path));
    if (!file->open(QIODevice::WriteOnly)) {
        ReportError(std::string(option) + ": cannot write " + QuoteValue(path) + ": "
                    + file->errorString().toStdString());
        return false;
    }
    return true;
}

bool Commit(QSaveFile &file, const char *option, const std::string &path)
{
    if (file.commit())
        return true;
    ReportError(std::string(option) + ": writing " + QuoteValue(path)
                + " failed: " + file.errorString().toStdString());
    return false;
}

} // namespace

int RunIdentifyCommand(const SimOptions &o)
{
    std::unique_ptr<QSaveFile> file;
    if (!OpenOutput(file, "--output", o.output))
        return 2;
    StepIdentification id;
    std::string error;
    if (!RunStepTest(o, id, error)) {
        ReportError(error);
        return 2;
    }
    const std::string csv = IdentificationCsv(id);
    if (file) {
        file->write(csv.data(), static_cast<qint64>(csv.size()));
        return Commit(*file, "--output", o.output) ? 0 : 1;
    }
    if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0) {
        ReportError(std::string("writing the CSV failed: ") + std::strerror(errno));
        return 1;
    }
    return 0;
}

int RunSweepCommand(const SimOptions &o)
{
    std::unique_ptr<QSaveFile> csvFile, pngFile;
    if (!o.sweepPng.empty())
        EnsureGuiApplication();
    if (!OpenOutput(csvFile, "--sweep-csv", o.sweepCsv)
        || !OpenOutput(pngFile, "--sweep-png", o.sweepPng))
        return 2;

    const SweepPlan &plan = *o.sweep;
    const std::int64_t total = plan.Points();
    const bool terminal = isatty(STDERR_FILENO) == 1;
    auto progress = [&](std::int64_t done) {
        std::fprintf(stderr, "\rkavlon-sim: sweep %lld of %lld points",
                     static_cast<long long>(done), static_cast<long long>(total));
        std::fflush(stderr);
    };
    const std::vector<SweepCell> cells =
        RunSweepOf(o, static_cast<unsigned>(o.threads),
                   terminal ? std::function<void(std::int64_t)>(progress)
                            : std::function<void(std::int64_t)>());
    if (terminal)
        std::fputs("\n", stderr);

    bool ok = true;
    if (csvFile) {
        const std::string csv = SweepCsv(plan, cells);
        csvFile->write(csv.data(), static_cast<qint64>(csv.size()));
        ok = Commit(*csvFile, "--sweep-csv", o.sweepCsv) && ok;
    }
    if (pngFile) {
        const QImage map = DrawTuningMap(plan, cells, o.sweepMetric, TuningMapView{});
        if (!map.save(pngFile.get(), "PNG")) {
            ReportError("--sweep-png: writing " + QuoteValue(o.sweepPng) + " failed");
            ok = false;
        } else {
            ok = Commit(*pngFile, "--sweep-png", o.sweepPng) && ok;
        }
    }
    return ok ? 0 : 1;
}

} // namespace kavlon::sim
