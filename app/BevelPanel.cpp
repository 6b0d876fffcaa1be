#include "app/BevelPanel.h"

#include <QMouseEvent>
#include <QPainter>

namespace kavlon {

BevelPanel::BevelPanel(QWidget *parent)
    : QWidget(parent), color_(palette().color(QPalette::Button)),
      captionColor_(palette().color(QPalette::WindowText))
{
}

void BevelPanel::SetBevels(Bevel outer, Bevel inner, int bevelWidth, int borderWidth)
{
    outer_ = outer;
    inner_ = inner;
    bevelWidth_ = bevelWidth < 0 ? 0 : bevelWidth;
    borderWidth_ = borderWidth < 0 ? 0 : borderWidth;
    update();
}

int BevelPanel::Inset() const
{
    return (outer_ != Bevel::None ? bevelWidth_ : 0) + borderWidth_
           + (inner_ != Bevel::None ? bevelWidth_ : 0);
}

void BevelPanel::SetColor(const QColor &color)
{
    color_ = color;
    update();
}

void BevelPanel::SetCaption(const QString &caption)
{
    caption_ = caption;
    update();
}

void BevelPanel::SetCaptionColor(const QColor &color)
{
    captionColor_ = color;
    update();
}

void BevelPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, color_);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    // `width` nested one-pixel frames, shrinking r past them.
    auto frame = [&](const QColor &topLeft, const QColor &bottomRight, int width) {
        for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
            p.setPen(topLeft);
            p.drawLine(r.left(), r.top(), r.right(), r.top());
            p.drawLine(r.left(), r.top(), r.left(), r.bottom());
            p.setPen(bottomRight);
            p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
            p.drawLine(r.right(), r.top(), r.right(), r.bottom());
            r.adjust(1, 1, -1, -1);
        }
    };
    auto drawBevel = [&](Bevel b) {
        if (b != Bevel::None)
            frame(b == Bevel::Lowered ? shadow : light, b == Bevel::Lowered ? light : shadow,
                  bevelWidth_);
    };
    drawBevel(outer_);
    frame(color_, color_, borderWidth_);
    drawBevel(inner_);
    if (!caption_.isEmpty()) {
        p.setPen(captionColor_);
        p.setFont(font());
        p.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, caption_);
    }
}

void BevelPanel::mousePressEvent(QMouseEvent *event)
{
    emit MouseDown(event->button());
    QWidget::mousePressEvent(event);
}

} // namespace kavlon
