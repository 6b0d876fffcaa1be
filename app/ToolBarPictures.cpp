#include "app/ToolBarPictures.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace kavlon {

namespace {

// The pictures' flat colours, as QColor (the charts keep their own colours
// as 0x00BBGGRR numbers under some of the same names).
namespace paint {
const QColor Black(0, 0, 0);
const QColor DarkGrey(128, 128, 128);
const QColor Grey(192, 192, 192);
const QColor White(255, 255, 255);
const QColor Red(255, 0, 0);
const QColor Maroon(128, 0, 0);
const QColor Yellow(255, 255, 0);
const QColor Olive(128, 128, 0);
const QColor Blue(0, 0, 255);
const QColor Navy(0, 0, 128);
const QColor Cyan(0, 255, 255);
const QColor Teal(0, 128, 128);
} // namespace paint

void DrawDoor(QPainter &p)
{
    // Frame, dark opening, and the red leaf swung towards the viewer.
    p.fillRect(3, 1, 12, 18, paint::Maroon);
    p.fillRect(4, 2, 10, 17, paint::Black);
    const QPolygon leaf({QPoint(4, 2), QPoint(11, 4), QPoint(11, 19), QPoint(4, 18)});
    p.setPen(paint::Maroon);
    p.setBrush(paint::Red);
    p.drawPolygon(leaf);
    p.fillRect(9, 11, 2, 2, paint::Yellow);
    p.setPen(paint::Black);
    p.drawLine(0, 19, 19, 19);
}

void DrawPrinter(QPainter &p)
{
    p.setPen(paint::Black);
    p.setBrush(paint::White);
    p.drawRect(5, 1, 9, 7); // paper going in
    p.setBrush(paint::Grey);
    p.drawRect(1, 7, 17, 7); // body
    p.fillRect(3, 9, 2, 1, paint::Red);
    p.setBrush(paint::DarkGrey);
    p.drawRect(2, 14, 15, 3);
    p.setBrush(paint::White);
    p.drawRect(5, 15, 9, 4); // paper coming out
    p.setPen(paint::DarkGrey);
    p.drawLine(7, 17, 12, 17);
}

void DrawLetter(QPainter &p, QChar letter)
{
    QFont f(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPixelSize(17);
    f.setBold(true);
    p.setFont(f);
    p.setPen(paint::Navy);
    p.drawText(QRect(0, 0, ToolPictureSize, ToolPictureSize), Qt::AlignCenter, QString(letter));
}

void DrawFlag(QPainter &p)
{
    p.fillRect(2, 1, 2, 19, paint::Olive); // pole
    constexpr int cell = 3;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 5; ++col)
            p.fillRect(4 + col * cell, 2 + row * cell, cell, cell,
                       (row + col) % 2 == 0 ? paint::Blue : paint::Yellow);
    p.setPen(paint::Navy);
    p.setBrush(Qt::NoBrush);
    p.drawRect(4, 2, 5 * cell - 1, 4 * cell - 1);
}

void DrawHand(QPainter &p)
{
    p.setPen(QPen(paint::Maroon, 1));
    p.setBrush(paint::Red);
    p.drawRoundedRect(QRectF(4.5, 8.5, 11, 10), 3, 3); // palm
    const int fingerTops[4] = {3, 1, 2, 4};
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(4.5 + i * 2.75, fingerTops[i] + 0.5, 2.5, 10), 1.2, 1.2);
    QPainterPath thumb;
    thumb.moveTo(5, 13);
    thumb.lineTo(1.5, 9);
    thumb.lineTo(3, 8);
    thumb.lineTo(6.5, 11);
    p.drawPath(thumb);
}

void DrawSwatter(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(paint::Olive, 2));
    p.drawLine(11, 10, 18, 18); // handle
    p.setPen(paint::Olive);
    p.setBrush(paint::Yellow);
    p.drawRect(1, 1, 11, 11); // head
    p.setPen(paint::Olive);
    for (int i = 4; i < 12; i += 3) {
        p.drawLine(1 + i, 2, 1 + i, 11);
        p.drawLine(2, 1 + i, 11, 1 + i);
    }
}

void DrawQuestion(QPainter &p)
{
    QFont f(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPixelSize(19);
    f.setBold(true);
    QPainterPath path;
    path.addText(0, 0, f, QStringLiteral("?"));
    const QRectF box = path.boundingRect();
    path.translate((ToolPictureSize - box.width()) / 2 - box.left(),
                   (ToolPictureSize - box.height()) / 2 - box.top());
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(paint::Teal, 1));
    p.setBrush(paint::Cyan);
    p.drawPath(path);
}

} // namespace

QPixmap DrawToolPicture(ToolPicture picture)
{
    QImage image(ToolPictureSize, ToolPictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter p(&image);
        switch (picture) {
        case ToolPicture::Door: DrawDoor(p); break;
        case ToolPicture::Printer: DrawPrinter(p); break;
        case ToolPicture::LetterA:
        case ToolPicture::LetterB:
        case ToolPicture::LetterC:
        case ToolPicture::LetterD:
        case ToolPicture::LetterE:
        case ToolPicture::LetterF:
        case ToolPicture::LetterG:
            DrawLetter(
                p,
                QChar(u'A' + (static_cast<int>(picture) - static_cast<int>(ToolPicture::LetterA))));
            break;
        case ToolPicture::Flag: DrawFlag(p); break;
        case ToolPicture::Hand: DrawHand(p); break;
        case ToolPicture::Swatter: DrawSwatter(p); break;
        case ToolPicture::Question: DrawQuestion(p); break;
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace kavlon
