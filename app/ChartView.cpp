#include "app/ChartView.h"

#include <QMouseEvent>
#include <QPainter>

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

void ChartView::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    if (image_ && !image_->isNull())
        p.drawImage(event->rect().topLeft(), *image_, event->rect());
    // Whatever the image does not cover (a window being resized) stays plain.
    const QRect covered = image_ ? image_->rect() : QRect();
    const QRegion rest = QRegion(event->rect()).subtracted(covered);
    for (const QRect &r : rest)
        p.fillRect(r, palette().color(QPalette::Window));
    if (overlay_) {
        // The overlay gets a painter in its default state, whatever it finds.
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
        emit LeftButtonAt(event->position().toPoint(), shiftPress_);
    }
    QWidget::mousePressEvent(event);
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    // Without mouse tracking moves arrive only with a button held.
    if (event->buttons().testFlag(Qt::LeftButton))
        emit LeftButtonAt(event->position().toPoint(), shiftPress_);
    QWidget::mouseMoveEvent(event);
}

} // namespace kavlon
