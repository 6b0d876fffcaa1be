#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

namespace kavlon {

// The few canvas operations an export document needs. DrawExport draws through
// this so that one rendering serves a picture, a printer page and the tests,
// which record the calls to check where each item lands.
class ExportCanvas {
public:
    virtual ~ExportCanvas() = default;
    // Font size in points at the target's resolution.
    virtual void SetFont(int pointSize, bool bold) = 0;
    // Text in black with its top-left corner at (x, y).
    virtual void TextOut(int x, int y, const QString &text) = 0;
    // `source` scaled to fill `target` exactly.
    virtual void StretchDraw(const QRect &target, const QImage &source) = 0;
};

// An export canvas over a painter on any paint device (QImage, QPrinter).
// Text uses the chart face (Liberation Sans, the metric twin of Arial), so a
// picture looks the same whatever the application's default font is.
class PainterExportCanvas final : public ExportCanvas {
public:
    explicit PainterExportCanvas(QPainter &painter);

    void SetFont(int pointSize, bool bold) override;
    void TextOut(int x, int y, const QString &text) override;
    void StretchDraw(const QRect &target, const QImage &source) override;

private:
    QPainter &painter_;
};

} // namespace kavlon
