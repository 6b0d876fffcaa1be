#include "charts/ChartCanvas.h"

#include "charts/OCurve.h"

#include <QColor>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace kavlon {

namespace {

// On/off run lengths of the line styles (1 dash, 2 dot, 3 dash-dot,
// 4 dash-dot-dot), the classic cosmetic-pen patterns, in chart points.
struct DashPattern {
    std::array<int, 6> runs;
    int length;
};

constexpr std::array<DashPattern, 5> Patterns{{
    {{0, 0, 0, 0, 0, 0}, 0},
    {{18, 6, 0, 0, 0, 0}, 2},
    {{3, 3, 0, 0, 0, 0}, 2},
    {{9, 6, 3, 6, 0, 0}, 4},
    {{9, 3, 3, 3, 3, 3}, 6},
}};

} // namespace

QString ChartFontFamily() { return QStringLiteral("Liberation Sans"); }

double UsablePixelRatio(double ratio)
{
    // A ratio from a screen; anything unusable draws as an unscaled chart.
    return std::isfinite(ratio) ? std::clamp(ratio, 0.5, 8.0) : 1.0;
}

ChartCanvas::ChartCanvas() { SetPixelRatio(1); }

void ChartCanvas::SetPixelRatio(double ratio)
{
    ratio_ = UsablePixelRatio(ratio);
    for (std::size_t style = 0; style < Patterns.size(); ++style) {
        const DashPattern &pattern = Patterns[style];
        DashRuns &scaled = dashRuns_[style];
        scaled = DashRuns{{0, 0, 0, 0, 0, 0}, 0};
        for (std::size_t k = 0; k < static_cast<std::size_t>(pattern.length); ++k) {
            scaled.runs[k] = std::max(1, Px(pattern.runs[k]));
            scaled.period += scaled.runs[k];
        }
    }
    if (!image_.isNull())
        image_.setDevicePixelRatio(ratio_);
    ResetState();
}

int ChartCanvas::Px(int points) const { return PointsToPixels(points, ratio_); }

void ChartCanvas::SetPenWidth(int width) { penWidth_ = std::max(1, Px(width < 1 ? 1 : width)); }

void ChartCanvas::NewImage(int width, int height, std::uint32_t bgr)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    image_ = QImage(width, height, QImage::Format_RGB32);
    if (!image_.isNull()) {
        image_.fill(BgrToRgb(bgr));
        image_.setDevicePixelRatio(ratio_);
    }
    // Marks for the pixels there are: an image too large to allocate is
    // null, and its marks must not be attempted either.
    strokeMarks_.assign(
        static_cast<std::size_t>(image_.width()) * static_cast<std::size_t>(image_.height()), 0);
    strokeId_ = 0;
    pixelsWide_ = image_.width();
    pixelsHigh_ = image_.height();
    backdrop_ = QImage();
    ResetState();
}

void ChartCanvas::SetImage(QImage image)
{
    image_ = image.format() == QImage::Format_RGB32 ? std::move(image)
                                                    : image.convertToFormat(QImage::Format_RGB32);
    if (!image_.isNull())
        image_.setDevicePixelRatio(ratio_);
    strokeMarks_.assign(
        static_cast<std::size_t>(image_.width()) * static_cast<std::size_t>(image_.height()), 0);
    strokeId_ = 0;
    pixelsWide_ = image_.width();
    pixelsHigh_ = image_.height();
    backdrop_ = QImage();
    ResetState();
}

void ChartCanvas::ResetState()
{
    penBgr_ = 0;
    penWidth_ = std::max(1, Px(1));
    penStyle_ = PenStyle::Solid;
    penMode_ = PenMode::Copy;
    penX_ = 0;
    penY_ = 0;
    patternPos_ = 0;
    textBackBgr_ = 0xFFFFFF;
    fontBgr_ = 0;
    textAlign_ = TextAlign::Left;
    font_ = QFont(ChartFontFamily());
    font_.setPixelSize(std::max(1, Px(ChartFontPixelSize)));
    font_.setBold(false);
    font_.setStyleStrategy(QFont::NoAntialias);
    metrics_.reset();
    inStroke_ = false;
}

