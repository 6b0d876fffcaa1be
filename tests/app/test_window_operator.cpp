#include "tests/app/AppTestSupport.h"

#include "app/BevelPanel.h"
#include "app/HelpViewer.h"
#include "app/NumberFormat.h"
#include "engine/LoopTick.h"
#include "output/ReadoutText.h"

#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QStyle>

namespace kavlon::test {
namespace {

using OperatorTest = TempStoreTest;

QString ControllerTitle(TKavlonMain &w)
{
    return w.findChild<BevelPanel *>(QStringLiteral("ReglerLabelPanel"))->Caption();
}

TEST_F(OperatorTest, GainDownToOffAndBackOnTheGridOfTenths)
{
    TKavlonMain &win = Window();
    Spin("VerstaerkungUpDown", SpinDirection::Left, 40);
    EXPECT_EQ(win.Loop().Kr, 0);
    EXPECT_EQ(ReadOut("Verstaerkung"), QStringLiteral("Aus"));
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("I - Regler"));
    Spin("VerstaerkungUpDown", SpinDirection::Left);
    EXPECT_EQ(win.Loop().Kr, 0);
    Spin("VerstaerkungUpDown", SpinDirection::Right, 40);
    EXPECT_EQ(win.Loop().Kr, 4);
    EXPECT_EQ(ReadOut("Verstaerkung"), QStringLiteral("4"));
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("PI - Regler"));
    Spin("VerstaerkungUpDown", SpinDirection::Right);
    EXPECT_EQ(ReadOut("Verstaerkung"), GeneralNumberText(4.1L, QLocale().decimalPoint()));
}

TEST_F(OperatorTest, DerivativeTimeAndResetTimeChangeTheTitle)
{
    TKavlonMain &win = Window();
    Spin("VorhaltezeitUpDown", SpinDirection::Right, 10);
    EXPECT_EQ(ReadOut("Vorhaltezeit"), QStringLiteral("1"));
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("PID - Regler"));
    Spin("VorhaltezeitUpDown", SpinDirection::Left, 10);
    EXPECT_EQ(ReadOut("Vorhaltezeit"), QStringLiteral("Aus"));
    EXPECT_EQ(win.Loop().Tv, 0);
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("PI - Regler"));

    Spin("NachstellzeitUpDown", SpinDirection::Left, 45);
    EXPECT_EQ(ReadOut("Nachstellzeit"), QStringLiteral("Aus"));
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("P - Regler"));
    Spin("VerstaerkungUpDown", SpinDirection::Left, 40);
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("Kein Regler"));
    Spin("VorhaltezeitUpDown", SpinDirection::Right);
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("D - Regler"));
    Spin("NachstellzeitUpDown", SpinDirection::Right, 250);
    EXPECT_EQ(ReadOut("Nachstellzeit"), QStringLiteral("200"));
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("ID - Regler"));
}

TEST_F(OperatorTest, SetPointAndDisturbanceStopAtTheirLimits)
{
    struct Row {
        const char *spin;
        const char *readOut;
        SpinDirection direction;
        int clicks;
        const char *shown;
    };
    const Row rows[] = {
        {"SollwertUpDown", "Sollwert", SpinDirection::Right, 1, "525"},
        {"SollwertUpDown", "Sollwert", SpinDirection::Right, 20, "800"},
        {"SollwertUpDown", "Sollwert", SpinDirection::Left, 40, "0"},
        {"StoergroesseUpDown", "Stoergroesse", SpinDirection::Left, 1, "-10"},
        {"StoergroesseUpDown", "Stoergroesse", SpinDirection::Left, 30, "-200"},
        {"StoergroesseUpDown", "Stoergroesse", SpinDirection::Right, 50, "200"},
    };
    Window();
    for (const Row &r : rows) {
        Spin(r.spin, r.direction, r.clicks);
        EXPECT_EQ(ReadOut(r.readOut), QString::fromLatin1(r.shown)) << r.spin << " " << r.clicks;
    }
    EXPECT_EQ(Window().Loop().w, 0);
    EXPECT_EQ(Window().Loop().Z, 200);
}

