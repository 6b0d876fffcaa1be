// The evaluation's overlays and figures line in the printed page and the
// clipboard picture.
#include "charts/Evaluation.h"
#include "output/DrawExport.h"
#include "output/ExportTargets.h"
#include "tests/output/ExportFixture.h"

#include <gtest/gtest.h>

#include <set>

namespace kavlon {
namespace {

using test::RecordingCanvas;

constexpr QRgb WhitePixel = 0xFFFFFFu;

// A loop whose evaluation watches it as the window's does.
struct WatchedLoop {
    LoopState s;
    LiveCharts charts;
    Evaluation evaluation;

    explicit WatchedLoop(std::uint32_t back = White)
    {
        charts.SetBackColor(back);
        charts.SetImageSize(980, 216);
        Restart();
    }

    void Restart()
    {
        ResetLoopState(s, false, false, false);
        charts.ResetCharts(s);
        evaluation.StartFromRest(s);
    }

    void Tick(int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            ChartTick(s, charts, evaluation);
    }

    ExportInputs Inputs(bool printInColor, bool evaluated) const
    {
        ExportInputs in = ExportInputsFromState(s, charts, printInColor);
        in.Evaluated = evaluated ? &evaluation : nullptr;
        return in;
    }
};

// A run at Kr = 2 kept as the reference, then a run at Kr = 4 over it.
void RunOverAReference(WatchedLoop &loop)
{
    loop.s.Kr = 2;
    loop.Restart();
    loop.Tick(300);
    loop.evaluation.KeepReference(loop.charts);
    loop.s.Kr = 4;
    loop.Restart();
    loop.Tick(300);
}

struct Difference {
    int count = 0;
    int overInk = 0; // pixels that were not white before
    std::set<QRgb> colours;
};

Difference Compare(const QImage &plain, const QImage &evaluated, const QRect &area)
{
    Difference d;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb a = plain.pixel(x, y) & 0xFFFFFFu;
            const QRgb b = evaluated.pixel(x, y) & 0xFFFFFFu;
            if (a == b)
                continue;
            ++d.count;
            d.colours.insert(b);
            if (a != WhitePixel)
                ++d.overInk;
        }
    return d;
}

} // namespace

TEST(ExportEvaluation, NothingShownGivesTheSameDocument)
{
    for (const std::uint32_t back : {White, Black}) {
        WatchedLoop loop(back);
        loop.Tick(200);
        // Switched off, or on with nothing to show yet (no cursor set).
        loop.evaluation.CursorEnabled = true;
        for (const bool colour : {true, false}) {
            EXPECT_EQ(RenderClipboardPicture(loop.Inputs(colour, true), 96),
                      RenderClipboardPicture(loop.Inputs(colour, false), 96));
            const RecordingCanvas with = [&] {
                RecordingCanvas c;
                DrawExport(c, ClipboardParams, loop.Inputs(colour, true));
                return c;
            }();
            RecordingCanvas without;
            DrawExport(without, ClipboardParams, loop.Inputs(colour, false));
            ASSERT_EQ(with.texts.size(), without.texts.size());
            ASSERT_EQ(with.stretches.size(), 2u);
            for (std::size_t i = 0; i < 2; ++i)
                EXPECT_EQ(with.stretches[i].source, without.stretches[i].source);
        }
    }
}

TEST(ExportEvaluation, TheReferenceGoesWhereTheChartsWereWhite)
{
    // The live charts' background does not matter: the export is white.
    for (const std::uint32_t back : {White, Black}) {
        for (const bool colour : {true, false}) {
            WatchedLoop loop(back);
            RunOverAReference(loop);
            // The private chart images before they are scaled: only white
            // pixels turn, all to the reference's one pale colour (grey in
            // black and white) per chart.
            RecordingCanvas plainCharts;
            DrawExport(plainCharts, ClipboardParams, loop.Inputs(colour, false));
            RecordingCanvas evaluatedCharts;
            DrawExport(evaluatedCharts, ClipboardParams, loop.Inputs(colour, true));
            ASSERT_EQ(evaluatedCharts.stretches.size(), 2u);
            for (std::size_t i = 0; i < 2; ++i) {
                const QImage &before = plainCharts.stretches[i].source;
                const QImage &after = evaluatedCharts.stretches[i].source;
                const Difference d = Compare(before, after, before.rect());
                EXPECT_GT(d.count, 300) << "back " << back << " colour " << colour;
                EXPECT_EQ(d.overInk, 0);
                ASSERT_EQ(d.colours.size(), 1u);
                const QRgb pale = *d.colours.begin();
                const bool grey = qRed(pale) == qGreen(pale) && qGreen(pale) == qBlue(pale);
                EXPECT_NE(grey, colour);
                EXPECT_GT(qRed(pale) + qGreen(pale) + qBlue(pale), 3 * 128);
            }
            // The picture: pale pixels where it was white, inside the charts only.
            const QImage plain = RenderClipboardPicture(loop.Inputs(colour, false), 96);
            const QImage evaluated = RenderClipboardPicture(loop.Inputs(colour, true), 96);
            for (const QRect chart : {QRect(0, 120, 950, 237), QRect(0, 417, 950, 237)}) {
                const Difference d = Compare(plain, evaluated, chart);
                EXPECT_GT(d.count - d.overInk, 200);
            }
            EXPECT_EQ(Compare(plain, evaluated, QRect(0, 0, 950, 120)).count, 0);
            EXPECT_EQ(Compare(plain, evaluated, QRect(0, 357, 950, 60)).count, 0);
            EXPECT_EQ(Compare(plain, evaluated, QRect(0, 654, 950, 1425 - 654)).count, 0);
        }
    }
}

