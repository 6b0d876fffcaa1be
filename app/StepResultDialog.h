#pragma once

#include "analysis/StepResponse.h"
#include "analysis/TuningRules.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QTableWidget;

namespace kavlon {

// The German result of a step test: y0 and y1, x0 and x-infinity, Ks, Tu, Tg
// and the tangent's slope, or why some of them do not exist; and the table of
// the tuning rules, each row with its exact values, the values as they can be
// set and a button "Übernehmen" that hands the row to `apply`. Not modal.
class StepResultDialog : public QDialog {
    Q_OBJECT
public:
    using Apply = std::function<void(const TuningSuggestion &)>;
    StepResultDialog(QWidget *owner, Apply apply);

    void Show(const StepIdentification &id);

    QLabel *Figures() const { return figures_; }
    QTableWidget *Table() const { return table_; }
    const std::vector<TuningSuggestion> &Rows() const { return rows_; }

    static QStringList ColumnTitles();

private:
    Apply apply_;
    QLabel *figures_ = nullptr;
    QTableWidget *table_ = nullptr;
    std::vector<TuningSuggestion> rows_;
};

} // namespace kavlon
