#include "tests/app/AppTestSupport.h"

#include "app/ChartView.h"
#include "app/EvaluationMenu.h"
#include "app/FiguresTable.h"
#include "app/HelpViewer.h"
#include "charts/ChartFrame.h"
#include "charts/Evaluation.h"

#include <QActionGroup>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTableWidget>

#include <cmath>
#include <vector>

namespace kavlon::test {
namespace {

class EvaluationTest : public TempStoreTest {
protected:
    const Evaluation &Eval() { return Window().ChartEvaluation(); }
    ChartView *View(int chart)
    {
        return Get<ChartView>(chart == PlantChart ? "RegelstreckeImage" : "ReglerImage");
    }
    // What the chart view shows on the screen, in the image's format.
    QImage Shown(int chart)
    {
        return View(chart)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    const QImage &Image(int chart)
    {
        return chart == PlantChart ? Window().Charts().RegelstreckeImage()
                                   : Window().Charts().ReglerImage();
    }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            Window().ActionOnTimer();
    }
    // A left click on a chart at the column of `tick`, somewhere in the plot.
    void ClickAtTick(int chart, std::int32_t tick, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const std::optional<int> column = TickColumn(Window().Charts(), Eval().NewestTick(), tick);
        ASSERT_TRUE(column.has_value()) << tick;
        QTest::mouseClick(View(chart), Qt::LeftButton, modifiers, QPoint(*column, 60));
    }
    std::optional<std::int32_t> Cursor(int which)
    {
        return Eval().CursorTick(Window().Charts(), which);
    }
    QStringList Readout(int chart)
    {
        return Eval().CursorReadout(Window().Charts(), chart, QLocale::c());
    }
    std::uint64_t SegmentsDone() { return Eval().Recorder().CompletedTotal(); }
};

QString OneDecimalC(Real v)
{
    return QLocale::c().toString(static_cast<double>(std::nearbyint(v * 10) / 10), 'f', 1);
}

TEST_F(EvaluationTest, MenuAuswertungStandsBeforeHilfeWithItsItems)
{
    TKavlonMain &win = Window();
    const QList<QAction *> bar = win.menuBar()->actions();
    ASSERT_GE(bar.size(), 3);
    // The menu "Versuch" stands between it and "Hilfe".
    EXPECT_EQ(bar[bar.size() - 3]->text(), QStringLiteral("A&uswertung"));
    EXPECT_EQ(bar[bar.size() - 2]->text(), QStringLiteral("&Versuch"));
    EXPECT_EQ(bar.last()->text(), QStringLiteral("&Hilfe"));

    auto *menu = Get<QMenu>("AuswertungMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->menuAction(), bar[bar.size() - 3]);
    struct Row {
        const char *name;
        const char *text; // "" for a separator
        bool checkable;
    };
    const Row rows[] = {
        {"Messcursor", "&Messcursor", true},
        {"Kennwerte", "&Kennwerte", true},
        {"Toleranzband1", "Toleranzband &1 %", true},
        {"Toleranzband2", "Toleranzband &2 %", true},
        {"Toleranzband5", "Toleranzband &5 %", true},
        {"KennwerteTabelle", "Kennwerte-&Tabelle…", false},
        {"N6", "", false},
        {"KurveMerken", "K&urve merken", false},
        {"ReferenzLoeschen", "Referenz &löschen", false},
        {"N11", "", false},
        {"Sprungantwort", "&Sprungantwort auswerten…", false},
        {"Kennfeld", "Kenn&feld…", false},
        {"N7", "", false},
        {"HelpOnEvaluation", "Hilfe zur &Auswertung", false},
        {"HelpOnTuning", "Hilfe zur &Reglereinstellung", false},
    };
    const QList<QAction *> items = menu->actions();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(std::size(rows)));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row &r = rows[i];
        QAction *a = items[static_cast<qsizetype>(i)];
        EXPECT_EQ(a->objectName(), QString::fromLatin1(r.name));
        EXPECT_EQ(a->isSeparator(), *r.text == '\0') << r.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(r.text)) << r.name;
        EXPECT_EQ(a->isCheckable(), r.checkable) << r.name;
    }
    // First start: both switches off, the 2 % band, no reference to delete.
    EXPECT_FALSE(Item("Messcursor")->isChecked());
    EXPECT_FALSE(Item("Kennwerte")->isChecked());
    EXPECT_TRUE(Item("Toleranzband2")->isChecked());
    EXPECT_FALSE(Item("Toleranzband1")->isChecked());
    EXPECT_FALSE(Item("ReferenzLoeschen")->isEnabled());
    EXPECT_TRUE(Item("KurveMerken")->isEnabled());
    EXPECT_EQ(Item("HelpOnEvaluation")->property("helpContext").toInt(), 1030);
    EXPECT_FALSE(Eval().CursorEnabled);
    EXPECT_FALSE(Eval().FiguresEnabled);
    EXPECT_EQ(Eval().Recorder().BandPercent(), 2);

