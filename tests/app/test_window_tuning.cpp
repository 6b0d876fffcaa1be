#include "tests/app/AppTestSupport.h"

#include "analysis/StepResponse.h"
#include "app/ChartView.h"
#include "app/HelpViewer.h"
#include "app/StepResultDialog.h"
#include "app/TuningMapDialog.h"
#include "app/TuningMenu.h"
#include "charts/ChartFrame.h"
#include "charts/TuningMap.h"
#include "engine/LoopTick.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>

#include <cmath>
#include <optional>
#include <utility>

namespace kavlon::test {
namespace {

class TuningTest : public TempStoreTest {
protected:
    const TuningMenu &Tuning() { return Window().TuningCommands(); }
    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            Window().ActionOnTimer();
    }
    // "Sprungantwort auswerten…" from the menu, y1 typed and OK clicked.
    void StepTestFromMenu(int y1)
    {
        Item("Sprungantwort")->trigger();
        QDialog *input = Tuning().InputDialog();
        ASSERT_NE(input, nullptr);
        ASSERT_TRUE(input->isVisible());
        Tuning().InputValue()->setValue(y1);
        auto *buttons = input->findChild<QDialogButtonBox *>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        // The test drives the ticks itself.
        Window().SimulationTimer().stop();
    }
    // Pixels of the step test's colours in what the plant chart view shows.
    int ConstructionPixels()
    {
        auto *view = Get<ChartView>("RegelstreckeImage");
        const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int n = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                n += shown.pixel(x, y) == qRgb(140, 0, 160);
        return n;
    }
};

// The same test run on a bare loop, evaluated by the analysis code.
StepIdentification BareStepTest(int plant, int ticksBefore, Real y1)
{
    LoopState s;
    s.PlantIndex = static_cast<std::uint8_t>(plant);
    for (int i = 0; i < ticksBefore; ++i)
        LoopTick(s);
    s.HandMode = true;
    StepTestRecorder r(s.TickCount, s.x, s.y, y1, true);
    s.y = y1;
    bool more = true;
    while (more)
        LoopTick(s, [&](const LoopState &t) { more = r.Add(t.x); });
    return r.Evaluate();
}

TEST_F(TuningTest, StepTestFromTheMenuDrawsTheTangentAndTunesTheLoop)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    Ticks(300); // the controller brings x to w = 500
    const Real y0 = win.Loop().y;
    StepTestFromMenu(70);
    EXPECT_TRUE(Get<QRadioButton>("HandButton")->isChecked()) << "the real mode switch";
    EXPECT_TRUE(win.Loop().HandMode);
    EXPECT_EQ(win.Loop().y, 70);
    EXPECT_EQ(ReadOut("Stellgroesse"), QStringLiteral("70"));
    EXPECT_TRUE(Tuning().Recording());

    Ticks(40);
    ASSERT_TRUE(Tuning().Recording());
    EXPECT_GT(ConstructionPixels(), 0) << "the note and x0 line while recording";
    // The chart image itself never holds the construction.
    const QImage &image = win.Charts().RegelstreckeImage();
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            ASSERT_NE(image.pixel(x, y), qRgb(140, 0, 160));

    Ticks(StepTestSeconds);
    ASSERT_FALSE(Tuning().Recording());
    const StepIdentification id = *Tuning().Identification();
    ASSERT_TRUE(id.settled);
    EXPECT_EQ(id.t0, 300);
    EXPECT_EQ(id.y0, y0);

    // The window's figures are those of the same step on a bare loop
    // (the first 300 ticks ran under the controller there too).
    const StepIdentification bare = BareStepTest(0, 300, 70);
    EXPECT_EQ(*id.Tu, *bare.Tu);
    EXPECT_EQ(*id.Tg, *bare.Tg);
    EXPECT_EQ(*id.Ks, *bare.Ks);

    StepResultDialog *result = Tuning().ResultDialog();
    ASSERT_NE(result, nullptr);
    ASSERT_TRUE(result->isVisible());
    EXPECT_TRUE(result->Figures()->text().contains(QStringLiteral("Tu = ")));
    ASSERT_EQ(result->Table()->rowCount(), 15);
    EXPECT_GT(ConstructionPixels(), 0) << "the finished construction stays";

