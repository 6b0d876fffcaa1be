// "Drucker-Einstellung": printer, paper and orientation, applied to the
// session's printer for the next print and the next print dialog.
#include "app/PrinterSetup.h"
#include "tests/app/AppTestSupport.h"

#include <QComboBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTimer>

namespace kavlon::test {
namespace {

QStringList Entries(const QComboBox &box)
{
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        texts << box.itemText(i);
    return texts;
}

void Pick(QComboBox *box, const QString &text)
{
    const int i = box->findText(text);
    ASSERT_GE(i, 0) << text.toStdString();
    box->setCurrentIndex(i);
}

TEST(PrinterSetupDialog, OffersThePrintersThePdfFilePaperAndOrientation)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    PrinterSetupDialog dialog(printer, {QStringLiteral("Labor"), QStringLiteral("Lehrerzimmer")});
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Drucker-Einstellung"));
    auto *printers = dialog.findChild<QComboBox *>(QStringLiteral("PrinterChoice"));
    auto *papers = dialog.findChild<QComboBox *>(QStringLiteral("PaperChoice"));
    auto *landscape = dialog.findChild<QRadioButton *>(QStringLiteral("Landscape"));
    ASSERT_TRUE(printers && papers && landscape);

    EXPECT_EQ(Entries(*printers),
              (QStringList{QStringLiteral("Labor"), QStringLiteral("Lehrerzimmer"),
                           QStringLiteral("PDF-Datei")}));
    // It opens on what the printer is set to.
    EXPECT_EQ(dialog.Choice(), PrinterChoice::Of(printer));
    EXPECT_EQ(printers->currentText(), QStringLiteral("PDF-Datei"));
    EXPECT_TRUE(Entries(*papers).contains(QPageSize(QPageSize::A5).name()));

    Pick(printers, QStringLiteral("Lehrerzimmer"));
    Pick(papers, QPageSize(QPageSize::A5).name());
    landscape->setChecked(true);
    const PrinterChoice expected{QStringLiteral("Lehrerzimmer"), QPageSize::A5,
                                 QPageLayout::Landscape};
    EXPECT_EQ(dialog.Choice(), expected);
    // Choosing another printer keeps the paper it offers too.
    Pick(printers, QStringLiteral("PDF-Datei"));
    EXPECT_EQ(dialog.Choice().paper, QPageSize::A5);
    EXPECT_TRUE(dialog.Choice().printerName.isEmpty());

    // Cancelled, the printer is as it was.
    const PrinterChoice before = PrinterChoice::Of(printer);
    dialog.reject();
    EXPECT_EQ(PrinterChoice::Of(printer), before);
}

TEST(PrinterSetupDialog, TheChoiceReachesThePrinterAndItsPages)
{
    const struct {
        QPageSize::PageSizeId paper;
        QPageLayout::Orientation orientation;
    } rows[] = {
        {QPageSize::A5, QPageLayout::Landscape},
        {QPageSize::A3, QPageLayout::Portrait},
        {QPageSize::Letter, QPageLayout::Landscape},
    };
    for (const auto &r : rows) {
        QPrinter printer(QPrinter::HighResolution);
        const PrinterChoice choice{QString(), r.paper, r.orientation};
        PrinterSetupDialog dialog(printer, QStringList{});
        Pick(dialog.findChild<QComboBox *>(QStringLiteral("PaperChoice")),
             QPageSize(r.paper).name());
        dialog
            .findChild<QRadioButton *>(r.orientation == QPageLayout::Landscape
                                           ? QStringLiteral("Landscape")
                                           : QStringLiteral("Portrait"))
            ->setChecked(true);
        dialog.accept();
        EXPECT_EQ(PrinterChoice::Of(printer), choice);
        EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
        // The page the export draws on has the chosen shape.
        const QSizeF mm = QPageSize(r.paper).size(QPageSize::Millimeter);
        const QRectF page = printer.pageLayout().fullRect(QPageLayout::Millimeter);
        const bool wide = r.orientation == QPageLayout::Landscape;
        EXPECT_NEAR(page.width(), wide ? mm.height() : mm.width(), 0.5);
        EXPECT_NEAR(page.height(), wide ? mm.width() : mm.height(), 0.5);
    }
    // A printer the system does not know leaves the printer on the PDF file.
    QPrinter printer;
    PrinterChoice{QStringLiteral("kein-solcher-Drucker"), QPageSize::A4, QPageLayout::Portrait}
        .ApplyTo(printer);
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
}

using PrinterSetupCommandTest = TempStoreTest;

TEST_F(PrinterSetupCommandTest, AppliesToTheNextPrintDialogAndCancelChangesNothing)
{
    TKavlonMain &win = ShownWindow(1000, 700);
    EXPECT_EQ(Item("DruckerEinstellung")->text(), QStringLiteral("Drucker-&Einstellung"));

    // Cancelled: nothing changes.
    bool sawSetup = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<PrinterSetupDialog *>(QApplication::activeModalWidget());
        sawSetup = dialog != nullptr;
        if (!dialog)
            return;
        dialog->findChild<QRadioButton *>(QStringLiteral("Landscape"))->setChecked(true);
        dialog->reject();
    });
    Item("DruckerEinstellung")->trigger();
    ASSERT_TRUE(sawSetup);
    ASSERT_NE(win.Printer(), nullptr);
    const PrinterChoice untouched = PrinterChoice::Of(*win.Printer());
    EXPECT_EQ(untouched.orientation, QPageLayout::Portrait);

    // Accepted: the printer holds the choice.
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<PrinterSetupDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        Pick(dialog->findChild<QComboBox *>(QStringLiteral("PaperChoice")),
             QPageSize(QPageSize::A5).name());
        dialog->findChild<QRadioButton *>(QStringLiteral("Landscape"))->setChecked(true);
        dialog->accept();
    });
    Item("DruckerEinstellung")->trigger();
    const PrinterChoice chosen = PrinterChoice::Of(*win.Printer());
    EXPECT_EQ(chosen.paper, QPageSize::A5);
    EXPECT_EQ(chosen.orientation, QPageLayout::Landscape);

    // The next print dialog starts from it.
    bool sawPrint = false;
    PrinterChoice inPrintDialog;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget());
        sawPrint = dialog != nullptr;
        if (!dialog)
            return;
        inPrintDialog = PrinterChoice::Of(*dialog->printer());
        dialog->reject();
    });
    Item("Print")->trigger();
    ASSERT_TRUE(sawPrint);
    EXPECT_EQ(inPrintDialog, chosen);

    // And the next set-up opens on it.
    PrinterChoice reopened;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<PrinterSetupDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        reopened = dialog->Choice();
        dialog->reject();
    });
    Item("DruckerEinstellung")->trigger();
    EXPECT_EQ(reopened, chosen);
}

} // namespace
} // namespace kavlon::test
