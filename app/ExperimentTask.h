#pragma once

#include <QWidget>

class QTextBrowser;

namespace kavlon {

struct Experiment;

// The pupils' sheet of a loaded experiment: its title, the task and the
// changes that will happen by themselves, in a window of its own that stays
// beside the main window (above it, never modal), so that the task can be
// read while the charts run.
class ExperimentTaskWindow : public QWidget {
    Q_OBJECT
public:
    explicit ExperimentTaskWindow(QWidget *owner);

    // Shows `experiment` from `fileName` (the name only) beside the owner.
    void ShowExperiment(const Experiment &experiment, const QString &fileName);
    // The text as shown, for the tests.
    QString Text() const;

private:
    void PlaceBesideOwner();

    QWidget *owner_;
    QTextBrowser *text_;
};

} // namespace kavlon
