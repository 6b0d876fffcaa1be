#pragma once

#include "analysis/CsvWriter.h"
#include "analysis/MeasuredRun.h"
#include "app/EvaluationMenu.h"
#include "app/ExperimentMenu.h"
#include "app/KeyPreview.h"
#include "app/MainFormControls.h"
#include "app/Settings.h"
#include "app/SpinArrows.h"
#include "app/TuningMenu.h"
#include "charts/Evaluation.h"
#include "charts/LiveCharts.h"
#include "engine/LoopState.h"
#include "engine/OperatorValues.h"

#include <QMainWindow>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <string>

class QAction;
class QLineEdit;
class QPrinter;
class QToolButton;

namespace kavlon {

struct ExportInputs;
enum class HelpCommand : unsigned;

// The main window: owns the loop state, the live charts, the simulation timer,
// the settings store and the help file path, and runs the operator's commands
// on them. BuildMainForm makes the controls and menu from the layout tables
// and wires them to the handlers below; KeyPreview brings space and Escape to
// FormKeyPress; FormResize fits the charts to the window.
class TKavlonMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TKavlonMain(QWidget *parent = nullptr);
    ~TKavlonMain() override;

    // The one loop state. Changing it between ticks is what the handlers do;
    // tests and benchmarks use the same access.
    LoopState &Loop() { return loop_; }
    const LoopState &Loop() const { return loop_; }
    const LiveCharts &Charts() const { return charts_; }
    // The cursors, step figures and reference over the charts.
    const Evaluation &ChartEvaluation() const { return evaluation_; }
    const EvaluationMenu &EvaluationCommands() const { return evaluationMenu_; }
    // Every tick of the current run. An experiment notes its events here
    // (Note) before the tick they act on; operator changes are noted already.
    MeasuredRun &Measured() { return measured_; }
    const MeasuredRun &Measured() const { return measured_; }
    // The German form's text block for the recording as it stands.
    CsvTitle MeasuredTitle() const;
    // Writes the recording to `path`; on failure tells the operator in German
    // and keeps the recording. Returns whether the file was written.
    bool SaveMeasuredData(const QString &path, CsvForm form);
    // The experiment files: loading, the changes at their seconds, saving.
    ExperimentMenu &ExperimentCommands() { return experimentMenu_; }
    QTimer &SimulationTimer() { return timer_; }
    bool Running() const { return timer_.isActive(); }
    bool PrintInColor() const { return printInColor_; }
    int PlantHelpContext() const { return plantHelpContext_; }
    QString HelpFilePath() const { return helpFilePath_; }
    const SettingsStore &Store() const { return settings_; }
    QWidget *ClientArea() const { return controls_.ClientArea; }
    // The session's printer, once a print or the printer set-up made it.
    const QPrinter *Printer() const { return printer_.get(); }
    const TuningMenu &TuningCommands() const { return tuningMenu_; }

    // What the step test and the tuning map do to the loop, each through the
    // window's own controls and handlers: the mode switch (a click on its
    // radio button), manual output y, and Kr, Tn, Tv with their read-outs.
    void SwitchMode(bool controllerOn);
    void SetManualOutput(Real y);
    void SetControllerValues(Real kr, Real tn, Real tv);
    // The loop as a reset would restart it now, in controller mode.
    LoopState RestartedInControllerMode() const;

public slots:
    // The simulation tick.
    void ActionOnTimer();

    void StartStopClick();
    void ResetClick();
    void ExitButtonClick();

    void SollwertUpDownClick(kavlon::SpinDirection direction);
    void StoergroesseUpDownClick(kavlon::SpinDirection direction);
    void StellgroesseUpDownClick(kavlon::SpinDirection direction);
    void NachstellzeitUpDownClick(kavlon::SpinDirection direction);
    void VerstaerkungUpDownClick(kavlon::SpinDirection direction);
    void VorhaltezeitUpDownClick(kavlon::SpinDirection direction);
    void SpeedUpDownClick(kavlon::SpinDirection direction);

    void ReglerButtonClick();
    void HandButtonClick();
    void ARWUOnButtonClick();
    void ARWUOffButtonClick();
    void OptionOnButtonClick();
    void OptionOffButtonClick();

    void PT3ProzessClick();
    void PT3TotzeitClick();
    void PT3TemperaturClick();
    void PT2ProzessClick();
    void PT2IntegralClick();
    void PT2TotzeitKompClick();
    void PT2Totzeit80KompClick();

    void Zeitachse600Click();
    void Zeitachse300Click();
    void Zeitachse180Click();
    void BackgroundColorClick();
    void ExportColorClick();