    // The bands are one group of their own in which one is always marked.
    QActionGroup *group = Item("Toleranzband1")->actionGroup();
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group, Item("Toleranzband5")->actionGroup());
    EXPECT_NE(group, Item("Zeitachse600")->actionGroup());
    EXPECT_EQ(group->exclusionPolicy(), QActionGroup::ExclusionPolicy::Exclusive);
    Item("Toleranzband2")->trigger();
    EXPECT_TRUE(Item("Toleranzband2")->isChecked());
}

TEST_F(EvaluationTest, SwitchesAreWrittenAtOnceAndReadAtTheNextStart)
{
    Window();
    EXPECT_EQ(StoredKeys(), QStringList{QStringLiteral("Zeitachse")});
    struct Step {
        const char *item;
        const char *key;
        const char *stored;
    };
    const Step steps[] = {
        {"Messcursor", "Messcursor", "1"},      {"Kennwerte", "Kennwerte", "1"},
        {"Toleranzband5", "Toleranzband", "5"}, {"Toleranzband1", "Toleranzband", "1"},
        {"Messcursor", "Messcursor", "0"},      {"Messcursor", "Messcursor", "1"},
    };
    for (const Step &s : steps) {
        Item(s.item)->trigger();
        EXPECT_EQ(Stored(s.key).toString(), QString::fromLatin1(s.stored)) << s.item;
    }
    EXPECT_EQ(Eval().Recorder().BandPercent(), 1);

    window_.reset();
    Window();
    EXPECT_TRUE(Item("Messcursor")->isChecked());
    EXPECT_TRUE(Item("Kennwerte")->isChecked());
    EXPECT_TRUE(Item("Toleranzband1")->isChecked());
    EXPECT_FALSE(Item("Toleranzband2")->isChecked());
    EXPECT_TRUE(Eval().CursorEnabled);
    EXPECT_TRUE(Eval().FiguresEnabled);
    EXPECT_EQ(Eval().Recorder().BandPercent(), 1);
    // The first segment of the new start already has the stored band.
    ASSERT_TRUE(Eval().Recorder().Current().has_value());
    EXPECT_EQ(Eval().Recorder().Current()->Band, 5); // 1 % of 500
}

TEST_F(EvaluationTest, UnusableStoredValuesCountAsAbsent)
{
    struct Row {
        const char *band;
        const char *flag;
        const char *bandItem;
        bool on;
    };
    const Row rows[] = {
        {"5", "1", "Toleranzband5", true},      {"3", "0", "Toleranzband2", false},
        {"0", "abc", "Toleranzband2", false},   {"-5", "-1", "Toleranzband2", true},
        {"2,5", "1.0", "Toleranzband2", false}, {"1", "7", "Toleranzband1", true},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(std::string(r.band) + " " + r.flag);
        Preset("Toleranzband", QString::fromLatin1(r.band));
        Preset("Messcursor", QString::fromLatin1(r.flag));
        Preset("Kennwerte", QString::fromLatin1(r.flag));
        window_.reset();
        Window();
        EXPECT_TRUE(Item(r.bandItem)->isChecked());
        EXPECT_EQ(Item("Messcursor")->isChecked(), r.on);
        EXPECT_EQ(Item("Kennwerte")->isChecked(), r.on);
        EXPECT_EQ(Eval().CursorEnabled, r.on);
        EXPECT_EQ(Eval().FiguresEnabled, r.on);
        // Nothing is written back at start.
        EXPECT_EQ(Stored("Toleranzband").toString(), QString::fromLatin1(r.band));
    }
}

