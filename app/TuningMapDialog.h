#pragma once

#include "analysis/ParameterSweep.h"
#include "app/ChartView.h"
#include "charts/TuningMap.h"

#include <QDialog>
#include <QImage>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace kavlon {

// Shows the tuning map, drawn at the screen's resolution like a live chart,
// and turns a click on a cell into its Kr and Tn.
class TuningMapWidget : public ChartView {
    Q_OBJECT
public:
    explicit TuningMapWidget(QWidget *parent = nullptr);
    // Kept here and shown at its size in points.
    void SetMap(QImage image);
    const QImage &Map() const { return map_; }

signals:
    // Where the left button went down, in points.
    void ClickedAt(QPoint point);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage map_;
};

// "Kennfeld": computes the tuning map of the loop as it would restart now,
// on std threads in the background, with a progress bar and a cancel button;
// the window's loop runs on meanwhile, since this thread only looks at the
// progress ten times a second. Then it shows the map (the same drawing as
// kavlon-sim --sweep-png); a click on a cell hands that cell's Kr and Tn to
// `pick`, and the current Kr and Tn are marked.
class TuningMapDialog : public QDialog {
    Q_OBJECT
public:
    using Pick = std::function<void(Real kr, Real tn)>;

    // The grid the window sweeps: Kr 0,1 .. 10 by 0,1 and Tn 2 .. 200 by 2,
    // each run 1200 s from rest.
    static SweepPlan WindowGrid();
    static constexpr std::int32_t RunTicks = 1200;

    TuningMapDialog(QWidget *owner, Pick pick);
    ~TuningMapDialog() override;

    // Starts computing the map for runs from `start` (Tv as it stands there),
    // with the tolerance band `bandPercent`; `plan` defaults to WindowGrid().
    void Compute(const LoopState &start, Real bandPercent, const SweepPlan &plan = WindowGrid());
    // Marks the operator's current values on the map.
    void SetCurrent(Real kr, Real tn);

    bool Computing() const { return worker_.joinable(); }
    bool HasMap() const { return !cells_.empty() && !cancelled_; }
    const SweepPlan &Plan() const { return plan_; }
    const std::vector<SweepCell> &Cells() const { return cells_; }
    TuningMapWidget *View() const { return view_; }
    SweepMetric Metric() const;
    // The drawing's layout and marks, for the map and for clicks on it.
    TuningMapView MapView() const;
    QProgressBar *Progress() const { return progress_; }
    QPushButton *CancelButton() const { return cancel_; }
    QComboBox *MetricChoice() const { return metric_; }

private:
    void Poll();
    void Cancel();
    void Redraw();
    void Stop();

    Pick pick_;
    SweepPlan plan_;
    std::vector<SweepCell> cells_;
    std::vector<SweepCell> computed_; // written by the worker until it ends
    std::unique_ptr<SweepControl> control_;
    std::atomic<bool> finished_{false};
    std::thread worker_;
    bool cancelled_ = false;
    std::optional<Real> currentKr_, currentTn_;
    QTimer poll_;
    QLabel *status_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QPushButton *cancel_ = nullptr;
    QComboBox *metric_ = nullptr;
    TuningMapWidget *view_ = nullptr;
};

} // namespace kavlon
