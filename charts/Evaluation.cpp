#include "charts/Evaluation.h"

#include "charts/ChartFrame.h"
#include "charts/TraceDrawing.h"
#include "engine/LoopTick.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRect>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>

namespace kavlon {

namespace {

// The completed segments kept for the figures; only the newest is shown.
constexpr std::size_t KeptSegments = 16;

const QString NoValue = QStringLiteral("\u2013"); // "–"

// Ticks as 64-bit numbers, so that index arithmetic near the int range
// cannot overflow.
std::int64_t FirstTickShown(std::int32_t newestTick, int count)
{
    return static_cast<std::int64_t>(newestTick) - count + 1;
}

// Whole numbers and one decimal, rounded half to even like every displayed
// number; never a negative zero.
QString Whole(const QLocale &locale, Real v)
{
    const long long n = std::llrint(Clamp(v, -1.0e15L, 1.0e15L));
    return locale.toString(static_cast<qlonglong>(n));
}

QString OneDecimal(const QLocale &locale, Real v)
{
    Real tenths = std::nearbyint(Clamp(v, -1.0e15L, 1.0e15L) * 10);
    if (tenths == 0)
        tenths = 0; // drops the sign of -0
    return locale.toString(static_cast<double>(tenths / 10), 'f', 1);
}

// One decimal where it says something, none for whole values (a step of 500).
QString Compact(const QLocale &locale, Real v)
{
    const Real tenths = std::nearbyint(Clamp(v, -1.0e15L, 1.0e15L) * 10);
    return std::fmod(tenths, 10.0L) == 0 ? Whole(locale, tenths / 10) : OneDecimal(locale, v);
}

QString Seconds(const QLocale &locale, const std::optional<Real> &v)
{
    return v ? Whole(locale, *v) + QStringLiteral(" s") : NoValue;
}

QString Fixed(const QLocale &locale, const std::optional<Real> &v)
{
    return v ? OneDecimal(locale, *v) : NoValue;
}

QColor FromBgr(std::uint32_t bgr) { return QColor::fromRgb(BgrToRgb(bgr)); }

bool OnWhite(std::uint32_t backColor) { return NormalisedBackColor(backColor) == White; }

// The pale colours of the reference: light on white, dark and muted on any
// other background, so that the live traces stand out over them.
QColor ReferenceColor(int chart, std::uint32_t backColor, bool blackAndWhite)
{
    if (blackAndWhite)
        return QColor(150, 150, 150);
    const bool x = chart == PlantChart;
    if (OnWhite(backColor))
        return x ? QColor(255, 176, 176) : QColor(176, 196, 255);
    return x ? QColor(112, 44, 44) : QColor(44, 56, 120);
}

QColor BandColor(std::uint32_t backColor, bool blackAndWhite)
{
    if (blackAndWhite)
        return QColor(96, 96, 96);
    return OnWhite(backColor) ? QColor(0, 150, 0) : QColor(0, 176, 0);
}

// Lengths in chart points as pixels of the chart image the overlays go over.
struct Points {
    double ratio{1};
    int operator()(int points) const { return PointsToPixels(points, ratio); }
};

QFont OverlayFont(const Points &pt)
{
    QFont font(ChartFontFamily());
    font.setPixelSize(std::max(1, pt(ChartFontPixelSize)));
    // Crisp glyphs in exact colours, like the charts' own text.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The plot rectangle, frame lines excluded, within the image.
QRect PlotRect(const LiveCharts &charts, const QImage &under)
{
    return QRect(QPoint(charts.PlotLeft(), charts.PlotTop()),
                 QPoint(charts.PlotRight(), charts.PlotBottom()))
        .intersected(under.rect());
}

std::int32_t RowOf(const LiveCharts &charts, int chart, Real value)
{
    const ChartValueSpan range = ChartValueRange(chart);
    return ValueRow(value, charts.PlotHeight(), range.hi, range.lo, charts.PlotBottom());
}

// A box of text lines with a frame, `lines` from the top left inward.
struct TextBox {
    QRect rect;
    QStringList lines;
};

TextBox MeasureBox(const QStringList &lines, const QFontMetrics &metrics, const Points &pt)
{
    int width = 0;
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const auto count = static_cast<int>(lines.size());
    return {QRect(0, 0, width + pt(8), count * metrics.height() + pt(6)), lines};
}

// Moves the box inside the image as far as it fits.
QRect KeptInside(QRect box, const QRect &image)
{
    box.moveLeft(std::max(image.left(), std::min(box.left(), image.right() + 1 - box.width())));
    box.moveTop(std::max(image.top(), std::min(box.top(), image.bottom() + 1 - box.height())));
    return box;
}

void DrawBox(QPainter &painter, const TextBox &box, const QFontMetrics &metrics, QColor fore,
             QColor back, const Points &pt)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(back);
    painter.drawRect(box.rect);
    painter.setBrush(Qt::NoBrush);
    const int frame = pt(1);
    if (frame <= 1) {
        painter.setPen(QPen(fore, 1));
        painter.drawRect(box.rect.adjusted(0, 0, -1, -1));
    } else {
        // A wide pen would straddle the box's edge: the frame goes inside.
        const QRect &r = box.rect;
        painter.fillRect(QRect(r.left(), r.top(), r.width(), frame), fore);
        painter.fillRect(QRect(r.left(), r.bottom() + 1 - frame, r.width(), frame), fore);
        painter.fillRect(QRect(r.left(), r.top(), frame, r.height()), fore);
        painter.fillRect(QRect(r.right() + 1 - frame, r.top(), frame, r.height()), fore);
    }
    painter.setPen(fore);
    int y = box.rect.top() + pt(3) + metrics.ascent();
    for (const QString &line : box.lines) {
        painter.drawText(box.rect.left() + pt(4), y, line);
        y += metrics.height();
    }
}

// The traces a cursor reads on each chart, in read-out order. The second
// cursor adds the difference of the chart's main trace: y above, x below.
struct ReadoutTrace {
    CurveIndex curve;
    const char *name;
};
constexpr ReadoutTrace ControllerReadout[] = {
    {CurveY, "y"}, {CurveYp, "yp"}, {CurveYi, "yi"}, {CurveYd, "yd"}};
constexpr ReadoutTrace PlantReadout[] = {{CurveW, "w"}, {CurveX, "x"}, {CurveZ, "Z"}};

// The stored sample of `curve` at `tick`, empty when hidden or not shown.
std::optional<Real> SampleAt(const LiveCharts &charts, std::int32_t newestTick, CurveIndex curve,
                             std::int32_t tick)
{
    const TCurve &list = charts.Curve(curve);
    const std::int64_t index = tick - FirstTickShown(newestTick, list.Count());
    if (index < 0 || index >= list.Count())
        return std::nullopt;
    const TCurvePoint &p = list[static_cast<int>(index)];
    if (p.Hidden)
        return std::nullopt;
    return p.Value;
}

QString StepHead(const QLocale &locale, const StepSegment &s)
{
    return (s.Kind == StepKind::SetPoint ? QStringLiteral("F\u00FChrungssprung")
                                         : QStringLiteral("St\u00F6rsprung"))
           + QStringLiteral(" t = ") + Whole(locale, s.Start) + QStringLiteral(" s, \u0394 = ")
           + Compact(locale, s.Delta) + QStringLiteral(", Band \u00B1") + Compact(locale, s.Band);
}

QStringList FigureItems(const QLocale &locale, const StepSegment &s)
{
    const QString overshoot =
        s.Overshoot ? OneDecimal(locale, *s.Overshoot) + QStringLiteral(" %") : NoValue;
    return {QStringLiteral("Anregelzeit ") + Seconds(locale, s.Rise),
            QStringLiteral("Ausregelzeit ") + Seconds(locale, s.Settling),
            QStringLiteral("\u00DCberschwingweite ") + overshoot,
            QStringLiteral("e max ") + Fixed(locale, s.MaxError),
            QStringLiteral("bleibende Abw. ") + Fixed(locale, s.SteadyError),
            QStringLiteral("IAE ") + (s.IAE ? Whole(locale, *s.IAE) : NoValue)};
}

// The reference's `values` (tick run.FirstTick at index 0) as a polyline
// through the columns of their ticks, for the ticks now on the charts.
QPolygon ReferencePolyline(const LiveCharts &charts, int chart, std::int32_t newestTick,
                           const ReferenceRun &run, const std::vector<Real> &values)
{
    QPolygon line;
    const int count = charts.Curve(CurveX).Count();
    if (count == 0 || values.empty())
        return line;
    const std::int64_t lo =
        std::max<std::int64_t>(FirstTickShown(newestTick, count), run.FirstTick);
    const std::int64_t hi =
        std::min<std::int64_t>(newestTick, static_cast<std::int64_t>(run.FirstTick)
                                               + static_cast<std::int64_t>(values.size()) - 1);
    for (std::int64_t tick = lo; tick <= hi; ++tick) {
        const std::optional<int> x =
            TickColumn(charts, newestTick, static_cast<std::int32_t>(tick));
        if (!x)
            continue;
        const Real v = values[static_cast<std::size_t>(tick - run.FirstTick)];
        line << QPoint(*x, RowOf(charts, chart, v));
    }
    return line;
}

// Collects the pixels of lines drawn behind the traces: only pixels inside
// the plot where the chart image shows its background are kept, so that no
// trace, grid or frame pixel changes. Plotting the few pixels a line covers
// is much cheaper than blending a plot-sized layer every paint.
class BehindTraces {
public:
    // Lines `width` pixels wide.
    BehindTraces(const QImage &under, const QRect &plot, QRgb background, int width)
        : under_(under), plot_(plot), background_(background & 0xFFFFFFu), width_(width)
    {
    }