TEST_F(EvaluationTest, ClicksSetTheCursorsAndTheReadOutShowsTheirSamples)
{
    ShownWindow(1000, 700);
    // x after each tick, by tick number.
    std::vector<Real> x{0};
    for (int i = 0; i < 120; ++i) {
        Window().ActionOnTimer();
        x.push_back(Window().Loop().x);
    }
    // Off: a left click does nothing, and the view is the bare image.
    ClickAtTick(PlantChart, 50);
    EXPECT_FALSE(Cursor(0).has_value());
    EXPECT_EQ(Shown(PlantChart), Image(PlantChart));

    Item("Messcursor")->trigger();
    const QImage plantBefore = Image(PlantChart);
    ClickAtTick(PlantChart, 50);
    EXPECT_EQ(Cursor(0), 50);
    QStringList lines = Readout(PlantChart);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("t = 50 s"));
    EXPECT_TRUE(lines.contains(QStringLiteral("x = ") + OneDecimalC(x[50])))
        << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("w = 500.0")));
    // Drawn over the charts, never into them.
    EXPECT_EQ(Image(PlantChart), plantBefore);
    EXPECT_NE(Shown(PlantChart), Image(PlantChart));
    EXPECT_NE(Shown(ControllerChart), Image(ControllerChart));

    // Shift+click on the other chart: the second cursor, with the differences.
    ClickAtTick(ControllerChart, 80, Qt::ShiftModifier);
    EXPECT_EQ(Cursor(0), 50);
    EXPECT_EQ(Cursor(1), 80);
    lines = Readout(PlantChart);
    EXPECT_TRUE(lines.contains(QStringLiteral("\u0394t = 30 s"))) << lines.join(u'|').toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("\u0394x = ") + OneDecimalC(x[80] - x[50])));

    // Dragging moves the main cursor along.
    const auto column = [&](std::int32_t tick) {
        return *TickColumn(Window().Charts(), Eval().NewestTick(), tick);
    };
    QTest::mousePress(View(PlantChart), Qt::LeftButton, Qt::NoModifier, QPoint(column(60), 40));
    QMouseEvent move(QEvent::MouseMove, QPointF(column(70), 40),
                     View(PlantChart)->mapToGlobal(QPointF(column(70), 40)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(View(PlantChart), &move);
    QTest::mouseRelease(View(PlantChart), Qt::LeftButton, Qt::NoModifier, QPoint(column(70), 40));
    EXPECT_EQ(Cursor(0), 70);
    EXPECT_EQ(Cursor(1), 80);

    // The right button still opens the help and leaves the cursors alone.
    QTest::mouseClick(View(PlantChart), Qt::RightButton, Qt::NoModifier, QPoint(column(20), 40));
    ASSERT_NE(HelpViewer::Instance(), nullptr);
    EXPECT_EQ(HelpViewer::Instance()->CurrentContext(), 1101);
    EXPECT_EQ(Cursor(0), 70);

    // The cursor names its tick: later ticks move it left with the trace.
    const int before = column(70);
    Ticks(10);
    EXPECT_EQ(Cursor(0), 70);
    EXPECT_LE(column(70), before);

    // A reset takes the cursors away with the samples they named.
    Window().ResetClick();
    EXPECT_FALSE(Cursor(0).has_value());
    EXPECT_FALSE(Cursor(1).has_value());
    EXPECT_TRUE(Readout(PlantChart).isEmpty());
    EXPECT_EQ(Shown(PlantChart), Image(PlantChart));

    // Switching the cursor off removes it; on again, it waits for a click.
    Ticks(30);
    ClickAtTick(PlantChart, 20);
    EXPECT_EQ(Cursor(0), 20);
    Item("Messcursor")->trigger();
    EXPECT_FALSE(Cursor(0).has_value());
    EXPECT_EQ(Shown(PlantChart), Image(PlantChart));
    Item("Messcursor")->trigger();
    EXPECT_FALSE(Cursor(0).has_value());
}

TEST_F(EvaluationTest, FiguresFollowTheTicksAndTheTableListsTheSegments)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Item("Kennwerte")->trigger();
    Ticks(200);
    std::optional<StepSegment> current = Eval().Recorder().Current();
    ASSERT_TRUE(current.has_value());
    EXPECT_EQ(current->Kind, StepKind::SetPoint);
    EXPECT_EQ(current->Rise, 30);
    EXPECT_EQ(current->Settling, 145);
    // Band and figures box over the plant chart.
    EXPECT_NE(Shown(PlantChart), Image(PlantChart));

    Item("KennwerteTabelle")->trigger();
    FiguresTable *table = win.EvaluationCommands().Table();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    EXPECT_FALSE(table->isModal());
    const QTableWidget &list = *table->Table();
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.verticalHeaderItem(0)->text(), QString::fromUtf8("vorläufig"));
    EXPECT_EQ(list.item(0, 4)->text(), QStringLiteral("30"));

    // A set-point step ends the segment and starts the next one.
    Spin("SollwertUpDown", SpinDirection::Right, 2);
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.verticalHeaderItem(0)->text(), QStringLiteral("1"));
    EXPECT_EQ(list.item(1, 0)->text(), QStringLiteral("200"));
    EXPECT_EQ(list.item(1, 2)->text(), QStringLiteral("50"));
    EXPECT_EQ(list.item(1, 4)->text(), QString::fromUtf8("\u2013"));
    // Every tick brings the running row up to date.
    for (int i = 0; i < 40; ++i) {
        win.ActionOnTimer();
        QStringList cells;
        for (int c = 0; c < list.columnCount(); ++c)
            cells << list.item(1, c)->text();
        ASSERT_EQ(cells, FiguresTable::CellTexts(*Eval().Recorder().Current())) << i;
    }
    EXPECT_NE(list.item(1, 4)->text(), QString::fromUtf8("\u2013"));

    // The table goes with the main window.
    win.close();
    EXPECT_FALSE(table->isVisible());
}

