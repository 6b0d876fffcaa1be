#include "cli/SimCharts.h"

#include "charts/Evaluation.h"
#include "charts/LiveCharts.h"
#include "cli/ErrorText.h"
#include "output/ExportInputs.h"
#include "output/ExportTargets.h"

#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>

namespace kavlon::sim {

// Font metrics and text need a running application; without a display the
// offscreen platform serves.
static QGuiApplication &Application()
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

void EnsureGuiApplication() { Application(); }

namespace {

// The live charts of a run and the pictures made of them at the end: the
// chart pair (--charts), the clipboard picture (--png) and the printed page
// (--pdf). Each file is opened before the run and replaced only at the end,
// so a failed run leaves no half-written file behind.
class PictureRecorder : public ChartRecorder {
public:
    explicit PictureRecorder(const SimOptions &o) : options_(o)
    {
        charts_.SetImageSize(o.chartWidth, o.chartHeight);
        charts_.SetTimeAxisLength(o.timeAxis);
        charts_.SetBackColor(o.blackBackground ? Black : White);
    }

    bool Open(std::string &error)
    {
        if (!options_.reference.empty()) {
            ReferenceRun run;
            if (!ReadReferenceCsv(options_.reference, run, error)) {
                error = "--reference " + error;
                return false;
            }
            evaluation_.SetReference(std::move(run));
        }
        return OpenFile(chartsFile_, "--charts", options_.charts, error)
               && OpenFile(pngFile_, "--png", options_.png, error)
               && OpenFile(pdfFile_, "--pdf", options_.pdf, error);
    }

    void Reset(const LoopState &s) override
    {
        charts_.ResetCharts(s);
        evaluation_.StartFromRest(s);
    }

    // The charts' and the evaluation's part of the tick, in ChartTick's order.
    void Tick(const LoopState &s) override
    {
        charts_.Record(s);
        evaluation_.Sample(s);
    }

    void Finished(const LoopState &s) override { final_ = s; }

    bool Finish(std::string &error) override
    {
        if (chartsFile_
            && !Commit(*chartsFile_, "--charts", ChartPair().save(chartsFile_.get(), "PNG"), error))
            return false;
        // The window's read-outs use the locale's decimal separator; so does
        // the picture of them.
        ExportInputs in = ExportInputsFromState(final_, charts_, !options_.blackAndWhite,
                                                QLocale().decimalPoint());
        in.Evaluated = &evaluation_;
        if (pngFile_
            && !Commit(*pngFile_, "--png", RenderClipboardPicture(in).save(pngFile_.get(), "PNG"),
                       error))
            return false;
        if (pdfFile_ && !Commit(*pdfFile_, "--pdf", PrintPage(in, *pdfFile_), error))
            return false;
        return true;
    }

private:
    static bool OpenFile(std::unique_ptr<QSaveFile> &file, const char *option,
                         const std::string &name, std::string &error)
    {
        if (name.empty())
            return true;
        file = std::make_unique<QSaveFile>(QString::fromLocal8Bit(name.c_str()));
        if (file->open(QIODevice::WriteOnly))
            return true;
        error = std::string(option) + ": cannot write " + QuoteValue(name) + ": "
                + file->errorString().toStdString();
        return false;
    }

    static bool Commit(QSaveFile &file, const char *option, bool written, std::string &error)
    {
        if (written && file.commit())
            return true;
        error = std::string(option) + ": cannot write " + QuoteValue(file.fileName().toStdString())
                + ": " + file.errorString().toStdString();
        file.cancelWriting();
        return false;
    }

    QImage ChartPair() const
    {
        const QImage &upper = charts_.ReglerImage();
        const QImage &lower = charts_.RegelstreckeImage();
        QImage picture(upper.width(), upper.height() + lower.height(), QImage::Format_RGB32);
        QPainter painter(&picture);
        painter.drawImage(0, 0, upper);
        painter.drawImage(0, upper.height(), lower);
        // The overlays as the window paints them over its charts.
        if (evaluation_.ShowsAnything()) {
            evaluation_.Paint(painter, charts_, ControllerChart);
            painter.translate(0, upper.height());
            evaluation_.Paint(painter, charts_, PlantChart);
        }
        painter.end();
        return picture;
    }

    // The page goes through the same printer path as the window's print
    // command, into a private folder, and is then copied into place.
    static bool PrintPage(const ExportInputs &in, QSaveFile &file)
    {
        const QTemporaryDir dir;
        if (!dir.isValid())
            return false;
        const QString path = dir.filePath(QStringLiteral("page.pdf"));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        if (!PrintExport(printer, in))
            return false;
        QFile page(path);
        if (!page.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = page.readAll();
        return !bytes.isEmpty() && file.write(bytes) == bytes.size();
    }

    SimOptions options_;
    LiveCharts charts_;
    Evaluation evaluation_;
    LoopState final_;
    std::unique_ptr<QSaveFile> chartsFile_;
    std::unique_ptr<QSaveFile> pngFile_;
    std::unique_ptr<QSaveFile> pdfFile_;
};

} // namespace

std::unique_ptr<ChartRecorder> MakeChartRecorder(const SimOptions &o, std::string &error)
{
    Application();
    auto recorder = std::make_unique<PictureRecorder>(o);
    if (!recorder->Open(error))
        return nullptr;
    return recorder;
}

} // namespace kavlon::sim
