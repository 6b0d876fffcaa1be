// The window on a screen with display scaling: the charts follow the
// screen's device pixel ratio, start afresh when it changes, and the
// clipboard picture stays as it is.
#include "tests/app/AppTestSupport.h"

#include "app/ChartView.h"
#include "charts/ChartFrame.h"
#include "charts/Evaluation.h"

#include <QClipboard>
#include <QGuiApplication>

namespace kavlon::test {
namespace {

class ScalingTest : public TempStoreTest {
protected:
    // As if the window moved to a screen of `ratio` (0: back to its own).
    void MoveToScreenOfRatio(qreal ratio)
    {
        for (const char *name : {"ReglerImage", "RegelstreckeImage"})
            Get<ChartView>(name)->SetDisplayRatioForTest(ratio);
        QCoreApplication::processEvents();
    }
    QImage Copied()
    {
        QGuiApplication::clipboard()->clear();
        Item("Copy")->trigger();
        return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(ScalingTest, AnotherRatioRestartsTheChartsAtTheDeviceResolution)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    ASSERT_EQ(win.Charts().PixelRatio(), 1);
    win.StartStopClick();
    for (int i = 0; i < 30; ++i)
        win.ActionOnTimer();
    ASSERT_GT(win.Loop().TickCount, 0);

    MoveToScreenOfRatio(2);
    EXPECT_EQ(win.Charts().PixelRatio(), 2);
    EXPECT_EQ(win.Loop().TickCount, 0) << "from rest, as after a size change";
    EXPECT_TRUE(win.Running());
    EXPECT_EQ(win.Charts().ImageWidth(), 980) << "the size in points stays";
    EXPECT_EQ(win.Charts().ReglerImage().size(), QSize(1960, 432));
    EXPECT_EQ(win.Charts().RegelstreckeImage().size(), QSize(1960, 432));

    // The view shows the image pixel for pixel on a screen of that ratio.
    for (int i = 0; i < 50; ++i)
        win.ActionOnTimer();
    auto *view = Get<ChartView>("RegelstreckeImage");
    QImage screen(1960, 432, QImage::Format_RGB32);
    screen.setDevicePixelRatio(2);
    view->render(&screen);
    screen.setDevicePixelRatio(1);
    QImage image = win.Charts().RegelstreckeImage().copy();
    image.setDevicePixelRatio(1);
    EXPECT_EQ(screen, image);

    // Seen again at the same ratio: nothing restarts.
    const std::int32_t ticks = win.Loop().TickCount;
    MoveToScreenOfRatio(2);
    view->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(win.Loop().TickCount, ticks);

    MoveToScreenOfRatio(0);
    EXPECT_EQ(win.Charts().PixelRatio(), 1);
    EXPECT_EQ(win.Loop().TickCount, 0);
    EXPECT_EQ(win.Charts().ReglerImage().size(), QSize(980, 216));
}

TEST_F(ScalingTest, ARatioBeyondWhatTheChartsDrawRestartsThemOnlyOnce)
{
    // The charts draw at most 8 pixels a point; a screen claiming more must
    // not look like a new ratio at every repaint.
    TKavlonMain &win = ShownWindow(1000, 700);
    win.resize(400, 300);
    QCoreApplication::processEvents();
    MoveToScreenOfRatio(20);
    EXPECT_EQ(win.Charts().PixelRatio(), 8);
    for (int i = 0; i < 5; ++i)
        win.ActionOnTimer();
    for (const char *name : {"ReglerImage", "RegelstreckeImage"})
        Get<ChartView>(name)->repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(win.Loop().TickCount, 5);
}

TEST_F(ScalingTest, AClickPicksTheSampleUnderThePointer)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    MoveToScreenOfRatio(2);
    Item("Messcursor")->trigger();
    for (int i = 0; i < 200; ++i)
        win.ActionOnTimer();
    const Evaluation &eval = win.ChartEvaluation();
    for (const std::int32_t tick : {eval.NewestTick() - 150, eval.NewestTick() - 7}) {
        const std::optional<int> column = TickColumn(win.Charts(), eval.NewestTick(), tick);
        ASSERT_TRUE(column);
        // The pointer on the logical pixel that holds the sample's column.
        QTest::mouseClick(Get<ChartView>("ReglerImage"), Qt::LeftButton, Qt::NoModifier,
                          QPoint(*column / 2, 60));
        EXPECT_EQ(eval.CursorTick(win.Charts(), 0), tick);
    }
}

TEST_F(ScalingTest, TheClipboardPictureIsTheSameOnEveryScreen)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    const auto run = [&] {
        Spin("SollwertUpDown", SpinDirection::Left, 2);
        for (int i = 0; i < 150; ++i)
            win.ActionOnTimer();
        return Copied();
    };
    MoveToScreenOfRatio(1.5);
    ASSERT_EQ(win.Charts().PixelRatio(), 1.5);
    const QImage scaled = run();
    MoveToScreenOfRatio(0);
    ASSERT_EQ(win.Charts().PixelRatio(), 1);
    Spin("SollwertUpDown", SpinDirection::Right, 2);
    win.ResetGraphics();
    const QImage plain = run();
    ASSERT_EQ(plain.size(), QSize(950, 1425));
    EXPECT_TRUE(scaled == plain);
}

} // namespace
} // namespace kavlon::test
