#include "app/TuningMenu.h"

#include "app/MainForm.h"
#include "app/StepResultDialog.h"
#include "app/TuningMapDialog.h"
#include "charts/StepTestOverlay.h"
#include "engine/PlantTable.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace kavlon {

TuningMenu::TuningMenu(TKavlonMain &window) : window_(window) {}

TuningMenu::~TuningMenu() = default;

QDialog *TuningMenu::InputDialog() const { return input_.data(); }
QSpinBox *TuningMenu::InputValue() const { return inputValue_.data(); }
StepResultDialog *TuningMenu::ResultDialog() const { return result_.data(); }
TuningMapDialog *TuningMenu::MapDialog() const { return map_.data(); }

void TuningMenu::StepTestCommand()
{
    if (!input_) {
        auto *dialog = new QDialog(&window_);
        dialog->setWindowTitle(QStringLiteral("Sprungantwort auswerten"));
        auto *layout = new QVBoxLayout(dialog);
        auto *explain = new QLabel(
            QStringLiteral("Die Regelung geht in den Handbetrieb, und die Stellgröße springt "
                           "beim nächsten Takt auf y1. Aufgenommen wird, bis x eingeschwungen "
                           "ist, höchstens %1 s.")
                .arg(StepTestSeconds),
            dialog);
        explain->setWordWrap(true);
        layout->addWidget(explain);
        auto *form = new QFormLayout;
        auto *value = new QSpinBox(dialog);
        const SpinRange r = RangeOf(SpinValue::y);
        value->setRange(static_cast<int>(r.lo), static_cast<int>(r.hi));
        form->addRow(QStringLiteral("Neue Stellgröße y1 (0 … 100):"), value);
        layout->addLayout(form);
        auto *note = new QLabel(dialog);
        note->setWordWrap(true);
        layout->addWidget(note);
        auto *buttons =
            new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
        buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
        layout->addWidget(buttons);
        QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
        QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [this] {
            QString refusal;
            if (StartStepTest(inputValue_->value(), refusal))
                input_->accept();
            else
                inputNote_->setText(refusal);
        });
        input_ = dialog;
        inputValue_ = value;
        inputNote_ = note;
    }
    // A step of ten up from the output in force, or down near the top.
    const Real y = window_.Loop().y;
    inputValue_->setValue(static_cast<int>(std::lrint(y <= 90 ? y + 10 : y - 10)));
    inputNote_->clear();
    input_->show();
    input_->raise();
}

bool TuningMenu::StartStepTest(Real y1, QString &refusal)
{
    const SpinRange r = RangeOf(SpinValue::y);
    y1 = Clamp(y1, r.lo, r.hi);
    // Manual mode keeps y at the controller's last output: that is y0.
    const Real y0 = window_.Loop().y;
    if (y1 == y0) {
        refusal = QStringLiteral("y1 muss sich von der jetzigen Stellgröße y0 = %1 "
                                 "unterscheiden.")
                      .arg(std::lrint(y0));
        return false;
    }
    applying_ = true;
    window_.SwitchMode(false);
    const LoopState &s = window_.Loop();
    recorder_.emplace(s.TickCount, s.x, s.y, y1,
                      s.PlantIndex < PlantCount ? Plants[s.PlantIndex].selfRegulating : true);
    window_.SetManualOutput(y1);
    applying_ = false;
    if (!window_.Running())
        window_.StartStopClick();
    window_.RepaintCharts();
    return true;
}

void TuningMenu::AfterTick()
{
    if (!Recording())
        return;
    recorder_->Add(window_.Loop().x);
    if (recorder_->Done())
        Finish();
}

void TuningMenu::LoopChanged()
{
    if (applying_ || !Recording())
        return;
    recorder_->Stop();
    Finish();
}

void TuningMenu::Restarted()
{
    recorder_.reset();
    if (input_)
        input_->reject();
}

std::optional<StepIdentification> TuningMenu::Identification() const
{
    if (!recorder_)
        return std::nullopt;
    return recorder_->Evaluate();
}

void TuningMenu::PaintPlantChart(QPainter &painter) const
{
    if (!recorder_)
        return;
    PaintStepTest(painter, window_.Charts(), window_.ChartEvaluation().NewestTick(),
                  recorder_->Evaluate(), Recording());
}

void TuningMenu::Finish()
{
    if (!result_)
        result_ =
            new StepResultDialog(&window_, [this](const TuningSuggestion &row) { Take(row); });
    result_->Show(recorder_->Evaluate());
    window_.RepaintCharts();
}

void TuningMenu::Take(const TuningSuggestion &row)
{
    window_.SetControllerValues(row.krSet, row.tnSet, row.tvSet);
    window_.SwitchMode(true);
}

void TuningMenu::MapCommand()
{
    if (!map_)
        map_ = new TuningMapDialog(&window_, [this](Real kr, Real tn) {
            const LoopState &s = window_.Loop();
            window_.SetControllerValues(kr, tn, s.Tv);
            map_->SetCurrent(kr, tn);
        });
    const LoopState &s = window_.Loop();
    map_->SetCurrent(s.Kr, s.Tn);
    map_->Compute(window_.RestartedInControllerMode(),
                  window_.ChartEvaluation().Recorder().BandPercent());
}

} // namespace kavlon
