#include "tests/app/AppTestSupport.h"

#include "app/BevelPanel.h"
#include "app/ChartView.h"
#include "app/ToolBarPictures.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

namespace kavlon::test {
namespace {

using WindowLayoutTest = TempStoreTest;

QRect Geometry(QWidget *w) { return w ? w->geometry() : QRect(); }

TEST_F(WindowLayoutTest, ClientAreaOf1000x700)
{
    ShownWindow(1000, 700);
    EXPECT_EQ(Geometry(Get<QWidget>("ControlPanel")), QRect(115, 555, 769, 137));
    EXPECT_EQ(Geometry(Get<QWidget>("ToolBar")), QRect(0, 0, 1000, 33));
    EXPECT_EQ(Geometry(Get<QWidget>("ReglerLabelPanel")), QRect(8, 32, 984, 33));
    EXPECT_EQ(Geometry(Get<QWidget>("ReglerPanel")), QRect(8, 65, 984, 220));
    EXPECT_EQ(Geometry(Get<QWidget>("ReglerImage")), QRect(2, 2, 980, 216));
    EXPECT_EQ(Geometry(Get<QWidget>("RegelstreckeLabelPanel")), QRect(8, 294, 984, 33));
    EXPECT_EQ(Geometry(Get<QWidget>("RegelstreckePanel")), QRect(8, 327, 984, 220));
    EXPECT_EQ(Geometry(Get<QWidget>("RegelstreckeImage")), QRect(2, 2, 980, 216));
    // 8 pixels between the plant chart panel and the control panel.
    EXPECT_EQ(555 - (327 + 220), 8);
    // The charts got bitmaps of exactly the image size.
    EXPECT_EQ(Window().Charts().ReglerImage().size(), QSize(980, 216));
    EXPECT_EQ(Window().Charts().RegelstreckeImage().size(), QSize(980, 216));
}

TEST_F(WindowLayoutTest, ResizeRulesForOddAndNarrowWidths)
{
    struct Row {
        int cw, ch;
        int panelLeft;
        int h; // chart panel height
    };
    const Row rows[] = {
        {1000, 700, 115, 220},
        {767, 600, -1, 170}, // (356 div 2) - 8
        {768, 601, 0, 170},  // 357 div 2 truncates
        {1920, 1000, 575, 370},
    };
    for (const Row &r : rows) {
        ShownWindow(r.cw, r.ch);
        EXPECT_EQ(Get<QWidget>("ControlPanel")->pos(), QPoint(r.panelLeft, r.ch - 145)) << r.cw;
        EXPECT_EQ(Get<QWidget>("ReglerPanel")->height(), r.h) << r.cw;
        EXPECT_EQ(Get<QWidget>("RegelstreckeLabelPanel")->y(), r.h + 74) << r.cw;
        EXPECT_EQ(Get<QWidget>("RegelstreckePanel")->geometry(),
                  QRect(8, r.h + 107, r.cw - 16, r.h));
    }
}

TEST_F(WindowLayoutTest, TinyWindowsNeitherCrashNorDivideAndComeBackWhole)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    win.StartStopClick();
    const QSize sizes[] = {{0, 0}, {1, 1}, {100, 100}, {700, 244}, {769, 260}, {90, 300}};
    for (const QSize &s : sizes) {
        win.resize(s.width(), s.height() + win.menuBar()->height());
        QCoreApplication::processEvents();
        // A few ticks on whatever the charts got.
        for (int i = 0; i < 5; ++i)
            win.ActionOnTimer();
        const QImage &a = win.Charts().ReglerImage();
        const QImage &b = win.Charts().RegelstreckeImage();
        EXPECT_EQ(a.size(), b.size());
        EXPECT_GE(win.Charts().ImageWidth(), 0);
        EXPECT_GE(win.Charts().ImageHeight(), 0);
        win.repaint();
    }
    SetClientSize(1000, 700);
    EXPECT_EQ(Geometry(Get<QWidget>("ReglerImage")), QRect(2, 2, 980, 216));
    EXPECT_EQ(Geometry(Get<QWidget>("RegelstreckePanel")), QRect(8, 327, 984, 220));
    EXPECT_EQ(win.Charts().ReglerImage().size(), QSize(980, 216));
    EXPECT_TRUE(win.Running());
}

TEST_F(WindowLayoutTest, EverySizeChangeRestartsTheLoopFromRestAndKeepsTheRunState)
{
    struct Row {
        QSize client;
        bool running;
    };
    const Row rows[] = {
        {{1000, 701}, true}, // one pixel taller
        {{1001, 701}, true}, // one pixel wider
        {{800, 500}, false}, {{1200, 900}, false}, {{1000, 700}, true},
    };
    TKavlonMain &win = ShownWindow(1000, 700);
    Spin("SollwertUpDown", SpinDirection::Left, 2);
    Spin("StoergroesseUpDown", SpinDirection::Right);
    Spin("VorhaltezeitUpDown", SpinDirection::Right, 3);
    for (const Row &r : rows) {
        if (win.Running() != r.running)
            ClickTool(r.running ? "StartButton" : "StopButton");
        for (int i = 0; i < 4; ++i)
            win.ActionOnTimer();
        ASSERT_GT(win.Loop().x, 0);
        SetClientSize(r.client.width(), r.client.height());
        const std::string row =
            std::to_string(r.client.width()) + "x" + std::to_string(r.client.height());
        EXPECT_EQ(win.Loop().TickCount, 0) << row;
        EXPECT_EQ(win.Loop().x, 0) << row;
        EXPECT_EQ(win.Loop().y, 0) << row;
        EXPECT_EQ(win.Loop().yi, 0) << row;
        EXPECT_EQ(win.Running(), r.running) << row;
        EXPECT_EQ(win.Loop().w, 450) << row;
        EXPECT_EQ(win.Loop().Z, 10) << row;
        EXPECT_EQ(win.Loop().Tv, 0.3L) << row;
        EXPECT_EQ(win.Loop().Kr, 4) << row;
        EXPECT_EQ(win.Loop().Tn, 45) << row;
        EXPECT_EQ(win.SimulationTimer().interval(), 100) << row;
        EXPECT_EQ(win.Charts().ReglerImage().size(), win.Charts().RegelstreckeImage().size())
            << row;
    }
}

TEST_F(WindowLayoutTest, ControlsHaveTheirNamesPositionsFontsAndCaptions)
{
    Window();
    struct Row {
        const char *name;
        QRect geometry;
        int fontPixels;
    };
    const Row rows[] = {
        {"IstwertPanel", {8, 8, 145, 57}, 11},    {"SpeedPanel", {464, 72, 145, 57}, 11},
        {"SwitchPanel", {616, 8, 145, 41}, 11},   {"OptionPanel", {616, 96, 145, 33}, 11},
        {"Istwert", {88, 14, 49, 27}, 16},        {"Sollwert", {104, 5, 33, 23}, 12},
        {"Stoergroesse", {104, 4, 33, 23}, 12},   {"Verstaerkung", {104, 4, 33, 23}, 12},
        {"SollwertUpDown", {9, 32, 128, 17}, 12}, {"SpeedUpDown", {8, 32, 129, 17}, 12},
        {"ReglerButton", {16, 12, 57, 17}, 12},   {"HandButton", {80, 12, 57, 17}, 12},
        {"ARWULabel", {8, 8, 41, 16}, 12},        {"OptionOnButton", {96, 8, 41, 17}, 12},
        {"StreckeGButton", {200, 2, 25, 23}, 11}, {"HelpButton", {300, 2, 25, 23}, 11},
    };
    for (const Row &r : rows) {
        auto *w = Get<QWidget>(r.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), r.geometry) << r.name;
        EXPECT_EQ(w->font().pixelSize(), r.fontPixels) << r.name;
    }
    EXPECT_TRUE(Get<QWidget>("Istwert")->font().bold());
    EXPECT_EQ(Get<QLabel>("IstwertLabel")->pos(), QPoint(8, 18));
    EXPECT_EQ(Get<QLabel>("StellgroesseLabel")->text(), QString::fromUtf8("Stellgrösse y:"));
    EXPECT_EQ(Get<QLabel>("VerstaerkungLabel")->text(), QString::fromUtf8("Verstärkung Kr:"));
    EXPECT_EQ(Get<QRadioButton>("ARWUOffButton")->text(), QStringLiteral("Aus"));
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Kavlon 2"));
    EXPECT_EQ(Window().property("helpContext").toInt(), 1001);
    EXPECT_EQ(Get<QWidget>("RegelstreckePanel")->property("helpContext").toInt(), 1020);
    EXPECT_EQ(Get<BevelPanel>("ReglerLabelPanel")->font().pixelSize(), 16);
}

