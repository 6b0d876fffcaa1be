#include "app/PrinterSetup.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kavlon {

PrinterChoice PrinterChoice::Of(const QPrinter &printer)
{
    PrinterChoice choice;
    if (printer.outputFormat() == QPrinter::NativeFormat)
        choice.printerName = printer.printerName();
    choice.paper = printer.pageLayout().pageSize().id();
    choice.orientation = printer.pageLayout().orientation();
    return choice;
}

void PrinterChoice::ApplyTo(QPrinter &printer) const
{
    if (printerName.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(printerName);
    }
    // After the printer: a change of printer brings that printer's defaults.
    printer.setPageSize(QPageSize(paper));
    printer.setPageOrientation(orientation);
}

QList<QPageSize> PrinterSetupDialog::PapersOf(const QString &printerName)
{
    if (!printerName.isEmpty()) {
        const QList<QPageSize> supported =
            QPrinterInfo::printerInfo(printerName).supportedPageSizes();
        if (!supported.isEmpty())
            return supported;
    }
    // The PDF file, or a printer that tells nothing: the usual sizes.
    return {QPageSize(QPageSize::A4),       QPageSize(QPageSize::A3),
            QPageSize(QPageSize::A5),       QPageSize(QPageSize::B5),
            QPageSize(QPageSize::Letter),   QPageSize(QPageSize::Legal),
            QPageSize(QPageSize::Executive)};
}

PrinterSetupDialog::PrinterSetupDialog(QPrinter &printer, QWidget *parent)
    : PrinterSetupDialog(printer, QPrinterInfo::availablePrinterNames(), parent)
{
}

PrinterSetupDialog::PrinterSetupDialog(QPrinter &printer, const QStringList &printers,
                                       QWidget *parent)
    : QDialog(parent), printer_(printer)
{
    setObjectName(QStringLiteral("PrinterSetup"));
    setWindowTitle(QStringLiteral("Drucker-Einstellung"));
    setModal(true);

    const PrinterChoice now = PrinterChoice::Of(printer);
    printers_ = new QComboBox(this);
    printers_->setObjectName(QStringLiteral("PrinterChoice"));
    for (const QString &name : printers)
        if (!name.isEmpty())
            printers_->addItem(name, name);
    printers_->addItem(QStringLiteral("PDF-Datei"), QString());
    const int current = printers_->findData(now.printerName);
    printers_->setCurrentIndex(current >= 0 ? current : printers_->count() - 1);

    papers_ = new QComboBox(this);
    papers_->setObjectName(QStringLiteral("PaperChoice"));
    FillPapers(now.paper);

    portrait_ = new QRadioButton(QStringLiteral("&Hochformat"), this);
    portrait_->setObjectName(QStringLiteral("Portrait"));
    landscape_ = new QRadioButton(QStringLiteral("&Querformat"), this);
    landscape_->setObjectName(QStringLiteral("Landscape"));
    (now.orientation == QPageLayout::Landscape ? landscape_ : portrait_)->setChecked(true);
    auto *orientation = new QHBoxLayout;
    orientation->addWidget(portrait_);
    orientation->addWidget(landscape_);
    orientation->addStretch(1);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Drucker:"), printers_);
    form->addRow(QStringLiteral("&Papier:"), papers_);
    form->addRow(QStringLiteral("Ausrichtung:"), orientation);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // Another printer offers its own papers; the chosen size stays if it can.
    connect(printers_, &QComboBox::currentIndexChanged, this, [this] {
        FillPapers(static_cast<QPageSize::PageSizeId>(papers_->currentData().toInt()));
    });
}

void PrinterSetupDialog::FillPapers(QPageSize::PageSizeId preferred)
{
    const QString printer = printers_->currentData().toString();
    papers_->clear();
    for (const QPageSize &size : PapersOf(printer))
        if (papers_->findData(static_cast<int>(size.id())) < 0)
            papers_->addItem(size.name(), static_cast<int>(size.id()));
    int index = papers_->findData(static_cast<int>(preferred));
    if (index < 0 && !printer.isEmpty())
        index = papers_->findData(
            static_cast<int>(QPrinterInfo::printerInfo(printer).defaultPageSize().id()));
    if (index < 0)
        index = papers_->findData(static_cast<int>(QPageSize::A4));
    papers_->setCurrentIndex(std::max(index, 0));
}

PrinterChoice PrinterSetupDialog::Choice() const
{
    PrinterChoice choice;
    choice.printerName = printers_->currentData().toString();
    choice.paper = static_cast<QPageSize::PageSizeId>(papers_->currentData().toInt());
    choice.orientation = landscape_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait;
    return choice;
}

void PrinterSetupDialog::accept()
{
    Choice().ApplyTo(printer_);
    QDialog::accept();
}

} // namespace kavlon
