#include "output/ExportTargets.h"

#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QScreen>

#include <cmath>

namespace kavlon {

namespace {

constexpr int DefaultDotsPerInch = 96;

} // namespace

QString PrintDocumentName() { return QStringLiteral("Kavlon 2 - Regelkreis"); }

int ScreenDotsPerInch()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return DefaultDotsPerInch;
    const long dpi = std::lrint(screen->logicalDotsPerInchY());
    return dpi >= 24 && dpi <= 1200 ? static_cast<int>(dpi) : DefaultDotsPerInch;
}

QImage RenderClipboardPicture(const ExportInputs &in)
{
    return RenderClipboardPicture(in, ScreenDotsPerInch());
}

QImage RenderClipboardPicture(const ExportInputs &in, int dpi)
{
    QImage picture(ClipboardWidth, ClipboardHeight, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    picture.fill(Qt::white);
    if (dpi < 24 || dpi > 1200)
        dpi = DefaultDotsPerInch;
    const int dotsPerMeter = static_cast<int>(std::lrint(dpi / 0.0254));
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&picture);
    DrawExport(painter, ClipboardParams, in);
    painter.end();
    return picture;
}

bool PrintExport(QPrinter &printer, const ExportInputs &in)
{
    printer.setDocName(PrintDocumentName());
    printer.setResolution(PrintResolution);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // Thin chart lines and small labels blur under lossy (JPEG) compression.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const bool landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
    const ExportParams p{printer.width(), PrintFontSize, PrintSpacing,
                         landscape ? PrintMarginLandscape : PrintMarginPortrait};
    DrawExport(painter, p, in);
    return painter.end();
}

} // namespace kavlon
