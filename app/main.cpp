#include "MainForm.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavlon 2"));

    auto *mainWindow = new kavlon::TKavlonMain;
    // Closing the main window destroys it and so ends the program.
    mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    mainWindow->showMaximized();
    return QApplication::exec();
}
