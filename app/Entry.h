#pragma once

#include <QWidget>

class QTimer;

namespace kavlon {

class BevelPanel;

// The splash window: borderless, on top of all windows, centred on the
// screen, visible from its creation and gone four seconds later, whatever the
// operator does meanwhile. It never keeps the program alive: closing the main
// window earlier ends the program with it.
class TEntryWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int ShowMilliseconds = 4000;

    explicit TEntryWindow(QWidget *parent = nullptr);

private:
    void FormCreate();
    void TimerTimer();

    BevelPanel *Panel = nullptr;
    QTimer *Timer = nullptr;
};

} // namespace kavlon