    // A polyline with a pen twice the width; with on > 0 dashed, `on` pixels
    // drawn and `off` left out along the path.
    void Polyline(const QPolygon &line, int on, int off)
    {
        phase_ = 0;
        for (qsizetype i = 1; i < line.size(); ++i)
            Segment(line[i - 1], line[i], on, off);
    }

    // Row `y` (and the rows below it up to the width) from x0 to x1; with
    // on > 0 dotted or dashed as for Polyline.
    void Row(int y, int x0, int x1, int on, int off)
    {
        for (int row = y; row < y + width_; ++row) {
            phase_ = 0;
            for (int x = x0; x <= x1; ++x)
                if (Dash(on, off))
                    Keep(x, row);
        }
    }

    // Draws what was collected with the painter's pen, and starts afresh.
    void Flush(QPainter &painter)
    {
        if (!points_.empty())
            painter.drawPoints(points_.data(), static_cast<int>(points_.size()));
        points_.clear();
    }

    // Clears every pixel of `layer` (placed at `at`) where the chart is not bare.
    void KeepBare(QImage &layer, QPoint at) const
    {
        for (int y = 0; y < layer.height(); ++y) {
            auto *out = reinterpret_cast<QRgb *>(layer.scanLine(y));
            const auto *in =
                reinterpret_cast<const QRgb *>(under_.constScanLine(y + at.y())) + at.x();
            for (int x = 0; x < layer.width(); ++x)
                if (out[x] != 0 && (in[x] & 0xFFFFFFu) != background_)
                    out[x] = 0;
        }
    }

private:
    bool Dash(int on, int off)
    {
        if (on <= 0)
            return true;
        const bool drawn = phase_ < on;
        phase_ = (phase_ + 1) % (on + off);
        return drawn;
    }

