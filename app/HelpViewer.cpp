#include "app/HelpViewer.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace kavlon {

namespace {

QPointer<HelpViewer> theViewer;

const QString HelpOnHelpKey = QStringLiteral("hilfe");

QString HtmlEscaped(const QString &text) { return text.toHtmlEscaped(); }

} // namespace

bool HelpViewer::Call(QWidget *owner, const QString &helpFile, HelpCommand command, int data,
                      const QRect &keepClear)
{
    switch (command) {
    case HelpCommand::Quit:
        // Called while the owner closes: delete at once so that nothing of the
        // viewer outlives the main window.
        delete theViewer.data();
        return true;
    case HelpCommand::Context:
    case HelpCommand::HelpOnHelp:
    case HelpCommand::Finder: break;
    default: return false;
    }

    const bool opening = !theViewer;
    if (opening)
        theViewer = new HelpViewer;
    HelpViewer *viewer = theViewer.data();
    if (opening) {
        const QScreen *screen =
            owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
        if (screen != nullptr)
            viewer->setGeometry(Placement(screen->availableGeometry(), keepClear, viewer->size()));
    }
    viewer->Load(helpFile);
    if (!viewer->file.Error().isEmpty()) {
        viewer->ShowMessage(QStringLiteral("Hilfedatei nicht gefunden"), viewer->file.Error());
    } else if (command == HelpCommand::Context) {
        viewer->ShowKey(QString::number(data), true);
    } else if (command == HelpCommand::HelpOnHelp) {
        viewer->ShowKey(HelpOnHelpKey, true);
    } else {
        viewer->ShowFinder();
    }
    // Asked from the window the operator works in, the keyboard stays there.
    const bool fromActiveOwner = owner != nullptr && owner->isActiveWindow();
    viewer->BringToFront(!fromActiveOwner);
    // A platform that activates every window it shows is told to give the
    // keyboard back (its activation may still be on the way).
    if (fromActiveOwner)
        owner->activateWindow();
    return true;
}

QRect HelpViewer::Placement(const QRect &available, const QRect &keepClear, const QSize &preferred)
{
    constexpr int gap = 8;
    constexpr int top = 40;
    const int height = std::max(1, std::min(preferred.height(), available.height() - top));
    const int y = available.top() + std::min(top, std::max(0, available.height() - height));
    const int maxWidth = std::max(1, std::min(preferred.width(), available.width()));
    if (keepClear.isEmpty())
        return {available.left(), y, maxWidth, height};

    const int roomRight = available.right() - keepClear.right() - gap;
    if (roomRight >= std::min(MinimumWidth, maxWidth))
        return {keepClear.right() + 1 + gap, y, std::min(maxWidth, roomRight), height};

    // At the left edge, ending before the newest third of the charts.
    const int uncoveredFrom = keepClear.right() - keepClear.width() / 3 - gap;
    const int width =
        std::clamp(uncoveredFrom - available.left(), std::min(MinimumWidth, maxWidth), maxWidth);
    return {available.left(), y, width, height};
}

HelpViewer *HelpViewer::Instance() { return theViewer.data(); }

int HelpViewer::CurrentContext() const { return FinderShown() ? 0 : shownContext; }

QString HelpViewer::CurrentTitle() const
{
    return FinderShown() ? QStringLiteral("Hilfethemen") : shownTitle;
}

QString HelpViewer::CurrentText() const
{
    if (!FinderShown())
        return browser->toPlainText();
    QStringList titles;
    for (int i = 0; i < topicList->count(); ++i)
        if (!topicList->item(i)->isHidden())
            titles << topicList->item(i)->text();
    return titles.join(QLatin1Char('\n'));
}

bool HelpViewer::FinderShown() const { return pages->currentWidget() != browser; }

