#pragma once

#include "app/HelpFile.h"

#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QLineEdit;
class QListWidget;
class QPushButton;
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
    //
    // keepClear (screen coordinates) is what a newly opened viewer must not
    // cover: the charts' newest data at their right edge. A command from the
    // active owner leaves the keyboard with the owner, so that its keys (space
    // starts and stops the loop) keep working while the help is read.
    static bool Call(QWidget *owner, const QString &helpFile, HelpCommand command, int data,
                     const QRect &keepClear = QRect());

    // Where a viewer of the preferred size opens on a screen's available area:
    // to the right of keepClear when there is room for a readable viewer,
    // else at the left edge of the screen and no wider than leaves the right
    // third of keepClear (the newest data) uncovered, as far as the smallest
    // readable width allows. Always within the area.
    static QRect Placement(const QRect &available, const QRect &keepClear, const QSize &preferred);
    // Narrower than this a topic is hard to read.
    static constexpr int MinimumWidth = 360;

    // The viewer window if one is open (tests and shutdown), else nullptr.
    static HelpViewer *Instance();

    // What the viewer shows now: the context number of the topic (0 for the
    // finder, the help-on-help topic or a message) and the text shown.
    int CurrentContext() const;
    QString CurrentTitle() const;
    QString CurrentText() const;
    bool FinderShown() const;

private:
    HelpViewer();

    // Reads helpFile afresh (a teacher may edit it while the program runs).
    void Load(const QString &helpFile);
    void ShowKey(const QString &key, bool remember);
    void ShowMessage(const QString &title, const QString &text);
    void ShowFinder();
    void FilterFinder(const QString &query);
    void OpenFinderItem();
    void OpenLink(const QUrl &url);
    void GoBack();
    // Shows the viewer in front; it takes the keyboard only when `activate`.
    void BringToFront(bool activate);

    HelpFile file;
    int shownContext = 0;
    QString shownTitle;
    QStringList history; // keys of topics shown before the current one
    QString shownKey;

    QStackedWidget *pages = nullptr;
    QTextBrowser *browser = nullptr;
    QLineEdit *searchField = nullptr;
    QListWidget *topicList = nullptr;
    QPushButton *backButton = nullptr;
};

} // namespace kavlon
