#include "charts/Evaluation.h"
#include "charts/TraceDrawing.h"
#include "tests/charts/EvaluationFixture.h"

#include <QRect>

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace kavlon;
using test::EvaluatedLoop;

namespace {

QRgb At(const QImage &img, int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; }

QRgb Background(std::uint32_t back) { return BgrToRgb(back) & 0xFFFFFFu; }

int PlantRow(const LiveCharts &charts, Real value)
{
    const ChartValueSpan r = ChartValueRange(PlantChart);
    return ValueRow(value, charts.PlotHeight(), r.hi, r.lo, charts.PlotBottom());
}

int ControllerRow(const LiveCharts &charts, Real value)
{
    const ChartValueSpan r = ChartValueRange(ControllerChart);
    return ValueRow(value, charts.PlotHeight(), r.hi, r.lo, charts.PlotBottom());
}

// The colours of the pixels that differ, and whether each was background.
struct Changes {
    std::set<QRgb> colours;
    int count = 0;
    int overNonBackground = 0;
    QRect box;
};

Changes Compare(const QImage &before, const QImage &after, QRgb background, const QRect &area)
{
    Changes c;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            if (At(before, x, y) == At(after, x, y))
                continue;
            ++c.count;
            c.colours.insert(At(after, x, y));
            if (At(before, x, y) != background)
                ++c.overNonBackground;
            c.box = c.box.united(QRect(x, y, 1, 1));
        }
    return c;
}

// Runs plant A with Kr = 2 for `ticks` and keeps its window as the
// reference; then restarts with the default Kr = 4.
void KeepSlowRun(EvaluatedLoop &loop, int ticks)
{
    loop.s.Kr = 2;
    loop.Restart();
    loop.Tick(ticks);
    loop.evaluation.KeepReference(loop.charts);
    loop.s.Kr = 4;
    loop.Restart();
}

} // namespace

TEST(EvaluationPaint, ReferenceLiesUnderTheTracesByTick)
{
    struct Row {
        std::uint32_t back;
        bool blackAndWhite;
    };
    const Row rows[] = {{White, false}, {Black, false}, {White, true}};
    std::set<QRgb> seenPale;
    for (const Row &row : rows) {
        EvaluatedLoop loop(765, 300, 300, row.back);
        KeepSlowRun(loop, 250);
        const QRgb background = Background(row.back);
        const auto paint = [&](int chart) {
            QImage copy = loop.Image(chart).copy();
            QPainter painter(&copy);
            loop.evaluation.PaintOver(painter, loop.charts, chart, loop.Image(chart), row.back,
                                      row.blackAndWhite);
            painter.end();
            return copy;
        };
        // Nothing of the reference shows before the first tick.
        EXPECT_EQ(paint(PlantChart), loop.Image(PlantChart));
        EXPECT_EQ(paint(ControllerChart), loop.Image(ControllerChart));

        loop.Tick(100);
        const QRect plot(QPoint(loop.charts.PlotLeft(), loop.charts.PlotTop()),
                         QPoint(loop.charts.PlotRight(), loop.charts.PlotBottom()));
        const ReferenceRun &ref = loop.evaluation.Reference();
        QRgb pale[2] = {};
        for (const int chart : {PlantChart, ControllerChart}) {
            const QImage painted = paint(chart);
            const Changes c =
                Compare(loop.Image(chart), painted, background, loop.Image(chart).rect());
            // Only background pixels change, all to the one pale colour.
            ASSERT_GT(c.count, 100);
            EXPECT_EQ(c.overNonBackground, 0);
            ASSERT_EQ(c.colours.size(), 1u);
            pale[chart == PlantChart ? 0 : 1] = *c.colours.begin();
            EXPECT_TRUE(plot.contains(c.box));
            // Each tick's reference value is drawn at that tick's column,
            // unless the live picture covers that spot.
            const std::vector<Real> &values = chart == PlantChart ? ref.X : ref.Y;
            for (int tick = 2; tick <= 100; ++tick) {
                const int x = *TickColumn(loop.charts, 100, tick);
                const Real v = values[static_cast<std::size_t>(tick - ref.FirstTick)];
                const int y =
                    chart == PlantChart ? PlantRow(loop.charts, v) : ControllerRow(loop.charts, v);
                bool drawn = false;
                bool covered = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        drawn = drawn
                                || At(painted, x + dx, y + dy) == pale[chart == PlantChart ? 0 : 1];
                        covered = covered || At(loop.Image(chart), x + dx, y + dy) != background;
                    }
                ASSERT_TRUE(drawn || covered) << "tick " << tick << " at " << x << "," << y;
            }
            // Ticks beyond the newest are not drawn: right of tick 100 only
            // the legend in the plot's top rows.
            const int right = *TickColumn(loop.charts, 100, 100);
            const Changes beyond =
                Compare(loop.Image(chart), painted, background,
                        QRect(QPoint(right + 2, plot.top() + 20), plot.bottomRight()));
            EXPECT_EQ(beyond.count, 0);
        }
        if (row.blackAndWhite) {
            EXPECT_EQ(pale[0], pale[1]) << "grey for both";
            EXPECT_EQ(qRed(pale[0]), qGreen(pale[0]));
            EXPECT_EQ(qGreen(pale[0]), qBlue(pale[0]));
        } else {
            EXPECT_NE(pale[0], pale[1]);
            // Pale red for x, pale blue for y.
            EXPECT_GT(qRed(pale[0]), qBlue(pale[0]));
            EXPECT_GT(qBlue(pale[1]), qRed(pale[1]));
        }
        for (const QRgb p : pale) {
            EXPECT_TRUE(seenPale.insert(p).second || row.blackAndWhite) << "a colour per scheme";
            // Paler than the live traces: between the background and them.
            const int level = qRed(p) + qGreen(p) + qBlue(p);
            if (row.back == White) {
                EXPECT_GT(level, 3 * 128);
            } else {
                EXPECT_LT(level, 3 * 128);
            }
        }

        // Scrolled on: ticks 1..100 of the reference left the window.
        loop.Tick(300);
        const QImage painted = paint(PlantChart);
        const Changes c = Compare(loop.Image(PlantChart), painted, background,
                                  QRect(QPoint(plot.left(), plot.top() + 20), plot.bottomRight()));
        ASSERT_GT(c.count, 0);
        EXPECT_GE(c.box.left(), *TickColumn(loop.charts, 400, 101) - 1);
        EXPECT_LE(c.box.right(), *TickColumn(loop.charts, 400, 250) + 1);
    }
}

