#include "app/FiguresTable.h"

#include "analysis/RunRecorder.h"
#include "app/NumberFormat.h"
#include "output/ReadoutText.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <optional>

namespace kavlon {

namespace {

const QString Missing = QStringLiteral("\u2013");

QString Figure(const std::optional<Real> &value, int decimals, const QLocale &locale)
{
    return value ? FormatFixed(*value, decimals, locale) : Missing;
}

} // namespace

FiguresTable::FiguresTable(QWidget *owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("KennwerteTabelle"));
    setWindowTitle(QStringLiteral("Kennwerte-Tabelle"));

    const QStringList titles = ColumnTitles();
    table_ = new QTableWidget(0, static_cast<int>(titles.size()), this);
    table_->setObjectName(QStringLiteral("KennwerteTabelleListe"));
    table_->setHorizontalHeaderLabels(titles);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(table_);
}

QStringList FiguresTable::ColumnTitles()
{
    return {QStringLiteral("Beginn [s]"),
            QStringLiteral("Art"),
            QStringLiteral("\u0394"),
            QStringLiteral("Band"),
            QStringLiteral("Anregelzeit [s]"),
            QStringLiteral("Ausregelzeit [s]"),
            QStringLiteral("\u00DCberschwingweite [%]"),
            QStringLiteral("e max"),
            QStringLiteral("bleibende Abw."),
            QStringLiteral("IAE")};
}

QStringList FiguresTable::CellTexts(const StepSegment &s, const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    return {QString::number(s.Start),
            s.Kind == StepKind::SetPoint ? QStringLiteral("F\u00FChrungssprung")
                                         : QStringLiteral("St\u00F6rsprung"),
            GeneralNumberText(s.Delta, point),
            QStringLiteral("\u00B1") + GeneralNumberText(s.Band, point),
            Figure(s.Rise, 0, locale),
            Figure(s.Settling, 0, locale),
            Figure(s.Overshoot, 1, locale),
            Figure(s.MaxError, 1, locale),
            Figure(s.SteadyError, 1, locale),
            Figure(s.IAE, 0, locale)};
}

void FiguresTable::SetRow(int row, const QString &title, const StepSegment &segment)
{
    auto *header = table_->verticalHeaderItem(row);
    if (!header) {
        header = new QTableWidgetItem;
        table_->setVerticalHeaderItem(row, header);
    }
    header->setText(title);
    const QStringList cells = CellTexts(segment);
    for (int column = 0; column < cells.size(); ++column) {
        auto *item = table_->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            // Words to the left, figures to the right, as in any table of numbers.
            item->setTextAlignment(column == 1 ? Qt::AlignLeft | Qt::AlignVCenter
                                               : Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(row, column, item);
        }
        if (item->text() != cells[column])
            item->setText(cells[column]);
    }
}

void FiguresTable::Refresh(const RunRecorder &recorder)
{
    const auto &completed = recorder.Completed();
    const std::optional<StepSegment> current = recorder.Current();
    const int completedRows = static_cast<int>(completed.size());
    const int rows = completedRows + (current ? 1 : 0);

    const bool newCompleted =
        !filled_ || recorder.CompletedTotal() != shownTotal_ || completed.size() != shownKept_;
    if (table_->rowCount() != rows)
        table_->setRowCount(rows);
    if (newCompleted) {
        // Numbered since the program started, so that a row keeps its number
        // while older ones drop out of the history.
        const std::uint64_t first = recorder.CompletedTotal() - completed.size() + 1;
        for (int row = 0; row < completedRows; ++row)
            SetRow(row, QString::number(first + static_cast<std::uint64_t>(row)),
                   completed[static_cast<std::size_t>(row)]);
        shownTotal_ = recorder.CompletedTotal();
        shownKept_ = completed.size();
        filled_ = true;
    }
    if (current)
        SetRow(completedRows, QStringLiteral("vorl\u00E4ufig"), *current);
}

void FiguresTable::ShowFor(const RunRecorder &recorder)
{
    const bool first = !filled_;
    filled_ = false; // the rows may be stale after a time out of sight
    Refresh(recorder);
    if (first) {
        table_->resizeColumnsToContents();
        // Wide enough for every column, tall enough for about eight rows.
        const int width = table_->verticalHeader()->sizeHint().width()
                          + table_->horizontalHeader()->length() + 2 * table_->frameWidth() + 8
                          + table_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const int height = table_->horizontalHeader()->sizeHint().height()
                           + 8 * table_->verticalHeader()->defaultSectionSize()
                           + 2 * table_->frameWidth() + 8;
        resize(width, height);
    }
    show();
    raise();
    activateWindow();
}

} // namespace kavlon
