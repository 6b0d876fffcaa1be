#include "app/About.h"
#include "app/Entry.h"
#include "app/MainForm.h"
#include "app/ProgramIcon.h"
#include "app/QtGerman.h"

#include <QApplication>
#include <QPointer>

int main(int argc, char **argv)
{
    // The program takes no arguments: only its own name reaches the toolkit.
    int toolkitArgc = argc > 0 ? 1 : 0;
    QApplication app(toolkitArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavlon 2"));
    QGuiApplication::setDesktopFileName(QStringLiteral("kavlon2"));
    QApplication::setWindowIcon(kavlon::ProgramIcon());
    // Before any window exists, so that every toolkit text is German from the start.
    kavlon::InstallQtGerman();

    // The main window's creation runs completely before anything is shown;
    // being created first, it is the window whose closing ends the program.
    QPointer<kavlon::TKavlonMain> mainWindow = new kavlon::TKavlonMain;
    mainWindow->setAttribute(Qt::WA_DeleteOnClose);

    // Shown at once, on top, and gone after four seconds (or with the program).
    QPointer<kavlon::TEntryWindow> splash = new kavlon::TEntryWindow;

    // Hidden until "Ueber Kavlon 2"; it takes the memory figures now.
    kavlon::TAboutBox aboutBox;

    mainWindow->showMaximized();
    const int result = QApplication::exec();

    // Whatever the end of the event loop left standing goes with the program.
    delete splash.data();
    delete mainWindow.data();
    return result;
}