TEST(EvaluationPaint, BandRunsFromTheSegmentsStartToTheRightEdge)
{
    EvaluatedLoop loop(765, 400, 300);
    Evaluation &e = loop.evaluation;
    e.FiguresEnabled = true;
    ASSERT_TRUE(e.Recorder().SetBandPercent(5));
    loop.Restart();
    loop.Tick(100);
    loop.s.w = 300;
    e.OperatorChanged(loop.s);
    loop.Tick(50);
    const std::optional<StepSegment> segment = e.Recorder().Current();
    ASSERT_TRUE(segment);
    ASSERT_EQ(segment->Start, 100);
    ASSERT_EQ(segment->Band, 10);

    const QRgb white = Background(White);
    const auto checkRows = [&](int from) {
        const QImage &image = loop.Image(PlantChart);
        const QImage painted = loop.Painted(PlantChart);
        QRgb band = 0;
        for (const int row : {PlantRow(loop.charts, 310), PlantRow(loop.charts, 290)}) {
            for (int x = loop.charts.PlotLeft(); x <= loop.charts.PlotRight(); ++x) {
                const bool inBand = x >= from;
                if (!inBand || At(image, x, row) != white) {
                    ASSERT_EQ(At(painted, x, row), At(image, x, row)) << x << "," << row;
                    continue;
                }
                if (band == 0)
                    band = At(painted, x, row);
                ASSERT_EQ(At(painted, x, row), band) << x << "," << row;
            }
        }
        EXPECT_NE(band, 0u);
        EXPECT_NE(band, white);
        // The rows between the lines are left alone where the chart is white.
        const int middle = PlantRow(loop.charts, 305);
        for (int x = from; x <= loop.charts.PlotRight(); ++x) {
            if (At(image, x, middle) == white) {
                ASSERT_EQ(At(painted, x, middle), white);
            }
        }
    };
    checkRows(*TickColumn(loop.charts, e.NewestTick(), 100));
    // Once the step scrolled out, from the left edge.
    loop.Tick(260);
    ASSERT_FALSE(TickColumn(loop.charts, e.NewestTick(), 100));
    checkRows(loop.charts.PlotLeft());

    // No segment runs in manual mode: no band (the figures stay).
    loop.s.HandMode = true;
    e.OperatorChanged(loop.s);
    loop.Tick(5);
    const QImage painted = loop.Painted(PlantChart);
    const int row = PlantRow(loop.charts, 310);
    for (int x = loop.charts.PlotLeft() + 300; x <= loop.charts.PlotRight(); ++x)
        ASSERT_EQ(At(painted, x, row), At(loop.Image(PlantChart), x, row));
    EXPECT_FALSE(e.FiguresBox().isEmpty());
}

