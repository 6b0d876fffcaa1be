#include "charts/Evaluation.h"
#include "charts/TraceDrawing.h"
#include "tests/charts/EvaluationFixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

using namespace kavlon;
using test::EvaluatedLoop;
using test::German;

namespace {

// Chart configurations: image width, time axis, ticks run (below the window
// for a partly filled list, beyond it for a full one).
struct WindowRow {
    int width;
    int axis;
    int ticks;
};
constexpr WindowRow Windows[] = {
    {765, 180, 50},   {765, 180, 400},  {765, 300, 120}, {765, 300, 900}, {765, 600, 10},
    {765, 600, 1000}, {1916, 600, 650}, {1916, 180, 7},  {400, 600, 700}, {400, 300, 40},
};

// Where DrawCurve itself puts list entry `index`: a trace hidden everywhere
// but at that entry and its neighbour, drawn with a one-pixel pen. A steep
// segment ending at the entry has its last drawn pixel (one row above the
// end) in the entry's own column; entry 0 is the start pixel of a segment.
int DrawnColumn(const LiveCharts &charts, int index)
{
    const TCurve &shown = charts.Curve(CurveX);
    TCurve probe(shown.WindowLength());
    const int high = 20;
    const int low = 260;
    for (int i = 0; i < shown.Count(); ++i) {
        TCurvePoint &p = probe.Append();
        const bool end = i == index;
        const bool neighbour = index == 0 ? i == 1 : i == index - 1;
        p.Hidden = !(end || neighbour);
        p.PixelY = end ? low : high;
    }
    ChartCanvas canvas;
    canvas.NewImage(charts.ImageWidth(), 300, White);
    DrawCurve(probe, canvas, charts.PlotLeft(), charts.PxPerSample(), 1, Black, PenStyle::Clear);
    const int row = index == 0 ? low : low - 1;
    for (int x = 0; x < canvas.Width(); ++x)
        if ((canvas.Image().pixel(x, row) & 0xFFFFFFu) == 0)
            return x;
    return -1;
}

// A loop state after `tick` ticks of a run, as Sample sees it inside the tick.
LoopState Moment(int tick, Real w, Real x, Real Z = 0)
{
    LoopState s;
    s.TickCount = tick;
    s.w = w;
    s.x = x;
    s.Z = Z;
    return s;
}

} // namespace

TEST(EvaluationColumns, TickColumnIsWhereDrawCurvePutsTheSample)
{
    for (const WindowRow &row : Windows) {
        EvaluatedLoop loop(row.width, 200, row.axis);
        loop.Tick(row.ticks);
        const int count = loop.charts.Curve(CurveX).Count();
        ASSERT_EQ(count, std::min(row.ticks, row.axis));
        const std::int32_t newest = loop.evaluation.NewestTick();
        ASSERT_EQ(newest, row.ticks);
        const std::int32_t first = newest - count + 1;
        for (const int index : {0, 1, count / 3, count / 2, count - 2, count - 1}) {
            if (index < 0 || index >= count || (index == 0 && count < 2))
                continue;
            EXPECT_EQ(TickColumn(loop.charts, newest, first + index),
                      DrawnColumn(loop.charts, index))
                << row.width << " px, axis " << row.axis << ", " << row.ticks << " ticks, entry "
                << index;
        }
        // The newest sample sits at the plot's right edge.
        EXPECT_EQ(TickColumn(loop.charts, newest, newest), loop.charts.PlotRight());
        EXPECT_FALSE(TickColumn(loop.charts, newest, first - 1));
        EXPECT_FALSE(TickColumn(loop.charts, newest, newest + 1));
    }
}

