#include "app/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace kavlon {

namespace {

// Colours of the picture, matching the charts: set point blue, process value
// red, controller orange, plant green.
const QColor Frame(0x1a, 0x4f, 0x8b);
const QColor Line(0x20, 0x20, 0x20);
const QColor Controller(0xf2, 0x9b, 0x2b);
const QColor Plant(0x3c, 0xa0, 0x5a);
const QColor SetPoint(0x1f, 0x5f, 0xd0);
const QColor Response(0xd0, 0x20, 0x20);

void Arrow(QPainter &p, QPointF from, QPointF to, qreal head)
{
    p.drawLine(from, to);
    const QPointF dir = (to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF normal(-dir.y(), dir.x());
    QPainterPath tip;
    tip.moveTo(to);
    tip.lineTo(to - dir * head + normal * head * 0.6);
    tip.lineTo(to - dir * head - normal * head * 0.6);
    tip.closeSubpath();
    p.save();
    p.setBrush(p.pen().color());
    p.setPen(Qt::NoPen);
    p.drawPath(tip);
    p.restore();
}

} // namespace

QImage ProgramIconImage(int size)
{
    if (size < 1)
        size = 1;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Everything below is laid out on a 32 × 32 grid.
    p.scale(size / 32.0, size / 32.0);
    const qreal thin = size >= 48 ? 1.0 : 1.2;

    // Rounded tile.
    QLinearGradient fill(0, 0, 0, 32);
    fill.setColorAt(0, QColor(0xf4, 0xf8, 0xfd));
    fill.setColorAt(1, QColor(0xc6, 0xdb, 0xf2));
    p.setBrush(fill);
    p.setPen(QPen(Frame, 1.2));
    p.drawRoundedRect(QRectF(0.8, 0.8, 30.4, 30.4), 5, 5);

    // Step response in the lower half: set point dashed, process value
    // overshooting once and settling.
    p.setPen(QPen(SetPoint, thin, Qt::DashLine, Qt::FlatCap));
    p.drawLine(QPointF(4, 22), QPointF(28.5, 22));
    QPainterPath response;
    response.moveTo(4, 28.5);
    response.cubicTo(8, 28.5, 9, 17.5, 12.5, 18.5);
    response.cubicTo(15.5, 19.3, 16.5, 23.6, 19.5, 23);
    response.cubicTo(22, 22.5, 24, 21.7, 28.5, 22);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Response, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(response);

    // The loop: summing point, controller, plant, output and feedback path.
    p.setPen(QPen(Line, thin, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    Arrow(p, QPointF(1.8, 8.5), QPointF(4.2, 8.5), 1.6);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(6.5, 8.5), 2.3, 2.3);
    Arrow(p, QPointF(8.8, 8.5), QPointF(11, 8.5), 1.6);
    p.setBrush(Controller);
    p.drawRect(QRectF(11, 5, 6.5, 7));
    Arrow(p, QPointF(17.5, 8.5), QPointF(20, 8.5), 1.6);
    p.setBrush(Plant);
    p.drawRect(QRectF(20, 5, 6.5, 7));
    Arrow(p, QPointF(26.5, 8.5), QPointF(30.2, 8.5), 1.6);
    p.setBrush(Qt::NoBrush);
    QPainterPath feedback;
    feedback.moveTo(28.2, 8.5);
    feedback.lineTo(28.2, 15);
    feedback.lineTo(6.5, 15);
    p.drawPath(feedback);
    Arrow(p, QPointF(6.5, 15), QPointF(6.5, 10.8), 1.6);
    p.setBrush(Line);
    p.drawEllipse(QPointF(28.2, 8.5), 0.7, 0.7);
    // The minus sign of the fed-back value.
    p.drawLine(QPointF(3.6, 12.6), QPointF(5.2, 12.6));
    return image;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    return icon;
}

} // namespace kavlon
