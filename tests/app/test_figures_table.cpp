#include "app/FiguresTable.h"

#include "analysis/RunRecorder.h"
#include "engine/LoopTick.h"

#include <QHeaderView>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace kavlon::test {
namespace {

const QString Dash = QStringLiteral("\u2013");

TEST(FiguresTableTest, CellsInTheLocalesFormatWithADashForMissingFigures)
{
    StepSegment full;
    full.Start = 1200;
    full.End = 1800;
    full.Kind = StepKind::SetPoint;
    full.Target = 500;
    full.Delta = 500;
    full.Band = 10;
    full.Rise = 30;
    full.Settling = 145;
    full.Overshoot = 24.46729119295616256L;
    full.MaxError = 499.23076923076923078L;
    full.SteadyError = -0.001007854029207944091L;
    full.IAE = 12932.991365036329991L;

    StepSegment disturbance;
    disturbance.Start = 40;
    disturbance.End = 41;
    disturbance.Kind = StepKind::Disturbance;
    disturbance.Delta = -30;
    disturbance.Band = 0.6L;
    disturbance.MaxError = 0.25L;
    disturbance.SteadyError = 0.25L;
    disturbance.IAE = 0.25L;

    StepSegment none; // no sample yet: no figure exists

    struct Row {
        const StepSegment &segment;
        QLocale locale;
        QStringList cells;
    };
    const QLocale de(QLocale::German, QLocale::Germany);
    const QLocale c = QLocale::c();
    const Row rows[] = {
        {full,
         de,
         {QStringLiteral("1200"), QString::fromUtf8("Führungssprung"), QStringLiteral("500"),
          QString::fromUtf8("±10"), QStringLiteral("30"), QStringLiteral("145"),
          QStringLiteral("24,5"), QStringLiteral("499,2"), QStringLiteral("0,0"),
          QStringLiteral("12933")}},
        {full,
         c,
         {QStringLiteral("1200"), QString::fromUtf8("Führungssprung"), QStringLiteral("500"),
          QString::fromUtf8("±10"), QStringLiteral("30"), QStringLiteral("145"),
          QStringLiteral("24.5"), QStringLiteral("499.2"), QStringLiteral("0.0"),
          QStringLiteral("12933")}},
        {disturbance,
         de,
         {QStringLiteral("40"), QString::fromUtf8("Störsprung"), QStringLiteral("-30"),
          QString::fromUtf8("±0,6"), Dash, Dash, Dash, QStringLiteral("0,2"), QStringLiteral("0,2"),
          QStringLiteral("0")}},
        {none,
         de,
         {QStringLiteral("0"), QString::fromUtf8("Führungssprung"), QStringLiteral("0"),
          QString::fromUtf8("±0"), Dash, Dash, Dash, Dash, Dash, Dash}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.locale.name().toStdString() + " " + std::to_string(r.segment.Start));
        EXPECT_EQ(FiguresTable::CellTexts(r.segment, r.locale), r.cells);
    }
    EXPECT_EQ(FiguresTable::ColumnTitles().size(), rows[0].cells.size());
}

// Plant A from rest with the start values, a set-point step at 200 s and
// disturbance steps after it, fed to the recorder as the window feeds it.
class RecordedRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        recorder.SetHistoryLimit(20);
        ResetLoopState(loop, false, false, false);
        recorder.StartFromRest(loop);
    }
    void Run(int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            LoopTick(loop, [this](const LoopState &s) { recorder.Sample(s); });
    }
    void Change(Real &value, Real to)
    {
        value = to;
        recorder.OperatorChanged(loop);
    }
    QStringList RowTitles(const QTableWidget &table) const
    {
        QStringList titles;
        for (int row = 0; row < table.rowCount(); ++row)
            titles << table.verticalHeaderItem(row)->text();
        return titles;
    }
    QStringList Cells(const QTableWidget &table, int row) const
    {
        QStringList cells;
        for (int column = 0; column < table.columnCount(); ++column)
            cells << table.item(row, column)->text();
        return cells;
    }

    LoopState loop;
    RunRecorder recorder;
};

TEST_F(RecordedRun, RowsFollowTheRecorderWithTheRunningSegmentLast)
{
    FiguresTable window(nullptr);
    Run(10);
    window.ShowFor(recorder);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Kennwerte-Tabelle"));
    const QTableWidget &table = *window.Table();
    ASSERT_EQ(table.columnCount(), 10);
    EXPECT_EQ(table.horizontalHeaderItem(4)->text(), QStringLiteral("Anregelzeit [s]"));
    EXPECT_EQ(RowTitles(table), QStringList{QString::fromUtf8("vorläufig")});
    EXPECT_EQ(Cells(table, 0), FiguresTable::CellTexts(*recorder.Current()));
    EXPECT_EQ(table.item(0, 4)->text(), Dash); // not yet near the set point

    // The running row follows every tick.
    Run(190);
    window.Refresh(recorder);
    EXPECT_EQ(Cells(table, 0), FiguresTable::CellTexts(*recorder.Current()));
    EXPECT_EQ(table.item(0, 4)->text(), QStringLiteral("30"));

    Change(loop.w, 300);
    Run(100);
    Change(loop.Z, 50);
    Run(100);
    window.Refresh(recorder);
    EXPECT_EQ(RowTitles(table), (QStringList{QStringLiteral("1"), QStringLiteral("2"),
                                             QString::fromUtf8("vorläufig")}));
    ASSERT_EQ(recorder.Completed().size(), 2u);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(Cells(table, row),
                  FiguresTable::CellTexts(recorder.Completed()[static_cast<std::size_t>(row)]));
    EXPECT_EQ(table.item(1, 1)->text(), QString::fromUtf8("Führungssprung"));
    EXPECT_EQ(table.item(1, 2)->text(), QStringLiteral("-200"));
    EXPECT_EQ(table.item(2, 1)->text(), QString::fromUtf8("Störsprung"));
    EXPECT_EQ(table.item(2, 0)->text(), QStringLiteral("300"));

    // A gain change ends the segment and starts none: no running row.
    Change(loop.Kr, 2);
    window.Refresh(recorder);
    EXPECT_EQ(table.rowCount(), 3);
    EXPECT_EQ(RowTitles(table).last(), QStringLiteral("3"));
}

TEST_F(RecordedRun, AtMostTheKeptHistoryWithNumbersSinceTheStart)
{
    FiguresTable window(nullptr);
    window.ShowFor(recorder);
    for (int i = 0; i < 25; ++i) {
        Run(20);
        Change(loop.Z, loop.Z == 0 ? 20 : 0);
        window.Refresh(recorder);
    }
    const QTableWidget &table = *window.Table();
    ASSERT_EQ(table.rowCount(), 21);
    EXPECT_EQ(table.verticalHeaderItem(0)->text(), QStringLiteral("6"));
    EXPECT_EQ(table.verticalHeaderItem(19)->text(), QStringLiteral("25"));
    EXPECT_EQ(table.verticalHeaderItem(20)->text(), QString::fromUtf8("vorläufig"));
    EXPECT_EQ(Cells(table, 0), FiguresTable::CellTexts(recorder.Completed().front()));
    EXPECT_EQ(Cells(table, 19), FiguresTable::CellTexts(recorder.Completed().back()));
}

} // namespace
} // namespace kavlon::test
