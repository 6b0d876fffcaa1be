#include "tests/app/AppTestSupport.h"

#include "app/ExperimentMenu.h"
#include "app/ExperimentTask.h"
#include "cli/SimRun.h"
#include "engine/RealText.h"
#include "experiment/ExperimentFile.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QRadioButton>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace kavlon::test {
namespace {

const char *const PlantF = "[Versuch]\n"
                           "Titel=Störverhalten der Strecke F\n"
                           "Aufgabe=Starten Sie den Versuch.\n"
                           " Beobachten Sie x.\n"
                           "Regelstrecke=F\n"
                           "Sollwert=500\n"
                           "Kr=1\n"
                           "Tn=10\n"
                           "Tv=0\n"
                           "Option=Ein\n"
                           "Zeitachse=300\n"
                           "Rechengeschwindigkeit=20\n"
                           "[Ablauf]\n"
                           "0=Stoergroesse 10\n"
                           "120=Stoergroesse 100\n"
                           "300=Option Aus\n"
                           "420=Sollwert 300, Kr 2\n"
                           "600=Stop\n";

class ExperimentTest : public TempStoreTest {
protected:
    QString WriteFile(const QString &name, const std::string &text)
    {
        const QString path = dir_.path() + QLatin1Char('/') + name;
        std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << text;
        return path;
    }
    // Triggers a menu item that opens a file dialog and answers the dialog
    // with `path`; returns the folder the dialog started in.
    QString AnswerDialog(const char *item, const char *dialogName, const QString &path)
    {
        QString startedIn;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog->objectName() != QString::fromLatin1(dialogName)) {
                if (dialog)
                    dialog->reject();
                return;
            }
            startedIn = dialog->directory().absolutePath();
            dialog->selectFile(path);
            static_cast<QDialog *>(dialog)->accept(); // as the dialog's own button does
        });
        Item(item)->trigger();
        return startedIn;
    }
    QString Open(const QString &path)
    {
        return AnswerDialog("VersuchOeffnen", "ExperimentOpenDialog", path);
    }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            Window().ActionOnTimer();
    }
    QMessageBox *Message(const char *name)
    {
        return Window().findChild<QMessageBox *>(QString::fromLatin1(name));
    }
    std::string LastMark() const
    {
        const TRunningScale &scale = window_->Charts().ControllerScale();
        return scale[scale.Count() - 1].ModeText;
    }
};

TEST_F(ExperimentTest, TheMenuOffersItsCommandsAndOnlyOpenAndSaveWithoutAFile)
{
    auto *menu = Get<QMenu>("VersuchMenu");
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction *a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(
        items,
        (QStringList{QStringLiteral("Versuch &öffnen…"), QStringLiteral("Versuch &neu starten"),
                     QStringLiteral("Versuch s&chließen"), QStringLiteral("&Aufgabe anzeigen"),
                     QStringLiteral("-"), QStringLiteral("Einstellungen als Versuch &speichern…"),
                     QStringLiteral("&Messwerte speichern…")}));
    EXPECT_TRUE(Item("VersuchOeffnen")->isEnabled());
    EXPECT_TRUE(Item("VersuchSpeichern")->isEnabled());
    EXPECT_FALSE(Item("VersuchNeuStarten")->isEnabled());
    EXPECT_FALSE(Item("VersuchSchliessen")->isEnabled());
    EXPECT_FALSE(Item("VersuchAufgabe")->isEnabled());
}

