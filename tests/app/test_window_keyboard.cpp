// Every value from the keyboard: Tab reaches each value's arrows, the keys
// act as arrow clicks, and space and Escape keep their meaning throughout.
#include "tests/app/AppTestSupport.h"

#include "app/HelpViewer.h"

#include <QApplication>
#include <QRadioButton>

namespace kavlon::test {
namespace {

class WindowKeyboardTest : public TempStoreTest {
protected:
    // The widget that has the keyboard, after the window took it.
    QWidget *Focused() { return QApplication::focusWidget(); }
    void Press(Qt::Key key) { QTest::keyClick(Focused(), key); }
    // Tabs from where the focus is until `target` has it; false if it never does.
    bool TabTo(QWidget *target)
    {
        for (int i = 0; i < 60 && Focused() != target; ++i)
            Press(Qt::Key_Tab);
        return Focused() == target;
    }
};

TEST_F(WindowKeyboardTest, TabReachesEveryEnabledValueAndItsKeysAreArrowClicks)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    win.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&win));
    ASSERT_NE(Focused(), nullptr);
    // At start no value shows a focus frame: the window looks as it always did.
    for (const SpinArrows *spin : win.findChildren<SpinArrows *>())
        EXPECT_FALSE(spin->FocusFrame()->isVisible()) << spin->objectName().toStdString();
    TKavlonMain twin;
    twin.show();
    win.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&win));

    const struct {
        const char *spin;
        const char *readOut;
    } rows[] = {
        {"SollwertUpDown", "Sollwert"},           {"StoergroesseUpDown", "Stoergroesse"},
        {"NachstellzeitUpDown", "Nachstellzeit"}, {"VorhaltezeitUpDown", "Vorhaltezeit"},
        {"VerstaerkungUpDown", "Verstaerkung"},   {"SpeedUpDown", "Interval"},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(r.spin);
        auto *spin = Get<SpinArrows>(r.spin);
        auto *readOut = Get<QLineEdit>(r.readOut);
        ASSERT_TRUE(TabTo(readOut));
        EXPECT_TRUE(spin->FocusFrame()->isVisible());
        // The same steps as keys here and as arrow clicks on a twin window
        // give the same values, step by step.
        auto *twinSpin = twin.findChild<SpinArrows *>(QString::fromLatin1(r.spin));
        auto *twinReadOut = twin.findChild<QLineEdit *>(QString::fromLatin1(r.readOut));
        ASSERT_TRUE(twinSpin && twinReadOut);
        const struct {
            Qt::Key key;
            QToolButton *arrow;
            int clicks;
        } steps[] = {
            {Qt::Key_Up, twinSpin->RightArrow(), 1},
            {Qt::Key_Plus, twinSpin->RightArrow(), 1},
            {Qt::Key_Down, twinSpin->LeftArrow(), 1},
            {Qt::Key_PageUp, twinSpin->RightArrow(), SpinArrows::PageClicks},
            {Qt::Key_Minus, twinSpin->LeftArrow(), 1},
            {Qt::Key_PageDown, twinSpin->LeftArrow(), SpinArrows::PageClicks},
            {Qt::Key_PageDown, twinSpin->LeftArrow(), SpinArrows::PageClicks},
        };
        const QString start = ReadOut(r.readOut);
        ASSERT_EQ(twinReadOut->text(), start);
        QStringList seen;
        for (const auto &step : steps) {
            Press(step.key);
            for (int i = 0; i < step.clicks; ++i)
                QTest::mouseClick(step.arrow, Qt::LeftButton);
            EXPECT_EQ(ReadOut(r.readOut), twinReadOut->text()) << step.key;
            seen << ReadOut(r.readOut);
        }
        seen.removeDuplicates();
        EXPECT_GE(seen.size(), 3) << seen.join(u' ').toStdString();
        // The mouse clicks left the keyboard where it was.
        EXPECT_EQ(Focused(), readOut);
        Press(Qt::Key_Tab);
        EXPECT_FALSE(spin->FocusFrame()->isVisible());
    }

    // The arrows of y are disabled in controller mode and so are its keys;
    // in manual mode they work like the others.
    EXPECT_FALSE(Get<SpinArrows>("StellgroesseUpDown")->isEnabled());
    ASSERT_TRUE(TabTo(Get<QLineEdit>("Stellgroesse")));
    EXPECT_FALSE(Get<SpinArrows>("StellgroesseUpDown")->FocusFrame()->isVisible());
    const QString y0 = ReadOut("Stellgroesse");
    Press(Qt::Key_PageUp);
    EXPECT_EQ(ReadOut("Stellgroesse"), y0);
    // Switched to manual mode meanwhile:
    // the read-out keeps the focus and its arrows come alive with a frame.
    Get<QRadioButton>("HandButton")->setChecked(true);
    ASSERT_TRUE(Get<SpinArrows>("StellgroesseUpDown")->isEnabled());
    EXPECT_EQ(Focused(), Get<QLineEdit>("Stellgroesse"));
    EXPECT_TRUE(Get<SpinArrows>("StellgroesseUpDown")->FocusFrame()->isVisible());
    Press(Qt::Key_PageUp);
    EXPECT_NE(ReadOut("Stellgroesse"), y0);
}

