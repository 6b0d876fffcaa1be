#include "app/ChartView.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace kavlon::test {
namespace {

QImage Striped(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, (x + y) % 3 ? 0xFFFFFF : 0x203040);
    return image;
}

TEST(ChartViewTest, WithoutAnOverlayTheViewShowsTheImageExactly)
{
    const QImage image = Striped(QSize(60, 40));
    ChartView view;
    view.resize(image.size());
    view.SetImage(&image);
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_RGB32), image);
}

TEST(ChartViewTest, TheOverlayIsPaintedOverTheImageAndNeverIntoIt)
{
    const QImage image = Striped(QSize(60, 40));
    const QImage before = image;
    ChartView view;
    view.resize(image.size());
    view.SetImage(&image);
    int calls = 0;
    view.SetOverlay([&calls](QPainter &p) {
        ++calls;
        p.fillRect(QRect(10, 5, 4, 3), QColor(0xFF, 0, 0));
    });
    const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_GE(calls, 1);
    EXPECT_EQ(image, before);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool inRect = x >= 10 && x < 14 && y >= 5 && y < 8;
            const QRgb expected = inRect ? qRgb(0xFF, 0, 0) : image.pixel(x, y);
            ASSERT_EQ(shown.pixel(x, y), expected) << x << "," << y;
        }

    // Taking the overlay away shows the bare image again.
    view.SetOverlay({});
    EXPECT_EQ(view.grab().toImage().convertToFormat(QImage::Format_RGB32), image);
}

TEST(ChartViewTest, LeftPressAndDragReportImagePixelsWithTheShiftOfThePress)
{
    const QImage image = Striped(QSize(80, 50));
    ChartView view;
    view.resize(image.size());
    view.SetImage(&image);
    view.show();
    QSignalSpy left(&view, &ChartView::LeftButtonAt);
    QSignalSpy down(&view, &ChartView::MouseDown);

    struct Row {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        QPoint at;
        bool reported;
        bool shift;
    };
    const Row rows[] = {
        {Qt::LeftButton, Qt::NoModifier, QPoint(12, 30), true, false},
        {Qt::LeftButton, Qt::ShiftModifier, QPoint(70, 4), true, true},
        {Qt::RightButton, Qt::NoModifier, QPoint(20, 20), false, false},
        {Qt::MiddleButton, Qt::ShiftModifier, QPoint(20, 20), false, false},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.at.x());
        left.clear();
        down.clear();
        QTest::mouseClick(&view, r.button, r.modifiers, r.at);
        ASSERT_EQ(down.size(), 1);
        EXPECT_EQ(down.at(0).at(0).value<Qt::MouseButton>(), r.button);
        ASSERT_EQ(left.size(), r.reported ? 1 : 0);
        if (r.reported) {
            EXPECT_EQ(left.at(0).at(0).toPoint(), r.at);
            EXPECT_EQ(left.at(0).at(1).toBool(), r.shift);
        }
    }

    // A drag started with Shift stays a Shift drag after Shift is let go.
    left.clear();
    QTest::mousePress(&view, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(33, 9), view.mapToGlobal(QPointF(33, 9)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &move);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(33, 9));
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left.at(1).at(0).toPoint(), QPoint(33, 9));
    EXPECT_TRUE(left.at(1).at(1).toBool());

    // A move without the left button held reports nothing.
    left.clear();
    QMouseEvent hover(QEvent::MouseMove, QPointF(40, 9), view.mapToGlobal(QPointF(40, 9)),
                      Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &hover);
    EXPECT_EQ(left.size(), 0);
}

} // namespace
} // namespace kavlon::test
