#include "app/ChartView.h"

#include <QMouseEvent>
#include <QPainter>

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
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    emit MouseDown(event->button());
    QWidget::mousePressEvent(event);
}

} // namespace kavlon
