#include "output/ExportCanvas.h"

#include "charts/ChartCanvas.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace kavlon {

PainterExportCanvas::PainterExportCanvas(QPainter &painter) : painter_(painter) {}

void PainterExportCanvas::SetFont(int pointSize, bool bold)
{
    QFont font(ChartFontFamily());
    font.setPointSize(pointSize > 0 ? pointSize : 1);
    font.setBold(bold);
    // The painter resolves the point size with its device's resolution.
    painter_.setFont(font);
}

void PainterExportCanvas::TextOut(int x, int y, const QString &text)
{
    if (text.isEmpty())
        return;
    painter_.setPen(QColor(Qt::black));
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), text);
}

void PainterExportCanvas::StretchDraw(const QRect &target, const QImage &source)
{
    if (source.isNull() || target.isEmpty())
        return;
    if (target.width() < source.width() || target.height() < source.height()) {
        // Shrinking: average the pixels first, so that the one-pixel grid and
        // trace lines of the chart stay visible instead of being skipped.
        painter_.drawImage(target.topLeft(), source.scaled(target.size(), Qt::IgnoreAspectRatio,
                                                           Qt::SmoothTransformation));
        return;
    }
    painter_.drawImage(target, source);
}

} // namespace kavlon
