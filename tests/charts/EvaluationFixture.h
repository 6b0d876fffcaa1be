#pragma once

// Live charts with an evaluation watching them, ticked as the window ticks
// them, for the evaluation's tests.
#include "charts/Evaluation.h"

#include <QImage>
#include <QLocale>
#include <QPainter>

namespace kavlon::test {

struct EvaluatedLoop {
    LoopState s;
    LiveCharts charts;
    Evaluation evaluation;

    EvaluatedLoop(int width, int height, int timeAxis, std::uint32_t back = White)
    {
        charts.SetImageSize(width, height);
        charts.SetTimeAxisLength(timeAxis);
        charts.SetBackColor(back);
        Restart();
    }

    // A restart from rest as the window makes it: loop, charts, evaluation.
    void Restart()
    {
        ResetLoopState(s, s.ARWUOn, false, s.HandMode);
        charts.ResetCharts(s);
        evaluation.StartFromRest(s);
    }

    void Tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i)
            ChartTick(s, charts, evaluation);
    }

    const QImage &Image(int chart) const
    {
        return chart == PlantChart ? charts.RegelstreckeImage() : charts.ReglerImage();
    }

    // The chart image with the evaluation's overlays painted over a copy.
    QImage Painted(int chart) const
    {
        QImage copy = Image(chart).copy();
        QPainter painter(&copy);
        evaluation.Paint(painter, charts, chart);
        painter.end();
        return copy;
    }
};

inline QLocale German() { return QLocale(QLocale::German, QLocale::Germany); }

} // namespace kavlon::test