TEST(ExportEvaluation, FiguresAddALineBelowTheSettings)
{
    WatchedLoop loop;
    loop.Tick(200);
    loop.evaluation.FiguresEnabled = true;
    const ExportInputs in = loop.Inputs(true, true);
    RecordingCanvas c;
    DrawExport(c, ClipboardParams, in);
    // Plant A has no option: legends, settings, then the figures.
    ASSERT_EQ(c.texts.size(), 7u);
    EXPECT_EQ(c.texts[5].y, 744);
    EXPECT_EQ(c.texts[6].x, 42);
    EXPECT_EQ(c.texts[6].y, 774);
    EXPECT_EQ(c.texts[6].text, loop.evaluation.FiguresLine());
    EXPECT_TRUE(c.texts[6].text.startsWith(QStringLiteral(
        "Kennwerte (F\u00FChrungssprung t = 0 s, \u0394 = 500, Band \u00B110, vorl\u00E4ufig): ")));

    // The picture: the new line's ink below the settings line; the plant
    // chart carries the figures box, the controller chart is unchanged.
    const QImage plain = RenderClipboardPicture(loop.Inputs(true, false), 96);
    const QImage evaluated = RenderClipboardPicture(in, 96);
    EXPECT_GT(Compare(plain, evaluated, QRect(0, 774, 950, 22)).count, 100);
    // (An accent of the new line may reach a pixel above its top.)
    EXPECT_EQ(Compare(plain, evaluated, QRect(0, 0, 950, 417)).count, 0);
    EXPECT_EQ(Compare(plain, evaluated, QRect(0, 654, 950, 770 - 654)).count, 0);
    EXPECT_GT(Compare(plain, evaluated, QRect(0, 417, 950, 237)).count, 100);

    // In manual mode the settings line goes, the figures line moves up.
    loop.s.HandMode = true;
    loop.evaluation.OperatorChanged(loop.s);
    RecordingCanvas hand;
    DrawExport(hand, ClipboardParams, loop.Inputs(true, true));
    ASSERT_EQ(hand.texts.size(), 6u);
    EXPECT_EQ(hand.texts[5].y, 744);
    EXPECT_TRUE(hand.texts[5].text.startsWith(QStringLiteral("Kennwerte (")));
    EXPECT_FALSE(hand.texts[5].text.contains(QStringLiteral("vorl\u00E4ufig")));
}

} // namespace kavlon

namespace kavlon {
namespace {

TEST(ExportEvaluation, TheDocumentIsTheSameOnAScaledScreen)
{
    // The live charts of a scaled screen are drawn in device pixels; the
    // page and the picture must not notice, overlays included.
    const auto run = [](WatchedLoop &loop) {
        loop.evaluation.CursorEnabled = true;
        loop.evaluation.FiguresEnabled = true;
        RunOverAReference(loop);
        loop.s.w = 300;
        loop.evaluation.OperatorChanged(loop.s);
        loop.Tick(90);
        // The cursor on the same tick, wherever that is in each picture.
        const std::int32_t tick = loop.evaluation.NewestTick() - 40;
        const std::optional<int> column =
            TickColumn(loop.charts, loop.evaluation.NewestTick(), tick);
        ASSERT_TRUE(column);
        loop.evaluation.SetCursorAt(loop.charts, 0, *column);
        ASSERT_EQ(loop.evaluation.CursorTick(loop.charts, 0), tick);
    };
    WatchedLoop plain;
    run(plain);
    for (const double ratio : {1.25, 2.0}) {
        WatchedLoop scaled;
        scaled.charts.SetPixelRatio(ratio);
        run(scaled);
        ASSERT_EQ(scaled.charts.PixelRatio(), ratio);
        ASSERT_NE(scaled.charts.ReglerImage().size(), plain.charts.ReglerImage().size());
        for (const bool colour : {true, false})
            EXPECT_EQ(RenderClipboardPicture(scaled.Inputs(colour, true), 96),
                      RenderClipboardPicture(plain.Inputs(colour, true), 96))
                << ratio << (colour ? " in colour" : " black and white");
    }
}

} // namespace
} // namespace kavlon