TEST(EvaluationColumns, NearestTickInvertsTickColumn)
{
    for (const WindowRow &row : Windows) {
        EvaluatedLoop loop(row.width, 200, row.axis);
        loop.Tick(row.ticks);
        const std::int32_t newest = loop.evaluation.NewestTick();
        const std::int32_t first = newest - loop.charts.Curve(CurveX).Count() + 1;
        const bool distinct = loop.charts.PxPerSample() >= 1;
        for (std::int32_t tick = first; tick <= newest; ++tick) {
            const int column = *TickColumn(loop.charts, newest, tick);
            const std::optional<std::int32_t> found = NearestTick(loop.charts, newest, column);
            ASSERT_TRUE(found);
            if (distinct) {
                ASSERT_EQ(*found, tick) << row.width << " px, axis " << row.axis;
            } else {
                // Samples share columns: the oldest of the column is taken.
                ASSERT_EQ(*TickColumn(loop.charts, newest, *found), column);
                ASSERT_TRUE(*found == first
                            || *TickColumn(loop.charts, newest, *found - 1) < column);
            }
            if (tick < newest) {
                // Between two columns the nearer one wins, the older on a tie.
                const int next = *TickColumn(loop.charts, newest, tick + 1);
                for (int x = column + 1; x < next; ++x) {
                    const std::int32_t expected = x - column <= next - x ? tick : tick + 1;
                    ASSERT_EQ(*NearestTick(loop.charts, newest, x), expected) << "x " << x;
                }
            }
        }
        // Clamped to the samples shown.
        EXPECT_EQ(*NearestTick(loop.charts, newest, 0), first);
        EXPECT_EQ(*NearestTick(loop.charts, newest, loop.charts.ImageWidth() + 50), newest);
    }
    EvaluatedLoop empty(765, 200, 600);
    EXPECT_FALSE(NearestTick(empty.charts, 0, 400));
}

TEST(EvaluationCursor, FollowsItsTickAndLeavesWithIt)
{
    for (const int axis : {180, 300, 600}) {
        EvaluatedLoop loop(765, 200, axis);
        loop.evaluation.CursorEnabled = true;
        loop.Tick(axis / 2);
        // A click at the column of tick 40.
        const int column = *TickColumn(loop.charts, loop.evaluation.NewestTick(), 40);
        loop.evaluation.SetCursorAt(loop.charts, 0, column);
        ASSERT_EQ(loop.evaluation.CursorTick(loop.charts, 0), 40);
        int lastColumn = column;
        // The chart scrolls; the cursor stays on its sample until it leaves.
        for (int tick = axis / 2 + 1; tick <= 40 + axis + 5; ++tick) {
            loop.Tick();
            const std::optional<std::int32_t> shown = loop.evaluation.CursorTick(loop.charts, 0);
            if (tick <= 40 + axis - 1) {
                ASSERT_EQ(shown, 40) << "axis " << axis << " tick " << tick;
                const int now = *TickColumn(loop.charts, tick, 40);
                ASSERT_LE(now, lastColumn);
                lastColumn = now;
            } else {
                ASSERT_FALSE(shown) << "axis " << axis << " tick " << tick;
                ASSERT_TRUE(loop.evaluation.CursorReadout(loop.charts, PlantChart).isEmpty());
            }
        }
        EXPECT_EQ(lastColumn, loop.charts.PlotLeft()) << "the oldest sample's column";
        // A restart removes the cursors for good.
        loop.evaluation.SetCursorAt(loop.charts, 1, 500);
        ASSERT_TRUE(loop.evaluation.CursorTick(loop.charts, 1));
        loop.Restart();
        loop.Tick(axis);
        EXPECT_FALSE(loop.evaluation.CursorTick(loop.charts, 0));
        EXPECT_FALSE(loop.evaluation.CursorTick(loop.charts, 1));
    }
}