    void Segment(QPoint a, QPoint b, int on, int off)
    {
        // Bresenham over all octants; the pen's further pixels sit below a
        // flat step and to the right of a steep one.
        const int dx = std::abs(b.x() - a.x());
        const int dy = -std::abs(b.y() - a.y());
        const int sx = a.x() < b.x() ? 1 : -1;
        const int sy = a.y() < b.y() ? 1 : -1;
        const bool flat = dx >= -dy;
        int err = dx + dy;
        int x = a.x();
        int y = a.y();
        while (true) {
            if (Dash(on, off))
                for (int k = 0; k < 2 * width_; ++k)
                    Keep(flat ? x : x + k, flat ? y + k : y);
            if (x == b.x() && y == b.y())
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }

    void Keep(int x, int y)
    {
        if (!plot_.contains(x, y))
            return;
        const auto *row = reinterpret_cast<const QRgb *>(under_.constScanLine(y));
        if ((row[x] & 0xFFFFFFu) == background_)
            points_.emplace_back(x, y);
    }

    const QImage &under_;
    QRect plot_;
    QRgb background_;
    int width_;
    int phase_{0};
    std::vector<QPoint> points_;
};

// The tolerance band of the running segment on the plant chart: from the
// segment's start column (or the left edge once it scrolled out) to the right
// edge, at the rows of Target + Band and Target - Band.
struct BandLines {
    bool shown{false};
    int from{0};
    int upper{0};
    int lower{0};
};

BandLines BandOf(const LiveCharts &charts, std::int32_t newestTick, const RunRecorder &recorder)
{
    BandLines band;
    const std::optional<StepSegment> segment = recorder.Current();
    if (!segment)
        return band;
    const std::int64_t firstShown = FirstTickShown(newestTick, charts.Curve(CurveX).Count());
    const std::int64_t from = std::clamp<std::int64_t>(segment->Start, firstShown, newestTick);
    const std::optional<int> column =
        TickColumn(charts, newestTick, static_cast<std::int32_t>(from));
    if (!column)
        return band;
    band.shown = true;
    band.from = *column;
    band.upper = RowOf(charts, PlantChart, segment->Target + segment->Band);
    band.lower = RowOf(charts, PlantChart, segment->Target - segment->Band);
    return band;
}

bool ParseCsvReal(const std::string &text, Real &out)
{
    const char *first = text.data();
    const char *last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, out, std::chars_format::general);
    return !text.empty() && ec == std::errc() && ptr == last && std::isfinite(out);
}

std::vector<std::string> SplitFields(const std::string &line)
{
    std::vector<std::string> fields;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t comma = line.find(',', begin);
        fields.push_back(line.substr(begin, comma - begin));
        if (comma == std::string::npos)
            return fields;
        begin = comma + 1;
    }
}

} // namespace

