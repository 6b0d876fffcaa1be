#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QTextBrowser;
class QLineEdit;
class QListWidget;
class QStackedWidget;

namespace kavlon {

// The commands of the help viewer, with the numeric codes the help commands use.
enum class HelpCommand : unsigned {
    Context = 1,    // show the topic with the given context number
    Quit = 2,       // close the viewer
    HelpOnHelp = 4, // how to use the viewer
    Finder = 11,    // the topics finder (titles and a search field)
};

// A small help viewer over our own help file "Kavlon.hlp": UTF-8 HTML in which
// every topic starts with a marker line "<!-- topic KEY -->" (KEY a context
// number, or "hilfe" for the topic on using the viewer) and runs to the next
// marker; the first <h1> of a topic is its title. One viewer window serves the
// whole application; it is created on first use and owned by nobody but itself.
class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // The one entry point of the program's help commands. helpFile without a
    // folder is looked up in the current folder, beside the executable and in
    // the installed data folder. A missing file or topic is shown in the viewer
    // as a German message. Returns false only when the command is unknown.
    static bool Call(QWidget *owner, const QString &helpFile, HelpCommand command, int data);

    // The viewer window if one is open (tests and shutdown), else nullptr.
    static HelpViewer *Instance();

    // What the viewer shows now: the context number of the topic (0 for the
    // finder, the help-on-help topic or a message) and the text shown.
    int CurrentContext() const;
    QString CurrentTitle() const;
    QString CurrentText() const;
    bool FinderShown() const;

private:
    explicit HelpViewer(QWidget *owner);
    // (the implementation adds what it needs)
};

} // namespace kavlon