TEST_F(WindowKeyboardTest, SpaceAndEscapeKeepTheirMeaningOnAFocusedValue)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    win.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&win));
    auto *spin = Get<QLineEdit>("Sollwert");
    ASSERT_TRUE(TabTo(spin));
    const QString w = ReadOut("Sollwert");

    Press(Qt::Key_Space);
    EXPECT_TRUE(win.Running());
    for (int i = 0; i < 5; ++i)
        win.ActionOnTimer();
    Press(Qt::Key_Space);
    EXPECT_FALSE(win.Running());
    EXPECT_EQ(ReadOut("Sollwert"), w);
    EXPECT_GT(win.Loop().TickCount, 0);

    Press(Qt::Key_Escape);
    EXPECT_EQ(win.Loop().TickCount, 0);
    EXPECT_EQ(Focused(), spin);
}

// Help opened from the window leaves the keyboard with the window and the
// newest data in view.
TEST_F(WindowKeyboardTest, HelpOpensBesideTheNewestDataAndLeavesTheKeyboard)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    win.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&win));
    struct Quit {
        ~Quit() { HelpViewer::Call(nullptr, QString(), HelpCommand::Quit, 0); }
    } quit;

    const char *commands[] = {"GeneralHelp", "HelpIndex", "HelpOnHelp", "HelpOnCourse"};
    for (const char *command : commands) {
        SCOPED_TRACE(command);
        Item(command)->trigger();
        QCoreApplication::processEvents();
        HelpViewer *viewer = HelpViewer::Instance();
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->isVisible());
        EXPECT_EQ(QApplication::activeWindow(), &win);

        // Neither chart's newest third is covered.
        for (const char *chart : {"ReglerImage", "RegelstreckeImage"}) {
            auto *view = Get<QWidget>(chart);
            const QRect global(view->mapToGlobal(QPoint(0, 0)), view->size());
            const QRect newest(global.right() - global.width() / 3, global.top(),
                               global.width() / 3, global.height());
            EXPECT_FALSE(viewer->frameGeometry().intersects(newest)) << chart;
        }

        // Space typed now reaches the window: start, then stop.
        QWindow *keyboard = QGuiApplication::focusWindow();
        ASSERT_EQ(keyboard, win.windowHandle());
        QTest::keyClick(keyboard, Qt::Key_Space);
        EXPECT_TRUE(win.Running());
        QTest::keyClick(QGuiApplication::focusWindow(), Qt::Key_Space);
        EXPECT_FALSE(win.Running());
    }
    // Moved by the operator, an open viewer stays where it was put.
    HelpViewer *viewer = HelpViewer::Instance();
    viewer->move(viewer->pos() + QPoint(13, 7));
    const QPoint put = viewer->pos();
    Item("GeneralHelp")->trigger();
    EXPECT_EQ(viewer->pos(), put);

    // From the viewer's own window the operator may take the keyboard there.
    viewer->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(viewer));
}

} // namespace
} // namespace kavlon::test
