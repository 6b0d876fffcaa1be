// An experiment run in the window and the same file run by kavlon-sim give
// the same measured data: every number of every second, and in the German
// form every flag and event too. The window runs each shipped experiment for
// its length (to its Stop, else to its last change plus the time axis), its
// ticks driven one after another rather than by the wall clock.
#include "tests/analysis/CsvReading.h"
#include "tests/app/AppTestSupport.h"

#include "app/ExperimentMenu.h"
#include "experiment/ExperimentFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace kavlon::test {
namespace {

using MeasuredExperimentTest = TempStoreTest;

std::string FileText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "(unreadable)";
    return f.readAll().toStdString();
}

// kavlon-sim's output for `args`; empty when it failed.
std::string SimOutput(const QStringList &args)
{
    QProcess sim;
    sim.start(QStringLiteral(KAVLON_SIM_PATH), args);
    if (!sim.waitForFinished(60'000) || sim.exitStatus() != QProcess::NormalExit
        || sim.exitCode() != 0) {
        ADD_FAILURE() << sim.readAllStandardError().toStdString();
        return {};
    }
    return sim.readAllStandardOutput().toStdString();
}

// The lines of a file's text without its line ends.
std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        at = end + 1;
    }
    return lines;
}

// The German form's table rows: the lines after the column names.
std::vector<std::string> GermanTable(const std::string &text)
{
    std::vector<std::string> lines = Lines(text);
    const auto names = std::find_if(lines.begin(), lines.end(), [](const std::string &l) {
        return l.rfind("Zeit t [s];", 0) == 0;
    });
    if (names == lines.end())
        return {};
    return {names + 1, lines.end()};
}

TEST_F(MeasuredExperimentTest, WindowAndKavlonSimMeasureTheSameForEveryShippedExperiment)
{
    const QDir folder(QStringLiteral(KAVLON_SOURCE_EXPERIMENTS_DIR));
    const QStringList files = folder.entryList({QStringLiteral("*.kversuch")}, QDir::Files);
    ASSERT_GE(files.size(), 8);
    TKavlonMain &win = ShownWindow(1000, 700);
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString path = folder.filePath(name);
        const ExperimentReadResult read = ReadExperimentFile(path.toStdString());
        ASSERT_TRUE(read.ok()) << read.error;
        const Experiment &x = read.experiment;
        const int length =
            LastEventTick(x.events) + x.settings.timeAxis.value_or(DefaultTimeAxisLength);
        const auto stop = std::find_if(x.events.begin(), x.events.end(), [](const auto &e) {
            return e.kind == ScheduledEvent::Kind::stop;
        });
        const int expectedTicks = stop != x.events.end() ? stop->tick : length;

        ASSERT_TRUE(win.ExperimentCommands().Load(path));
        if (!win.Running())
            Item("StartStop")->trigger();
        for (int k = 0; k < length && win.Running(); ++k)
            win.ActionOnTimer();
        if (win.Running())
            Item("StartStop")->trigger();
        ASSERT_EQ(win.Measured().Size(), static_cast<std::size_t>(expectedTicks));

        const QString en = dir_.filePath(QStringLiteral("fenster.csv"));
        const QString de = dir_.filePath(QStringLiteral("fenster-de.csv"));
        ASSERT_TRUE(win.SaveMeasuredData(en, CsvForm::International));
        ASSERT_TRUE(win.SaveMeasuredData(de, CsvForm::German));

        const QStringList args{QStringLiteral("--experiment"), path};
        const std::vector<std::string> simEn = Lines(SimOutput(args));
        const std::vector<std::string> simDe = GermanTable(
            SimOutput(args + QStringList{QStringLiteral("--format"), QStringLiteral("de")}));
        const std::vector<std::string> winEn = Lines(FileText(en));
        const std::vector<std::string> winDe = GermanTable(FileText(de));
        ASSERT_EQ(simEn.size(), static_cast<std::size_t>(length) + 1);
        ASSERT_EQ(winEn.size(), static_cast<std::size_t>(expectedTicks) + 1);
        ASSERT_EQ(winDe.size(), static_cast<std::size_t>(expectedTicks));
        // Byte for byte: the same text is the same number.
        for (std::size_t i = 0; i < winEn.size(); ++i)
            ASSERT_EQ(winEn[i], simEn[i]) << "line " << i + 1;
        for (std::size_t i = 0; i < winDe.size(); ++i)
            ASSERT_EQ(winDe[i], simDe[i]) << "second " << i + 1;
        // The window names the experiment above its table.
        EXPECT_NE(FileText(de).find("Versuch;" + kavlon::GermanTextCell(x.title)),
                  std::string::npos);
    }
}

} // namespace
} // namespace kavlon::test
