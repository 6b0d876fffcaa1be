#include "output/ExportTargets.h"
#include "tests/output/ExportFixture.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kavlon {
namespace {

using test::LiveLoop;

// Runs a poppler tool on `pdf`; empty when the tool is missing or fails.
std::optional<QString> Poppler(const QString &tool, const QStringList &args)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(p.readAllStandardOutput());
}

int PageObjects(const QString &pdf)
{
    QFile f(pdf);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString raw = QString::fromLatin1(f.readAll());
    return static_cast<int>(raw.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s])"))));
}

class PrintExportTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    double areaLeft = 0; // left edge of the last page's printable area, in points

    QString Print(const ExportInputs &in, QPageLayout::Orientation orientation, bool *ok = nullptr)
    {
        const QString path = dir.filePath(QStringLiteral("page.pdf"));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(orientation);
        const bool printed = PrintExport(printer, in);
        if (ok)
            *ok = printed;
        areaLeft = printer.pageLayout().paintRectPoints().left();
        EXPECT_EQ(printer.resolution(), 600);
        EXPECT_EQ(printer.docName(), QStringLiteral("Kavlon 2 - Regelkreis"));
        return path;
    }
};

TEST_F(PrintExportTest, OnePageWithTheDocumentText)
{
    LiveLoop loop(1916, 300, 0xFFFFFF, 6);
    loop.s.TotKOn = true;
    loop.Tick(600);
    bool ok = false;
    const QString pdf = Print(loop.Inputs(), QPageLayout::Portrait, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(PageObjects(pdf), 1);
    {
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        // The charts are stored losslessly: JPEG blurs their thin lines.
        EXPECT_FALSE(f.readAll().contains("/DCTDecode"));
    }

    const auto text =
        Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!text)
        GTEST_SKIP() << "pdftotext is not available";
    QString flat = *text;
    flat.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    for (const char *expected :
         {"- Kavlon 2 -", "PI - Regler", "PT2 - Regelstrecke mit Totzeit und 80% Kompensation",
          "Legende für Regler: y: Blau; yp: Türkis; yi: Rot; yd: Olive",
          "Legende für Regelstrecke: x: Rot; w: Blau; Z: Olive",
          "Aktuelle Regler-Einstellungen: Vorhaltezeit Tv: Aus; Nachstellzeit Tn: 45; Verstärkung "
          "Kr: 4; ARWU: aus",
          "Aktuelle Regelstrecken-Einstellung: TotK: ein"})
        EXPECT_TRUE(flat.contains(QString::fromUtf8(expected)))
            << expected << "\nin: " << flat.toStdString();
    EXPECT_EQ(text->count(QLatin1Char('\f')), 1);

    const auto info = Poppler(QStringLiteral("pdfinfo"), {pdf});
    if (info) {
        EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        EXPECT_TRUE(
            info->contains(QRegularExpression(QStringLiteral("Title:\\s+Kavlon 2 - Regelkreis"))));
    }
}

// The legend starts m + 42 device pixels (at 600 dpi) inside the printable
// area: 200 on a portrait page, 100 on a landscape one.
TEST_F(PrintExportTest, MarginFollowsTheOrientation)
{
    LiveLoop loop(980, 216);
    loop.Tick(50);
    struct Row {
        QPageLayout::Orientation orientation;
        int margin;
        int width, height; // page in points
    };
    for (const Row r :
         {Row{QPageLayout::Portrait, 200, 595, 842}, Row{QPageLayout::Landscape, 100, 842, 595}}) {
        const QString pdf = Print(loop.Inputs(false), r.orientation);
        const auto box = Poppler(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        if (!box)
            GTEST_SKIP() << "pdftotext is not available";
        EXPECT_TRUE(box->contains(QStringLiteral("width=\"%1").arg(r.width))) << r.margin;
        EXPECT_TRUE(box->contains(QStringLiteral("height=\"%1").arg(r.height))) << r.margin;
        // The first word of the controller legend.
        const QRegularExpression legend(
            QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"[0-9.]+\" "
                           "yMax=\"[0-9.]+\">Legende</word>"));
        const QRegularExpressionMatch match = legend.match(*box);
        ASSERT_TRUE(match.hasMatch()) << box->toStdString();
        const double expected = areaLeft + (r.margin + 42) * 72.0 / 600.0;
        EXPECT_NEAR(match.captured(1).toDouble(), expected, 1.5) << r.margin;
    }
}

TEST_F(PrintExportTest, UnwritableFileIsAFailure)
{
    LiveLoop loop(765, 180);
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("missing/folder/page.pdf")));
    EXPECT_FALSE(PrintExport(printer, loop.Inputs()));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing/folder/page.pdf"))));
}

} // namespace
} // namespace kavlon
