#include "app/KeyPreview.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace kavlon {
namespace {

// A window with a plain child (which ignores keys, so they travel on to the
// window) and a read-out, previewed from construction on.
struct PreviewedWindow {
    explicit PreviewedWindow(QList<QKeySequence> shortcuts = {})
        : preview(&window, std::move(shortcuts), [this](QChar key) { seen += key; })
    {
        auto *layout = new QVBoxLayout(&window);
        child = new QWidget(&window);
        grandChild = new QWidget(child);
        readOut = new QLineEdit(QStringLiteral("500"), &window);
        readOut->setReadOnly(true);
        layout->addWidget(child);
        layout->addWidget(readOut);
        preview.Start();
    }

    QWidget window;
    QWidget *child = nullptr;
    QWidget *grandChild = nullptr;
    QLineEdit *readOut = nullptr;
    QString seen;
    KeyPreview preview;
};

TEST(KeyPreview, ReportsEachPressOnceWhereverItTravels)
{
    PreviewedWindow w;
    QTest::keyClick(w.grandChild, Qt::Key_Space);
    QTest::keyClick(w.child, Qt::Key_A);
    QTest::keyClick(&w.window, Qt::Key_Escape);
    // Keys without a character of their own are not reported.
    QTest::keyClick(w.grandChild, Qt::Key_F2);
    QTest::keyClick(w.grandChild, Qt::Key_Shift);
    EXPECT_EQ(w.seen, QStringLiteral(" a") + QChar(27));
}

TEST(KeyPreview, PressesWithoutReleasesInBetweenAllCount)
{
    PreviewedWindow w;
    // A key held down repeats; another key goes down before the last comes up.
    QTest::keyPress(w.grandChild, Qt::Key_Space);
    QTest::keyPress(w.grandChild, Qt::Key_Space);
    QTest::keyPress(w.grandChild, Qt::Key_Escape);
    QTest::keyPress(w.grandChild, Qt::Key_Escape);
    QTest::keyPress(w.child, Qt::Key_Space);
    EXPECT_EQ(w.seen, QStringLiteral("  ") + QChar(27) + QChar(27) + QChar(u' '));
    QTest::keyRelease(w.grandChild, Qt::Key_Escape);
    QTest::keyRelease(w.grandChild, Qt::Key_Space);
}

TEST(KeyPreview, OtherWindowsAndAStoppedPreviewReportNothing)
{
    PreviewedWindow w;
    QWidget other;
    QWidget otherChild(&other);
    QTest::keyClick(&otherChild, Qt::Key_Space);
    QTest::keyClick(&other, Qt::Key_Escape);
    EXPECT_TRUE(w.seen.isEmpty());

    w.preview.Stop();
    QTest::keyClick(w.child, Qt::Key_Space);
    EXPECT_TRUE(w.seen.isEmpty());
    w.preview.Start();
    QTest::keyClick(w.child, Qt::Key_Space);
    EXPECT_EQ(w.seen, QStringLiteral(" "));
}

TEST(KeyPreview, OnlyTheMenuShortcutsWinOverAFocusedReadOut)
{
    struct Row {
        QList<QKeySequence> shortcuts;
        bool copyReachesTheMenu;
    };
    const Row rows[] = {
        {{QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::Key_F1)}, true},
        {{QKeySequence(Qt::CTRL | Qt::Key_P)}, false}, // the read-out keeps its copy key
        {{}, false},
    };
    for (const Row &r : rows) {
        PreviewedWindow w(r.shortcuts);
        QAction copy(&w.window);
        copy.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
        w.window.addAction(&copy);
        int copies = 0;
        QObject::connect(&copy, &QAction::triggered, [&copies] { ++copies; });
        w.window.show();
        QApplication::setActiveWindow(&w.window);
        w.readOut->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
        QTest::keyClick(w.readOut, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(copies, r.copyReachesTheMenu ? 1 : 0) << r.shortcuts.size();
    }
}

} // namespace
} // namespace kavlon