TEST_F(WindowLayoutTest, ToolBarHasThirteenButtonsWithHints)
{
    Window();
    const char *names[] = {"ExitButton",     "PrintButton",    "StreckeAButton", "StreckeBButton",
                           "StreckeCButton", "StreckeDButton", "StreckeEButton", "StreckeFButton",
                           "StreckeGButton", "StartButton",    "StopButton",     "ResetButton",
                           "HelpButton"};
    for (int i = 0; i < 13; ++i) {
        auto *b = Get<QToolButton>(names[i]);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->x(), 25 * i) << names[i];
        EXPECT_FALSE(b->toolTip().isEmpty()) << names[i];
        EXPECT_EQ(b->icon().actualSize(QSize(20, 20)), QSize(20, 20)) << names[i];
        EXPECT_EQ(b->isCheckable(), i >= 2 && i <= 8) << names[i];
    }
    EXPECT_EQ(Get<QToolButton>("StartButton")->toolTip(),
              QString::fromUtf8("Regelkreis-Berechnung starten (Alternative: Leertaste drücken)"));
    EXPECT_EQ(Get<QToolButton>("StreckeGButton")->toolTip(),
              QStringLiteral("PT2 - Regelstrecke mit Totzeit und 80% Kompensation"));
}

TEST_F(WindowLayoutTest, EveryPlantHasItsButtonAndMenuItem)
{
    struct Row {
        const char *button;
        int left;
        ToolPicture letter;
        const char *hint;
        const char *menuItem;
        const char *caption;
        int help;
    };
    const Row rows[] = {
        {"StreckeAButton", 50, ToolPicture::LetterA, "PT3 - Regelstrecke", "PT3Prozess", "&A: PT3",
         1101},
        {"StreckeBButton", 75, ToolPicture::LetterB, "PT3 - Regelstrecke mit Totzeit", "PT3Totzeit",
         "&B: PT3 mit Totzeit", 1102},
        {"StreckeCButton", 100, ToolPicture::LetterC, "Nichtlineare PT3 - Temperatur-Regelstrecke",
         "PT3Temperatur", "&C: PT3-Temperatur", 1103},
        {"StreckeDButton", 125, ToolPicture::LetterD, "PT2 - Regelstrecke", "PT2Prozess", "&D: PT2",
         1104},
        {"StreckeEButton", 150, ToolPicture::LetterE, "PT2 - Regelstrecke mit Integralglied",
         "PT2Integral", "&E: PT2 mit Integralglied", 1105},
        {"StreckeFButton", 175, ToolPicture::LetterF,
         "PT2 - Regelstrecke mit Totzeit und Kompensation", "PT2TotzeitKomp",
         "&F: PT2 mit Totzeitkompensation", 1106},
        {"StreckeGButton", 200, ToolPicture::LetterG,
         "PT2 - Regelstrecke mit Totzeit und 80% Kompensation", "PT2Totzeit80Komp",
         "&G: PT2 mit 80% Totzeitkompensation", 1107},
    };
    Window();
    for (const Row &r : rows) {
        auto *button = Get<QToolButton>(r.button);
        QAction *item = Item(r.menuItem);
        ASSERT_TRUE(button && item) << r.button;
        EXPECT_EQ(button->geometry(), QRect(r.left, 2, 25, 23)) << r.button;
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(r.hint)) << r.button;
        EXPECT_EQ(button->icon().pixmap(ToolPictureSize).toImage(),
                  DrawToolPicture(r.letter).toImage())
            << r.button;
        EXPECT_EQ(item->text(), QString::fromLatin1(r.caption)) << r.menuItem;
        EXPECT_EQ(item->property("helpContext").toInt(), r.help) << r.menuItem;
        // Plant A is selected at start, on the tool bar and in the menu.
        const bool first = r.left == 50;
        EXPECT_EQ(button->isChecked(), first) << r.button;
        EXPECT_EQ(item->isChecked(), first) << r.menuItem;
    }
}