    // Filled by the export and the information dialog.
    void CopyClick();
    void PrintClick();
    void DruckerEinstellungClick();
    void AboutItClick();

    // The menu "Auswertung".
    void MesscursorClick();
    void KennwerteClick();
    void Toleranzband1Click();
    void Toleranzband2Click();
    void Toleranzband5Click();
    void KennwerteTabelleClick();
    void KurveMerkenClick();
    void ReferenzLoeschenClick();
    void HelpOnEvaluationClick();
    void SprungantwortClick();
    void KennfeldClick();
    void HelpOnTuningClick();

    // The menu "Versuch".
    void MesswerteSpeichernClick();
    void VersuchOeffnenClick();
    void VersuchNeuStartenClick();
    void VersuchSchliessenClick();
    void VersuchAufgabeClick();
    void VersuchSpeichernClick();

    void GeneralHelpClick();
    void HelpOnControllerClick();
    void HelpOnCourseClick();
    void HelpOnHelpClick();
    void HelpIndexClick();
    void ReglerLabelPanelMouseDown(Qt::MouseButton button);
    void RegelstreckeLabelPanelMouseDown(Qt::MouseButton button);

public:
    void FormResize();
    // Loop state from rest (flags from the three switches), fresh charts and lists.
    void ResetGraphics();
    void SetPanelColors();
    // SelectPlant with the row of the plant table.
    void SelectPlantRow(int index);
    void UpdateControllerCaption();
    void UpdatePlantCaption();
    void SetControllerMode(bool controllerOn);
    void EnableOption(bool on);
    void SelectPlant(int index, const QString &optionText, QToolButton *plantButton,
                     QAction *plantMenuItem);
    // Sets one of the operator's values as its arrows would leave it: the
    // value, its read-out, the controller's title; a change of the loop for
    // the evaluation. The value must lie in its range.
    void SetOperatorValue(SpinValue which, Real value);
    // The computation speed (1..100), its read-out and the stored preference.
    void SetSpeed(int speed);
    // Marks the next tick on the running time scales ("w=300").
    void MarkNextTick(const std::string &text) { charts_.MarkNextTick(text); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void LoadSettings();
    bool OpenSettings();
    void CloseSettings();
    void FormClose();
    // Space and Escape, seen before the focused control; never consumed.
    void FormKeyPress(QChar key);
    void ApplyBackColor(std::uint32_t bgr);
    void SetSwitch(bool &flag, bool on);
    void OptionSwitchClick(bool on);
    void TimeAxisCommand(int length, QAction *item);
    void SetTimerPeriod(int ms);
    void CallHelp(HelpCommand command, int number);
    void WriteParameterReadOut(QLineEdit *readOut, Real value);
    // One click on the Tn, Kr or Tv arrows: value, read-out, controller title.
    void StepControllerParameter(Real &value, SpinValue which, QLineEdit *readOut,
                                 SpinDirection direction);
    void RepaintCharts();
    // Tells the evaluation of an operator command that changed the loop
    // (`before` is what it was); one that changed nothing is no event.
    void LoopChanged(const OperatorSettings &before);
    // What the print and clipboard export read of the window.
    ExportInputs ExportState() const;
    void ShowOutputFailure(const QString &message);
    // Once, after the window is first shown: what became of a settings file
    // the store could not read.
    void TellOfDamagedSettings();
    // Once a run, when the recording is full.
    void TellMeasuredFull();

    LoopState loop_;
    LiveCharts charts_;
    Evaluation evaluation_;
    EvaluationMenu evaluationMenu_{evaluation_, charts_};
    friend class TuningMenu; // repaints the charts
    TuningMenu tuningMenu_{*this};
    MeasuredRun measured_;
    ExperimentMenu experimentMenu_{*this};
    QTimer timer_;
    SettingsStore settings_;
    bool settingsOpen_ = false;
    QString helpFilePath_ = QString::fromLatin1(HelpFileName);
    bool printInColor_ = true;
    int plantHelpContext_ = 0; // the selected plant's topic
    bool curvesExist_ = false;
    bool closed_ = false;
    bool damageTold_ = false;
    KeyPreview keyPreview_;

    // The controls the handlers work on, as BuildMainForm made them. The
    // experiment reads the switch positions from them.
    friend class ExperimentMenu;
    MainFormControls controls_;
    QAction *checkedPlantItem_ = nullptr;

    // One printer for the session, so that the printer set-up applies to the next print.
    std::unique_ptr<QPrinter> printer_;
};

} // namespace kavlon