bool ReadReferenceCsv(const std::string &path, ReferenceRun &run, std::string &error)
{
    const std::string where = "'" + path + "'";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + where;
        return false;
    }
    std::string line;
    int number = 0;
    const auto stripped = [&line] {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    };
    if (!std::getline(in, line)) {
        error = where + " is empty";
        return false;
    }
    ++number;
    stripped();
    const std::vector<std::string> header = SplitFields(line);
    if (header.size() < 4 || header[0] != "t" || header[1] != "w" || header[2] != "x"
        || header[3] != "y") {
        error = where + " is not a kavlon-sim CSV (its first line is not t,w,x,y,...)";
        return false;
    }
    ReferenceRun read;
    std::int64_t lastTick = 0;
    while (std::getline(in, line)) {
        ++number;
        stripped();
        if (line.empty())
            continue;
        const std::string at = where + " line " + std::to_string(number) + ": ";
        const std::vector<std::string> fields = SplitFields(line);
        if (fields.size() < 4) {
            error = at + "fewer than the four fields t,w,x,y";
            return false;
        }
        std::int64_t tick = 0;
        {
            const std::string &t = fields[0];
            auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), tick);
            if (t.empty() || ec != std::errc() || ptr != t.data() + t.size() || tick < 1
                || tick > std::numeric_limits<std::int32_t>::max()) {
                error = at + "t '" + t + "' is not a tick number of 1 or more";
                return false;
            }
        }
        Real x = 0;
        Real y = 0;
        if (!ParseCsvReal(fields[2], x) || !ParseCsvReal(fields[3], y)) {
            error = at + "x or y is not a number";
            return false;
        }
        if (tick == 1 && lastTick != 0) {
            // A restart from rest: only the last run counts.
            read.X.clear();
            read.Y.clear();
        } else if (lastTick != 0 && tick != lastTick + 1) {
            error =
                at + "t " + std::to_string(tick) + " does not follow " + std::to_string(lastTick);
            return false;
        }
        if (read.X.empty())
            read.FirstTick = static_cast<std::int32_t>(tick);
        read.X.push_back(x);
        read.Y.push_back(y);
        lastTick = tick;
    }
    if (in.bad()) {
        error = "cannot read " + where;
        return false;
    }
    if (read.Empty()) {
        error = where + " holds no rows";
        return false;
    }
    run = std::move(read);
    return true;
}

