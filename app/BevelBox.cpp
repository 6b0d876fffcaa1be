#include "BevelBox.h"

#include <QPainter>

namespace kavlon {

namespace {

// Draws `width` nested one-pixel frames and shrinks rect past them.
void Frame3D(QPainter &p, QRect &rect, const QColor &topLeft, const QColor &bottomRight, int width)
{
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        p.setPen(topLeft);
        p.drawLine(rect.left(), rect.bottom(), rect.left(), rect.top());
        p.drawLine(rect.left(), rect.top(), rect.right(), rect.top());
        p.setPen(bottomRight);
        p.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
        p.drawLine(rect.right(), rect.bottom(), rect.left(), rect.bottom());
        rect.adjust(1, 1, -1, -1);
    }
}

} // namespace

BevelBox::BevelBox(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
}

void BevelBox::SetBevels(Bevel outerBevel, Bevel innerBevel, int bevelPixels, int borderPixels)
{
    outer = outerBevel;
    inner = innerBevel;
    bevelWidth = bevelPixels < 0 ? 0 : bevelPixels;
    borderWidth = borderPixels < 0 ? 0 : borderPixels;
    update();
}

void BevelBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor face = palette().color(QPalette::Window);
    QRect rect = this->rect();
    auto bevel = [&](Bevel kind) {
        if (kind == Bevel::Raised)
            Frame3D(p, rect, light, dark, bevelWidth);
        else if (kind == Bevel::Lowered)
            Frame3D(p, rect, dark, light, bevelWidth);
    };
    bevel(outer);
    Frame3D(p, rect, face, face, borderWidth);
    bevel(inner);
}

} // namespace kavlon
