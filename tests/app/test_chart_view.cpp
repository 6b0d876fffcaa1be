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

TEST(ChartViewTest, AnImageOfAScaledScreenIsShownPixelForPixel)
{
    // Drawn onto a device of the image's ratio, as a scaled screen is: every
    // image pixel lands on one device pixel, and the overlay paints in image
    // pixels too.
    struct Row {
        qreal ratio;
        QSize pixels; // the image; the view is pixels / ratio
    };
    for (const Row r :
         {Row{2, QSize(120, 80)}, Row{1.5, QSize(90, 60)}, Row{1.25, QSize(75, 50)}}) {
        SCOPED_TRACE(r.ratio);
        QImage image = Striped(r.pixels);
        image.setDevicePixelRatio(r.ratio);
        ChartView view;
        view.resize((QSizeF(r.pixels) / r.ratio).toSize());
        view.SetImage(&image);
        QImage screen(r.pixels, QImage::Format_RGB32);
        screen.setDevicePixelRatio(r.ratio);
        screen.fill(Qt::green);
        view.render(&screen);
        screen.setDevicePixelRatio(1);
        QImage want = image.copy();
        want.setDevicePixelRatio(1);
        EXPECT_EQ(screen, want);

        view.SetOverlay([](QPainter &p) { p.fillRect(QRect(11, 5, 3, 3), QColor(0xFF, 0, 0)); });
        screen.setDevicePixelRatio(r.ratio);
        view.render(&screen);
        for (int y = 0; y < r.pixels.height(); ++y)
            for (int x = 0; x < r.pixels.width(); ++x) {
                const bool inRect = x >= 11 && x < 14 && y >= 5 && y < 8;
                ASSERT_EQ(screen.pixel(x, y), inRect ? qRgb(0xFF, 0, 0) : image.pixel(x, y))
                    << x << "," << y;
            }
    }
}

TEST(ChartViewTest, ThePointerMapsToTheImagePixelUnderIt)
{
    struct Row {
        qreal ratio;
        QPointF at;
        QPoint pixel;
    };
    const Row rows[] = {
        {1, QPointF(12, 30), QPoint(12, 30)},   {2, QPointF(12, 30), QPoint(24, 60)},
        {2, QPointF(12.5, 30), QPoint(25, 60)}, {1.5, QPointF(10, 4), QPoint(15, 6)},
        {1.5, QPointF(11, 5), QPoint(16, 7)},   {1.25, QPointF(8, 0.8), QPoint(10, 1)},
    };
    for (const Row &r : rows) {
        QImage image = Striped(QSize(200, 100));
        image.setDevicePixelRatio(r.ratio);
        ChartView view;
        view.SetImage(&image);
        EXPECT_EQ(view.ImagePixelAt(r.at), r.pixel) << r.ratio << " " << r.at.x();
    }

    // A click reports the image pixel.
    QImage image = Striped(QSize(160, 100));
    image.setDevicePixelRatio(2);
    ChartView view;
    view.resize(80, 50);
    view.SetImage(&image);
    view.show();
    QSignalSpy left(&view, &ChartView::LeftButtonAt);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(30, 20));
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left.at(0).at(0).toPoint(), QPoint(60, 40));
}

TEST(ChartViewTest, AScreenOfAnotherRatioIsReportedOnce)
{
    QImage image = Striped(QSize(60, 40));
    ChartView view;
    view.resize(60, 40);
    view.SetImage(&image);
    QSignalSpy changed(&view, &ChartView::DisplayRatioChanged);
    view.SetDisplayRatioForTest(1);
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.size(), 0) << "the image's own ratio";
    view.SetDisplayRatioForTest(2);
    EXPECT_EQ(view.DisplayRatio(), 2);
    EXPECT_EQ(changed.size(), 0) << "not from within the event that showed it";
    view.update();
    view.grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.size(), 1) << "once, however often it is seen";
    // The owner answers with an image of the new ratio: nothing more.
    image.setDevicePixelRatio(2);
    view.grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(changed.size(), 1);
}

} // namespace
} // namespace kavlon::test