void ChartCanvas::MoveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
    patternPos_ = 0;
}

void ChartCanvas::BeginStroke()
{
    inStroke_ = true;
    if (penMode_ != PenMode::NotXor || strokeMarks_.empty())
        return;
    if (++strokeId_ == 0) {
        // The counter wrapped: old marks could collide with new ids.
        std::fill(strokeMarks_.begin(), strokeMarks_.end(), 0);
        strokeId_ = 1;
    }
}

void ChartCanvas::EndStroke() { inStroke_ = false; }

bool ChartCanvas::PatternOn()
{
    const int pos = patternPos_++;
    const int index = static_cast<int>(penStyle_);
    if (index <= 0 || index >= static_cast<int>(Patterns.size()))
        return true;
    const auto slot = static_cast<std::size_t>(index);
    const DashRuns &pattern = dashRuns_[slot];
    int p = pos % pattern.period;
    for (int k = 0; k < Patterns[slot].length; ++k) {
        const int run = pattern.runs[static_cast<std::size_t>(k)];
        if (p < run)
            return k % 2 == 0;
        p -= run;
    }
    return true;
}

inline void ChartCanvas::PlotRect(std::uint32_t *bits, qsizetype stride, int left, int right,
                                  int top, int bottom, std::uint32_t rgb)
{
    const int w = pixelsWide_;
    const int h = pixelsHigh_;
    left = std::max(left, 0);
    right = std::min(right, w - 1);
    top = std::max(top, 0);
    bottom = std::min(bottom, h - 1);
    if (left > right || top > bottom)
        return;
    const bool notXor = penMode_ == PenMode::NotXor;
    const std::uint16_t id = strokeId_;
    for (int py = top; py <= bottom; ++py) {
        std::uint32_t *row = bits + py * stride;
        if (!notXor) {
            std::fill(row + left, row + right + 1, rgb);
            continue;
        }
        std::uint16_t *marks = strokeMarks_.data() + static_cast<std::ptrdiff_t>(py) * w;
        for (int px = left; px <= right; ++px) {
            if (marks[px] == id)
                continue;
            marks[px] = id;
            row[px] = 0xFF000000u | (~(rgb ^ row[px]) & 0x00FFFFFFu);
        }
    }
}

void ChartCanvas::LineTo(int x1, int y1)
{
    const int x0 = penX_;
    const int y0 = penY_;
    penX_ = x1;
    penY_ = y1;
    if (image_.isNull())
        return;
    const bool implicitStroke = !inStroke_;
    if (implicitStroke)
        BeginStroke();

    auto *bits = reinterpret_cast<std::uint32_t *>(image_.bits());
    const qsizetype stride = image_.bytesPerLine() / 4;
    const std::uint32_t penRgb = BgrToRgb(penBgr_);
    const std::uint32_t gapRgb = BgrToRgb(textBackBgr_);
    const bool styled = penStyle_ != PenStyle::Solid && penStyle_ != PenStyle::Clear;
    // The square brush around each point of the line.
    const int lo = -(penWidth_ - 1) / 2;
    const int hi = penWidth_ / 2;

    // Bresenham over all octants; the end pixel is left out.
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    const int steps = std::max(dx, dy);
    int err = dx - dy;
    int x = x0;
    int y = y0;
    int movedX = 0;
    int movedY = 0;
    for (int k = 0; k < steps; ++k) {
        const bool on = !styled || PatternOn();
        const std::uint32_t rgb = on ? penRgb : gapRgb;
        if (k == 0 || styled) {
            PlotRect(bits, stride, x + lo, x + hi, y + lo, y + hi, rgb);
        } else {
            // A solid pen one step on covers only the brush's leading column
            // and row anew; the rest of it was drawn a step before (and
            // would be skipped as drawn in this stroke anyway).
            if (movedX != 0) {
                const int column = x + (movedX > 0 ? hi : lo);
                PlotRect(bits, stride, column, column, y + lo, y + hi, rgb);
            }
            if (movedY != 0) {
                // The leading row, less the corner the column took.
                const int row = y + (movedY > 0 ? hi : lo);
                const int from = movedX > 0 ? x + lo : x + lo + (movedX < 0 ? 1 : 0);
                const int to = movedX > 0 ? x + hi - 1 : x + hi;
                PlotRect(bits, stride, from, to, row, row, rgb);
            }
        }
        const int e2 = 2 * err;
        movedX = 0;
        movedY = 0;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
            movedX = sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
            movedY = sy;
        }
    }
    if (implicitStroke)
        EndStroke();
}