HelpViewer::HelpViewer()
{
    setAttribute(Qt::WA_DeleteOnClose);
    // An open help window must not keep the program alive once the main
    // window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Kavlon 2 - Hilfe"));

    auto *findButton = new QPushButton(QStringLiteral("&Hilfethemen"), this);
    findButton->setObjectName(QStringLiteral("FinderButton"));
    backButton = new QPushButton(QStringLiteral("&Zurück"), this);
    backButton->setObjectName(QStringLiteral("BackButton"));
    backButton->setEnabled(false);
    auto *helpButton = new QPushButton(QStringLiteral("Hilfe zur &Hilfe"), this);
    helpButton->setObjectName(QStringLiteral("HelpOnHelpButton"));
    auto *closeButton = new QPushButton(QStringLiteral("&Schließen"), this);
    closeButton->setObjectName(QStringLiteral("CloseButton"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(findButton);
    buttons->addWidget(backButton);
    buttons->addWidget(helpButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);

    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("TopicBrowser"));
    browser->setOpenLinks(false);

    auto *finder = new QWidget(this);
    finder->setObjectName(QStringLiteral("FinderPage"));
    auto *searchLabel = new QLabel(QStringLiteral("&Suchbegriff:"), finder);
    searchField = new QLineEdit(finder);
    searchField->setObjectName(QStringLiteral("SearchField"));
    searchField->setPlaceholderText(QStringLiteral("Wörter aus dem Text der Themen"));
    searchField->setClearButtonEnabled(true);
    searchLabel->setBuddy(searchField);
    auto *listLabel = new QLabel(QStringLiteral("&Themen:"), finder);
    topicList = new QListWidget(finder);
    topicList->setObjectName(QStringLiteral("TopicList"));
    listLabel->setBuddy(topicList);
    auto *showButton = new QPushButton(QStringLiteral("&Anzeigen"), finder);
    showButton->setObjectName(QStringLiteral("ShowButton"));
    auto *finderLayout = new QVBoxLayout(finder);
    finderLayout->setContentsMargins(0, 0, 0, 0);
    finderLayout->addWidget(searchLabel);
    finderLayout->addWidget(searchField);
    finderLayout->addWidget(listLabel);
    finderLayout->addWidget(topicList, 1);
    finderLayout->addWidget(showButton, 0, Qt::AlignRight);

    pages = new QStackedWidget(this);
    pages->addWidget(finder);
    pages->addWidget(browser);
    pages->setCurrentWidget(browser);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(pages, 1);

    connect(findButton, &QPushButton::clicked, this, &HelpViewer::ShowFinder);
    connect(backButton, &QPushButton::clicked, this, &HelpViewer::GoBack);
    connect(helpButton, &QPushButton::clicked, this, [this] { ShowKey(HelpOnHelpKey, true); });
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    connect(browser, &QTextBrowser::anchorClicked, this, &HelpViewer::OpenLink);
    connect(searchField, &QLineEdit::textChanged, this, &HelpViewer::FilterFinder);
    connect(searchField, &QLineEdit::returnPressed, this, [this] {
        for (int i = 0; i < topicList->count(); ++i)
            if (!topicList->item(i)->isHidden()) {
                topicList->setCurrentRow(i);
                break;
            }
        OpenFinderItem();
    });
    connect(topicList, &QListWidget::itemActivated, this, &HelpViewer::OpenFinderItem);
    connect(showButton, &QPushButton::clicked, this, &HelpViewer::OpenFinderItem);
    // A run that ends its event loop without closing the viewer still frees it.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { delete this; });

    // Shown without taking the keyboard; Call activates it when it should.
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(680, 600);
}

void HelpViewer::Load(const QString &helpFile)
{
    file = HelpFile::Read(helpFile, file);
    browser->document()->setDefaultStyleSheet(file.StyleSheet());
}

void HelpViewer::ShowKey(const QString &key, bool remember)
{
    if (const HelpTopic *topic = file.Find(key)) {
        if (remember && !shownKey.isEmpty() && shownKey != key)
            history << shownKey;
        shownKey = key;
        bool isNumber = false;
        const int number = key.toInt(&isNumber);
        shownContext = isNumber ? number : 0;
        shownTitle = topic->title;
        browser->setHtml(topic->html);
        pages->setCurrentWidget(browser);
        setWindowTitle(QStringLiteral("Kavlon 2 - Hilfe: %1").arg(topic->title));
        backButton->setEnabled(!history.isEmpty());
        return;
    }
    ShowMessage(
        QStringLiteral("Hilfethema nicht gefunden"),
        key == HelpOnHelpKey
            ? QStringLiteral("Die Hilfedatei „%1“ enthält keine Hilfe zur Hilfe.").arg(file.Path())
            : QStringLiteral("Die Hilfedatei „%1“ enthält kein Thema mit der Nummer %2.")
                  .arg(file.Path(), key));
}

void HelpViewer::ShowMessage(const QString &title, const QString &text)
{
    shownContext = 0;
    shownTitle = title;
    shownKey.clear();
    browser->setHtml(
        QStringLiteral("<h1>%1</h1><p>%2</p>").arg(HtmlEscaped(title), HtmlEscaped(text)));
    pages->setCurrentWidget(browser);
    setWindowTitle(QStringLiteral("Kavlon 2 - Hilfe"));
    backButton->setEnabled(!history.isEmpty());
}

void HelpViewer::ShowFinder()
{
    if (file.Topics().isEmpty()) {
        ShowMessage(QStringLiteral("Hilfedatei nicht gefunden"), file.Error());
        return;
    }
    topicList->clear();
    for (const HelpTopic &topic : file.Topics()) {
        auto *item = new QListWidgetItem(topic.title, topicList);
        item->setData(Qt::UserRole, topic.key);
    }
    FilterFinder(searchField->text());
    pages->setCurrentIndex(0);
    setWindowTitle(QStringLiteral("Kavlon 2 - Hilfethemen"));
    searchField->setFocus();
}

void HelpViewer::FilterFinder(const QString &query)
{
    int firstVisible = -1;
    for (int i = 0; i < topicList->count() && i < file.Topics().size(); ++i) {
        const bool match = HelpFile::Matches(file.Topics()[i], query);
        topicList->item(i)->setHidden(!match);
        if (match && firstVisible < 0)
            firstVisible = i;
    }
    const QListWidgetItem *current = topicList->currentItem();
    if (current == nullptr || current->isHidden())
        topicList->setCurrentRow(firstVisible);
}

void HelpViewer::OpenFinderItem()
{
    const QListWidgetItem *item = topicList->currentItem();
    if (item == nullptr || item->isHidden())
        return;
    ShowKey(item->data(Qt::UserRole).toString(), true);
}

void HelpViewer::OpenLink(const QUrl &url)
{
    // Topics refer to each other as "#1010" or "topic:1010".
    if (url.scheme() == QLatin1String("topic"))
        ShowKey(url.path(), true);
    else if (url.scheme().isEmpty() && url.hasFragment())
        ShowKey(url.fragment(), true);
}

void HelpViewer::GoBack()
{
    if (history.isEmpty())
        return;
    const QString key = history.takeLast();
    ShowKey(key, false);
}

void HelpViewer::BringToFront(bool activate)
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    if (activate)
        activateWindow();
}

} // namespace kavlon
