#pragma once

#include <QDialog>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;
class QWindow;

namespace kavlon {

class BevelPanel;

// Total and available physical memory in bytes. Counted in 64 bits: 32-bit
// counts overflow on any machine with more than 4 GiB.
struct MemoryStatus {
    std::uint64_t totalBytes = 0;
    std::uint64_t availableBytes = 0;
};

// Asks the operating system (sysinfo on Linux, GlobalMemoryStatusEx on
// Windows); both figures are 0 when it cannot tell.
MemoryStatus QueryMemoryStatus();

// bytes / 1024 rounded to whole kilobytes (halves to even), digits grouped in
// threes with the locale's thousands separator, then " KB": "16.384.000 KB".
QString FormatKilobytes(std::uint64_t bytes, const QLocale &locale = QLocale());

// The information dialog "Info": product, version, credits and the machine's
// memory as it was when the dialog was created at program start. Created once,
// hidden, and shown modally by the main window's "Ueber Kavlon 2" command.
// OK, Enter, Escape and the window system's close command all close it as OK.
//
// Being modal it must never leave the program locked: it has no minimise
// button, and should a window manager minimise or hide it anyway, it comes
// back in front as soon as another window of the program is activated (a
// click on the main window does that).
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    using MemoryQuery = std::function<MemoryStatus()>;

    explicit TAboutBox(QWidget *parent = nullptr, const MemoryQuery &query = QueryMemoryStatus);
    ~TAboutBox() override;

    // The dialog created at program start, or nullptr.
    static TAboutBox *Current();

public slots:
    // Escape and the window system's close command close the dialog as OK does.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate(const MemoryQuery &query);
    // While shown: another of the program's windows took the keyboard.
    void OtherWindowActivated(QWindow *window);

    BevelPanel *Panel = nullptr;
    BevelPanel *MemoryPanel = nullptr;
    QLabel *PhysMem = nullptr;
    QLabel *FreeRes = nullptr;
    QPushButton *OKButton = nullptr;
};

} // namespace kavlon