std::optional<int> TickColumn(const LiveCharts &charts, std::int32_t newestTick, std::int32_t tick)
{
    const TCurve &list = charts.Curve(CurveX);
    const int count = list.Count();
    const std::int64_t index = tick - FirstTickShown(newestTick, count);
    if (index < 0 || index >= count)
        return std::nullopt;
    return EntryX(charts.PlotLeft(), charts.PxPerSample(), list.WindowLength(), count,
                  static_cast<int>(index));
}

std::optional<std::int32_t> NearestTick(const LiveCharts &charts, std::int32_t newestTick,
                                        int pixelX)
{
    const TCurve &list = charts.Curve(CurveX);
    const int count = list.Count();
    if (count == 0)
        return std::nullopt;
    const auto column = [&](int index) {
        return EntryX(charts.PlotLeft(), charts.PxPerSample(), list.WindowLength(), count, index);
    };
    // The columns never decrease with the index: the first at or right of
    // pixelX, or the one left of it, is the nearest.
    int lo = 0;
    int hi = count - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (column(mid) < pixelX)
            lo = mid + 1;
        else
            hi = mid;
    }
    int index = lo;
    if (index > 0 && pixelX - column(index - 1) <= column(index) - pixelX)
        index = index - 1;
    // The leftmost sample of that column, so that a tie takes the older one.
    while (index > 0 && column(index - 1) == column(index))
        --index;
    return static_cast<std::int32_t>(FirstTickShown(newestTick, count) + index);
}

void ChartTick(LoopState &s, LiveCharts &charts, Evaluation &evaluation)
{
    ChartTick(s, charts, evaluation, [](const LoopState &) {});
}

Evaluation::Evaluation() { recorder_.SetHistoryLimit(KeptSegments); }

void Evaluation::StartFromRest(const LoopState &s)
{
    recorder_.StartFromRest(s);
    newestTick_ = s.TickCount;
    ClearCursors();
}

void Evaluation::OperatorChanged(const LoopState &afterChange)
{
    recorder_.OperatorChanged(afterChange);
}

void Evaluation::Sample(const LoopState &s)
{
    recorder_.Sample(s);
    newestTick_ = s.TickCount + 1;
}

void Evaluation::SetCursorAt(const LiveCharts &charts, int which, int pixelX)
{
    if (which < 0 || which > 1)
        return;
    cursors_[static_cast<std::size_t>(which)] = NearestTick(charts, newestTick_, pixelX);
}

void Evaluation::ClearCursors() { cursors_ = {}; }

std::optional<std::int32_t> Evaluation::CursorTick(const LiveCharts &charts, int which) const
{
    if (which < 0 || which > 1)
        return std::nullopt;
    const std::optional<std::int32_t> tick = cursors_[static_cast<std::size_t>(which)];
    if (!tick || !TickColumn(charts, newestTick_, *tick))
        return std::nullopt;
    return tick;
}

void Evaluation::KeepReference(const LiveCharts &charts)
{
    const TCurve &x = charts.Curve(CurveX);
    const TCurve &y = charts.Curve(CurveY);
    ReferenceRun run;
    const std::int64_t first = FirstTickShown(newestTick_, x.Count());
    run.FirstTick = static_cast<std::int32_t>(std::max<std::int64_t>(first, 1));
    for (int i = 0; i < x.Count(); ++i) {
        if (first + i < 1)
            continue; // samples the charts hold from before this run's start
        run.X.push_back(x[i].Value);
        run.Y.push_back(y[i].Value);
    }
    reference_ = std::move(run);
}

void Evaluation::SetReference(ReferenceRun run) { reference_ = std::move(run); }

void Evaluation::ClearReference() { reference_ = {}; }

bool Evaluation::ShowsAnything() const
{
    bool open = false;
    return HasReference() || (CursorEnabled && (cursors_[0] || cursors_[1]))
           || (FiguresEnabled && ShownSegment(open));
}

std::optional<StepSegment> Evaluation::ShownSegment(bool &open) const
{
    if (std::optional<StepSegment> current = recorder_.Current()) {
        open = true;
        return current;
    }
    open = false;
    if (recorder_.Completed().empty())
        return std::nullopt;
    return recorder_.Completed().back();
}

QStringList Evaluation::FiguresBox(const QLocale &locale) const
{
    bool open = false;
    const std::optional<StepSegment> shown = FiguresEnabled ? ShownSegment(open) : std::nullopt;
    if (!shown)
        return {};
    QString head = StepHead(locale, *shown);
    if (open)
        head += QStringLiteral(" (vorl\u00E4ufig)");
    return QStringList{head} + FigureItems(locale, *shown);
}

