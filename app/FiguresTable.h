#pragma once

#include "analysis/StepMetrics.h"

#include <QLocale>
#include <QStringList>
#include <QWidget>

#include <cstddef>
#include <cstdint>

class QTableWidget;

namespace kavlon {

class RunRecorder;

// The window "Kennwerte-Tabelle": the figures of the step segments the run
// recorder keeps, oldest first, and the running segment in the last row with
// "vorläufig" as its row title, since its figures still change. Not modal:
// the loop runs on while it is open, and the main window refreshes it after
// every tick.
class FiguresTable : public QWidget {
    Q_OBJECT
public:
    // A window of its own that belongs to `owner` and goes with it.
    explicit FiguresTable(QWidget *owner);

    // Fills the table from the recorder and shows the window in front.
    void ShowFor(const RunRecorder &recorder);
    // Brings the rows up to date; the completed rows are rebuilt only when the
    // recorder completed another segment.
    void Refresh(const RunRecorder &recorder);

    QTableWidget *Table() const { return table_; }

    // The column titles, and the cells of one segment in their order: the
    // locale's decimal separator, "–" for a figure that does not exist.
    static QStringList ColumnTitles();
    static QStringList CellTexts(const StepSegment &segment, const QLocale &locale = QLocale());

private:
    void SetRow(int row, const QString &title, const StepSegment &segment);

    QTableWidget *table_ = nullptr;
    // What the completed rows show: the recorder's count and how many it keeps.
    std::uint64_t shownTotal_ = 0;
    std::size_t shownKept_ = 0;
    bool filled_ = false;
};

} // namespace kavlon
