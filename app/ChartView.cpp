#include "app/ChartView.h"

#include "charts/ChartCanvas.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <utility>

namespace kavlon {

ChartView::ChartView(QWidget *parent) : QWidget(parent)
{
    // The image covers the whole view; nothing underneath needs painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::SetImage(const QImage *image)
{
    image_ = image;
    update();
}

void ChartView::SetOverlay(Overlay overlay)
{
    overlay_ = std::move(overlay);
    update();
}

qreal ChartView::DisplayRatio() const
{
    // As the charts will draw it: a ratio they limit must compare equal to
    // the image they drew, or every repaint would restart them.
    return UsablePixelRatio(testRatio_ > 0 ? testRatio_ : devicePixelRatioF());
}

void ChartView::SetDisplayRatioForTest(qreal ratio)
{
    testRatio_ = ratio > 0 ? ratio : 0;
    CheckDisplayRatio();
}

qreal ChartView::ImageRatio() const
{
    return image_ && !image_->isNull() ? image_->devicePixelRatio() : 1;
}

void ChartView::CheckDisplayRatio()
{
    if (!image_ || ratioNoticePending_ || DisplayRatio() == image_->devicePixelRatio())
        return;
    // Not from within the event that showed it: the owner replaces the image.
    ratioNoticePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            ratioNoticePending_ = false;
            if (image_ && DisplayRatio() != image_->devicePixelRatio())
                emit DisplayRatioChanged();
        },
        Qt::QueuedConnection);
}

bool ChartView::event(QEvent *event)
{
    // Qt 6.4 has no event of its own for a changed ratio; a move to another
    // screen comes as this one, a changed scaling of the same screen at the
    // latest with the repaint that follows it.
    if (event->type() == QEvent::ScreenChangeInternal)
        CheckDisplayRatio();
    return QWidget::event(event);
}

QPoint ChartView::ImagePixelAt(QPointF position) const
{
    const qreal ratio = ImageRatio();
    if (ratio == 1)
        return position.toPoint();
    // The device pixel under the pointer: a whole logical position names the
    // logical pixel, whose device pixels start at position * ratio.
    const auto at = [ratio](qreal v) {
        return static_cast<int>(std::floor(v * ratio + (ratio - 1) / 2));
    };
    return {at(position.x()), at(position.y())};
}

void ChartView::paintEvent(QPaintEvent *event)
{
    CheckDisplayRatio();
    QPainter p(this);
    const qreal ratio = ImageRatio();
    if (ratio != 1) {
        // Image pixels as the painter's units: on a screen of the image's
        // ratio each lands on one device pixel, unscaled.
        p.scale(1 / ratio, 1 / ratio);
    }
    // The damaged part in image pixels (the whole event rectangle at ratio 1).
    const QRect damaged =
        ratio == 1 ? event->rect()
                   : p.worldTransform().inverted().mapRect(QRectF(event->rect())).toAlignedRect();
    if (image_ && !image_->isNull()) {
        if (ratio == 1)
            p.drawImage(damaged.topLeft(), *image_, damaged);
        else
            p.drawImage(QRectF(damaged), *image_, QRectF(damaged));
    }
    // Whatever the image does not cover (a window being resized) stays plain.
    const QRect covered = image_ ? image_->rect() : QRect();
    const QRegion rest = QRegion(damaged).subtracted(covered);
    for (const QRect &r : rest)
        p.fillRect(r, palette().color(QPalette::Window));
    if (overlay_) {
        // The overlay gets a painter in its default state apart from the
        // image's pixels as units, whatever it finds.
        p.save();
        overlay_(p);
        p.restore();
    }
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    emit MouseDown(event->button());
    if (event->button() == Qt::LeftButton) {
        shiftPress_ = event->modifiers().testFlag(Qt::ShiftModifier);
        emit LeftButtonAt(ImagePixelAt(event->position()), shiftPress_);
    }
    QWidget::mousePressEvent(event);
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    // Without mouse tracking moves arrive only with a button held.
    if (event->buttons().testFlag(Qt::LeftButton))
        emit LeftButtonAt(ImagePixelAt(event->position()), shiftPress_);
    QWidget::mouseMoveEvent(event);
}

} // namespace kavlon
