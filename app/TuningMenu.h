#pragma once

#include "analysis/StepResponse.h"

#include <QPointer>
#include <QString>

#include <optional>

class QDialog;
class QLabel;
class QPainter;
class QSpinBox;

namespace kavlon {

class StepResultDialog;
class TKavlonMain;
class TuningMapDialog;
struct TuningSuggestion;

// The window's side of the step test and the tuning map (menu "Auswertung"):
// "Sprungantwort auswerten…" asks for y1, switches to manual mode with the
// window's own mode switch, sets y1 for the next tick and records x after
// every tick until it settles, the test time is up, or the operator changes
// the loop (the test then ends early); meanwhile and afterwards the tangent
// construction is drawn over the plant chart, and the result with its rule
// table opens, whose "Übernehmen" sets Kr, Tn, Tv and switches to controller
// mode. A reset ends the test and removes its drawing. "Kennfeld…" opens the
// tuning map of the loop as a reset would restart it now.
class TuningMenu {
public:
    explicit TuningMenu(TKavlonMain &window);
    ~TuningMenu();
    TuningMenu(const TuningMenu &) = delete;
    TuningMenu &operator=(const TuningMenu &) = delete;

    void StepTestCommand();
    void MapCommand();

    // The step from the dialog's y1; false with a German reason when y1 is
    // the output already in force.
    bool StartStepTest(Real y1, QString &refusal);

    // The window's events: after each tick, after an operator change that
    // acted on the loop, after a restart from rest.
    void AfterTick();
    void LoopChanged();
    void Restarted();

    // The drawing over the plant chart; nothing when no test was made.
    void PaintPlantChart(QPainter &painter) const;

    bool Recording() const { return recorder_ && !recorder_->Done(); }
    std::optional<StepIdentification> Identification() const;

    QDialog *InputDialog() const;
    QSpinBox *InputValue() const;
    StepResultDialog *ResultDialog() const;
    TuningMapDialog *MapDialog() const;

private:
    void Finish();
    void Take(const TuningSuggestion &row);

    TKavlonMain &window_;
    std::optional<StepTestRecorder> recorder_;
    bool applying_ = false; // the test's own changes are no operator change
    QPointer<QDialog> input_;
    QPointer<QSpinBox> inputValue_;
    QPointer<QLabel> inputNote_;
    QPointer<StepResultDialog> result_;
    QPointer<TuningMapDialog> map_;
};

} // namespace kavlon