TEST_F(OperatorTest, ManualModeOutputKeepsItsFraction)
{
    TKavlonMain &win = Window();
    QTest::mouseClick(Get<QRadioButton>("HandButton"), Qt::LeftButton);
    ASSERT_TRUE(win.Loop().HandMode);
    EXPECT_TRUE(Get<QWidget>("StellgroesseUpDown")->isEnabled());
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("Handregelung"));
    for (const char *name : {"Nachstellzeit", "NachstellzeitUpDown", "VerstaerkungLabel",
                             "Vorhaltezeit", "ARWULabel", "ARWUOnButton", "ARWUOffButton"})
        EXPECT_FALSE(Get<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(Get<QWidget>("SollwertUpDown")->isEnabled());

    win.Loop().y = 37.6L; // as the controller left it
    Spin("StellgroesseUpDown", SpinDirection::Right);
    EXPECT_NEAR(static_cast<double>(win.Loop().y), 38.6, 1e-12);
    EXPECT_EQ(ReadOut("Stellgroesse"), QStringLiteral("39"));
    Spin("StellgroesseUpDown", SpinDirection::Right, 70);
    EXPECT_EQ(win.Loop().y, 100);
    Spin("StellgroesseUpDown", SpinDirection::Left, 120);
    EXPECT_EQ(win.Loop().y, 0);
    EXPECT_EQ(ReadOut("Stellgroesse"), QStringLiteral("0"));

    // Parameters changed in manual mode leave the title alone...
    win.VerstaerkungUpDownClick(SpinDirection::Right);
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("Handregelung"));
    // ...and back in controller mode it is rebuilt from them.
    QTest::mouseClick(Get<QRadioButton>("ReglerButton"), Qt::LeftButton);
    EXPECT_FALSE(win.Loop().HandMode);
    EXPECT_EQ(ControllerTitle(win), QStringLiteral("PI - Regler"));
    EXPECT_FALSE(Get<QWidget>("StellgroesseUpDown")->isEnabled());
}

TEST_F(OperatorTest, SpeedLadderAtBothEndsWritesEveryClick)
{
    TKavlonMain &win = Window();
    struct Row {
        SpinDirection direction;
        int expected;
    };
    const Row rows[] = {
        {SpinDirection::Right, 20}, {SpinDirection::Left, 10}, {SpinDirection::Left, 9},
        {SpinDirection::Left, 8},   {SpinDirection::Right, 9}, {SpinDirection::Right, 10},
    };
    for (const Row &r : rows) {
        Spin("SpeedUpDown", r.direction);
        EXPECT_EQ(ReadOut("Interval"), QString::number(r.expected));
        EXPECT_EQ(Stored("Intervall").toInt(), r.expected);
    }
    Spin("SpeedUpDown", SpinDirection::Left, 12);
    EXPECT_EQ(win.Loop().Speed, 1);
    // At the end the value is written again all the same.
    QSettings(ConfPath(), QSettings::IniFormat).remove(QStringLiteral("Intervall"));
    Spin("SpeedUpDown", SpinDirection::Left);
    EXPECT_EQ(ReadOut("Interval"), QStringLiteral("1"));
    EXPECT_EQ(Stored("Intervall").toString(), QStringLiteral("1"));
    Spin("SpeedUpDown", SpinDirection::Right, 30);
    EXPECT_EQ(ReadOut("Interval"), QStringLiteral("100"));
    EXPECT_EQ(Stored("Intervall").toInt(), 100);
}