    // "Übernehmen" on the Ziegler-Nichols PID row.
    const TuningSuggestion &row = result->Rows()[2];
    ASSERT_EQ(row.rule.kind, ControllerKind::PID);
    auto *take = qobject_cast<QPushButton *>(result->Table()->cellWidget(2, 8));
    ASSERT_NE(take, nullptr);
    EXPECT_EQ(take->text(), QStringLiteral("Übernehmen"));
    QTest::mouseClick(take, Qt::LeftButton);
    EXPECT_EQ(win.Loop().Kr, row.krSet);
    EXPECT_EQ(win.Loop().Tn, row.tnSet);
    EXPECT_EQ(win.Loop().Tv, row.tvSet);
    EXPECT_FALSE(win.Loop().HandMode);
    EXPECT_TRUE(Get<QRadioButton>("ReglerButton")->isChecked());
    EXPECT_EQ(ReadOut("Verstaerkung"), QLocale().toString(static_cast<double>(row.krSet), 'f', 1));

    // A reset removes the construction.
    Item("Reset")->trigger();
    EXPECT_FALSE(Tuning().Identification());
    EXPECT_EQ(ConstructionPixels(), 0);
}

TEST_F(TuningTest, AnOperatorChangeEndsTheTestEarly)
{
    ShownWindow(1000, 700);
    Ticks(5);
    StepTestFromMenu(40);
    Ticks(10);
    Spin("SollwertUpDown", SpinDirection::Left); // w changes: the test ends
    EXPECT_FALSE(Tuning().Recording());
    const StepIdentification id = *Tuning().Identification();
    EXPECT_FALSE(id.settled);
    EXPECT_EQ(id.seconds, 10);
    ASSERT_NE(Tuning().ResultDialog(), nullptr);
    EXPECT_EQ(Tuning().ResultDialog()->Table()->rowCount(), 0);
    EXPECT_TRUE(Tuning().ResultDialog()->Figures()->text().contains(
        QStringLiteral("Einstellregeln gelten nicht")));
}

TEST_F(TuningTest, NoStepWhereY1IsTheOutputInForce)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    ClickTool("StreckeAButton");
    Get<QRadioButton>("HandButton")->click();
    Item("Sprungantwort")->trigger();
    Tuning().InputValue()->setValue(static_cast<int>(win.Loop().y));
    QDialog *input = Tuning().InputDialog();
    QTest::mouseClick(input->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    EXPECT_TRUE(input->isVisible()) << "the dialog stays with a German reason";
    EXPECT_FALSE(Tuning().Recording());
    bool told = false;
    for (QLabel *label : input->findChildren<QLabel *>())
        told = told || label->text().contains(QStringLiteral("unterscheiden"));
    EXPECT_TRUE(told);
}

TEST_F(TuningTest, TuningMapRunsBesideTheLoopAndAClickRetunes)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    win.Loop().Speed = 100;
    win.StartStopClick();
    ASSERT_TRUE(win.Running());
    const std::int32_t ticksBefore = win.Loop().TickCount;
    Item("Kennfeld")->trigger();
    TuningMapDialog *map = Tuning().MapDialog();
    ASSERT_NE(map, nullptr);
    EXPECT_TRUE(map->isVisible());
    EXPECT_EQ(map->Plan().Points(), 10000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return map->HasMap(); }, 60000));
    EXPECT_GT(win.Loop().TickCount, ticksBefore) << "the loop ticked while the map was computed";
    EXPECT_FALSE(map->Progress()->isVisible());
    win.StartStopClick();

    // The cells are the runs from rest that kavlon-sim's sweep makes.
    const SweepPlan &plan = map->Plan();
    for (std::int64_t p : {0, 4321, 9999}) {
        LoopState s;
        s.Kr = plan.KrOf(p);
        s.Tn = plan.TnOf(p);
        const SweepCell direct = FirstSegmentOfRun(s, TuningMapDialog::RunTicks, 2,
                                                   [](LoopState &, std::int32_t, auto &&) {});
        EXPECT_EQ(SweepCsvRow(plan, p, direct),
                  SweepCsvRow(plan, p, map->Cells()[static_cast<std::size_t>(p)]));
    }

    // A click in the middle of cell (Kr index 24, Tn index 9): Kr 2,5, Tn 20.
    const QRect cell = TuningMapCell(plan, TuningMapPanelAt(map->MapView(), 0).plot, 24, 9);
    QTest::mouseClick(map->View(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(win.Loop().Kr, 2.5L);
    EXPECT_EQ(win.Loop().Tn, 20);
    EXPECT_EQ(ReadOut("Nachstellzeit"), QStringLiteral("20"));
    ASSERT_TRUE(map->MapView().currentKr);
    EXPECT_EQ(*map->MapView().currentKr, 2.5L);
}

// Whether two neighbours differ across an odd column within `area`: a 2x
// enlargement of a low-resolution picture changes only between columns 2k - 1
// and 2k, so glyphs drawn at the device resolution show such changes.
bool ChangesAtOddColumns(const QImage &img, const QRect &area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left() + 1; x <= area.right(); ++x)
            if (x % 2 == 1 && img.pixel(x, y) != img.pixel(x - 1, y))
                return true;
    return false;
}