TEST(EvaluationCursor, ReadsTheStoredSamplesInTheLocalesFormat)
{
    EvaluatedLoop loop(765, 200, 300);
    loop.s.HandMode = true;
    loop.Restart();
    loop.s.y = 20;
    loop.s.Z = -12.5L;
    loop.Tick(30);
    loop.s.y = 45.25L; // 452.5 tenths: ties to even give 45,2
    loop.Tick(30);
    Evaluation &e = loop.evaluation;
    e.CursorEnabled = true;
    const std::int32_t newest = e.NewestTick();
    e.SetCursorAt(loop.charts, 0, *TickColumn(loop.charts, newest, 10));
    const auto x = [&](int tick) { return loop.charts.Curve(CurveX)[tick - 1].Value; };
    const QLocale de = German();

    QStringList upper = e.CursorReadout(loop.charts, ControllerChart, de);
    EXPECT_EQ(upper, (QStringList{QStringLiteral("t = 10 s"), QStringLiteral("y = 20,0"),
                                  QStringLiteral("yp = \u2013"), QStringLiteral("yi = \u2013"),
                                  QStringLiteral("yd = \u2013")}));
    QStringList lower = e.CursorReadout(loop.charts, PlantChart, de);
    ASSERT_EQ(lower.size(), 4);
    EXPECT_EQ(lower[0], QStringLiteral("t = 10 s"));
    EXPECT_EQ(lower[1], QStringLiteral("w = 500,0"));
    ASSERT_TRUE(lower[2].startsWith(QStringLiteral("x = ")));
    bool ok = false;
    EXPECT_NEAR(de.toDouble(lower[2].mid(4), &ok), static_cast<double>(x(10)), 0.05);
    EXPECT_TRUE(ok);
    EXPECT_EQ(lower[3], QStringLiteral("Z = -12,5"));

    // The second cursor adds the differences, second minus first.
    e.SetCursorAt(loop.charts, 1, *TickColumn(loop.charts, newest, 45));
    upper = e.CursorReadout(loop.charts, ControllerChart, de);
    ASSERT_EQ(upper.size(), 7);
    EXPECT_EQ(upper[5], QStringLiteral("\u0394t = 35 s"));
    EXPECT_EQ(upper[6], QStringLiteral("\u0394y = 25,2"));
    lower = e.CursorReadout(loop.charts, PlantChart, de);
    ASSERT_EQ(lower.size(), 6);
    EXPECT_EQ(lower[4], QStringLiteral("\u0394t = 35 s"));
    ASSERT_TRUE(lower[5].startsWith(QStringLiteral("\u0394x = ")));
    EXPECT_NEAR(de.toDouble(lower[5].mid(5), &ok), static_cast<double>(x(45) - x(10)), 0.05);
    EXPECT_TRUE(ok);

    // In the controller's mode a part switched off (Tv = 0) is hidden alone.
    loop.s.HandMode = false;
    loop.s.Tv = 0;
    loop.Tick(5);
    e.SetCursorAt(loop.charts, 0, loop.charts.PlotRight());
    e.SetCursorAt(loop.charts, 1, -1); // the oldest sample shown
    upper = e.CursorReadout(loop.charts, ControllerChart, de);
    EXPECT_EQ(upper[0], QStringLiteral("t = 65 s"));
    EXPECT_NE(upper[2], QStringLiteral("yp = \u2013"));
    EXPECT_NE(upper[3], QStringLiteral("yi = \u2013"));
    EXPECT_EQ(upper[4], QStringLiteral("yd = \u2013"));
    EXPECT_EQ(upper[5], QStringLiteral("\u0394t = -64 s"));

    // Off: nothing to read, whatever the cursors hold.
    e.CursorEnabled = false;
    EXPECT_TRUE(e.CursorReadout(loop.charts, ControllerChart, de).isEmpty());
    EXPECT_TRUE(e.ShowsAnything() == e.HasReference());
}

// A hand-worked set-point step from rest, w = 100, band 2 % = ±2:
//   k    1   2   3    4    5      6
//   x   50  98  103  101  100.5  100
// Anregelzeit 2 s (|100 - 98| <= 2), Ausregelzeit 4 s (from x4 on inside),
// Überschwingweite 3 %, e max 50, bleibende Abweichung 0, IAE 56.5 -> 56.
TEST(EvaluationFigures, TheRunningSegmentThenTheLastCompletedOne)
{
    Evaluation e;
    e.FiguresEnabled = true;
    LoopState rest = Moment(0, 100, 0);
    e.StartFromRest(rest);
    const QLocale de = German();
    const QStringList before = e.FiguresBox(de);
    ASSERT_EQ(before.size(), 7);
    EXPECT_EQ(
        before[0],
        QStringLiteral("F\u00FChrungssprung t = 0 s, \u0394 = 100, Band \u00B12 (vorl\u00E4ufig)"));
    EXPECT_EQ(before[1], QStringLiteral("Anregelzeit \u2013"));

    const Real xs[] = {50, 98, 103, 101, 100.5L, 100};
    for (int k = 0; k < 6; ++k)
        e.Sample(Moment(k, 100, xs[k]));
    EXPECT_EQ(e.NewestTick(), 6);
    const QStringList running{
        QStringLiteral("F\u00FChrungssprung t = 0 s, \u0394 = 100, Band \u00B12 (vorl\u00E4ufig)"),
        QStringLiteral("Anregelzeit 2 s"),
        QStringLiteral("Ausregelzeit 4 s"),
        QStringLiteral("\u00DCberschwingweite 3,0 %"),
        QStringLiteral("e max 50,0"),
        QStringLiteral("bleibende Abw. 0,0"),
        QStringLiteral("IAE 56")};
    EXPECT_EQ(e.FiguresBox(de), running);
    EXPECT_EQ(
        e.FiguresLine(de),
        QStringLiteral("Kennwerte (F\u00FChrungssprung t = 0 s, \u0394 = 100, Band \u00B12, "
                       "vorl\u00E4ufig): Anregelzeit 2 s; Ausregelzeit 4 s; "
                       "\u00DCberschwingweite 3,0 %; e max 50,0; bleibende Abw. 0,0; IAE 56"));

    // Manual mode ends the segment and starts none: the last one, final.
    LoopState hand = Moment(6, 100, 100);
    hand.HandMode = true;
    e.OperatorChanged(hand);
    QStringList final = running;
    final[0] = QStringLiteral("F\u00FChrungssprung t = 0 s, \u0394 = 100, Band \u00B12");
    EXPECT_EQ(e.FiguresBox(de), final);
    EXPECT_TRUE(e.FiguresLine(de).startsWith(
        QStringLiteral("Kennwerte (F\u00FChrungssprung t = 0 s, \u0394 = 100, Band \u00B12): ")));

    e.FiguresEnabled = false;
    EXPECT_TRUE(e.FiguresBox(de).isEmpty());
    EXPECT_TRUE(e.FiguresLine(de).isEmpty());
    EXPECT_FALSE(e.ShowsAnything());
}