TEST_F(OperatorTest, OptionTableForEveryPlantInBothModes)
{
    struct Row {
        const char *button;
        const char *menuItem;
        const char *label;
        bool controllerMode;
        bool manualMode;
        int help;
        const char *title;
    };
    const Row rows[] = {
        {"StreckeAButton", "PT3Prozess", "--------", false, false, 1101, "PT3 - Regelstrecke"},
        {"StreckeBButton", "PT3Totzeit", "--------", false, false, 1102,
         "PT3 - Regelstrecke mit Totzeit"},
        {"StreckeCButton", "PT3Temperatur", "StrK", true, true, 1103,
         "Nichtlineare PT3 - Temperatur-Regelstrecke"},
        {"StreckeDButton", "PT2Prozess", "--------", false, false, 1104, "PT2 - Regelstrecke"},
        {"StreckeEButton", "PT2Integral", "--------", false, false, 1105,
         "PT2 - Regelstrecke mit Integralglied"},
        {"StreckeFButton", "PT2TotzeitKomp", "TotK", true, false, 1106,
         "PT2 - Regelstrecke mit Totzeit und Kompensation"},
        {"StreckeGButton", "PT2Totzeit80Komp", "TotK", true, false, 1107,
         "PT2 - Regelstrecke mit Totzeit und 80% Kompensation"},
    };
    TKavlonMain &win = Window();
    for (int i = 0; i < 7; ++i) {
        const Row &r = rows[i];
        for (bool byMenu : {false, true}) {
            // Select in controller mode, then switch to manual and back.
            if (byMenu)
                Item(r.menuItem)->trigger();
            else
                ClickTool(r.button);
            EXPECT_EQ(win.Loop().PlantIndex, i);
            EXPECT_EQ(Get<QLabel>("OptionLabel")->text(), QString::fromLatin1(r.label));
            EXPECT_EQ(Get<QWidget>("OptionOnButton")->isEnabled(), r.controllerMode) << r.button;
            EXPECT_EQ(win.PlantHelpContext(), r.help);
            EXPECT_EQ(Get<BevelPanel>("RegelstreckeLabelPanel")->Caption(),
                      QString::fromLatin1(r.title));
            EXPECT_TRUE(Item(r.menuItem)->isChecked());
            EXPECT_TRUE(Get<QToolButton>(r.button)->isChecked());
            int checked = 0;
            for (const Row &other : rows)
                checked +=
                    Item(other.menuItem)->isChecked() + Get<QToolButton>(other.button)->isChecked();
            EXPECT_EQ(checked, 2);

            QTest::mouseClick(Get<QRadioButton>("HandButton"), Qt::LeftButton);
            EXPECT_EQ(Get<QWidget>("OptionOnButton")->isEnabled(), r.manualMode) << r.button;
            EXPECT_EQ(Get<QWidget>("OptionLabel")->isEnabled(), r.manualMode) << r.button;
            // A plant chosen in manual mode follows the same table.
            if (byMenu)
                Item(r.menuItem)->trigger();
            else
                ClickTool(r.button);
            EXPECT_EQ(Get<QWidget>("OptionOffButton")->isEnabled(), r.manualMode) << r.button;
            QTest::mouseClick(Get<QRadioButton>("ReglerButton"), Qt::LeftButton);
            EXPECT_EQ(Get<QWidget>("OptionOnButton")->isEnabled(), r.controllerMode) << r.button;
        }
    }
}

TEST_F(OperatorTest, OptionSwitchCarriesOverFromPlantCToF)
{
    TKavlonMain &win = Window();
    ClickTool("StreckeCButton");
    QTest::mouseClick(Get<QRadioButton>("OptionOnButton"), Qt::LeftButton);
    EXPECT_TRUE(win.Loop().StrKOn);
    EXPECT_FALSE(win.Loop().TotKOn);
    ClickTool("StreckeFButton");
    EXPECT_TRUE(Get<QRadioButton>("OptionOnButton")->isChecked());
    EXPECT_TRUE(win.Loop().TotKOn);
    QTest::mouseClick(Get<QRadioButton>("OptionOffButton"), Qt::LeftButton);
    EXPECT_FALSE(win.Loop().TotKOn);
    EXPECT_TRUE(win.Loop().StrKOn); // only the named flag changes

    QTest::mouseClick(Get<QRadioButton>("ARWUOnButton"), Qt::LeftButton);
    EXPECT_TRUE(win.Loop().ARWUOn);
    win.ResetClick();
    EXPECT_TRUE(win.Loop().ARWUOn);
    EXPECT_FALSE(win.Loop().StrKOn);
}

