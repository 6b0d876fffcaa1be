// The window's recording of every tick and "Messwerte speichern…": what it
// records is what the loop went through, operator changes included; each
// restart begins a new recording; saving writes the chosen form and remembers
// the folder; a failed save says so in German, keeps the recording and
// leaves an existing file as it was.
#include "tests/analysis/CsvReading.h"
#include "tests/app/AppTestSupport.h"

#include "app/HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace kavlon::test {
namespace {

using MeasuredTest = TempStoreTest;
using kavlon::testing::CellNumber;
using kavlon::testing::ReadCsv;

std::string FileText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "(unreadable)";
    return f.readAll().toStdString();
}

QStringList FailureTexts(QWidget &win, const char *name = "OutputFailureMessage")
{
    QStringList texts;
    for (auto *box : win.findChildren<QMessageBox *>(QString::fromLatin1(name)))
        texts << box->text();
    return texts;
}

TEST_F(MeasuredTest, RecordsEveryTickWithTheOperatorsChanges)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    std::vector<LoopState> seen;
    for (int k = 0; k < 300; ++k) {
        if (k == 100)
            Spin("SollwertUpDown", SpinDirection::Left, 2);
        if (k == 150) {
            Spin("VerstaerkungUpDown", SpinDirection::Right);
            Spin("StoergroesseUpDown", SpinDirection::Right);
        }
        if (k == 200)
            QTest::mouseClick(Get<QWidget>("HandButton"), Qt::LeftButton);
        if (k == 250)
            Spin("StellgroesseUpDown", SpinDirection::Right, 3);
        win.ActionOnTimer();
        seen.push_back(win.Loop());
    }
    const MeasuredRun &run = win.Measured();
    ASSERT_EQ(run.Size(), 300U);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const MeasuredRow r = run.Row(i);
        ASSERT_EQ(r.t, seen[i].TickCount);
        ASSERT_EQ(r.x, seen[i].x) << i;
        ASSERT_EQ(r.y, seen[i].y) << i;
        ASSERT_EQ(r.yi, seen[i].yi) << i;
        ASSERT_EQ(r.w, seen[i].w) << i;
        ASSERT_EQ(r.Z, seen[i].Z) << i;
        ASSERT_EQ(r.Hand, seen[i].HandMode) << i;
    }
    EXPECT_EQ(run.Row(100).Event, "w=475, w=450"); // two clicks, one moment
    EXPECT_EQ(run.Row(150).Event, "Kr=4.1, Z=10");
    EXPECT_EQ(run.Row(200).Event, "Hand");
    EXPECT_EQ(run.Row(250).Event.substr(0, 2), "y=");
    EXPECT_EQ(run.Row(251).Event, "");
}

TEST_F(MeasuredTest, EachRestartBeginsANewRecording)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    auto tick = [&win](int n) {
        for (int i = 0; i < n; ++i)
            win.ActionOnTimer();
    };
    tick(40);
    EXPECT_EQ(win.Measured().Size(), 40U);
    Item("Reset")->trigger();
    EXPECT_EQ(win.Measured().Size(), 0U);
    tick(5);
    Item("PT2Totzeit80Komp")->trigger();
    EXPECT_EQ(win.Measured().Size(), 0U);
    EXPECT_EQ(win.Measured().Start().PlantIndex, 6);
    tick(7);
    ASSERT_EQ(win.Measured().Size(), 7U);
    EXPECT_EQ(win.Measured().Row(0).t, 1);
    SetClientSize(900, 650);
    EXPECT_EQ(win.Measured().Size(), 0U);
}