TEST_F(ExperimentTest, OpeningAppliesTheFileThroughTheControlsAndShowsTheTask)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Item("StartStop")->trigger();
    Ticks(7);
    const QString path = WriteFile(QStringLiteral("f.kversuch"), PlantF);

    // The first dialog starts among the shipped experiments.
    const QString firstFolder = Open(path);
    EXPECT_TRUE(QFileInfo::exists(firstFolder + QStringLiteral("/F_Totzeitkompensation.kversuch")))
        << firstFolder.toStdString();
    ASSERT_TRUE(win.ExperimentCommands().Loaded());

    const LoopState &s = win.Loop();
    EXPECT_FALSE(win.Running()) << "loading stops and resets the loop";
    EXPECT_EQ(s.TickCount, 0);
    EXPECT_EQ(s.PlantIndex, 5);
    EXPECT_TRUE(Get<QToolButton>("StreckeFButton")->isChecked());
    EXPECT_TRUE(Item("PT2TotzeitKomp")->isChecked());
    EXPECT_EQ(s.Kr, 1);
    EXPECT_EQ(s.Tn, 10);
    EXPECT_EQ(s.w, 500);
    EXPECT_EQ(s.Z, 10) << "the change of second 0 acts before the first tick";
    EXPECT_TRUE(s.TotKOn);
    EXPECT_TRUE(Get<QRadioButton>("OptionOnButton")->isChecked());
    EXPECT_FALSE(s.HandMode);
    EXPECT_EQ(win.Charts().TimeAxisLength(), 300);
    EXPECT_EQ(s.Speed, 20);
    EXPECT_EQ(ReadOut("Interval"), QStringLiteral("20"));
    EXPECT_EQ(ReadOut("Stoergroesse"), QStringLiteral("10"));
    EXPECT_TRUE(Item("VersuchNeuStarten")->isEnabled());

    ExperimentTaskWindow *task = win.ExperimentCommands().TaskWindow();
    ASSERT_NE(task, nullptr);
    EXPECT_TRUE(task->isVisible());
    EXPECT_TRUE(task->Text().contains(QStringLiteral("Störverhalten der Strecke F")));
    EXPECT_TRUE(task->Text().contains(QStringLiteral("Beobachten Sie x.")));
    EXPECT_TRUE(task->Text().contains(QStringLiteral("420 s: Sollwert 300, Kr 2")));

    // The folder is remembered, and the next dialog starts there.
    EXPECT_EQ(Stored("VersuchOrdner").toString(), dir_.path());
    Item("VersuchSchliessen")->trigger();
    EXPECT_EQ(Open(path), dir_.path());
}

TEST_F(ExperimentTest, ChangesActAtTheirSecondsAndAreMarkedOnTheScale)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Open(WriteFile(QStringLiteral("f.kversuch"), PlantF));
    Item("StartStop")->trigger();
    ASSERT_TRUE(win.Running());

    Ticks(119);
    EXPECT_EQ(win.Loop().Z, 10);
    Ticks(1); // the change of second 120 acts after the 120th tick
    EXPECT_EQ(win.Loop().Z, 100);
    EXPECT_EQ(ReadOut("Stoergroesse"), QStringLiteral("100"));
    Ticks(1);
    EXPECT_EQ(LastMark(), "Z=100");

    // A change by hand meanwhile is allowed; the schedule goes on.
    Spin("NachstellzeitUpDown", SpinDirection::Right);
    EXPECT_EQ(win.Loop().Tn, 11);

    Ticks(300 - 121);
    EXPECT_FALSE(win.Loop().TotKOn);
    EXPECT_TRUE(Get<QRadioButton>("OptionOffButton")->isChecked());
    Ticks(1);
    EXPECT_EQ(LastMark(), "TotK aus"); // as the switch marks it

    Ticks(119);
    EXPECT_EQ(win.Loop().w, 300);
    EXPECT_EQ(win.Loop().Kr, 2);
    Ticks(1);
    EXPECT_EQ(LastMark(), "w=300 Kr=2");
    EXPECT_TRUE(win.Running());

    Ticks(600 - 421);
    EXPECT_FALSE(win.Running()) << "Stop stops the timer after its second";
    EXPECT_EQ(win.Loop().TickCount, 600);
}

TEST_F(ExperimentTest, TheMeasuredDataNameTheOpenExperiment)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    EXPECT_EQ(win.MeasuredTitle().Experiment, "");
    Open(WriteFile(QStringLiteral("f.kversuch"), PlantF));
    EXPECT_EQ(win.MeasuredTitle().Experiment, "Störverhalten der Strecke F");
    Item("VersuchSchliessen")->trigger();
    EXPECT_EQ(win.MeasuredTitle().Experiment, "");
}