TEST_F(OperatorTest, StartStopResetAndKeys)
{
    TKavlonMain &win = ShownWindow(900, 600);
    win.activateWindow();
    ClickTool("StartButton");
    EXPECT_TRUE(win.Running());
    EXPECT_EQ(Item("StartStop")->text(), QStringLiteral("&Stop"));
    EXPECT_FALSE(Get<QWidget>("StartButton")->isEnabled());
    EXPECT_TRUE(Get<QWidget>("StopButton")->isEnabled());
    for (int i = 0; i < 3; ++i)
        win.ActionOnTimer();
    EXPECT_EQ(win.SimulationTimer().interval(), 1000);
    // The period is kept exactly, not rounded to suit the system's wake-ups.
    EXPECT_EQ(win.SimulationTimer().timerType(), Qt::PreciseTimer);

    // Escape resets and keeps running; the next tick comes after 100 ms.
    QTest::keyClick(&win, Qt::Key_Escape);
    EXPECT_EQ(win.Loop().TickCount, 0);
    EXPECT_EQ(win.Loop().x, 0);
    EXPECT_TRUE(win.Running());
    EXPECT_EQ(win.SimulationTimer().interval(), 100);
    EXPECT_EQ(win.Loop().w, 500);

    // Space stops, even with a read-out focused, and the read-out sees it too.
    auto *readOut = Get<QLineEdit>("Sollwert");
    readOut->setFocus();
    QTest::keyClick(readOut, Qt::Key_Space);
    EXPECT_FALSE(win.Running());
    EXPECT_EQ(Item("StartStop")->text(), QStringLiteral("&Start"));
    QTest::keyClick(readOut, Qt::Key_Space);
    EXPECT_TRUE(win.Running());
    // The focused control still gets the key: space also selects a radio button.
    auto *hand = Get<QRadioButton>("HandButton");
    hand->setFocus();
    QTest::keyClick(hand, Qt::Key_Space);
    EXPECT_FALSE(win.Running());
    EXPECT_TRUE(hand->isChecked());
    EXPECT_TRUE(win.Loop().HandMode);
    Item("StartStop")->trigger();
    EXPECT_TRUE(win.Running());
    Item("StartStop")->trigger();
    EXPECT_FALSE(win.Running());
    EXPECT_TRUE(Get<QWidget>("StartButton")->isEnabled());
    EXPECT_FALSE(Get<QWidget>("StopButton")->isEnabled());

    // A plant selection stops a running loop and resets it, the same plant too.
    ClickTool("StartButton");
    win.ActionOnTimer();
    ClickTool("StreckeAButton");
    EXPECT_FALSE(win.Running());
    EXPECT_EQ(win.Loop().TickCount, 0);
    EXPECT_EQ(Item("StartStop")->text(), QStringLiteral("&Start"));
    EXPECT_TRUE(Get<QToolButton>("StreckeAButton")->isChecked());
}

TEST_F(OperatorTest, SpaceAndEscapeCountWhileAnotherKeyIsHeld)
{
    TKavlonMain &win = ShownWindow(900, 600);
    win.activateWindow();
    QApplication::setActiveWindow(&win);
    auto *readOut = Get<QLineEdit>("Sollwert");
    readOut->setFocus();
    // Shift held: Shift+Space is still the space character.
    QTest::keyPress(readOut, Qt::Key_Shift);
    QTest::keyClick(readOut, Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_TRUE(win.Running());
    QTest::keyRelease(readOut, Qt::Key_Shift);
    // Fast typing: the next key goes down before the last one comes up.
    win.ActionOnTimer();
    QTest::keyPress(readOut, Qt::Key_A);
    QTest::keyPress(readOut, Qt::Key_Escape);
    EXPECT_EQ(win.Loop().TickCount, 0);
    EXPECT_TRUE(win.Running());
    QTest::keyPress(readOut, Qt::Key_Space);
    EXPECT_FALSE(win.Running());
    QTest::keyRelease(readOut, Qt::Key_Space);
    QTest::keyRelease(readOut, Qt::Key_Escape);
    QTest::keyRelease(readOut, Qt::Key_A);
    // One press, one toggle, however far it travels up the parents.
    QTest::keyClick(readOut, Qt::Key_Space);
    EXPECT_TRUE(win.Running());
    EXPECT_EQ(Item("StartStop")->text(), QStringLiteral("&Stop"));
}

TEST_F(OperatorTest, KeysForTheMenuBarStayWithTheMenu)
{
    TKavlonMain &win = ShownWindow(900, 600);
    win.activateWindow();
    QApplication::setActiveWindow(&win);
    auto *readOut = Get<QLineEdit>("Sollwert");
    readOut->setFocus();
    ClickTool("StartButton");
    win.ActionOnTimer();
    // Alt puts the menu bar into keyboard mode; Escape leaves it again.
    QTest::keyClick(readOut, Qt::Key_Alt);
    if (!win.style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation))
        GTEST_SKIP() << "this style has no keyboard mode for the menu bar";
    ASSERT_EQ(QApplication::focusWidget(), static_cast<QWidget *>(win.menuBar()));
    QTest::keyClick(win.menuBar(), Qt::Key_Escape);
    EXPECT_EQ(win.Loop().TickCount, 1);
    EXPECT_TRUE(win.Running());
    // Back in the window, the keys work as before.
    ASSERT_EQ(QApplication::focusWidget(), readOut);
    QTest::keyClick(readOut, Qt::Key_Escape);
    EXPECT_EQ(win.Loop().TickCount, 0);
    QTest::keyClick(readOut, Qt::Key_Space);
    EXPECT_FALSE(win.Running());
}

