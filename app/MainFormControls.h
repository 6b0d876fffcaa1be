#pragma once

#include "engine/PlantTable.h"

#include <QList>

#include <array>

class QAction;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;
class QWidget;

namespace kavlon {

class BevelPanel;
class ChartView;

// The controls and menu items the window's handlers work on, as BuildMainForm
// leaves them (the widget tree owns them all). Each field carries the object
// name of its control, so that code and tests use one name.
struct MainFormControls {
    QWidget *ClientArea = nullptr;
    QWidget *ToolBar = nullptr;
    BevelPanel *ReglerLabelPanel = nullptr;
    BevelPanel *ReglerPanel = nullptr;
    ChartView *ReglerImage = nullptr;
    BevelPanel *RegelstreckeLabelPanel = nullptr;
    BevelPanel *RegelstreckePanel = nullptr;
    ChartView *RegelstreckeImage = nullptr;
    BevelPanel *ControlPanel = nullptr;

    QToolButton *StartButton = nullptr;
    QToolButton *StopButton = nullptr;

    QLineEdit *Istwert = nullptr;
    QLineEdit *Sollwert = nullptr;
    QLineEdit *Stellgroesse = nullptr;
    QLineEdit *Stoergroesse = nullptr;
    QLineEdit *Nachstellzeit = nullptr;
    QLineEdit *Vorhaltezeit = nullptr;
    QLineEdit *Verstaerkung = nullptr;
    QLineEdit *Interval = nullptr;

    QRadioButton *HandButton = nullptr;
    QRadioButton *ReglerButton = nullptr;
    QRadioButton *ARWUOnButton = nullptr;
    QRadioButton *OptionOnButton = nullptr;
    QLabel *OptionLabel = nullptr;

    QAction *StartStop = nullptr;
    QAction *Zeitachse600 = nullptr;
    QAction *Zeitachse300 = nullptr;
    QAction *Zeitachse180 = nullptr;
    QAction *BackgroundColor = nullptr;
    QAction *ExportColor = nullptr;
    // The menu "Auswertung": its switches and the band's radio items.
    QAction *Messcursor = nullptr;
    QAction *Kennwerte = nullptr;
    QAction *Toleranzband1 = nullptr;
    QAction *Toleranzband2 = nullptr;
    QAction *Toleranzband5 = nullptr;
    QAction *ReferenzLoeschen = nullptr;
    // The menu "Versuch": the commands that need a loaded experiment.
    QAction *VersuchNeuStarten = nullptr;
    QAction *VersuchSchliessen = nullptr;
    QAction *VersuchAufgabe = nullptr;

    // The tool button and the menu item of each plant, by plant index.
    std::array<QToolButton *, PlantCount> PlantButtons{};
    std::array<QAction *, PlantCount> PlantItems{};

    // What the mode switch and the option rule enable and disable together.
    QList<QWidget *> ControllerModeControls; // only in controller mode
    QList<QWidget *> HandModeControls;       // only in manual mode
    QList<QWidget *> OptionControls;         // while the plant's option is in use
};

} // namespace kavlon