// kavlon-sim's rows for an experiment file: "x,y" of each tick, as text.
std::vector<std::string> SimulatedXY(const std::string &path)
{
    const sim::ParseResult parsed = sim::ParseArguments({"--experiment", path});
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    std::FILE *f = std::tmpfile();
    EXPECT_TRUE(sim::RunSimulation(parsed.options, f));
    std::rewind(f);
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        text.append(buf, n);
    std::fclose(f);
    std::vector<std::string> rows;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line); // header
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string t, w, x, y;
        std::getline(fields, t, ',');
        std::getline(fields, w, ',');
        std::getline(fields, x, ',');
        std::getline(fields, y, ',');
        rows.push_back(x + "," + y);
    }
    return rows;
}

std::string XY(Real xValue, Real yValue)
{
    char x[RealTextCapacity], y[RealTextCapacity];
    return std::string(x, WriteRealText(x, xValue)) + ","
           + std::string(y, WriteRealText(y, yValue));
}

// The window runs a shipped experiment tick for tick as kavlon-sim does: the
// same start, each change after the same second, through the Stop (a pause
// of the window's timer only) to the end. The values of each tick are those
// the recording took within it: a change after the tick sets y at once.
TEST_F(ExperimentTest, TheWindowRunsAShippedExperimentAsKavlonSimDoes)
{
    for (const char *name : {"F_Totzeitkompensation.kversuch", "C_Kennlinie.kversuch"}) {
        SCOPED_TRACE(name);
        const std::string path = std::string(KAVLON_SOURCE_EXPERIMENTS_DIR "/") + name;
        const std::vector<std::string> expected = SimulatedXY(path);
        ASSERT_GT(expected.size(), 600u);
        TKavlonMain &win = ShownWindow(1000, 700);
        ASSERT_TRUE(win.ExperimentCommands().Load(QString::fromStdString(path)));
        Item("StartStop")->trigger();
        for (std::size_t i = 0; i < expected.size(); ++i) {
            win.ActionOnTimer();
            ASSERT_EQ(win.Measured().Size(), i + 1);
            const MeasuredRow row = win.Measured().Row(i);
            ASSERT_EQ(XY(row.x, row.y), expected[i]) << "tick " << i + 1;
        }
        EXPECT_FALSE(win.Running()) << "the file's Stop paused the timer";
        window_.reset();
    }
}

TEST_F(ExperimentTest, ABadFileIsOneMessageNamingTheLineAndChangesNothing)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Spin("VerstaerkungUpDown", SpinDirection::Right, 3);
    Ticks(5);
    const LoopState before = win.Loop();
    const QString path =
        WriteFile(QStringLiteral("bad.kversuch"), "[Versuch]\nKr=2\nSollwert=900\n[Ablauf]\n");
    Open(path);
    QMessageBox *box = Message("ExperimentErrorMessage");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains(QStringLiteral("bad.kversuch")));
    EXPECT_TRUE(box->text().contains(QStringLiteral("Zeile 3: Sollwert")));
    box->close();
    EXPECT_FALSE(win.ExperimentCommands().Loaded());
    EXPECT_EQ(win.Loop().Kr, before.Kr);
    EXPECT_EQ(win.Loop().w, before.w);
    EXPECT_EQ(win.Loop().TickCount, 5);
    EXPECT_EQ(win.Loop().x, before.x);
    EXPECT_FALSE(Item("VersuchNeuStarten")->isEnabled());
}

