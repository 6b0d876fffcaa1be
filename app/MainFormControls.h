#pragma once

class QAction;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;
class QWidget;

namespace kavlon {

class BevelPanel;
class ChartView;

// The controls and menu items the window's handlers work on (the widget tree
// owns them all). Each field carries the object name of its control, so that
// code, tests and help texts use one name.
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
    QRadioButton *ARWUOnButton = nullptr;
    QRadioButton *OptionOnButton = nullptr;
    QLabel *OptionLabel = nullptr;

    QAction *StartStop = nullptr;
    QAction *BackgroundColor = nullptr;
    QAction *ExportColor = nullptr;
};

} // namespace kavlon