TEST_F(TuningTest, TuningMapIsDrawnAtTheScreensResolution)
{
    SweepPlan plan;
    ASSERT_EQ(ParseSweepAxis("1:3:1", SpinValue::Kr, plan.kr), "");
    ASSERT_EQ(ParseSweepAxis("10:30:10", SpinValue::Tn, plan.tn), "");
    std::optional<std::pair<Real, Real>> picked;
    TuningMapDialog map(nullptr, [&](Real kr, Real tn) { picked = {kr, tn}; });
    map.Compute(LoopState{}, 2, plan);
    ASSERT_TRUE(QTest::qWaitFor([&] { return map.HasMap(); }, 20000));
    map.show();
    TuningMapWidget *view = map.View();
    const QImage one = view->Map();
    ASSERT_EQ(one.devicePixelRatio(), 1);
    ASSERT_EQ(one.size(), TuningMapSize(plan, TuningMapView{}));
    const QSize points = view->size();
    ASSERT_EQ(points, one.size());

    for (const qreal ratio : {2.0, 1.5}) {
        view->SetDisplayRatioForTest(ratio);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->Map().devicePixelRatio() == ratio; }))
            << "no map drawn at " << ratio;
        const QImage &sharp = view->Map();
        EXPECT_EQ(sharp.size(), (QSizeF(one.size()) * ratio).toSize()) << ratio;
        EXPECT_EQ(view->size(), points) << "the dialog keeps its layout at " << ratio;
        if (ratio == 2) {
            const QImage doubled = one.scaled(one.size() * 2);
            EXPECT_NE(sharp, doubled);
            const QRect titleRow(0, 0, sharp.width(), 2 * TuningMapPanelAt({}, 0).plot.top());
            EXPECT_FALSE(ChangesAtOddColumns(doubled, titleRow));
            EXPECT_TRUE(ChangesAtOddColumns(sharp, titleRow)) << "the title is enlarged";
        }
        // Clicks still land on the cell under the pointer.
        const QRect cell = TuningMapCell(plan, TuningMapPanelAt(map.MapView(), 0).plot, 2, 1);
        picked.reset();
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, cell.center());
        ASSERT_TRUE(picked) << ratio;
        EXPECT_EQ(picked->first, 3) << ratio;
        EXPECT_EQ(picked->second, 20) << ratio;
    }
    // Back at ratio 1 the map is the same picture as before.
    view->SetDisplayRatioForTest(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->Map().devicePixelRatio() == 1; }));
    EXPECT_EQ(view->Map(), one);
}

TEST_F(TuningTest, CancellingTheMapStopsItsThreads)
{
    ShownWindow(1000, 700);
    Item("Kennfeld")->trigger();
    TuningMapDialog *map = Tuning().MapDialog();
    ASSERT_NE(map, nullptr);
    QTest::mouseClick(map->CancelButton(), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !map->Computing(); }, 20000));
    EXPECT_FALSE(map->HasMap());
    // Opened again it computes afresh.
    Item("Kennfeld")->trigger();
    EXPECT_TRUE(map->Computing());
}

TEST_F(TuningTest, HelpTopicWithTheWorkedExampleOfPlantA)
{
    Window();
    Item("HelpOnTuning")->trigger();
    ASSERT_NE(HelpViewer::Instance(), nullptr);
    EXPECT_EQ(HelpViewer::Instance()->CurrentContext(), 1031);
    EXPECT_EQ(HelpViewer::Instance()->CurrentTitle(),
              QStringLiteral("Reglereinstellung: Sprungantwort und Kennfeld"));
    // The example's figures are those of the step test on plant A.
    const StepIdentification a = BareStepTest(0, 0, 50);
    auto shown = [](Real v, int decimals) {
        return QLocale(QLocale::German).toString(static_cast<double>(v), 'f', decimals);
    };
    const QString text = HelpViewer::Instance()->CurrentText();
    for (const QString &figure : {QStringLiteral("Tu = ") + shown(*a.Tu, 2) + QStringLiteral(" s"),
                                  QStringLiteral("Tg = ") + shown(*a.Tg, 2) + QStringLiteral(" s"),
                                  QStringLiteral("Ks = ") + shown(*a.Ks, 3), shown(a.xEnd, 1),
                                  QStringLiteral("Kr = 4,9 und Tn = 22")})
        EXPECT_TRUE(text.contains(figure)) << figure.toStdString();
}

} // namespace
} // namespace kavlon::test
