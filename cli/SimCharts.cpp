#include "SimCharts.h"

#include "LiveCharts.h"

#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>

#include <cstdio>

namespace kavlon::sim {

namespace {

// Font metrics and text need a running application; without a display the
// offscreen platform serves.
QGuiApplication &Application()
{
    static int argc = 1;
    static char name[] = "kavlon-sim";
    static char *argv[] = {name, nullptr};
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return *app;
    // Standard error carries our one-line errors only; the toolkit's notes
    // (such as a missing runtime folder) are of no use to the user here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg)
            std::fprintf(stderr, "kavlon-sim: %s\n", message.toLocal8Bit().constData());
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    static QGuiApplication app(argc, argv);
    return app;
}

class PngChartRecorder : public ChartRecorder {
public:
    PngChartRecorder(const SimOptions &o) : file_(QString::fromLocal8Bit(o.charts.c_str()))
    {
        charts_.SetImageSize(o.chartWidth, o.chartHeight);
        charts_.SetTimeAxisLength(o.timeAxis);
        charts_.SetBackColor(o.blackBackground ? Black : White);
    }

    bool Open() { return file_.open(QIODevice::WriteOnly); }
    QString OpenError() const { return file_.errorString(); }

    void Reset(const LoopState &s) override { charts_.ResetCharts(s); }

    void Tick(const LoopState &s) override
    {
        charts_.SampleCurves(s);
        charts_.AdvanceScales(s);
    }

    bool Finish(std::string &error) override
    {
        const QImage &upper = charts_.ReglerImage();
        const QImage &lower = charts_.RegelstreckeImage();
        QImage picture(upper.width(), upper.height() + lower.height(), QImage::Format_RGB32);
        {
            QPainter painter(&picture);
            painter.drawImage(0, 0, upper);
            painter.drawImage(0, upper.height(), lower);
        }
        if (!picture.save(&file_, "PNG") || !file_.commit()) {
            error = "--charts: cannot write '" + file_.fileName().toStdString()
                    + "': " + file_.errorString().toStdString();
            return false;
        }
        return true;
    }

private:
    LiveCharts charts_;
    QSaveFile file_;
};

} // namespace

std::unique_ptr<ChartRecorder> MakeChartRecorder(const SimOptions &o, std::string &error)
{
    Application();
    auto recorder = std::make_unique<PngChartRecorder>(o);
    if (!recorder->Open()) {
        error = "--charts: cannot write '" + o.charts + "': " + recorder->OpenError().toStdString();
        return nullptr;
    }
    return recorder;
}

} // namespace kavlon::sim