TEST_F(MeasuredTest, SavesBothFormsWithTheSameNumbers)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Item("PT2TotzeitKomp")->trigger();
    QTest::mouseClick(Get<QWidget>("OptionOnButton"), Qt::LeftButton);
    Item("Reset")->trigger();
    for (int k = 0; k < 400; ++k) {
        if (k == 200)
            Spin("StoergroesseUpDown", SpinDirection::Left, 3);
        win.ActionOnTimer();
    }
    const QString de = dir_.filePath(QStringLiteral("de.csv"));
    const QString en = dir_.filePath(QStringLiteral("en.csv"));
    ASSERT_TRUE(win.SaveMeasuredData(de, CsvForm::German));
    ASSERT_TRUE(win.SaveMeasuredData(en, CsvForm::International));
    const std::string deText = FileText(de);
    const std::string enText = FileText(en);
    ASSERT_EQ(deText.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(deText.find("Regelstrecke;F: PT2 - Regelstrecke mit Totzeit und Kompensation\r\n"),
              std::string::npos);
    EXPECT_NE(deText.find("TotK;Ein\r\n"), std::string::npos);
    EXPECT_NE(deText.find("Programm;Kavlon 2 "), std::string::npos);
    EXPECT_EQ(enText.substr(0, 31), "t,w,x,y,yp,yi,yd,Z,CompSignal\n1");

    const auto enRows = ReadCsv(enText, ',');
    auto deRows = ReadCsv(deText.substr(3), ';');
    while (!deRows.empty() && deRows.front()[0] != "Zeit t [s]")
        deRows.erase(deRows.begin());
    ASSERT_EQ(enRows.size(), 401U);
    ASSERT_EQ(deRows.size(), 401U);
    for (std::size_t i = 1; i < enRows.size(); ++i)
        for (std::size_t c = 0; c < 9; ++c)
            ASSERT_EQ(CellNumber(enRows[i][c], '.'), CellNumber(deRows[i][c], ','))
                << "row " << i << " column " << c;
    EXPECT_EQ(deRows[201][13], "Z=-10, Z=-20, Z=-30");
    // The recording stays for a further save.
    EXPECT_EQ(win.Measured().Size(), 400U);
}

TEST_F(MeasuredTest, MenuCommandAsksForFileAndFormAndRemembersBoth)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    QAction *item = Item("MesswerteSpeichern");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), QString::fromUtf8("&Messwerte speichern…"));
    for (int k = 0; k < 25; ++k)
        win.ActionOnTimer();

    const QString folder = dir_.filePath(QStringLiteral("Klasse 9b"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QString startedIn;
    QString proposed;
    bool germanFirst = false;
    auto answer = [&](const QString &name, bool international) {
        QTimer::singleShot(0, [&, name, international] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            startedIn = dialog->directory().absolutePath();
            proposed = dialog->selectedFiles().value(0);
            germanFirst = dialog->selectedNameFilter().contains(QStringLiteral("Dezimalkomma"));
            if (international)
                dialog->selectNameFilter(dialog->nameFilters().value(1));
            dialog->selectFile(folder + QLatin1Char('/') + name);
            static_cast<QDialog *>(dialog)->accept();
        });
    };
    answer(QStringLiteral("lauf1"), true);
    item->trigger();
    EXPECT_TRUE(germanFirst); // the German form is offered first
    EXPECT_TRUE(QFileInfo(proposed).fileName().startsWith(QStringLiteral("Messwerte_A_")));
    const std::string first = FileText(folder + QStringLiteral("/lauf1.csv"));
    EXPECT_EQ(first.substr(0, 30), "t,w,x,y,yp,yi,yd,Z,CompSignal\n");
    EXPECT_EQ(Stored("MesswerteOrdner").toString(), folder);
    EXPECT_EQ(Stored("MesswerteDeutsch").toBool(), false);

    // The next time the dialog starts in that folder with that form.
    answer(QStringLiteral("lauf2.csv"), false);
    item->trigger();
    EXPECT_EQ(startedIn, folder);
    EXPECT_FALSE(germanFirst);
    EXPECT_EQ(FileText(folder + QStringLiteral("/lauf2.csv")).substr(0, 3), "t,w");
    EXPECT_TRUE(FailureTexts(win).isEmpty());
}

TEST_F(MeasuredTest, NothingRecordedIsSaidInsteadOfAskingForAFile)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    bool sawDialog = false;
    QTimer::singleShot(0, [&sawDialog] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            sawDialog = true;
            dialog->reject();
        }
    });
    Item("MesswerteSpeichern")->trigger();
    QCoreApplication::processEvents();
    EXPECT_FALSE(sawDialog);
    EXPECT_EQ(FailureTexts(win, "NoMeasuredDataMessage").size(), 1);
}