TEST_F(ExperimentTest, RestartAppliesTheFileAgainAndCloseKeepsTheLoop)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Open(WriteFile(QStringLiteral("f.kversuch"), PlantF));
    Ticks(130);
    Spin("VerstaerkungUpDown", SpinDirection::Right, 5);
    Item("VersuchNeuStarten")->trigger();
    EXPECT_EQ(win.Loop().TickCount, 0);
    EXPECT_EQ(win.Loop().Kr, 1);
    EXPECT_EQ(win.Loop().Z, 10);
    Ticks(120);
    EXPECT_EQ(win.Loop().Z, 100) << "the changes come again";

    // A reset (Esc) restarts the schedule with the loop.
    win.ResetClick();
    win.SetOperatorValue(SpinValue::Z, 0);
    Ticks(120);
    EXPECT_EQ(win.Loop().Z, 100);

    Item("VersuchSchliessen")->trigger();
    EXPECT_FALSE(win.ExperimentCommands().TaskWindow()->isVisible());
    EXPECT_FALSE(Item("VersuchNeuStarten")->isEnabled());
    const Real kr = win.Loop().Kr;
    Ticks(400);
    EXPECT_EQ(win.Loop().w, 500) << "no change of a closed experiment acts";
    EXPECT_EQ(win.Loop().Kr, kr);
    EXPECT_TRUE(win.Loop().TotKOn);
}

TEST_F(ExperimentTest, AChangeOfYWaitsForManualMode)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Open(WriteFile(QStringLiteral("c.kversuch"), "[Versuch]\nRegelstrecke=C\nBetrieb=Hand\n"
                                                 "Stellgroesse=20\n[Ablauf]\n5=Stellgroesse 30\n"
                                                 "10=Stellgroesse 40\n"));
    EXPECT_TRUE(win.Loop().HandMode);
    EXPECT_EQ(win.Loop().y, 20);
    Ticks(5);
    EXPECT_EQ(win.Loop().y, 30);
    // The operator switches to the controller: it sets y from now on.
    QTest::mouseClick(Get<QRadioButton>("ReglerButton"), Qt::LeftButton);
    ASSERT_FALSE(win.Loop().HandMode);
    Ticks(5);
    EXPECT_NE(win.Loop().y, 40);
}

TEST_F(ExperimentTest, SavedSettingsReadBackAsTheWindowHasThem)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    ClickTool("StreckeCButton");
    Item("Zeitachse180")->trigger(); // a reset: before y is set
    // ARWU is a switch of the controller: set before manual mode disables it.
    QTest::mouseClick(Get<QRadioButton>("ARWUOnButton"), Qt::LeftButton);
    QTest::mouseClick(Get<QRadioButton>("HandButton"), Qt::LeftButton);
    QTest::mouseClick(Get<QRadioButton>("OptionOnButton"), Qt::LeftButton);
    Spin("StellgroesseUpDown", SpinDirection::Right, 7);
    Spin("VerstaerkungUpDown", SpinDirection::Left, 3);
    Spin("SollwertUpDown", SpinDirection::Left, 2);
    const LoopState s = win.Loop();

    const QString path = dir_.path() + QStringLiteral("/gespeichert.kversuch");
    AnswerDialog("VersuchSpeichern", "ExperimentSaveDialog", path);
    EXPECT_EQ(Message("ExperimentSaveFailure"), nullptr);
    const ExperimentReadResult r = ReadExperimentFile(QFile::encodeName(path).toStdString());
    ASSERT_TRUE(r.ok()) << r.error;
    const ExperimentSettings &x = r.experiment.settings;
    EXPECT_EQ(x.plant, 2);
    EXPECT_EQ(x.hand, true);
    EXPECT_EQ(x.y, Real{7});
    EXPECT_EQ(x.kr, s.Kr);
    EXPECT_EQ(x.w, Real{450});
    EXPECT_EQ(x.arwu, true);
    EXPECT_EQ(x.option, true);
    EXPECT_EQ(x.timeAxis, 180);
    EXPECT_EQ(x.speed, s.Speed);

    // Opened in a window that stands elsewhere, it gives the same settings.
    ClickTool("StreckeAButton");
    QTest::mouseClick(Get<QRadioButton>("ReglerButton"), Qt::LeftButton);
    Item("Zeitachse600")->trigger();
    Open(path);
    EXPECT_EQ(win.Loop().PlantIndex, 2);
    EXPECT_TRUE(win.Loop().HandMode);
    EXPECT_EQ(win.Loop().y, 7);
    EXPECT_EQ(win.Loop().Kr, s.Kr);
    EXPECT_TRUE(win.Loop().StrKOn);
    EXPECT_TRUE(win.Loop().ARWUOn);
    EXPECT_EQ(win.Charts().TimeAxisLength(), 180);
    // Saving it again writes the same file.
    const QString again = dir_.path() + QStringLiteral("/nochmal.kversuch");
    ASSERT_TRUE(win.ExperimentCommands().Save(again));
    std::ifstream a(QFile::encodeName(path).toStdString()),
        b(QFile::encodeName(again).toStdString());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(a), {}),
              std::string(std::istreambuf_iterator<char>(b), {}));
}

