#include "tests/soak/OperatorSoak.h"

#include "app/ChartView.h"
#include "app/HelpViewer.h"
#include "app/SpinArrows.h"
#include "engine/OperatorValues.h"
#include "engine/PlantTable.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QToolButton>

#include <cmath>
#include <sstream>
#include <string_view>

namespace kavlon::soak {

namespace {

// Ticks between two checks of every pixel; in between a band of rows is seen.
constexpr int RowsPerCheck = 24;

std::string Describe(const char *what, Real value)
{
    std::ostringstream s;
    s.precision(21);
    s << what << " = " << value;
    return s.str();
}

// Where two images of one size differ: how many pixels, and the box round them.
std::string Differences(const char *name, const QImage &got, const QImage &want)
{
    if (got.size() != want.size())
        return std::string(" ") + name + " has another size";
    long count = 0;
    QRect box;
    QRgb firstGot = 0;
    QRgb firstWant = 0;
    for (int yRow = 0; yRow < got.height(); ++yRow)
        for (int xCol = 0; xCol < got.width(); ++xCol)
            if (got.pixel(xCol, yRow) != want.pixel(xCol, yRow)) {
                if (count++ == 0) {
                    firstGot = got.pixel(xCol, yRow);
                    firstWant = want.pixel(xCol, yRow);
                }
                box |= QRect(xCol, yRow, 1, 1);
            }
    if (count == 0)
        return {};
    std::ostringstream s;
    s << " " << name << " differs in " << count << " pixels within x " << box.left() << ".."
      << box.right() << ", y " << box.top() << ".." << box.bottom() << " (first: 0x" << std::hex
      << BgrOf(firstGot) << " where the fresh frame has 0x" << BgrOf(firstWant) << ")";
    return s.str();
}

} // namespace

// ---------------------------------------------------------------------------

void ChartColours::BuildFor(const LiveCharts &charts)
{
    std::fill(allowed_.begin(), allowed_.end(), false);
    size_ = 0;
    back_ = charts.BackColor();
    const TraceColorTable &t = charts.TraceColors();
    // Copied onto the image: background, frame and label colour, and the
    // legend letters (four from the table, "yi"/"x" red and "y" blue always).
    std::vector<std::uint32_t> pending{
        charts.BackColor(), charts.ForeColor(), t[7], t[8], t[9], t[10], Red, Blue};
    // Not-xor pens: the seven traces and the black of styled lines and marks.
    const std::uint32_t pens[] = {t[0], t[1], t[2], t[3], t[4], t[5], t[6], Black};
    while (!pending.empty()) {
        const std::uint32_t c = pending.back() & 0xFFFFFFu;
        pending.pop_back();
        if (allowed_[c])
            continue;
        allowed_[c] = true;
        ++size_;
        for (const std::uint32_t pen : pens)
            pending.push_back(~(pen ^ c) & 0xFFFFFFu);
    }
}

long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// ---------------------------------------------------------------------------

OperatorSoak::OperatorSoak(TKavlonMain &window, std::uint64_t seed)
    : win_(window), seed_(seed), rng_(seed)
{
    // The soak runs the ticks itself: the timer may run (Start/Stop is one of
    // the commands) but its timeouts must not add ticks that depend on the
    // wall clock, or a seed would not replay.
    win_.SimulationTimer().blockSignals(true);
    AddCommands();
    colours_.BuildFor(win_.Charts());
}

int OperatorSoak::Uniform(int lo, int hi)
{
    return std::uniform_int_distribution<int>(lo, hi)(rng_);
}

LiveCharts &OperatorSoak::MutableCharts()
{
    // The erase check draws every stroke once more and once again, which
    // leaves the charts bit for bit as they were (and checks that it does).
    return const_cast<LiveCharts &>(win_.Charts());
}

void OperatorSoak::AddCommands()
{
    auto click = [this](const char *name) {
        return [this, name] {
            if (auto *b = win_.findChild<QAbstractButton *>(QString::fromLatin1(name)))
                b->click(); // nothing happens while the control is disabled
        };
    };
    auto trigger = [this](const char *name) {
        return [this, name] {
            if (auto *a = win_.findChild<QAction *>(QString::fromLatin1(name)))
                a->trigger(); // nothing happens while the item is disabled
        };
    };
    // A burst of clicks on one arrow: usually a few, sometimes enough to run
    // into the limit and beyond it.
    auto spin = [this](const char *name) {
        return [this, name] {
            auto *arrows = win_.findChild<SpinArrows *>(QString::fromLatin1(name));
            if (!arrows)
                return;
            QToolButton *arrow = Uniform(0, 1) ? arrows->RightArrow() : arrows->LeftArrow();
            // The speed ladder ends after 19 clicks, and each of its clicks
            // is written to the store at once (about 10 ms on this disk).
            const int burst = std::string_view(name) == "SpeedUpDown" ? 25 : 400;
            const int clicks = Uniform(0, 9) == 0 ? Uniform(burst / 8, burst) : Uniform(1, 5);
            for (int i = 0; i < clicks; ++i)
                arrow->click();
        };
    };
    auto call = [this](void (TKavlonMain::*handler)()) {
        return [this, handler] { (win_.*handler)(); };
    };

    commands_ = {
        {"PT3Prozess", 3, true, call(&TKavlonMain::PT3ProzessClick)},
        {"PT3Totzeit", 3, true, call(&TKavlonMain::PT3TotzeitClick)},
        {"PT3Temperatur", 3, true, call(&TKavlonMain::PT3TemperaturClick)},
        {"PT2Prozess", 3, true, call(&TKavlonMain::PT2ProzessClick)},
        {"PT2Integral", 3, true, call(&TKavlonMain::PT2IntegralClick)},
        {"PT2TotzeitKomp", 3, true, call(&TKavlonMain::PT2TotzeitKompClick)},
        {"PT2Totzeit80Komp", 3, true, call(&TKavlonMain::PT2Totzeit80KompClick)},
        {"StartStop", 6, true, call(&TKavlonMain::StartStopClick)},
        {"Reset", 3, true, call(&TKavlonMain::ResetClick)},
        {"SollwertUpDown", 12, true, spin("SollwertUpDown")},
        {"StoergroesseUpDown", 12, true, spin("StoergroesseUpDown")},
        {"StellgroesseUpDown", 12, true, spin("StellgroesseUpDown")},
        {"NachstellzeitUpDown", 10, true, spin("NachstellzeitUpDown")},
        {"VerstaerkungUpDown", 10, true, spin("VerstaerkungUpDown")},
        {"VorhaltezeitUpDown", 10, true, spin("VorhaltezeitUpDown")},
        {"SpeedUpDown", 6, true, spin("SpeedUpDown")},
        {"ReglerButton", 6, true, click("ReglerButton")},
        {"HandButton", 6, true, click("HandButton")},
        {"ARWUOnButton", 6, true, click("ARWUOnButton")},
        {"ARWUOffButton", 6, true, click("ARWUOffButton")},
        {"OptionOnButton", 6, true, click("OptionOnButton")},
        {"OptionOffButton", 6, true, click("OptionOffButton")},
        {"Zeitachse600", 2, true, trigger("Zeitachse600")},
        {"Zeitachse300", 2, true, trigger("Zeitachse300")},
        {"Zeitachse180", 2, true, trigger("Zeitachse180")},
        {"BackgroundColor", 2, true, trigger("BackgroundColor")},
        {"ExportColor", 2, true, trigger("ExportColor")},
        {"Messcursor", 3, true, trigger("Messcursor")},
        {"Kennwerte", 3, true, trigger("Kennwerte")},
        {"Toleranzband1", 1, true, trigger("Toleranzband1")},
        {"Toleranzband2", 1, true, trigger("Toleranzband2")},
        {"Toleranzband5", 1, true, trigger("Toleranzband5")},
        {"KurveMerken", 2, true, trigger("KurveMerken")},
        {"ReferenzLoeschen", 2, true, trigger("ReferenzLoeschen")},
        {"CursorClick", 8, true, [this] { CursorClick(); }},
        {"KennwerteTabelle", 1, false, trigger("KennwerteTabelle")},
        {"Copy", 1, false, trigger("Copy")},
        {"HelpOnEvaluation", 1, false, trigger("HelpOnEvaluation")},
        {"GeneralHelp", 1, false, trigger("GeneralHelp")},
        {"HelpOnController", 1, false, trigger("HelpOnController")},
        {"HelpOnCourse", 1, false, trigger("HelpOnCourse")},
        {"HelpOnHelp", 1, false, trigger("HelpOnHelp")},
        {"HelpIndex", 1, false, trigger("HelpIndex")},
        {"ReglerLabelPanelRightClick", 1, false,
         [this] { win_.ReglerLabelPanelMouseDown(Qt::RightButton); }},
        {"RegelstreckeLabelPanelRightClick", 1, false,
         [this] { win_.RegelstreckeLabelPanelMouseDown(Qt::RightButton); }},
        {"Resize", 4, false, [this] { Resize(); }},
        {"DisplayRatio", 1, false, [this] { ChangeDisplayRatio(); }},
        {"Repaint", 1, false, [] { QCoreApplication::processEvents(); }},
    };
    for (const Command &c : commands_) {
        totalWeight_ += c.weight;
        if (c.steady)
            steadyWeight_ += c.weight;
    }
}

void OperatorSoak::Resize()
{
    // Mostly small and medium windows; now and then none at all, one pixel,
    // or full HD.
    QSize size;
    const int kind = Uniform(0, 99);
    if (kind < 3)
        size = QSize(0, 0);
    else if (kind < 6)
        size = QSize(1, 1);
    else if (kind < 9)
        size = QSize(1920, 1080);
    else if (kind < 60)
        size = QSize(Uniform(0, 500), Uniform(0, 450));
    else
        size = QSize(Uniform(500, 1100), Uniform(450, 800));
    win_.resize(size);
    // The layout and the charts' new size arrive through the event loop.
    QCoreApplication::processEvents();
}

void OperatorSoak::ChangeDisplayRatio()
{
    // As if the window moved to a screen with other scaling, back to its own
    // screen (0) now and then.
    static constexpr qreal Ratios[] = {0, 1, 1.25, 1.5, 2};
    const qreal ratio = Ratios[Uniform(0, 4)];
    for (const char *name : {"ReglerImage", "RegelstreckeImage"})
        if (auto *view = win_.findChild<ChartView *>(QString::fromLatin1(name)))
            view->SetDisplayRatioForTest(ratio);
    // The views tell the window after the event that showed the change.
    QCoreApplication::processEvents();
}

void OperatorSoak::CursorClick()
{
    const char *name = Uniform(0, 1) ? "ReglerImage" : "RegelstreckeImage";
    auto *view = win_.findChild<ChartView *>(QString::fromLatin1(name));
    if (!view)
        return;
    // Anywhere on the view and a little beyond it, with or without Shift.
    const QPoint at(Uniform(-20, view->width() + 20), Uniform(-20, view->height() + 20));
    emit view->LeftButtonAt(at, Uniform(0, 3) == 0);
}

std::string OperatorSoak::Step()
{
    ++steps_;
    const int limit = steady_ ? steadyWeight_ : totalWeight_;
    int pick = Uniform(0, limit - 1);
    for (const Command &c : commands_) {
        if (steady_ && !c.steady)
            continue;
        if (pick < c.weight) {
            lastCommand_ = c.name;
            c.run();
            break;
        }
        pick -= c.weight;
    }
    if (std::string err = CheckWindowsDoNotPileUp(); !err.empty())
        return err;
    if (std::string err = CheckChartsFollowTheScreen(); !err.empty())
        return err;
    const int ticks = Uniform(0, ticksPerStep_);
    for (int i = 0; i < ticks; ++i)
        if (std::string err = Tick(); !err.empty())
            return err;
    return {};
}

std::string OperatorSoak::TickOnly()
{
    ++steps_;
    lastCommand_ = "tick";
    return Tick();
}

std::string OperatorSoak::Tick()
{
    win_.ActionOnTimer();
    ++ticks_;
    if (std::string err = CheckLoop(); !err.empty())
        return err;
    if (std::string err = CheckLists(); !err.empty())
        return err;
    return CheckColours(ticks_ % fullCheckEvery_ == 0);
}

std::string OperatorSoak::CheckLoop() const
{
    const LoopState &s = win_.Loop();
    const std::pair<const char *, Real> all[] = {
        {"w", s.w},
        {"x", s.x},
        {"y", s.y},
        {"Z", s.Z},
        {"yp", s.yp},
        {"yi", s.yi},
        {"yd", s.yd},
        {"Kr", s.Kr},
        {"Tn", s.Tn},
        {"Tv", s.Tv},
        {"PlantOutput", s.PlantOutput},
        {"CompSignal", s.CompSignal},
        {"PrevError", s.PrevError},
        {"PrevX", s.PrevX},
    };
    for (const auto &[name, v] : all)
        if (!std::isfinite(v))
            return Describe(name, v) + " is not finite";

    struct Bound {
        const char *name;
        Real v, lo, hi;
    };
    const SpinRange w = RangeOf(SpinValue::w), z = RangeOf(SpinValue::Z),
                    kr = RangeOf(SpinValue::Kr), tn = RangeOf(SpinValue::Tn),
                    tv = RangeOf(SpinValue::Tv);
    const Bound bounds[] = {
        {"w", s.w, w.lo, w.hi},     {"Z", s.Z, z.lo, z.hi},     {"Kr", s.Kr, kr.lo, kr.hi},
        {"Tn", s.Tn, tn.lo, tn.hi}, {"Tv", s.Tv, tv.lo, tv.hi}, {"x", s.x, 0, 800},
        {"y", s.y, 0, 100},         {"yp", s.yp, -100, 200},    {"yd", s.yd, -100, 100},
    };
    for (const Bound &b : bounds)
        if (!(b.v >= b.lo && b.v <= b.hi))
            return Describe(b.name, b.v) + " is outside its range";

    // The I part is limited to 0..100, except that ARWU (with an I part)
    // moves it afterwards so that yp + yi + yd lies in 0..100; yp and yd
    // being limited, yi then lies in -200..200.
    if (s.ARWUOn && s.Tn > 0) {
        const Real sum = (s.yp + s.yi) + s.yd;
        constexpr Real slack = 1e-12L;
        if (!(s.yi >= -200 && s.yi <= 200) || sum < -slack || sum > 100 + slack)
            return Describe("yi", s.yi) + " with ARWU gives " + Describe("yp + yi + yd", sum);
    } else if (!(s.yi >= 0 && s.yi <= 100)) {
        return Describe("yi", s.yi) + " is outside 0..100";
    }
    return {};
}

std::string OperatorSoak::CheckLists() const
{
    const LiveCharts &c = win_.Charts();
    const int n = c.TimeAxisLength();
    for (int i = 0; i < CurveCount; ++i) {
        const TCurve &curve = c.Curve(static_cast<CurveIndex>(i));
        if (curve.Count() > curve.WindowLength() || curve.WindowLength() != n)
            return "curve " + std::to_string(i) + " holds " + std::to_string(curve.Count()) + " of "
                   + std::to_string(curve.WindowLength()) + " (time axis " + std::to_string(n)
                   + ")";
    }
    for (const TRunningScale *scale : {&c.ControllerScale(), &c.PlantScale()})
        if (scale->Count() > n)
            return "a scale holds " + std::to_string(scale->Count()) + " marks (time axis "
                   + std::to_string(n) + ")";
    return {};
}

std::string OperatorSoak::CheckColours(bool full)
{
    const LiveCharts &c = win_.Charts();
    if (colours_.BuiltForBack() != c.BackColor())
        colours_.BuildFor(c);
    const QImage *images[] = {&c.ReglerImage(), &c.RegelstreckeImage()};
    for (const QImage *img : images) {
        const int h = img->height();
        int first = 0;
        int last = h;
        if (!full && h > RowsPerCheck) {
            first = Uniform(0, h - RowsPerCheck);
            last = first + RowsPerCheck;
        }
        for (int yRow = first; yRow < last; ++yRow) {
            const auto *row = reinterpret_cast<const QRgb *>(img->constScanLine(yRow));
            for (int xCol = 0; xCol < img->width(); ++xCol)
                if (!colours_.Allowed(BgrOf(row[xCol]))) {
                    std::ostringstream s;
                    s << (img == images[0] ? "ReglerImage" : "RegelstreckeImage") << " pixel ("
                      << xCol << ", " << yRow << ") has colour 0x" << std::hex << BgrOf(row[xCol])
                      << " (BGR), which nothing draws on background 0x" << c.BackColor();
                    return s.str();
                }
        }
    }
    return {};
}

std::string OperatorSoak::CheckEraseRestoresFrame()
{
    if (win_.Running())
        win_.StartStopClick();
    LiveCharts &charts = MutableCharts();
    const QImage before[] = {charts.ReglerImage().copy(), charts.RegelstreckeImage().copy()};

    LiveCharts fresh;
    fresh.SetTimeAxisLength(charts.TimeAxisLength());
    fresh.SetBackColor(charts.BackColor());
    fresh.SetImageSize(charts.ImageWidth(), charts.ImageHeight());
    fresh.SetPixelRatio(charts.PixelRatio());
    fresh.ResetCharts(win_.Loop());

    charts.DrawAllCurves();
    charts.DrawScales(true);
    const std::string debris =
        Differences("ReglerImage", charts.ReglerImage(), fresh.ReglerImage())
        + Differences("RegelstreckeImage", charts.RegelstreckeImage(), fresh.RegelstreckeImage());
    // Drawn as a tick draws them: the traces, then the scales over them.
    charts.DrawAllCurves();
    charts.DrawScales(false);
    const bool back = Differences("", charts.ReglerImage(), before[0]).empty()
                      && Differences("", charts.RegelstreckeImage(), before[1]).empty();
    if (!debris.empty())
        return "erasing every trace and scale did not leave the fresh frame ("
               + std::to_string(charts.ImageWidth()) + " x " + std::to_string(charts.ImageHeight())
               + ", time axis " + std::to_string(charts.TimeAxisLength()) + "):" + debris;
    if (!back)
        return "drawing the erased traces and scales again did not restore the charts";
    return {};
}

std::string OperatorSoak::CheckChartsFollowTheScreen() const
{
    // Charts of no size show nothing at any ratio; the next size they get
    // draws them at the screen's.
    const auto *view = win_.findChild<ChartView *>(QStringLiteral("ReglerImage"));
    if (view == nullptr || win_.Charts().ReglerImage().isNull()
        || win_.Charts().PixelRatio() == view->DisplayRatio())
        return {};
    std::ostringstream s;
    s << "the charts are drawn at ratio " << win_.Charts().PixelRatio() << " on a screen of ratio "
      << view->DisplayRatio();
    return s.str();
}

std::string OperatorSoak::CheckWindowsDoNotPileUp() const
{
    int help = 0;
    int visible = 0;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (qobject_cast<HelpViewer *>(w))
            ++help;
        if (w != &win_ && w->isVisible())
            ++visible;
    }
    if (help > 1)
        return std::to_string(help) + " help viewers are open";
    // The help viewer, the figures table and a message or two at most.
    if (visible > 6)
        return std::to_string(visible) + " windows besides the main window are open";
    return {};
}

} // namespace kavlon::soak
