#pragma once

// What the picture tests of kavlon-sim share: a QGuiApplication on the
// offscreen platform (made once, on first need) and loading a written picture.
#include "charts/LiveCharts.h"
#include "cli/SimOptions.h"
#include "cli/SimRun.h"

#include <QGuiApplication>
#include <QImage>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

inline void NeedGuiApplication()
{
    static int argc = 1;
    static char name[] = "test_cli";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
        static QGuiApplication app(argc, argv);
    }
}

inline QImage LoadPicture(const std::filesystem::path &p)
{
    return QImage(QString::fromStdString(p.string())).convertToFormat(QImage::Format_RGB32);
}

inline std::vector<std::string> Words(const std::string &args)
{
    std::vector<std::string> list;
    std::istringstream words(args);
    for (std::string w; words >> w;)
        list.push_back(w);
    return list;
}

// The run of `options` driven through the libraries the way the window's tick
// drives them (ChartTick; a reset also resets the charts), on charts of
// width x height with a 300-sample window and a black background. Returns the
// loop at the end.
inline kavlon::LoopState RunChartsTickByTick(const kavlon::sim::SimOptions &options,
                                             kavlon::LiveCharts &charts, int width, int height)
{
    using namespace kavlon;
    sim::SwitchPositions switches;
    LoopState s = sim::StartState(options, switches);
    charts.SetImageSize(width, height);
    charts.SetTimeAxisLength(300);
    charts.SetBackColor(Black);
    charts.ResetCharts(s);
    auto next = options.events.begin();
    for (int tick = 1; tick <= options.ticks; ++tick) {
        ChartTick(s, charts);
        for (; next != options.events.end() && next->tick == tick; ++next)
            if (sim::ApplyEvent(s, switches, *next))
                charts.ResetCharts(s);
    }
    return s;
}