TEST_F(ExperimentTest, ALoadedExperimentIsSavedWithItsTaskAndChanges)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Open(WriteFile(QStringLiteral("f.kversuch"), PlantF));
    Spin("VerstaerkungUpDown", SpinDirection::Right, 5);
    const QString path = dir_.path() + QStringLiteral("/variante.kversuch");
    ASSERT_TRUE(win.ExperimentCommands().Save(path));
    const ExperimentReadResult r = ReadExperimentFile(QFile::encodeName(path).toStdString());
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.experiment.title, "Störverhalten der Strecke F");
    EXPECT_EQ(r.experiment.task, "Starten Sie den Versuch.\nBeobachten Sie x.");
    EXPECT_EQ(r.experiment.events.size(), 6u);
    EXPECT_EQ(r.experiment.settings.kr, 1.5L);
}

TEST_F(ExperimentTest, ChangesOfYAreLeftOutWhenTheControllerNowSetsY)
{
    // Saved as they stand, the settings say "Regler"; the schedule's changes
    // of y would make a file that is refused, so they stay out, and the
    // operator is told.
    TKavlonMain &win = ShownWindow(1000, 700);
    Open(WriteFile(QStringLiteral("c.kversuch"), "[Versuch]\nTitel=Kennlinie\nRegelstrecke=C\n"
                                                 "Betrieb=Hand\n[Ablauf]\n50=Stellgroesse 30\n"));
    QTest::mouseClick(Get<QRadioButton>("ReglerButton"), Qt::LeftButton);
    const QString path = dir_.path() + QStringLiteral("/regler.kversuch");
    ASSERT_TRUE(win.ExperimentCommands().Save(path));
    QMessageBox *note = Message("ExperimentSaveNote");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->text().contains(QStringLiteral("Ablauf")));
    const ExperimentReadResult r = ReadExperimentFile(QFile::encodeName(path).toStdString());
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.experiment.title, "Kennlinie");
    EXPECT_EQ(r.experiment.settings.hand, false);
    EXPECT_TRUE(r.experiment.events.empty());
}

TEST_F(ExperimentTest, AFailedSaveIsAMessageAndAnOldFileStaysWhole)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    EXPECT_FALSE(win.ExperimentCommands().Save(dir_.path() + QStringLiteral("/fehlt/x.kversuch")));
    QMessageBox *box = Message("ExperimentSaveFailure");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains(QStringLiteral("konnten nicht")));
    box->close();

    // A folder in the file's place cannot be replaced: it stays as it was.
    const QString folder = dir_.path() + QStringLiteral("/ordner.kversuch");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(win.ExperimentCommands().Save(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());

    // Saving over an existing file replaces it as a whole.
    const QString path = WriteFile(QStringLiteral("alt.kversuch"), "alter Inhalt");
    ASSERT_TRUE(win.ExperimentCommands().Save(path));
    EXPECT_TRUE(ReadExperimentFile(QFile::encodeName(path).toStdString()).ok());
    EXPECT_EQ(QDir(dir_.path()).entryList(QStringList{QStringLiteral("alt.kversuch*")}).size(), 1);
}

} // namespace
} // namespace kavlon::test