QString Evaluation::FiguresLine(const QLocale &locale) const
{
    bool open = false;
    const std::optional<StepSegment> shown = FiguresEnabled ? ShownSegment(open) : std::nullopt;
    if (!shown)
        return {};
    QString head = StepHead(locale, *shown);
    if (open)
        head += QStringLiteral(", vorl\u00E4ufig");
    return QStringLiteral("Kennwerte (") + head + QStringLiteral("): ")
           + FigureItems(locale, *shown).join(QStringLiteral("; "));
}

QStringList Evaluation::CursorReadout(const LiveCharts &charts, int chart,
                                      const QLocale &locale) const
{
    if (!CursorEnabled)
        return {};
    const std::optional<std::int32_t> first = CursorTick(charts, 0);
    const std::optional<std::int32_t> second = CursorTick(charts, 1);
    const std::optional<std::int32_t> shown = first ? first : second;
    if (!shown)
        return {};
    const bool controller = chart == ControllerChart;
    const auto sample = [&](CurveIndex curve, std::int32_t tick) {
        return SampleAt(charts, newestTick_, curve, tick);
    };
    QStringList lines{QStringLiteral("t = ") + Whole(locale, *shown) + QStringLiteral(" s")};
    const auto add = [&](const ReadoutTrace &t) {
        lines << QString::fromLatin1(t.name) + QStringLiteral(" = ")
                     + Fixed(locale, sample(t.curve, *shown));
    };
    if (controller)
        std::for_each(std::begin(ControllerReadout), std::end(ControllerReadout), add);
    else
        std::for_each(std::begin(PlantReadout), std::end(PlantReadout), add);
    if (first && second) {
        const ReadoutTrace main = controller ? ControllerReadout[0] : PlantReadout[1];
        const std::optional<Real> a = sample(main.curve, *first);
        const std::optional<Real> b = sample(main.curve, *second);
        lines << QStringLiteral("\u0394t = ") + Whole(locale, *second - *first)
                     + QStringLiteral(" s");
        lines << QStringLiteral("\u0394") + QString::fromLatin1(main.name) + QStringLiteral(" = ")
                     + (a && b ? OneDecimal(locale, *b - *a) : NoValue);
    }
    return lines;
}

void Evaluation::Paint(QPainter &painter, const LiveCharts &charts, int chart,
                       bool blackAndWhite) const
{
    const QImage &image = chart == PlantChart ? charts.RegelstreckeImage() : charts.ReglerImage();
    PaintOver(painter, charts, chart, image, blackAndWhite ? White : charts.BackColor(),
              blackAndWhite);
}