TEST_F(EvaluationTest, AClickThatChangesNothingDoesNotEndTheSegment)
{
    TKavlonMain &win = Window();
    // Every value at a limit of its range, then a fresh run from rest.
    win.Loop().w = 800;
    win.Loop().Z = -200;
    win.Loop().Kr = 100;
    win.Loop().Tn = 200;
    win.Loop().Tv = 0;
    win.ResetClick();
    Ticks(20);
    const std::optional<StepSegment> running = Eval().Recorder().Current();
    ASSERT_TRUE(running.has_value());
    const std::uint64_t done = SegmentsDone();

    struct Row {
        const char *spin; // or a radio button already on
        SpinDirection direction;
    };
    const Row rows[] = {
        {"SollwertUpDown", SpinDirection::Right},     {"StoergroesseUpDown", SpinDirection::Left},
        {"VerstaerkungUpDown", SpinDirection::Right}, {"NachstellzeitUpDown", SpinDirection::Right},
        {"VorhaltezeitUpDown", SpinDirection::Left},  {"SpeedUpDown", SpinDirection::Right},
        {"SpeedUpDown", SpinDirection::Left},         {"ARWUOffButton", SpinDirection::Left},
        {"ReglerButton", SpinDirection::Left},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.spin);
        if (auto *radio = win.findChild<QRadioButton *>(QString::fromLatin1(r.spin)))
            QTest::mouseClick(radio, Qt::LeftButton);
        else
            Spin(r.spin, r.direction);
        Ticks(1);
        EXPECT_EQ(SegmentsDone(), done);
        ASSERT_TRUE(Eval().Recorder().Current().has_value());
        EXPECT_EQ(Eval().Recorder().Current()->Start, running->Start);
    }
    EXPECT_EQ(win.Loop().w, 800);
    EXPECT_EQ(win.Loop().Kr, 100);

    // A real change does end it: a step down starts the next segment...
    Spin("SollwertUpDown", SpinDirection::Left);
    EXPECT_EQ(SegmentsDone(), done + 1);
    ASSERT_TRUE(Eval().Recorder().Current().has_value());
    EXPECT_EQ(Eval().Recorder().Current()->Start, win.Loop().TickCount);
    EXPECT_EQ(Eval().Recorder().Current()->Delta, -25);
    // ...a switch ends it and starts none.
    Ticks(5);
    QTest::mouseClick(Get<QRadioButton>("ARWUOnButton"), Qt::LeftButton);
    EXPECT_EQ(SegmentsDone(), done + 2);
    EXPECT_FALSE(Eval().Recorder().Current().has_value());
}

