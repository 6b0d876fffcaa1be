#include "app/TuningMapDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace kavlon {

TuningMapWidget::TuningMapWidget(QWidget *parent) : ChartView(parent) {}

void TuningMapWidget::SetMap(QImage image)
{
    map_ = std::move(image);
    setFixedSize((QSizeF(map_.size()) / map_.devicePixelRatio()).toSize());
    SetImage(&map_);
}

void TuningMapWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit ClickedAt(event->position().toPoint());
    ChartView::mousePressEvent(event);
}

SweepPlan TuningMapDialog::WindowGrid()
{
    SweepPlan plan;
    ParseSweepAxis("0.1:10:0.1", SpinValue::Kr, plan.kr);
    ParseSweepAxis("2:200:2", SpinValue::Tn, plan.tn);
    return plan;
}

TuningMapDialog::TuningMapDialog(QWidget *owner, Pick pick) : QDialog(owner), pick_(std::move(pick))
{
    setWindowTitle(QStringLiteral("Kennfeld"));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    status_ = new QLabel(this);
    top->addWidget(status_, 1);
    top->addWidget(new QLabel(QStringLiteral("Kennwert:"), this));
    metric_ = new QComboBox(this);
    metric_->addItems({QStringLiteral("IAE"), QStringLiteral("Überschwingweite"),
                       QStringLiteral("Ausregelzeit")});
    top->addWidget(metric_);
    layout->addLayout(top);
    progress_ = new QProgressBar(this);
    layout->addWidget(progress_);
    view_ = new TuningMapWidget(this);
    layout->addWidget(view_, 0, Qt::AlignHCenter);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cancel_ = new QPushButton(QStringLiteral("Abbrechen"), this);
    auto *close = new QPushButton(QStringLiteral("Schließen"), this);
    buttons->addWidget(cancel_);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(cancel_, &QPushButton::clicked, this, &TuningMapDialog::Cancel);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(metric_, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
    connect(view_, &ChartView::DisplayRatioChanged, this, [this] { Redraw(); });
    connect(view_, &TuningMapWidget::ClickedAt, this, [this](QPoint at) {
        if (!HasMap())
            return;
        const std::optional<std::int64_t> point = TuningMapPointAt(plan_, MapView(), at);
        if (point && pick_)
            pick_(plan_.KrOf(*point), plan_.TnOf(*point));
    });
    poll_.setInterval(100);
    connect(&poll_, &QTimer::timeout, this, &TuningMapDialog::Poll);
}

TuningMapDialog::~TuningMapDialog() { Stop(); }

void TuningMapDialog::Stop()
{
    poll_.stop();
    if (worker_.joinable()) {
        control_->cancel = true;
        worker_.join();
    }
}

void TuningMapDialog::Compute(const LoopState &start, Real bandPercent, const SweepPlan &plan)
{
    Stop();
    plan_ = plan;
    plan_.fixedTv = start.Tv;
    cells_.clear();
    computed_.clear();
    cancelled_ = false;
    finished_ = false;
    control_ = std::make_unique<SweepControl>();
    const auto total = plan_.Points();
    progress_->setRange(0, static_cast<int>(total));
    progress_->setValue(0);
    progress_->show();
    cancel_->setEnabled(true);
    status_->setText(QStringLiteral("Das Kennfeld wird berechnet (%1 Läufe zu je %2 s) …")
                         .arg(total)
                         .arg(RunTicks));
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    // The worker gets copies of everything it reads.
    worker_ = std::thread([this, start, bandPercent, plan = plan_, threads] {
        computed_ = RunSweep(
            plan,
            [&start, bandPercent](Real kr, Real tn, Real tv) {
                LoopState s = start;
                s.Kr = kr;
                s.Tn = tn;
                s.Tv = tv;
                return FirstSegmentOfRun(s, RunTicks, bandPercent,
                                         [](LoopState &, std::int32_t, auto &&) {});
            },
            threads, control_.get());
        finished_ = true;
    });
    poll_.start();
    show();
    raise();
}

void TuningMapDialog::Poll()
{
    if (!control_)
        return;
    progress_->setValue(static_cast<int>(control_->done.load()));
    if (!finished_)
        return;
    poll_.stop();
    worker_.join();
    cancel_->setEnabled(false);
    progress_->hide();
    if (cancelled_) {
        status_->setText(QStringLiteral("Berechnung abgebrochen."));
        return;
    }
    cells_ = std::move(computed_);
    status_->setText(QStringLiteral("Klick auf ein Feld: Kr und Tn übernehmen."));
    Redraw();
}

void TuningMapDialog::Cancel()
{
    if (!control_ || !worker_.joinable())
        return;
    cancelled_ = true;
    control_->cancel = true;
}

void TuningMapDialog::SetCurrent(Real kr, Real tn)
{
    currentKr_ = kr;
    currentTn_ = tn;
    Redraw();
}

void TuningMapDialog::Redraw()
{
    if (!HasMap())
        return;
    view_->SetMap(DrawTuningMap(plan_, cells_, Metric(), MapView()));
}

SweepMetric TuningMapDialog::Metric() const
{
    switch (metric_->currentIndex()) {
    case 1: return SweepMetric::Overshoot;
    case 2: return SweepMetric::Settling;
    default: return SweepMetric::IAE;
    }
}

TuningMapView TuningMapDialog::MapView() const
{
    TuningMapView view;
    view.currentKr = currentKr_;
    view.currentTn = currentTn_;
    view.pixelRatio = view_->DisplayRatio();
    return view;
}

} // namespace kavlon
