#include "tests/app/AppTestSupport.h"

#include "app/BevelPanel.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRadioButton>

namespace kavlon::test {
namespace {

using StartupTest = TempStoreTest;

TEST_F(StartupTest, FirstStartWritesOnlyTheTimeAxisAndShowsTheStartState)
{
    TKavlonMain &win = Window();
    EXPECT_EQ(StoredKeys(), QStringList{QStringLiteral("Zeitachse")});
    EXPECT_EQ(Stored("Zeitachse").toString(), QStringLiteral("600"));
    EXPECT_TRUE(Item("Zeitachse600")->isChecked());
    EXPECT_EQ(win.Charts().TimeAxisLength(), 600);

    EXPECT_EQ(ReadOut("Interval"), QStringLiteral("10"));
    EXPECT_EQ(ReadOut("Sollwert"), QStringLiteral("500"));
    EXPECT_EQ(ReadOut("Istwert"), QStringLiteral("0"));
    EXPECT_EQ(ReadOut("Stellgroesse"), QStringLiteral("0"));
    EXPECT_EQ(ReadOut("Stoergroesse"), QStringLiteral("0"));
    EXPECT_EQ(ReadOut("Nachstellzeit"), QStringLiteral("45"));
    EXPECT_EQ(ReadOut("Verstaerkung"), QStringLiteral("4"));
    EXPECT_EQ(ReadOut("Vorhaltezeit"), QStringLiteral("Aus"));
    EXPECT_EQ(Get<BevelPanel>("ReglerLabelPanel")->Caption(), QStringLiteral("PI - Regler"));
    EXPECT_EQ(Get<BevelPanel>("RegelstreckeLabelPanel")->Caption(),
              QStringLiteral("PT3 - Regelstrecke"));
    EXPECT_EQ(Get<QLabel>("OptionLabel")->text(), QStringLiteral("--------"));
    EXPECT_FALSE(Get<QWidget>("OptionOnButton")->isEnabled());
    EXPECT_FALSE(Get<QWidget>("OptionLabel")->isEnabled());
    EXPECT_FALSE(win.Running());
    EXPECT_TRUE(Get<QWidget>("StartButton")->isEnabled());
    EXPECT_FALSE(Get<QWidget>("StopButton")->isEnabled());
    EXPECT_FALSE(Get<QWidget>("StellgroesseUpDown")->isEnabled());
    EXPECT_TRUE(Get<QRadioButton>("ReglerButton")->isChecked());
    EXPECT_TRUE(Get<QToolButton>("StreckeAButton")->isChecked());
    EXPECT_TRUE(Item("PT3Prozess")->isChecked());
    EXPECT_EQ(win.PlantHelpContext(), 1101);
    EXPECT_EQ(win.HelpFilePath(), QStringLiteral("Kavlon.hlp"));
    EXPECT_EQ(Item("BackgroundColor")->text(), QStringLiteral("&Hintergrundfarbe schwarz"));
    EXPECT_EQ(Item("ExportColor")->text(), QStringLiteral("&Druck schwarz-weiss"));
    EXPECT_EQ(Item("StartStop")->text(), QStringLiteral("&Start"));
    EXPECT_TRUE(win.PrintInColor());
    EXPECT_EQ(win.Charts().BackColor(), 0xFFFFFFu);
    EXPECT_EQ(win.Loop().Speed, 10);
    EXPECT_EQ(win.Loop().w, 500);
    EXPECT_EQ(win.Loop().Kr, 4);
    EXPECT_EQ(win.Loop().Tn, 45);
}

TEST_F(StartupTest, StoredTimeAxis)
{
    struct Row {
        QVariant stored;
        int length;
        const char *checkedItem; // nullptr: none
        QString storedAfter;
    };
    const Row rows[] = {
        {300, 300, "Zeitachse300", QStringLiteral("300")},
        {180, 180, "Zeitachse180", QStringLiteral("180")},
        {600, 600, "Zeitachse600", QStringLiteral("600")},
        // Any other usable length runs as it is: nothing checked, nothing written.
        {450, 450, nullptr, QStringLiteral("450")},
        {2, 2, nullptr, QStringLiteral("2")},
        // Below 2 the chart arithmetic would divide by zero: as if absent.
        {1, 600, "Zeitachse600", QStringLiteral("600")},
        {0, 600, "Zeitachse600", QStringLiteral("600")},
        {-5, 600, "Zeitachse600", QStringLiteral("600")},
        // Beyond the charts' largest window: as if absent too.
        {MaxTimeAxisLength + 1, 600, "Zeitachse600", QStringLiteral("600")},
        {2147483647, 600, "Zeitachse600", QStringLiteral("600")},
        {QStringLiteral("abc"), 600, "Zeitachse600", QStringLiteral("600")},
    };
    for (const Row &r : rows) {
        window_.reset();
        Preset("Zeitachse", r.stored);
        TKavlonMain &win = Window();
        const std::string row = r.stored.toString().toStdString();
        EXPECT_EQ(win.Charts().TimeAxisLength(), r.length) << row;
        for (const char *item : {"Zeitachse600", "Zeitachse300", "Zeitachse180"})
            EXPECT_EQ(Item(item)->isChecked(), r.checkedItem && qstrcmp(item, r.checkedItem) == 0)
                << row << " " << item;
        EXPECT_EQ(Stored("Zeitachse").toString(), r.storedAfter) << row;
        // The charts run on that length.
        for (int i = 0; i < 5; ++i)
            win.ActionOnTimer();
        EXPECT_EQ(win.Loop().TickCount, 5) << row;
    }
}

TEST_F(StartupTest, StoredSpeedIsBroughtIntoRange)
{
    struct Row {
        QVariant stored;
        int speed;
    };
    const Row rows[] = {{15, 15},
                        {1, 1},
                        {100, 100},
                        {0, 1},
                        {-5, 1},
                        {500, 100},
                        {QStringLiteral("abc"), 10},
                        {QStringLiteral("4.5"), 10}};
    for (const Row &r : rows) {
        window_.reset();
        Preset("Intervall", r.stored);
        TKavlonMain &win = Window();
        EXPECT_EQ(win.Loop().Speed, r.speed) << r.stored.toString().toStdString();
        EXPECT_EQ(ReadOut("Interval"), QString::number(r.speed));
        // Nothing is written back at start-up.
        EXPECT_EQ(Stored("Intervall"), r.stored);
        win.ActionOnTimer();
        EXPECT_EQ(win.SimulationTimer().interval(), 10000 / r.speed);
    }
    // A stored 15 moves along the ladder's rule.
    window_.reset();
    Preset("Intervall", 15);
    Spin("SpeedUpDown", SpinDirection::Right);
    EXPECT_EQ(ReadOut("Interval"), QStringLiteral("25"));
    window_.reset();
    Preset("Intervall", 15);
    Spin("SpeedUpDown", SpinDirection::Left);
    EXPECT_EQ(ReadOut("Interval"), QStringLiteral("5"));
}

TEST_F(StartupTest, StoredBackgroundAndPrintColour)
{
    struct Row {
        QVariant background;
        std::uint32_t back;
        const char *caption;
    };
    const Row rows[] = {
        {0, 0x000000, "&Hintergrundfarbe weiss"},
        {0xFFFFFF, 0xFFFFFF, "&Hintergrundfarbe schwarz"},
        {0x123456, 0x123456, "&Hintergrundfarbe weiss"},    // any colour is taken as it is
        {0x1000000, 0xFFFFFF, "&Hintergrundfarbe schwarz"}, // out of range: absent
        {-5, 0xFFFFFF, "&Hintergrundfarbe schwarz"},
        {QStringLiteral("abc"), 0xFFFFFF, "&Hintergrundfarbe schwarz"},
    };
    for (const Row &r : rows) {
        window_.reset();
        Preset("Hintergrundfarbe", r.background);
        TKavlonMain &win = Window();
        const std::string row = r.background.toString().toStdString();
        EXPECT_EQ(win.Charts().BackColor(), r.back) << row;
        EXPECT_EQ(win.Charts().ForeColor(), r.back == 0xFFFFFF ? 0u : 0xFFFFFFu) << row;
        EXPECT_EQ(Item("BackgroundColor")->text(), QString::fromLatin1(r.caption)) << row;
        const QColor expected(static_cast<int>(r.back & 0xFF),
                              static_cast<int>((r.back >> 8) & 0xFF),
                              static_cast<int>((r.back >> 16) & 0xFF));
        EXPECT_EQ(Get<BevelPanel>("ReglerPanel")->Color(), expected) << row;
        EXPECT_EQ(Get<BevelPanel>("RegelstreckeLabelPanel")->Color(), expected) << row;
        EXPECT_EQ(Get<BevelPanel>("ReglerLabelPanel")->CaptionColor(),
                  r.back == 0xFFFFFF ? QColor(Qt::black) : QColor(Qt::white));
        // The chart picture is in that background (QRgb is 0xRRGGBB).
        EXPECT_EQ(win.Charts().ReglerImage().pixel(1, 1) & 0xFFFFFFu, expected.rgb() & 0xFFFFFFu);
    }

    struct PrintRow {
        QVariant stored;
        bool inColour;
        const char *caption;
    };
    const PrintRow printRows[] = {{0, false, "&Druck in Farbe"},
                                  {1, true, "&Druck schwarz-weiss"},
                                  {7, true, "&Druck schwarz-weiss"},
                                  {QStringLiteral("abc"), true, "&Druck schwarz-weiss"}};
    for (const PrintRow &r : printRows) {
        window_.reset();
        Preset("Druckausgabe", r.stored);
        EXPECT_EQ(Window().PrintInColor(), r.inColour);
        EXPECT_EQ(Item("ExportColor")->text(), QString::fromLatin1(r.caption));
    }
}

TEST_F(StartupTest, InstallFolderGivesTheHelpFilePath)
{
    Preset("InstallierPfad", QStringLiteral("/opt/kavlon2/"));
    EXPECT_EQ(Window().HelpFilePath(), QStringLiteral("/opt/kavlon2/Kavlon.hlp"));
}

TEST_F(StartupTest, AStoreThatCannotBeOpenedLeavesTheDefaultsAndEveryCommandWorking)
{
    QFile blocker(dir_.path() + QStringLiteral("/Kavlon2"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    TKavlonMain &win = ShownWindow(900, 600);
    EXPECT_FALSE(win.Store().IsOpen());
    EXPECT_EQ(win.Charts().TimeAxisLength(), 600);
    EXPECT_TRUE(Item("Zeitachse600")->isChecked());
    EXPECT_EQ(ReadOut("Interval"), QStringLiteral("10"));

    Spin("SpeedUpDown", SpinDirection::Right);
    EXPECT_EQ(ReadOut("Interval"), QStringLiteral("20"));
    Item("Zeitachse180")->trigger();
    EXPECT_EQ(win.Charts().TimeAxisLength(), 180);
    Item("BackgroundColor")->trigger();
    EXPECT_EQ(win.Charts().BackColor(), 0u);
    Item("ExportColor")->trigger();
    EXPECT_FALSE(win.PrintInColor());
    EXPECT_TRUE(QFileInfo(dir_.path() + QStringLiteral("/Kavlon2")).isFile());
}

TEST_F(StartupTest, AStoreThatStopsAcceptingWritesKeepsTheSessionValues)
{
    TKavlonMain &win = Window();
    ASSERT_TRUE(QDir(dir_.path() + QStringLiteral("/Kavlon2")).removeRecursively());
    QFile blocker(dir_.path() + QStringLiteral("/Kavlon2"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    Spin("SpeedUpDown", SpinDirection::Left, 3);
    EXPECT_EQ(win.Loop().Speed, 7);
    Item("Zeitachse300")->trigger();
    EXPECT_EQ(win.Charts().TimeAxisLength(), 300);
    EXPECT_TRUE(win.Store().WriteFailed());
}

} // namespace
} // namespace kavlon::test