TEST_F(EvaluationTest, ReferenceIsKeptOverAResetUntilItIsDeleted)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    // Nothing on the charts yet: nothing to keep.
    Item("KurveMerken")->trigger();
    EXPECT_FALSE(win.ChartEvaluation().HasReference());
    EXPECT_FALSE(Item("ReferenzLoeschen")->isEnabled());

    Ticks(100);
    Item("KurveMerken")->trigger();
    ASSERT_TRUE(win.ChartEvaluation().HasReference());
    EXPECT_EQ(win.ChartEvaluation().Reference().X.size(), 100u);
    EXPECT_EQ(win.ChartEvaluation().Reference().X[49],
              [&] { return win.Charts().Curve(CurveX)[49].Value; }());
    EXPECT_TRUE(Item("ReferenzLoeschen")->isEnabled());

    // Another run over it: the reference shows under the new traces.
    Spin("NachstellzeitUpDown", SpinDirection::Left, 25);
    win.ResetClick();
    Ticks(60);
    EXPECT_TRUE(win.ChartEvaluation().HasReference());
    EXPECT_NE(Shown(PlantChart), Image(PlantChart));
    EXPECT_NE(Shown(ControllerChart), Image(ControllerChart));

    Item("ReferenzLoeschen")->trigger();
    EXPECT_FALSE(win.ChartEvaluation().HasReference());
    EXPECT_FALSE(Item("ReferenzLoeschen")->isEnabled());
    EXPECT_EQ(Shown(PlantChart), Image(PlantChart));
    EXPECT_EQ(Shown(ControllerChart), Image(ControllerChart));
}

TEST_F(EvaluationTest, HelpOnTheEvaluationOpensItsTopic)
{
    Window();
    Item("HelpOnEvaluation")->trigger();
    ASSERT_NE(HelpViewer::Instance(), nullptr);
    EXPECT_EQ(HelpViewer::Instance()->CurrentContext(), 1030);
    EXPECT_EQ(HelpViewer::Instance()->CurrentTitle(),
              QStringLiteral("Auswertung: Messcursor, Kennwerte und Referenzkurve"));
    // The worked example's figures are those the window computes.
    const QString text = HelpViewer::Instance()->CurrentText();
    for (const char *figure : {"30 s", "145 s", "24,5 %", "499,2", "12933"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(figure))) << figure;
    HelpViewer::Instance()->close();
}

// Everything of the evaluation switched on, used and off again must leave the
// charts, their views and the clipboard picture exactly as in a window that
// never had it on.
TEST_F(EvaluationTest, EverythingOnAndOffAgainLeavesThePicturesAsWithoutIt)
{
    TKavlonMain &used = ShownWindow(1000, 700);
    auto plain = std::make_unique<TKavlonMain>();
    plain->show();
    for (int i = 0; i < 3 && plain->ClientArea()->size() != QSize(1000, 700); ++i) {
        plain->resize(plain->size() + QSize(1000, 700) - plain->ClientArea()->size());
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(plain->ClientArea()->size(), QSize(1000, 700));

    const auto both = [&](auto &&action) {
        action(used);
        action(*plain);
    };
    const auto ticks = [&](int n) {
        both([n](TKavlonMain &w) {
            for (int i = 0; i < n; ++i)
                w.ActionOnTimer();
        });
    };
    const auto copy = [](TKavlonMain &w) {
        QGuiApplication::clipboard()->clear();
        w.findChild<QAction *>(QStringLiteral("Copy"))->trigger();
        return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    };

    ticks(150);
    Item("Messcursor")->trigger();
    Item("Kennwerte")->trigger();
    Item("Toleranzband5")->trigger();
    Item("KurveMerken")->trigger();
    Item("KennwerteTabelle")->trigger();
    ClickAtTick(PlantChart, 100);
    ClickAtTick(ControllerChart, 140, Qt::ShiftModifier);
    both([](TKavlonMain &w) { w.SollwertUpDownClick(SpinDirection::Left); });
    ticks(120);
    ClickAtTick(PlantChart, 200);
    both([](TKavlonMain &w) { w.StoergroesseUpDownClick(SpinDirection::Right); });
    ticks(100);

    // On: the views and the picture show more than the charts.
    EXPECT_NE(Shown(PlantChart), Image(PlantChart));
    EXPECT_NE(copy(used), copy(*plain));

    Item("Messcursor")->trigger();
    Item("Kennwerte")->trigger();
    Item("Toleranzband2")->trigger();
    Item("ReferenzLoeschen")->trigger();
    used.EvaluationCommands().Table()->close();
    ticks(30);

    EXPECT_EQ(used.Charts().ReglerImage(), plain->Charts().ReglerImage());
    EXPECT_EQ(used.Charts().RegelstreckeImage(), plain->Charts().RegelstreckeImage());
    for (int chart : {ControllerChart, PlantChart})
        EXPECT_EQ(Shown(chart), Image(chart)) << chart;
    EXPECT_EQ(copy(used), copy(*plain));
}

} // namespace
} // namespace kavlon::test