void ChartCanvas::SetFontHeight(int height)
{
    const int points = std::abs(height);
    font_.setPixelSize(std::max(1, Px(points < 1 ? 1 : points)));
    metrics_.reset();
}

void ChartCanvas::SetFontBold(bool bold)
{
    font_.setBold(bold);
    metrics_.reset();
}

void ChartCanvas::SetFontAntialias(bool on)
{
    font_.setStyleStrategy(on ? QFont::PreferAntialias : QFont::NoAntialias);
    metrics_.reset();
}

const QFontMetrics &ChartCanvas::Metrics() const
{
    if (!metrics_)
        metrics_.emplace(font_);
    return *metrics_;
}

QSize ChartCanvas::TextExtent(const QString &text) const
{
    return {Metrics().horizontalAdvance(text), Metrics().height()};
}

int ChartCanvas::TextWidth(const QString &text) const { return Metrics().horizontalAdvance(text); }

QRect ChartCanvas::TextBox(int x, int y, const QString &text) const
{
    const QSize extent = TextExtent(text);
    const int left = textAlign_ == TextAlign::Right ? x - extent.width() : x;
    return {QPoint(left, y), extent};
}

void ChartCanvas::TextOut(int x, int y, const QString &text)
{
    if (image_.isNull() || text.isEmpty())
        return;
    const QRect box = TextBox(x, y, text);
    QImage pixels = PixelView();
    QPainter painter(&pixels);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(box, QColor::fromRgb(BgrToRgb(textBackBgr_)));
    painter.setFont(font_);
    painter.setPen(QColor::fromRgb(BgrToRgb(fontBgr_)));
    painter.drawText(box.left(), y + Metrics().ascent(), text);
}

void ChartCanvas::EraseText(int x, int y, const QString &text)
{
    if (image_.isNull() || text.isEmpty())
        return;
    const QRect box = TextBox(x, y, text).intersected(image_.rect());
    if (box.isEmpty())
        return;
    if (backdrop_.size() != image_.size() || backdrop_.format() != image_.format()) {
        FillRect(box, textBackBgr_);
        return;
    }
    const auto bytes = static_cast<std::size_t>(box.width()) * sizeof(std::uint32_t);
    for (int row = box.top(); row <= box.bottom(); ++row) {
        const auto *from = reinterpret_cast<const std::uint32_t *>(backdrop_.constScanLine(row));
        auto *to = reinterpret_cast<std::uint32_t *>(image_.scanLine(row));
        std::memcpy(to + box.left(), from + box.left(), bytes);
    }
}

void ChartCanvas::StretchDraw(const QRect &target, const QImage &source)
{
    if (image_.isNull() || source.isNull())
        return;
    QImage pixels = PixelView();
    QPainter painter(&pixels);
    painter.drawImage(target, source);
}

QImage ChartCanvas::PixelView()
{
    // bits() first: it detaches a shared image before the view borrows it.
    uchar *bits = image_.bits();
    return QImage(bits, image_.width(), image_.height(), image_.bytesPerLine(), image_.format());
}

void ChartCanvas::FillRect(const QRect &rect, std::uint32_t bgr)
{
    const QRect clipped = rect.intersected(image_.rect());
    if (clipped.isEmpty())
        return;
    const std::uint32_t rgb = BgrToRgb(bgr);
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        auto *row = reinterpret_cast<std::uint32_t *>(image_.scanLine(y));
        std::fill(row + clipped.left(), row + clipped.right() + 1, rgb);
    }
}

} // namespace kavlon