TEST(EvaluationFigures, DisturbanceStepsHaveNoOvershootAndIaeIsGrouped)
{
    Evaluation e;
    e.FiguresEnabled = true;
    e.StartFromRest(Moment(0, 800, 0));
    // Two ticks far off the set point: IAE 1600.
    e.Sample(Moment(0, 800, 0));
    e.Sample(Moment(1, 800, 0));
    EXPECT_EQ(e.FiguresBox(German()).back(), QStringLiteral("IAE 1.600"));
    EXPECT_EQ(e.FiguresBox(QLocale(QLocale::English, QLocale::UnitedStates)).back(),
              QStringLiteral("IAE 1,600"));

    // Z from 0 to 50 at t = 2: a disturbance step with a band of 2 % of 50.
    e.OperatorChanged(Moment(2, 800, 0, 50));
    e.Sample(Moment(2, 800, 790, 50));
    const QStringList box = e.FiguresBox(German());
    ASSERT_EQ(box.size(), 7);
    EXPECT_EQ(box[0], QStringLiteral(
                          "St\u00F6rsprung t = 2 s, \u0394 = 50, Band \u00B11 (vorl\u00E4ufig)"));
    EXPECT_EQ(box[1], QStringLiteral("Anregelzeit \u2013"));
    EXPECT_EQ(box[3], QStringLiteral("\u00DCberschwingweite \u2013"));
    EXPECT_EQ(box[4], QStringLiteral("e max 10,0"));
    EXPECT_EQ(box[5], QStringLiteral("bleibende Abw. 10,0"));

    // A step that is not whole shows one decimal: 2 % of 333 is 6.66.
    e.OperatorChanged(Moment(3, 467, 790, 50));
    EXPECT_EQ(e.FiguresBox(German())[0],
              QStringLiteral(
                  "F\u00FChrungssprung t = 3 s, \u0394 = -333, Band \u00B16,7 (vorl\u00E4ufig)"));
}

TEST(EvaluationTick, ChartTickRecordsTheChartsThenTheEvaluation)
{
    EvaluatedLoop watched(765, 180, 300);
    LoopState s;
    LiveCharts plain;
    plain.SetImageSize(765, 180);
    plain.SetTimeAxisLength(300);
    ResetLoopState(s, false, false, false);
    plain.ResetCharts(s);
    for (int t = 0; t < 350; ++t) {
        if (t == 120)
            watched.s.w = s.w = 250;
        watched.Tick();
        ChartTick(s, plain);
        ASSERT_EQ(watched.evaluation.NewestTick(), s.TickCount);
    }
    EXPECT_EQ(watched.charts.RegelstreckeImage(), plain.RegelstreckeImage());
    EXPECT_EQ(watched.charts.ReglerImage(), plain.ReglerImage());
    // The change of w went unannounced; Sample noticed it at tick 121.
    const std::optional<StepSegment> running = watched.evaluation.Recorder().Current();
    ASSERT_TRUE(running);
    EXPECT_EQ(running->Start, 120);
    EXPECT_EQ(running->End, 350);
}