TEST_F(WindowLayoutTest, MenuTreeWithAccessKeysShortcutsAndRadioGroups)
{
    TKavlonMain &win = Window();
    QStringList top;
    for (QAction *a : win.menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, (QStringList{QStringLiteral("Regelstrecken-&Auswahl"), QStringLiteral("&Start"),
                                QStringLiteral("&Reset"), QStringLiteral("Aus&gabe"),
                                QStringLiteral("&Optionen"), QStringLiteral("A&uswertung"),
                                QStringLiteral("&Versuch"), QStringLiteral("&Hilfe")}));
    EXPECT_EQ(Item("StartStop")->toolTip(), QString::fromUtf8("Leertaste drücken"));
    EXPECT_EQ(Item("Copy")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(Item("Print")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(Item("GeneralHelp")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(Item("PT2Totzeit80Komp")->text(),
              QStringLiteral("&G: PT2 mit 80% Totzeitkompensation"));
    EXPECT_EQ(Item("PT3Temperatur")->property("helpContext").toInt(), 1103);
    EXPECT_EQ(Item("AboutIt")->text(), QStringLiteral("Ueber &Kavlon 2"));
    EXPECT_TRUE(Item("N2")->isSeparator());

    // The plant items are one radio group, the time-axis items another.
    ASSERT_NE(Item("PT3Prozess")->actionGroup(), nullptr);
    EXPECT_EQ(Item("PT3Prozess")->actionGroup(), Item("PT2Prozess")->actionGroup());
    EXPECT_EQ(Item("Zeitachse600")->actionGroup(), Item("Zeitachse180")->actionGroup());
    EXPECT_NE(Item("Zeitachse600")->actionGroup(), Item("PT3Prozess")->actionGroup());
    EXPECT_FALSE(Item("BackgroundColor")->isCheckable());
}

TEST_F(WindowLayoutTest, TabOrderFollowsTheLayout)
{
    Window();
    const char *expected[] = {"Istwert",         "Sollwert",      "Stellgroesse",  "Stoergroesse",
                              "Nachstellzeit",   "Vorhaltezeit",  "Verstaerkung",  "Interval",
                              "HandButton",      "ReglerButton",  "ARWUOffButton", "ARWUOnButton",
                              "OptionOffButton", "OptionOnButton"};
    QWidget *w = Get<QWidget>(expected[0]);
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        // Skip what cannot take focus from the keyboard.
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        EXPECT_EQ(w->objectName(), QString::fromLatin1(expected[i]));
    }
}

} // namespace
} // namespace kavlon::test