TEST_F(MeasuredTest, AFailedSaveTellsWhyAndKeepsRecordingAndOldFile)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    for (int k = 0; k < 3000; ++k)
        win.ActionOnTimer();
    const QString existing = dir_.filePath(QStringLiteral("alt.csv"));
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("die Messwerte von gestern\n");
    }
    const QString blocker = dir_.filePath(QStringLiteral("keinordner"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }

    struct Case {
        const char *what;
        QString path;
        const char *reason;
    };
    const Case cases[] = {
        {"no such folder", dir_.filePath(QStringLiteral("fehlt/x.csv")), "nicht anlegen"},
        {"a file in the way of the folder", blocker + QStringLiteral("/x.csv"), "nicht anlegen"},
        {"a folder of that name", dir_.path(), "nicht anlegen"},
        {"a device that is full", QStringLiteral("/dev/full"), "Laufwerk voll"},
    };
    int messages = 0;
    for (const Case &c : cases) {
        if (c.path.startsWith(QStringLiteral("/dev/")) && !QFileInfo::exists(c.path))
            continue;
        EXPECT_FALSE(win.SaveMeasuredData(c.path, CsvForm::German)) << c.what;
        const QStringList texts = FailureTexts(win);
        ASSERT_EQ(texts.size(), ++messages) << c.what;
        EXPECT_TRUE(texts.last().contains(QString::fromLatin1(c.reason))) << c.what;
        EXPECT_TRUE(texts.last().contains(QString::fromUtf8("Die Aufzeichnung bleibt erhalten")));
        EXPECT_EQ(win.Measured().Size(), 3000U);
    }

    // The disk fills up during the write: a file-size limit makes every
    // write beyond 64 KiB fail as a full disk would.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = win.SaveMeasuredData(existing, CsvForm::German);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_TRUE(FailureTexts(win).last().contains(QStringLiteral("Laufwerk voll")));
    EXPECT_EQ(FileText(existing), "die Messwerte von gestern\n");
    // No half-written temporary file stays behind.
    const QStringList left = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, (QStringList{QStringLiteral("alt.csv"), QStringLiteral("keinordner")}));
    EXPECT_EQ(win.Measured().Size(), 3000U);

    // With room again the same file is replaced completely.
    ASSERT_TRUE(win.SaveMeasuredData(existing, CsvForm::International));
    EXPECT_EQ(ReadCsv(FileText(existing), ',').size(), 3001U);
}

TEST_F(MeasuredTest, AReadOnlyFolderIsRefusedWithAMessage)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "a read-only folder does not stop root from writing";
    TKavlonMain &win = ShownWindow(1000, 700);
    win.ActionOnTimer();
    const QString folder = dir_.filePath(QStringLiteral("nurlesen"));
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(win.SaveMeasuredData(folder + QStringLiteral("/x.csv"), CsvForm::German));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(FailureTexts(win).size(), 1);
    EXPECT_FALSE(QFileInfo::exists(folder + QStringLiteral("/x.csv")));
}

TEST_F(MeasuredTest, AFullRecordingIsToldOnceAndTheRunGoesOn)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    win.Measured().SetCapacityForTest(50);
    for (int k = 0; k < 120; ++k)
        win.ActionOnTimer();
    EXPECT_EQ(win.Measured().Size(), 50U);
    EXPECT_EQ(win.Loop().TickCount, 120);
    const QStringList told = FailureTexts(win, "MeasuredFullMessage");
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("Messwertaufzeichnung ist voll")));
    // A reset starts a new recording, which may fill up and be told again.
    Item("Reset")->trigger();
    for (int k = 0; k < 60; ++k)
        win.ActionOnTimer();
    EXPECT_EQ(FailureTexts(win, "MeasuredFullMessage").size(), 2);
}

} // namespace
} // namespace kavlon::test

namespace kavlon::test {
namespace {

TEST(MeasuredHelp, TheTopicOnMeasuredDataOpensByItsNumber)
{
    const QString file = QStringLiteral(KAVLON_SOURCE_HELP_DIR "/Kavlon.hlp");
    ASSERT_TRUE(HelpViewer::Call(nullptr, file, HelpCommand::Context, 1050));
    HelpViewer *viewer = HelpViewer::Instance();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->CurrentTitle(), QStringLiteral("Messwerte speichern"));
    // It names the two forms the dialog offers and the recording's limit.
    const QString text = viewer->CurrentText();
    EXPECT_TRUE(text.contains(QString::fromUtf8("CSV für deutsche Tabellenkalkulation")));
    EXPECT_TRUE(text.contains(QStringLiteral("CSV international")));
    EXPECT_TRUE(text.contains(QString::number(MeasuredRun::MaxTicks / 3600) + QStringLiteral(" Stunden")));
    HelpViewer::Call(nullptr, QString(), HelpCommand::Quit, 0);
}

} // namespace
} // namespace kavlon::test