TEST(EvaluationReference, KeepsTheVisibleWindowByTick)
{
    EvaluatedLoop loop(765, 180, 180);
    Evaluation &e = loop.evaluation;
    loop.Tick(100);
    e.KeepReference(loop.charts);
    ASSERT_TRUE(e.HasReference());
    EXPECT_EQ(e.Reference().FirstTick, 1);
    ASSERT_EQ(e.Reference().X.size(), 100u);
    EXPECT_EQ(e.Reference().X[99], loop.s.x);
    EXPECT_EQ(e.Reference().Y[99], loop.s.y);
    loop.Tick(150);
    e.KeepReference(loop.charts);
    EXPECT_EQ(e.Reference().FirstTick, 250 - 180 + 1);
    ASSERT_EQ(e.Reference().X.size(), 180u);
    for (int i = 0; i < 180; ++i) {
        ASSERT_EQ(e.Reference().X[static_cast<std::size_t>(i)], loop.charts.Curve(CurveX)[i].Value);
        ASSERT_EQ(e.Reference().Y[static_cast<std::size_t>(i)], loop.charts.Curve(CurveY)[i].Value);
    }
    e.ClearReference();
    EXPECT_FALSE(e.HasReference());
    EXPECT_FALSE(e.ShowsAnything());
}

// Reading a previous run's CSV: the rows of its last run from rest.
TEST(ReferenceCsv, ReadsTheLastRunOrRefusesTheFile)
{
    struct Row {
        const char *name;
        std::string text;
        bool ok;
        std::int32_t firstTick;
        std::vector<Real> x;
        std::vector<Real> y;
        const char *error; // part of the message
    };
    const std::string header = "t,w,x,y,yp,yi,yd,Z,CompSignal\n";
    const Row rows[] = {
        {"plain",
         header + "1,500,10.5,100,1,2,3,0,0\n2,500,20,99.25,1,2,3,0,0\n",
         true,
         1,
         {10.5L, 20},
         {100, 99.25L},
         ""},
        {"reset inside",
         header + "1,5,1,2\n2,5,3,4\n3,5,5,6\n1,5,7,8\n2,5,9,10\n",
         true,
         1,
         {7, 9},
         {8, 10},
         ""},
        {"crlf and blank tail",
         "t,w,x,y\r\n1,5,1,2\r\n2,5,3,4\r\n\r\n",
         true,
         1,
         {1, 3},
         {2, 4},
         ""},
        {"a cut-off run", header + "41,5,1,2\n42,5,3,4\n", true, 41, {1, 3}, {2, 4}, ""},
        {"semicolons", "t;w;x;y\n1;5;1;2\n", false, 0, {}, {}, "not a kavlon-sim CSV"},
        {"other columns", "t,x,w,y\n1,5,1,2\n", false, 0, {}, {}, "not a kavlon-sim CSV"},
        {"decimal comma", header + "1,500,\"10,5\",100\n", false, 0, {}, {}, "line 2"},
        {"not a number", header + "1,500,abc,100\n", false, 0, {}, {}, "not a number"},
        {"not finite", header + "1,500,nan,100\n", false, 0, {}, {}, "not a number"},
        {"gap",
         header + "1,5,1,2\n2,5,1,2\n4,5,1,2\n",
         false,
         0,
         {},
         {},
         "line 4: t 4 does not follow 2"},
        {"tick zero", header + "0,5,1,2\n", false, 0, {}, {}, "not a tick number"},
        {"few fields", header + "1,5,1\n", false, 0, {}, {}, "fewer than"},
        {"header only", header, false, 0, {}, {}, "no rows"},
        {"empty", "", false, 0, {}, {}, "is empty"},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const Row &row : rows) {
        const std::string path = dir.filePath(QStringLiteral("ref.csv")).toStdString();
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << row.text;
        }
        ReferenceRun run;
        run.FirstTick = 77;
        run.X = {1};
        std::string error;
        const bool ok = ReadReferenceCsv(path, run, error);
        ASSERT_EQ(ok, row.ok) << row.name << ": " << error;
        if (ok) {
            EXPECT_EQ(run.FirstTick, row.firstTick) << row.name;
            EXPECT_EQ(run.X, row.x) << row.name;
            EXPECT_EQ(run.Y, row.y) << row.name;
        } else {
            EXPECT_NE(error.find(row.error), std::string::npos) << row.name << ": " << error;
            EXPECT_NE(error.find(path), std::string::npos) << row.name << ": " << error;
            EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
            EXPECT_EQ(run.FirstTick, 77) << "left as it was";
        }
    }
    std::string error;
    ReferenceRun run;
    EXPECT_FALSE(
        ReadReferenceCsv(dir.filePath(QStringLiteral("missing.csv")).toStdString(), run, error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}