TEST_F(OperatorTest, PreferenceCommands)
{
    TKavlonMain &win = Window();
    ClickTool("StartButton");
    win.ActionOnTimer();
    Item("BackgroundColor")->trigger();
    EXPECT_EQ(win.Charts().BackColor(), 0u);
    EXPECT_EQ(Item("BackgroundColor")->text(), QStringLiteral("&Hintergrundfarbe weiss"));
    EXPECT_EQ(Stored("Hintergrundfarbe").toInt(), 0);
    EXPECT_EQ(win.Loop().TickCount, 0);
    EXPECT_EQ(Get<BevelPanel>("ReglerPanel")->Color(), QColor(Qt::black));
    win.ActionOnTimer();
    Item("BackgroundColor")->trigger();
    EXPECT_EQ(win.Charts().BackColor(), 0xFFFFFFu);
    EXPECT_EQ(Item("BackgroundColor")->text(), QStringLiteral("&Hintergrundfarbe schwarz"));
    EXPECT_EQ(Stored("Hintergrundfarbe").toInt(), 0xFFFFFF);
    EXPECT_EQ(win.Loop().TickCount, 0);
    EXPECT_TRUE(win.Running());

    // Print colour: stored, captioned, and nothing else touched.
    win.ActionOnTimer();
    const QImage before = win.Charts().ReglerImage();
    Item("ExportColor")->trigger();
    EXPECT_FALSE(win.PrintInColor());
    EXPECT_EQ(Item("ExportColor")->text(), QStringLiteral("&Druck in Farbe"));
    EXPECT_EQ(Stored("Druckausgabe").toString(), QStringLiteral("0"));
    EXPECT_EQ(win.Loop().TickCount, 1);
    EXPECT_EQ(win.Charts().ReglerImage(), before);
    Item("ExportColor")->trigger();
    EXPECT_EQ(Stored("Druckausgabe").toString(), QStringLiteral("1"));

    // The time axis: the same length again still stores and resets.
    for (const auto &[item, length] :
         {std::pair{"Zeitachse180", 180}, std::pair{"Zeitachse300", 300},
          std::pair{"Zeitachse300", 300}, std::pair{"Zeitachse600", 600}}) {
        win.ActionOnTimer();
        Item(item)->trigger();
        EXPECT_EQ(win.Charts().TimeAxisLength(), length);
        EXPECT_TRUE(Item(item)->isChecked());
        EXPECT_EQ(Stored("Zeitachse").toInt(), length);
        EXPECT_EQ(win.Loop().TickCount, 0);
    }
    EXPECT_TRUE(win.Running());
}