TEST(EvaluationPaint, CursorLineAndItsBoxStayInsideTheImage)
{
    for (const std::uint32_t back : {White, Black}) {
        EvaluatedLoop loop(765, 300, 300, back);
        Evaluation &e = loop.evaluation;
        e.CursorEnabled = true;
        loop.Tick(400);
        const QRgb fore = Background(ForeColorFor(back));
        struct Case {
            int pixelX;
            bool boxLeft; // the box goes left of the line
        };
        for (const Case c :
             {Case{loop.charts.PlotRight(), true}, Case{0, false}, Case{400, false}}) {
            e.SetCursorAt(loop.charts, 0, c.pixelX);
            const int column =
                *TickColumn(loop.charts, e.NewestTick(), *e.CursorTick(loop.charts, 0));
            for (const int chart : {ControllerChart, PlantChart}) {
                const QImage &image = loop.Image(chart);
                const QImage painted = loop.Painted(chart);
                // The line through the plot, below the box.
                for (int y = loop.charts.PlotTop() + 130; y <= loop.charts.PlotBottom(); ++y)
                    ASSERT_EQ(At(painted, column, y), fore) << column << "," << y;
                // Everything else that changed is the box, whole and beside the line.
                QImage lineless = painted.copy();
                for (int y = 0; y < image.height(); ++y)
                    lineless.setPixel(column, y, image.pixel(column, y));
                const Changes changes = Compare(image, lineless, Background(back), image.rect());
                ASSERT_GT(changes.count, 0);
                const QRect box = changes.box;
                EXPECT_TRUE(image.rect().contains(box));
                if (c.boxLeft)
                    EXPECT_LT(box.right(), column);
                else
                    EXPECT_GT(box.left(), column);
                for (int y = box.top(); y <= box.bottom(); ++y) {
                    ASSERT_EQ(At(painted, box.left(), y), fore) << "left frame";
                    ASSERT_EQ(At(painted, box.right(), y), fore) << "right frame";
                }
                EXPECT_GE(box.height(), 4 * 11) << "a line per value";
            }
        }
        // A second cursor: a dashed line, not a solid one.
        e.SetCursorAt(loop.charts, 1, 200);
        const int second = *TickColumn(loop.charts, e.NewestTick(), *e.CursorTick(loop.charts, 1));
        const QImage painted = loop.Painted(PlantChart);
        int on = 0;
        int off = 0;
        for (int y = loop.charts.PlotTop() + 130; y <= loop.charts.PlotBottom(); ++y)
            (At(painted, second, y) == fore ? on : off)++;
        EXPECT_GT(on, 20);
        EXPECT_GT(off, 20);
    }
}

