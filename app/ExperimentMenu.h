#pragma once

#include "experiment/ExperimentFile.h"

#include <QPointer>
#include <QString>

#include <cstddef>
#include <optional>

class QAction;

namespace kavlon {

class ExperimentTaskWindow;
class SettingsStore;
class TKavlonMain;
struct MainFormControls;

// The window's side of experiments, the commands of the menu "Versuch": open
// a file and apply it to the loop through the controls' own handlers, run its
// changes at their seconds while the loop runs, restart or close it, and save
// the window's settings as a file. The loop itself stays the window's.
class ExperimentMenu {
public:
    explicit ExperimentMenu(TKavlonMain &window);
    ~ExperimentMenu();
    ExperimentMenu(const ExperimentMenu &) = delete;
    ExperimentMenu &operator=(const ExperimentMenu &) = delete;

    // Once the window is built: the items that need a loaded experiment.
    void Attach(const MainFormControls &controls);
    // Where the open dialog's folder is remembered; null remembers nothing.
    void SetStore(SettingsStore *store) { store_ = store; }

    // The menu's commands. Open and save ask for a file in a dialog.
    void OpenCommand();
    void RestartCommand();
    void CloseCommand();
    void ShowTaskCommand();
    void SaveCommand();

    // Loads the file at `path` and applies it; a file that cannot be used
    // leaves the loop as it was and shows one German message naming the line.
    // Returns whether the experiment was loaded.
    bool Load(const QString &path);
    // Writes the window's settings (and the loaded experiment's title, task
    // and changes) to `path`, replacing an existing file only once the new
    // one is complete. Shows a German message and returns false on failure.
    bool Save(const QString &path);

    // After each tick: the changes due after this second. The window calls
    // it with the loop's tick count.
    void AfterTick(int tickCount);
    // The loop restarted from rest: its changes come again at their seconds.
    void LoopRestarted();
    // The window closes.
    void Close();

    bool Loaded() const { return experiment_.has_value(); }
    const std::optional<Experiment> &Current() const { return experiment_; }
    QString CurrentPath() const { return path_; }
    // The folder the open dialog starts in.
    QString StartFolder() const;
    // What the window's settings would be written as.
    Experiment SettingsAsExperiment() const;
    ExperimentTaskWindow *TaskWindow() const;

private:
    void Apply(const Experiment &experiment);
    void ApplyChange(const ScheduledEvent &event);
    void UpdateItems();
    void ShowMessage(const QString &text, const char *objectName);

    TKavlonMain &window_;
    SettingsStore *store_ = nullptr;
    QAction *restartItem_ = nullptr;
    QAction *closeItem_ = nullptr;
    QAction *taskItem_ = nullptr;
    std::optional<Experiment> experiment_;
    QString path_;
    std::size_t next_ = 0; // the first change not yet due
    bool applying_ = false;
    QPointer<ExperimentTaskWindow> task_;
};

} // namespace kavlon
