#include "app/HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include <algorithm>

namespace kavlon {

namespace {

QPointer<HelpViewer> theViewer;

const QString HelpOnHelpKey = QStringLiteral("hilfe");

// A name without a folder is looked for where a user, the installation and a
// run from the build tree would put it, in that order; a name with a folder is
// taken as it is.
QString FindHelpFile(const QString &helpFile)
{
    if (helpFile.isEmpty())
        return {};
    const QFileInfo given(helpFile);
    if (helpFile.contains(QLatin1Char('/')) || helpFile.contains(QLatin1Char('\\'))
        || given.isAbsolute())
        return given.isFile() ? given.absoluteFilePath() : QString();
    const QStringList folders{
        QDir::currentPath(),
        QCoreApplication::applicationDirPath(),
        // the installation this executable belongs to, wherever it was put
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kavlon2"),
        QStringLiteral(KAVLON_DATA_DIR),
        QStringLiteral(KAVLON_SOURCE_HELP_DIR),
    };
    for (const QString &folder : folders) {
        const QFileInfo candidate(QDir(folder), helpFile);
        if (candidate.isFile())
            return candidate.absoluteFilePath();
    }
    return {};
}

QString PlainText(const QString &html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText();
}

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
    if (!viewer->loadError.isEmpty()) {
        viewer->ShowMessage(QStringLiteral("Hilfedatei nicht gefunden"), viewer->loadError);
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
    topics.clear();
    loadError.clear();
    helpFilePath = FindHelpFile(helpFile);
    const QString shownName = helpFile.isEmpty() ? QStringLiteral("(ohne Namen)") : helpFile;
    if (helpFilePath.isEmpty()) {
        loadError = QStringLiteral("Die Hilfedatei „%1“ wurde nicht gefunden. "
                                   "Bitte prüfen Sie, ob Kavlon 2 vollständig installiert ist.")
                        .arg(shownName);
        return;
    }
    QFile file(helpFilePath);
    if (!file.open(QIODevice::ReadOnly)) {
        loadError =
            QStringLiteral("Die Hilfedatei „%1“ kann nicht gelesen werden.").arg(helpFilePath);
        return;
    }
    const QString text = QString::fromUtf8(file.readAll());

    static const QRegularExpression marker(
        QStringLiteral("^[ \\t]*<!--[ \\t]*topic[ \\t]+(\\S+)[ \\t]*-->[ \\t]*\\r?$"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression heading(QStringLiteral("<h1[^>]*>(.*?)</h1>"),
                                            QRegularExpression::DotMatchesEverythingOption
                                                | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression style(QStringLiteral("<style[^>]*>(.*?)</style>"),
                                          QRegularExpression::DotMatchesEverythingOption
                                              | QRegularExpression::CaseInsensitiveOption);

    QList<QRegularExpressionMatch> marks;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        marks << it.next();

    // Whatever stands before the first topic may carry a style sheet for all.
    const qsizetype headEnd = marks.isEmpty() ? text.size() : marks.first().capturedStart();
    const QRegularExpressionMatch css = style.match(text.left(headEnd));
    browser->document()->setDefaultStyleSheet(css.hasMatch() ? css.captured(1) : QString());

    for (qsizetype i = 0; i < marks.size(); ++i) {
        const qsizetype begin = marks[i].capturedEnd();
        qsizetype end = i + 1 < marks.size() ? marks[i + 1].capturedStart() : text.size();
        Topic topic;
        topic.key = marks[i].captured(1);
        topic.html = text.mid(begin, end - begin);
        // The file's closing tags belong to no topic.
        if (i + 1 == marks.size()) {
            const qsizetype bodyEnd =
                topic.html.lastIndexOf(QStringLiteral("</body>"), -1, Qt::CaseInsensitive);
            if (bodyEnd >= 0)
                topic.html.truncate(bodyEnd);
        }
        const QRegularExpressionMatch h1 = heading.match(topic.html);
        topic.title = h1.hasMatch() ? PlainText(h1.captured(1)).simplified() : QString();
        // A heading without text would leave a blank line in the finder and
        // a bare window title: the key names the topic then, as without one.
        if (topic.title.isEmpty())
            topic.title = topic.key;
        topic.plain = PlainText(topic.html);
        topics << topic;
    }
    if (topics.isEmpty())
        loadError = QStringLiteral("Die Datei „%1“ enthält keine Hilfethemen.").arg(helpFilePath);
}

void HelpViewer::ShowKey(const QString &key, bool remember)
{
    for (const Topic &topic : topics) {
        if (topic.key != key)
            continue;
        if (remember && !shownKey.isEmpty() && shownKey != key)
            history << shownKey;
        shownKey = key;
        bool isNumber = false;
        const int number = key.toInt(&isNumber);
        shownContext = isNumber ? number : 0;
        shownTitle = topic.title;
        browser->setHtml(topic.html);
        pages->setCurrentWidget(browser);
        setWindowTitle(QStringLiteral("Kavlon 2 - Hilfe: %1").arg(topic.title));
        backButton->setEnabled(!history.isEmpty());
        return;
    }
    ShowMessage(
        QStringLiteral("Hilfethema nicht gefunden"),
        key == HelpOnHelpKey
            ? QStringLiteral("Die Hilfedatei „%1“ enthält keine Hilfe zur Hilfe.").arg(helpFilePath)
            : QStringLiteral("Die Hilfedatei „%1“ enthält kein Thema mit der Nummer %2.")
                  .arg(helpFilePath, key));
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
    if (topics.isEmpty()) {
        ShowMessage(QStringLiteral("Hilfedatei nicht gefunden"), loadError);
        return;
    }
    topicList->clear();
    for (const Topic &topic : topics) {
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
    // A topic is listed when every word of the query occurs in its text.
    const QStringList words = query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    int firstVisible = -1;
    for (int i = 0; i < topicList->count() && i < topics.size(); ++i) {
        const Topic &topic = topics[i];
        bool match = true;
        for (const QString &word : words)
            if (!topic.plain.contains(word, Qt::CaseInsensitive)
                && !topic.title.contains(word, Qt::CaseInsensitive)) {
                match = false;
                break;
            }
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