// The overlays are painted over copies; the live charts' own pictures never
// see them, so the not-xor erase stays exact.
TEST(EvaluationPaint, OverlaysNeverTouchTheCharts)
{
    for (const std::uint32_t back : {White, Black}) {
        std::mt19937 rng(back + 5);
        EvaluatedLoop watched(765, 240, 300, back);
        EvaluatedLoop plain(765, 240, 300, back);
        Evaluation &e = watched.evaluation;
        KeepSlowRun(watched, 200);
        KeepSlowRun(plain, 200);
        plain.evaluation.ClearReference();
        e.CursorEnabled = true;
        e.FiguresEnabled = true;
        const QImage freshUpper = watched.charts.ReglerImage().copy();
        const QImage freshLower = watched.charts.RegelstreckeImage().copy();
        int differing = 0;
        for (int t = 0; t < 700; ++t) {
            if (rng() % 40 == 0) {
                const Real w = static_cast<Real>(rng() % 801);
                const Real z = static_cast<Real>(static_cast<int>(rng() % 301) - 150);
                watched.s.w = plain.s.w = w;
                watched.s.Z = plain.s.Z = z;
                e.OperatorChanged(watched.s);
            }
            if (t % 50 == 10) {
                e.SetCursorAt(watched.charts, 0, static_cast<int>(rng() % 765));
                e.SetCursorAt(watched.charts, 1, static_cast<int>(rng() % 765));
            }
            watched.Tick();
            plain.Tick();
            for (const int chart : {ControllerChart, PlantChart}) {
                if (watched.Painted(chart) != watched.Image(chart))
                    ++differing;
                ASSERT_EQ(watched.Image(chart), plain.Image(chart)) << "tick " << t;
            }
        }
        EXPECT_GT(differing, 1000) << "the overlays were drawn";
        watched.charts.DrawAllCurves();
        watched.charts.DrawScales(true);
        EXPECT_EQ(watched.charts.ReglerImage(), freshUpper);
        EXPECT_EQ(watched.charts.RegelstreckeImage(), freshLower);
    }
}

TEST(EvaluationPaint, FiguresBoxSitsInThePlotsUpperLeftAboveTheCursorBox)
{
    EvaluatedLoop loop(765, 300, 300);
    Evaluation &e = loop.evaluation;
    e.FiguresEnabled = true;
    loop.Tick(350);
    // Manual mode ends the step: the figures stay, the band goes.
    loop.s.HandMode = true;
    e.OperatorChanged(loop.s);
    loop.Tick(10);
    const QRgb white = Background(White);
    const QImage &image = loop.Image(PlantChart);
    const QImage figuresOnly = loop.Painted(PlantChart);
    const Changes figures = Compare(image, figuresOnly, white, image.rect());
    ASSERT_GT(figures.count, 0);
    EXPECT_EQ(figures.box.topLeft(), QPoint(loop.charts.PlotLeft() + 4, loop.charts.PlotTop() + 4));
    EXPECT_GE(figures.box.height(), 7 * 11) << "seven lines";
    EXPECT_EQ(loop.Painted(ControllerChart), loop.Image(ControllerChart));

    // A cursor whose box would cover the figures puts its box below them.
    e.CursorEnabled = true;
    e.SetCursorAt(loop.charts, 0, loop.charts.PlotLeft() + 60);
    const int column = *TickColumn(loop.charts, e.NewestTick(), *e.CursorTick(loop.charts, 0));
    QImage painted = loop.Painted(PlantChart);
    for (int y = 0; y < image.height(); ++y)
        painted.setPixel(column, y, image.pixel(column, y));
    const QRect below(QPoint(0, figures.box.bottom() + 1), image.rect().bottomRight());
    const Changes cursorBox = Compare(image, painted, white, below);
    ASSERT_GT(cursorBox.count, 0);
    EXPECT_GT(cursorBox.box.top(), figures.box.bottom());
    EXPECT_GT(cursorBox.box.left(), column);
    // The figures box as it was, but for the line through it.
    for (int y = figures.box.top(); y <= figures.box.bottom(); ++y) {
        for (int x = figures.box.left(); x <= figures.box.right(); ++x) {
            if (x != column) {
                ASSERT_EQ(painted.pixel(x, y), figuresOnly.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

TEST(EvaluationPaint, FiguresBoxKeepsToHalfOfALowPlot)
{
    // The plant chart of the window at its design size.
    EvaluatedLoop loop(765, 181, 600);
    loop.evaluation.FiguresEnabled = true;
    loop.Tick(200);
    const QImage &image = loop.Image(PlantChart);
    const Changes figures =
        Compare(image, loop.Painted(PlantChart), Background(White), image.rect());
    ASSERT_GT(figures.count, 0);
    const int plotHeight = loop.charts.PlotBottom() - loop.charts.PlotTop();
    EXPECT_LE(figures.box.height(), plotHeight / 2);
    EXPECT_GE(figures.box.height(), 4 * 11) << "the heading and three lines of two figures";
}