void Evaluation::PaintOver(QPainter &painter, const LiveCharts &charts, int chart,
                           const QImage &under, std::uint32_t backColor, bool blackAndWhite) const
{
    if (under.isNull())
        return;
    const bool plant = chart == PlantChart;
    const QRect plot = PlotRect(charts, under);
    const QColor fore =
        FromBgr(blackAndWhite ? Black : ForeColorFor(NormalisedBackColor(backColor)));
    const QColor back = FromBgr(blackAndWhite ? White : NormalisedBackColor(backColor));
    // Sizes in chart points, drawn at the ratio of the charts' pixels.
    const Points pt{charts.PixelRatio()};
    const QFont font = OverlayFont(pt);
    const QFontMetrics metrics(font);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(font);

    // Behind the traces: drawn on a layer over the part of the plot they
    // reach, then kept only where the chart shows its background, so every
    // trace, grid and frame pixel stays as it is.
    const BandLines band =
        plant && FiguresEnabled ? BandOf(charts, newestTick_, recorder_) : BandLines{};
    const QPolygon line = HasReference() && !plot.isEmpty()
                              ? ReferencePolyline(charts, chart, newestTick_, reference_,
                                                  plant ? reference_.X : reference_.Y)
                              : QPolygon();
    // The legend only goes with a reference that shows.
    const bool reference = line.size() >= 2;
    const QString legend = plant ? QStringLiteral("Referenz: x") : QStringLiteral("Referenz: y");
    const QPoint legendAt(plot.right() - pt(4) - metrics.horizontalAdvance(legend),
                          plot.top() + pt(2) + metrics.ascent());
    if (reference || band.shown) {
        const QImage base =
            under.format() == QImage::Format_RGB32 || under.format() == QImage::Format_ARGB32
                ? under
                : under.convertToFormat(QImage::Format_RGB32);
        BehindTraces behind(base, plot, BgrToRgb(NormalisedBackColor(backColor)), pt(1));
        if (reference) {
            // A two-pixel pen; dashed for black and white (10 pixels on, 2 off
            // along the path, so that every tick's point stays within a pixel
            // of a drawn one).
            behind.Polyline(line, blackAndWhite ? pt(10) : 0, pt(2));
            painter.setPen(QPen(ReferenceColor(chart, backColor, blackAndWhite), 1));
            behind.Flush(painter);
            // The legend's glyphs go behind the traces as well: drawn on a
            // layer of the legend's own size and kept where the chart is bare.
            const QRect box(legendAt.x(), plot.top(), plot.right() - legendAt.x() + 1,
                            metrics.height() + pt(4));
            const QRect area = box.intersected(plot);
            if (!area.isEmpty()) {
                QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
                layer.fill(Qt::transparent);
                QPainter lp(&layer);
                lp.translate(-area.topLeft());
                lp.setFont(font);
                lp.setPen(ReferenceColor(chart, backColor, blackAndWhite));
                lp.drawText(legendAt, legend);
                lp.end();
                behind.KeepBare(layer, area.topLeft());
                painter.drawImage(area.topLeft(), layer);
            }
        }
        if (band.shown) {
            // One-pixel lines; dotted (1 on, 1 off) for black and white.
            for (const int row : {band.upper, band.lower})
                behind.Row(row, band.from, charts.PlotRight(), blackAndWhite ? pt(1) : 0, pt(1));
            painter.setPen(QPen(BandColor(backColor, blackAndWhite), 1));
            behind.Flush(painter);
        }
    }

    // Over the traces: the cursor lines, the figures box, the read-out box.
    std::optional<int> columns[2];
    if (CursorEnabled)
        for (int which = 0; which < 2; ++which)
            if (const std::optional<std::int32_t> tick = CursorTick(charts, which))
                columns[which] = TickColumn(charts, newestTick_, *tick);
    for (int which = 0; which < 2; ++which) {
        if (!columns[which])
            continue;
        QPen pen(fore, pt(1));
        pen.setStyle(which == 0 ? Qt::SolidLine : Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(*columns[which], plot.top(), *columns[which], plot.bottom());
    }

    QRect figuresRect;
    if (plant) {
        QStringList lines = FiguresBox();
        if (!lines.isEmpty()) {
            TextBox box = MeasureBox(lines, metrics, pt);
            // On a low chart (the window at its design size) the figures
            // would hide half the plot: below the heading they go two a line.
            if (box.rect.height() > plot.height() / 2) {
                QStringList paired{lines.front()};
                for (qsizetype i = 1; i < lines.size(); i += 2)
                    paired << (i + 1 < lines.size()
                                   ? lines[i] + QStringLiteral(";  ") + lines[i + 1]
                                   : lines[i]);
                lines = paired;
                box = MeasureBox(lines, metrics, pt);
            }
            box.rect = KeptInside(box.rect.translated(plot.left() + pt(4), plot.top() + pt(4)),
                                  under.rect());
            DrawBox(painter, box, metrics, fore, back, pt);
            figuresRect = box.rect;
        }
    }
    const QStringList readout = CursorReadout(charts, chart);
    if (!readout.isEmpty()) {
        const int x = columns[0] ? *columns[0] : *columns[1];
        TextBox box = MeasureBox(readout, metrics, pt);
        int left = x + pt(6);
        if (left + box.rect.width() > plot.right())
            left = x - pt(6) - box.rect.width();
        box.rect.moveTo(left, plot.top() + pt(4));
        if (!figuresRect.isNull() && box.rect.intersects(figuresRect))
            box.rect.moveTop(figuresRect.bottom() + pt(4));
        box.rect = KeptInside(box.rect, under.rect());
        DrawBox(painter, box, metrics, fore, back, pt);
    }
    painter.restore();
}

} // namespace kavlon
