#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kavlon {

// Pen styles by their numbers; Clear stands for "no pattern" in DrawCurve.
enum class PenStyle : int { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Clear = 5 };

// Copy sets pixels to the pen colour; NotXor sets them to ~(pen ^ pixel), so a
// pen shows as itself on white, as its complement on black, and a second
// identical stroke restores the pixels.
enum class PenMode { Copy, NotXor };

// Whether the x given to TextOut is the left or the right edge of the text.
enum class TextAlign { Left, Right };

// Colours are 0x00BBGGRR throughout the charts; the image stores 0xAARRGGBB.
constexpr std::uint32_t BgrToRgb(std::uint32_t bgr)
{
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}
constexpr std::uint32_t RgbToBgr(std::uint32_t rgb)
{
    return ((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) | ((rgb >> 16) & 0xFFu);
}

// The device pixel ratio the charts are drawn at for a screen's `ratio`:
// limited to 0.5..8, and 1 for a value that is not finite.
double UsablePixelRatio(double ratio);

// The chart font: Liberation Sans (metric twin of Arial) at 11 px.
inline constexpr int ChartFontPixelSize = 11;
QString ChartFontFamily();

// The drawing surface of one chart: a 32-bit image plus the drawing state
// (pen, text colours, font, alignment). Lines are rasterised here with
// Bresenham's algorithm, not by QPainter: the end pixel of a LineTo is not
// drawn, and between BeginStroke and EndStroke every pixel is changed at most
// once, so wide not-xor polylines have no holes at joints and drawing the same
// stroke twice restores the image bit for bit. Every pixel write is clipped to
// the image. Text goes through QPainter in source-over mode: the text box is
// filled with the text background colour, then the glyphs are drawn.
//
// On a screen with display scaling the image is in device pixels: positions
// are image pixels, while the sizes the charts give (pen widths, dash runs,
// font heights, the charts' margins through Px) are in chart points, one point
// being PixelRatio() pixels. At ratio 1 points and pixels are the same.
class ChartCanvas {
public:
    ChartCanvas();

    // Device pixels per chart point (1 on an unscaled screen), made usable
    // by UsablePixelRatio. Resets the drawing
    // state; kept by NewImage and SetImage, whose images carry it as their
    // device pixel ratio so that a view shows them one pixel per pixel.
    void SetPixelRatio(double ratio);
    double PixelRatio() const { return ratio_; }
    // A length in chart points as whole pixels: [points * ratio], ties to even.
    int Px(int points) const;

    // A fresh image of the given size (in pixels) filled with `bgr`, carrying
    // the pixel ratio as its device pixel ratio, and default drawing state: solid black pen of width 1, copy mode, regular chart font, left
    // alignment, white text background, black font colour.
    void NewImage(int width, int height, std::uint32_t bgr);
    // Takes over an existing image (converted to RGB32) with default state.
    void SetImage(QImage image);
    void ResetState();

    const QImage &Image() const { return image_; }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

    // Pen.
    void SetPenColor(std::uint32_t bgr) { penBgr_ = bgr; }
    std::uint32_t PenColor() const { return penBgr_; }
    // Width in chart points; PenWidth is the width in pixels (at least 1).
    void SetPenWidth(int width);
    int PenWidth() const { return penWidth_; }
    void SetPenStyle(PenStyle style) { penStyle_ = style; }
    PenStyle GetPenStyle() const { return penStyle_; }
    void SetPenMode(PenMode mode) { penMode_ = mode; }
    PenMode GetPenMode() const { return penMode_; }

    // Lines. MoveTo restarts the dash pattern; LineTo continues it.
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    int PenX() const { return penX_; }
    int PenY() const { return penY_; }
    // Everything drawn until EndStroke changes each pixel at most once.
    void BeginStroke();
    void EndStroke();

    // Text.
    void SetTextBackColor(std::uint32_t bgr) { textBackBgr_ = bgr; }
    std::uint32_t TextBackColor() const { return textBackBgr_; }
    void SetFontColor(std::uint32_t bgr) { fontBgr_ = bgr; }
    std::uint32_t FontColor() const { return fontBgr_; }
    // Negative: character height in chart points; positive values are taken
    // the same. FontHeight is the height in pixels, negative.
    void SetFontHeight(int height);
    int FontHeight() const { return -font_.pixelSize(); }
    void SetFontBold(bool bold);
    bool FontBold() const { return font_.bold(); }
    void SetFontAntialias(bool on);
    const QFont &Font() const { return font_; }
    void SetTextAlign(TextAlign align) { textAlign_ = align; }
    TextAlign GetTextAlign() const { return textAlign_; }
    QSize TextExtent(const QString &text) const;
    int TextWidth(const QString &text) const;
    // Opaque text whose top is at y and whose left or right edge (by the
    // alignment) is at x.
    void TextOut(int x, int y, const QString &text);
    // Takes back what TextOut(x, y, text) painted: the text box gets the
    // backdrop's pixels, or, without a backdrop of this image's size, the
    // text background colour.
    void EraseText(int x, int y, const QString &text);
    // The picture erased text gives back: the chart's fresh frame, so that a
    // grid line under a label survives the label. NewImage and SetImage drop it.
    void SetBackdrop(QImage backdrop) { backdrop_ = std::move(backdrop); }

    // Draws `source` scaled into `target` (source-over).
    void StretchDraw(const QRect &target, const QImage &source);
    // Fills a rectangle with a colour, ignoring the pen.
    void FillRect(const QRect &rect, std::uint32_t bgr);

private:
    const QFontMetrics &Metrics() const;
    // Sets (copy) or not-xors (once per stroke) the pixels of a rectangle,
    // bounds included, clipped to the image.
    void PlotRect(std::uint32_t *bits, qsizetype stride, int left, int right, int top, int bottom,
                  std::uint32_t rgb);
    bool PatternOn();

    QRect TextBox(int x, int y, const QString &text) const;
    // The image's pixels for QPainter, without its device pixel ratio, so
    // that text lands on the pixels the canvas's own coordinates name.
    QImage PixelView();

    QImage image_;
    // The image's size, kept at hand for the pixel loops.
    int pixelsWide_{0};
    int pixelsHigh_{0};
    QImage backdrop_;
    double ratio_{1};
    // Dash runs of each pen style in pixels, scaled from the chart-point runs.
    struct DashRuns {
        std::array<int, 6> runs;
        int period;
    };
    std::array<DashRuns, 6> dashRuns_{};
    std::uint32_t penBgr_{0};
    int penWidth_{1};
    PenStyle penStyle_{PenStyle::Solid};
    PenMode penMode_{PenMode::Copy};
    int penX_{0};
    int penY_{0};
    int patternPos_{0};
    std::uint32_t textBackBgr_{0xFFFFFF};
    std::uint32_t fontBgr_{0};
    QFont font_;
    // Built on first use: font metrics need the running application.
    mutable std::optional<QFontMetrics> metrics_;
    TextAlign textAlign_{TextAlign::Left};

    // Stroke marks: a pixel whose mark equals strokeId_ was changed in the
    // current stroke already. Sixteen bits keep them small for images of a
    // scaled screen; the ids wrap after 65535 strokes (a few thousand ticks).
    std::vector<std::uint16_t> strokeMarks_;
    std::uint16_t strokeId_{0};
    bool inStroke_{false};
};

} // namespace kavlon
