#include "app/EvaluationMenu.h"

#include "app/ChartView.h"
#include "app/FiguresTable.h"
#include "app/MainFormControls.h"
#include "app/Settings.h"
#include "charts/ChartFrame.h"
#include "charts/Evaluation.h"

#include <QAction>
#include <QPainter>

namespace kavlon {

OperatorSettings OperatorSettings::Of(const LoopState &s)
{
    return {s.w, s.Z, s.y, s.Kr, s.Tn, s.Tv, s.HandMode, s.ARWUOn, s.TotKOn, s.StrKOn};
}

EvaluationMenu::EvaluationMenu(Evaluation &evaluation, const LiveCharts &charts)
    : evaluation_(evaluation), charts_(charts)
{
    evaluation_.Recorder().SetHistoryLimit(TableHistory);
}

EvaluationMenu::~EvaluationMenu()
{
    // The views may outlive this object within the widget tree's teardown.
    for (ChartView *view : views_)
        if (view)
            view->SetOverlay({});
}

void EvaluationMenu::Attach(QWidget *owner, const MainFormControls &controls)
{
    owner_ = owner;
    controls_ = &controls;
    views_[0] = controls.ReglerImage;
    views_[1] = controls.RegelstreckeImage;
    const int charts[2] = {ControllerChart, PlantChart};
    for (int i = 0; i < 2; ++i) {
        const int chart = charts[i];
        // With nothing to show the view paints its image alone, exactly as
        // without any evaluation.
        views_[i]->SetOverlay([this, chart](QPainter &p) {
            if (evaluation_.ShowsAnything())
                evaluation_.Paint(p, charts_, chart);
            if (chart == PlantChart && plantOverlay_)
                plantOverlay_(p);
        });
        QObject::connect(views_[i], &ChartView::LeftButtonAt, owner,
                         [this](QPoint pixel, bool shift) { PointerAt(pixel, shift); });
    }
    controls.ReferenzLoeschen->setEnabled(evaluation_.HasReference());
}

void EvaluationMenu::LoadSettings(const SettingsStore &store)
{
    evaluation_.CursorEnabled = store.Read(Settings::Messcursor);
    evaluation_.FiguresEnabled = store.Read(Settings::Kennwerte);
    const int band = store.Read(Settings::Toleranzband);
    evaluation_.Recorder().SetBandPercent(band);
    if (controls_) {
        controls_->Messcursor->setChecked(evaluation_.CursorEnabled);
        controls_->Kennwerte->setChecked(evaluation_.FiguresEnabled);
        QAction *bandItem = band == 1   ? controls_->Toleranzband1
                            : band == 5 ? controls_->Toleranzband5
                                        : controls_->Toleranzband2;
        bandItem->setChecked(true);
    }
    RepaintCharts();
}

void EvaluationMenu::CursorCommand()
{
    evaluation_.CursorEnabled = controls_->Messcursor->isChecked();
    // A cursor switched off is gone; switched on again it waits for a click.
    evaluation_.ClearCursors();
    if (store_)
        store_->Write(Settings::Messcursor, evaluation_.CursorEnabled);
    RepaintCharts();
}

void EvaluationMenu::FiguresCommand()
{
    evaluation_.FiguresEnabled = controls_->Kennwerte->isChecked();
    if (store_)
        store_->Write(Settings::Kennwerte, evaluation_.FiguresEnabled);
    RepaintCharts();
}

void EvaluationMenu::BandCommand(int percent)
{
    // The running segment keeps the band it started with; the next step
    // takes the new one.
    evaluation_.Recorder().SetBandPercent(percent);
    if (store_)
        store_->Write(Settings::Toleranzband, percent);
}

void EvaluationMenu::TableCommand()
{
    if (!table_)
        table_ = new FiguresTable(owner_);
    table_->ShowFor(evaluation_.Recorder());
}

void EvaluationMenu::KeepReferenceCommand()
{
    evaluation_.KeepReference(charts_);
    controls_->ReferenzLoeschen->setEnabled(evaluation_.HasReference());
    RepaintCharts();
}

void EvaluationMenu::ClearReferenceCommand()
{
    evaluation_.ClearReference();
    controls_->ReferenzLoeschen->setEnabled(false);
    RepaintCharts();
}

void EvaluationMenu::Refresh()
{
    RepaintCharts();
    if (table_ && table_->isVisible())
        table_->Refresh(evaluation_.Recorder());
}

void EvaluationMenu::Close()
{
    if (table_)
        table_->close();
}

FiguresTable *EvaluationMenu::Table() const { return table_.data(); }

void EvaluationMenu::PointerAt(QPoint pixel, bool shift)
{
    if (!evaluation_.CursorEnabled)
        return;
    evaluation_.SetCursorAt(charts_, shift ? 1 : 0, pixel.x());
    RepaintCharts();
}

void EvaluationMenu::RepaintCharts()
{
    for (ChartView *view : views_)
        if (view)
            view->update();
}

} // namespace kavlon
