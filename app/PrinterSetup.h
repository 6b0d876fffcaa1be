#pragma once

#include <QDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

class QButtonGroup;
class QComboBox;
class QPrinter;
class QRadioButton;

namespace kavlon {

// What "Drucker-Einstellung" sets on the session's printer: the printer
// (none means the PDF file of the print dialog), the paper and the orientation.
struct PrinterChoice {
    QString printerName; // empty: PDF file
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;

    // What the printer is set to now.
    static PrinterChoice Of(const QPrinter &printer);
    // Sets the printer to the choice: the next print and the next print
    // dialog start from it. A printer name the system does not know leaves
    // the printer on the PDF file.
    void ApplyTo(QPrinter &printer) const;

    friend bool operator==(const PrinterChoice &, const PrinterChoice &) = default;
};

// The printer set-up dialog: the printer from those the system offers (and
// the PDF file), the paper sizes of the chosen printer and the orientation.
// OK sets the printer; Abbrechen leaves it as it was.
class PrinterSetupDialog : public QDialog {
    Q_OBJECT
public:
    // printers: the names to offer (the system's printers by default).
    PrinterSetupDialog(QPrinter &printer, QWidget *parent = nullptr);
    PrinterSetupDialog(QPrinter &printer, const QStringList &printers, QWidget *parent = nullptr);

    // The choice the dialog shows now.
    PrinterChoice Choice() const;

    // The paper sizes offered for a printer (empty name: the PDF file).
    static QList<QPageSize> PapersOf(const QString &printerName);

public slots:
    void accept() override;

private:
    void FillPapers(QPageSize::PageSizeId preferred);

    QPrinter &printer_;
    QComboBox *printers_ = nullptr;
    QComboBox *papers_ = nullptr;
    QRadioButton *portrait_ = nullptr;
    QRadioButton *landscape_ = nullptr;
};

} // namespace kavlon
