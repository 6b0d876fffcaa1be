#include "app/SpinArrows.h"
#include "app/ToolBarPictures.h"

#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <set>

namespace kavlon {
namespace {

TEST(SpinArrows, EachClickIsReportedOnceWithItsDirection)
{
    SpinArrows spin;
    spin.resize(129, 17);
    spin.show();
    QList<SpinDirection> seen;
    QObject::connect(&spin, &SpinArrows::Click, [&seen](SpinDirection d) { seen << d; });
    QTest::mouseClick(spin.RightArrow(), Qt::LeftButton);
    QTest::mouseClick(spin.LeftArrow(), Qt::LeftButton);
    QTest::mouseClick(spin.RightArrow(), Qt::LeftButton);
    EXPECT_EQ(seen, (QList<SpinDirection>{SpinDirection::Right, SpinDirection::Left,
                                          SpinDirection::Right}));
    // The two arrows split the control between them.
    EXPECT_EQ(spin.LeftArrow()->geometry(), QRect(0, 0, 64, 17));
    EXPECT_EQ(spin.RightArrow()->geometry(), QRect(64, 0, 65, 17));
    EXPECT_EQ(spin.LeftArrow()->focusPolicy(), Qt::NoFocus);

    spin.setEnabled(false);
    QTest::mouseClick(spin.RightArrow(), Qt::LeftButton);
    EXPECT_EQ(seen.size(), 3);
}

TEST(SpinArrows, AnArrowHeldDownRepeats)
{
    SpinArrows spin;
    spin.resize(129, 17);
    spin.show();
    int clicks = 0;
    QObject::connect(&spin, &SpinArrows::Click, [&clicks](SpinDirection) { ++clicks; });
    QTest::mousePress(spin.LeftArrow(), Qt::LeftButton);
    QTest::qWait(800);
    QTest::mouseRelease(spin.LeftArrow(), Qt::LeftButton);
    EXPECT_GE(clicks, 3);
}

TEST(SpinArrows, TheReadOutsKeysAreArrowClicks)
{
    QWidget window;
    auto *readOut = new QLineEdit(&window);
    readOut->setReadOnly(true);
    auto *spin = new SpinArrows(&window);
    spin->setGeometry(10, 30, 129, 17);
    spin->TakeKeysFrom(readOut);
    window.show();
    QList<SpinDirection> seen;
    QObject::connect(spin, &SpinArrows::Click, [&seen](SpinDirection d) { seen << d; });
    const auto R = SpinDirection::Right;
    const auto L = SpinDirection::Left;
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int clicks;
        SpinDirection direction;
    } rows[] = {
        {Qt::Key_Up, Qt::NoModifier, 1, R},
        {Qt::Key_Plus, Qt::NoModifier, 1, R},
        {Qt::Key_Plus, Qt::KeypadModifier, 1, R},
        {Qt::Key_Plus, Qt::ShiftModifier, 1, R},
        {Qt::Key_Down, Qt::NoModifier, 1, L},
        {Qt::Key_Minus, Qt::NoModifier, 1, L},
        {Qt::Key_Minus, Qt::KeypadModifier, 1, L},
        {Qt::Key_PageUp, Qt::NoModifier, SpinArrows::PageClicks, R},
        {Qt::Key_PageDown, Qt::NoModifier, SpinArrows::PageClicks, L},
        // Not arrow clicks: left to the read-out and the window.
        {Qt::Key_Space, Qt::NoModifier, 0, R},
        {Qt::Key_Escape, Qt::NoModifier, 0, R},
        {Qt::Key_Left, Qt::NoModifier, 0, R},
        {Qt::Key_Up, Qt::ControlModifier, 0, R},
        {Qt::Key_Up, Qt::ShiftModifier, 0, R},
        {Qt::Key_PageDown, Qt::AltModifier, 0, R},
        {Qt::Key_A, Qt::NoModifier, 0, R},
    };
    for (const auto &r : rows) {
        SCOPED_TRACE(QKeySequence(r.key | r.modifiers).toString().toStdString());
        seen.clear();
        QTest::keyClick(readOut, r.key, r.modifiers);
        EXPECT_EQ(seen.size(), r.clicks);
        EXPECT_EQ(seen.count(r.direction), r.clicks);
    }
    // Disabled arrows take no keys; another widget's keys are not theirs.
    auto *other = new QLineEdit(&window);
    seen.clear();
    QTest::keyClick(other, Qt::Key_Up);
    spin->setEnabled(false);
    QTest::keyClick(readOut, Qt::Key_PageUp);
    EXPECT_TRUE(seen.isEmpty());
    // Handed to another read-out, the first one's keys are its own again.
    spin->setEnabled(true);
    spin->TakeKeysFrom(other);
    QTest::keyClick(readOut, Qt::Key_Up);
    EXPECT_TRUE(seen.isEmpty());
    QTest::keyClick(other, Qt::Key_Up);
    EXPECT_EQ(seen, QList<SpinDirection>{R});
}

TEST(SpinArrows, TheFrameShowsWhileTheReadOutHasTheFocus)
{
    QWidget window;
    auto *first = new QToolButton(&window);
    first->setFocusPolicy(Qt::StrongFocus);
    auto *readOut = new QLineEdit(&window);
    readOut->setReadOnly(true);
    auto *spin = new SpinArrows(&window);
    spin->setGeometry(10, 30, 129, 17);
    spin->TakeKeysFrom(readOut);
    window.resize(200, 80);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    const QImage unfocused = spin->grab().toImage();

    QTest::mouseClick(spin->RightArrow(), Qt::LeftButton);
    EXPECT_TRUE(first->hasFocus());
    EXPECT_FALSE(spin->FocusFrame()->isVisible());

    QTest::keyClick(first, Qt::Key_Tab);
    ASSERT_TRUE(readOut->hasFocus());
    EXPECT_TRUE(spin->FocusFrame()->isVisible());
    const QImage focused = spin->grab().toImage();
    EXPECT_NE(focused, unfocused);
    // The frame is drawn in the selection colour along the edges.
    const QColor highlight = spin->palette().color(QPalette::Active, QPalette::Highlight);
    EXPECT_EQ(focused.pixelColor(0, 8), highlight);
    EXPECT_EQ(focused.pixelColor(128, 8), highlight);
    EXPECT_EQ(focused.pixelColor(64, 0), highlight);

    // The arrows still take clicks under the frame, and leave the keyboard be.
    int clicks = 0;
    QObject::connect(spin, &SpinArrows::Click, [&clicks] { ++clicks; });
    QTest::mouseClick(spin->LeftArrow(), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(readOut->hasFocus());

    // Without the focus the pair looks exactly as before.
    first->setFocus();
    EXPECT_FALSE(spin->FocusFrame()->isVisible());
    EXPECT_EQ(spin->grab().toImage(), unfocused);
}

TEST(ToolPictures, ThirteenDistinctPicturesOfTwentyPixels)
{
    std::set<QByteArray> seen;
    for (int i = 0; i <= static_cast<int>(ToolPicture::Question); ++i) {
        const QImage image = DrawToolPicture(static_cast<ToolPicture>(i)).toImage();
        ASSERT_EQ(image.size(), QSize(20, 20)) << i;
        int opaque = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                opaque += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(opaque, 20) << "picture " << i << " is nearly empty";
        seen.insert(QByteArray(reinterpret_cast<const char *>(image.constBits()),
                               static_cast<qsizetype>(image.sizeInBytes())));
    }
    EXPECT_EQ(seen.size(), 13u);
}

} // namespace
} // namespace kavlon
