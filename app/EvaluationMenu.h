#pragma once

#include "engine/LoopState.h"

#include <QPoint>
#include <QPointer>

#include <cstddef>
#include <functional>

class QPainter;
class QWidget;

namespace kavlon {

class ChartView;
class Evaluation;
class FiguresTable;
class LiveCharts;
class SettingsStore;
struct MainFormControls;

// What of the loop the operator sets between ticks and the step segments
// depend on. A command that leaves all of it as it was (a click at a limit,
// a radio button already on) is no change of the loop and must not end the
// running segment.
struct OperatorSettings {
    Real w{0};
    Real Z{0};
    Real y{0};
    Real Kr{0};
    Real Tn{0};
    Real Tv{0};
    bool HandMode{false};
    bool ARWUOn{false};
    bool TotKOn{false};
    bool StrKOn{false};

    static OperatorSettings Of(const LoopState &s);
    bool operator==(const OperatorSettings &) const = default;
};

// The window's side of the evaluation: the commands of the menu "Auswertung"
// with their settings, the measurement cursor set by clicks on either chart,
// the overlays of both chart views and the figures table. The window owns the
// Evaluation and feeds it the loop's events; this class serves the operator.
class EvaluationMenu {
public:
    // How many completed segments the figures table lists.
    static constexpr std::size_t TableHistory = 20;

    EvaluationMenu(Evaluation &evaluation, const LiveCharts &charts);
    ~EvaluationMenu();
    EvaluationMenu(const EvaluationMenu &) = delete;
    EvaluationMenu &operator=(const EvaluationMenu &) = delete;

    // Once the window is built: the chart views get their overlays and send
    // their left-button clicks here; the menu's items are kept in `controls`.
    // `owner` is the window the figures table belongs to.
    void Attach(QWidget *owner, const MainFormControls &controls);

    // The three switches as the store has them (its fallbacks while it is
    // closed), shown in the menu. Writes nothing.
    void LoadSettings(const SettingsStore &store);
    // Where each change of a switch is written at once; null writes nothing.
    void SetStore(SettingsStore *store) { store_ = store; }

    // The menu's commands; the switches take their items' check marks.
    void CursorCommand();
    void FiguresCommand();
    void BandCommand(int percent);
    void TableCommand();
    void KeepReferenceCommand();
    void ClearReferenceCommand();

    // After the evaluation saw a restart, an operator change or a tick: the
    // overlays are repainted and an open table is brought up to date.
    void Refresh();
    // The window closes: so does the table.
    void Close();

    // Painted over the plant chart after the evaluation's own overlays (the
    // step test's construction); empty paints nothing.
    void SetPlantOverlay(std::function<void(QPainter &)> paint)
    {
        plantOverlay_ = std::move(paint);
    }

    // The figures table once it was opened, else null.
    FiguresTable *Table() const;

private:
    void PointerAt(QPoint pixel, bool shift);
    void RepaintCharts();

    Evaluation &evaluation_;
    const LiveCharts &charts_;
    SettingsStore *store_ = nullptr;
    QWidget *owner_ = nullptr;
    ChartView *views_[2] = {nullptr, nullptr}; // by chart: controller, plant
    const MainFormControls *controls_ = nullptr;
    QPointer<FiguresTable> table_;
    std::function<void(QPainter &)> plantOverlay_;
};

} // namespace kavlon