TEST_F(OperatorTest, TicksMatchTheEngineAndShowLocaleDecimals)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TKavlonMain &win = Window();
    win.ActionOnTimer();
    EXPECT_EQ(ReadOut("Istwert"), QStringLiteral("0,8"));
    EXPECT_EQ(ReadOut("Stellgroesse"), QStringLiteral("100"));
    EXPECT_EQ(win.Loop().TickCount, 1);

    // A reference loop run by the engine alone, with the same operator changes.
    LoopState ref = win.Loop();
    for (int t = 1; t < 400; ++t) {
        if (t == 100) {
            Spin("SollwertUpDown", SpinDirection::Left, 4);
            Spin("StoergroesseUpDown", SpinDirection::Right, 3);
            ref.w = 400;
            ref.Z = 30;
        }
        if (t == 250) {
            Spin("VorhaltezeitUpDown", SpinDirection::Right, 5);
            ref.Tv = 0.5L;
        }
        win.ActionOnTimer();
        LoopTick(ref);
    }
    EXPECT_EQ(win.Loop().x, ref.x);
    EXPECT_EQ(win.Loop().y, ref.y);
    EXPECT_EQ(win.Loop().TickCount, 400);
    EXPECT_EQ(ReadOut("Istwert"), FormatFixed(ref.x, 1, QLocale()));
    EXPECT_EQ(ReadOut("Stellgroesse"), FormatFixed(ref.y, 0, QLocale()));
    EXPECT_TRUE(ReadOut("Istwert").contains(QLatin1Char(',')));
    QLocale::setDefault(QLocale::c());
}

TEST_F(OperatorTest, HelpCommandsOpenTheirTopics)
{
    TKavlonMain &win = ShownWindow(900, 600);
    auto current = [] {
        return HelpViewer::Instance() ? HelpViewer::Instance()->CurrentContext() : -1;
    };

    Item("GeneralHelp")->trigger();
    EXPECT_EQ(current(), 1001);
    Item("HelpOnController")->trigger();
    EXPECT_EQ(current(), 1010);
    ClickTool("StreckeEButton");
    Item("HelpOnCourse")->trigger();
    EXPECT_EQ(current(), 1105);
    ClickTool("HelpButton");
    EXPECT_EQ(current(), 1001);

    // Right button on the plant title or chart: the plant's topic.
    QTest::mouseClick(Get<QWidget>("RegelstreckeImage"), Qt::RightButton);
    EXPECT_EQ(current(), 1105);
    ClickTool("HelpButton");
    QTest::mouseClick(Get<QWidget>("ReglerLabelPanel"), Qt::RightButton);
    EXPECT_EQ(current(), 1010);
    // The left and middle buttons never open help.
    ClickTool("HelpButton");
    QTest::mouseClick(Get<QWidget>("ReglerImage"), Qt::LeftButton);
    QTest::mouseClick(Get<QWidget>("RegelstreckeLabelPanel"), Qt::MiddleButton);
    EXPECT_EQ(current(), 1001);
    // In manual mode the controller's help does nothing at all.
    QTest::mouseClick(Get<QRadioButton>("HandButton"), Qt::LeftButton);
    Item("HelpOnController")->trigger();
    QTest::mouseClick(Get<QWidget>("ReglerImage"), Qt::RightButton);
    EXPECT_EQ(current(), 1001);

    Item("HelpOnHelp")->trigger();
    EXPECT_EQ(current(), 0);
    Item("HelpIndex")->trigger();
    ASSERT_NE(HelpViewer::Instance(), nullptr);
    EXPECT_TRUE(HelpViewer::Instance()->FinderShown());

    // Closing the main window closes the viewer and stops the loop.
    ClickTool("StartButton");
    ClickTool("ExitButton");
    EXPECT_EQ(HelpViewer::Instance(), nullptr);
    EXPECT_FALSE(win.Running());
    EXPECT_FALSE(win.Store().IsOpen());
    // The timer is released: not even a restarted timer reaches the tick.
    const auto ticks = win.Loop().TickCount;
    win.SimulationTimer().start(0);
    QTest::qWait(20);
    EXPECT_EQ(win.Loop().TickCount, ticks);
}

TEST_F(OperatorTest, ShortcutsReachTheMenuEvenFromAFocusedReadOut)
{
    TKavlonMain &win = ShownWindow(900, 600);
    win.activateWindow();
    QApplication::setActiveWindow(&win);
    auto *readOut = Get<QLineEdit>("Interval");
    readOut->setFocus();
    int copies = 0;
    QObject::connect(Item("Copy"), &QAction::triggered, [&copies] { ++copies; });
    QTest::keyClick(readOut, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies, 1);
    QTest::keyClick(readOut, Qt::Key_F1);
    ASSERT_NE(HelpViewer::Instance(), nullptr);
    EXPECT_EQ(HelpViewer::Instance()->CurrentContext(), 1001);
    win.close();
}

} // namespace
} // namespace kavlon::test
