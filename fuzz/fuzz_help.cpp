// The help file: any bytes as Kavlon.hlp must give the viewer something to
// show for every help command (a topic or a German message), a finder list
// that leads only to topics, and a page that renders.
#include "app/HelpViewer.h"
#include "fuzz/FuzzScratch.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTextBrowser>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using kavlon::HelpCommand;
using kavlon::HelpViewer;

// Up to three context numbers the input's markers name, so that the numbers
// the window asks for are found as often as they are missed.
std::vector<int> NamedContexts(const std::uint8_t *data, std::size_t size)
{
    static const std::string marker = "topic ";
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<int> found;
    for (std::size_t at = text.find(marker); at != std::string::npos && found.size() < 3;
         at = text.find(marker, at + 1)) {
        long long n = 0;
        std::size_t i = at + marker.size();
        const std::size_t first = i;
        while (i < text.size() && i - first < 9 && text[i] >= '0' && text[i] <= '9')
            n = n * 10 + (text[i++] - '0');
        if (i > first)
            found.push_back(static_cast<int>(n));
    }
    return found;
}

void CheckShown(const HelpViewer *viewer)
{
    if (viewer == nullptr)
        kavlon::fuzz::Broken("a help command left no viewer");
    if (viewer->CurrentTitle().isEmpty() && !viewer->FinderShown()
        && viewer->CurrentText().isEmpty())
        kavlon::fuzz::Broken("the viewer shows nothing at all");
}

// The offscreen platform's notes on what it cannot do (raise a window, ...)
// would drown the fuzzer's own output; what Qt reports as critical stays.
void QuietNotes(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

// Fontconfig keeps the configuration it reads on first use for the rest of
// the process and never frees it: not a leak of ours.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietNotes);
    static int argc = 1;
    static char name[] = "fuzz_help";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const std::string file = (kavlon::fuzz::Scratch().Path() / "Kavlon.hlp").string();
    kavlon::fuzz::WriteFile(file, data, size);
    const QString helpFile = QString::fromStdString(file);

    // The numbers the window's help items ask for, then those of the file.
    std::vector<int> contexts{1001, 0};
    for (const int n : NamedContexts(data, size))
        contexts.push_back(n);
    for (const int n : contexts) {
        HelpViewer::Call(nullptr, helpFile, HelpCommand::Context, n);
        HelpViewer *viewer = HelpViewer::Instance();
        CheckShown(viewer);
        if (viewer->CurrentContext() != 0 && viewer->CurrentContext() != n)
            kavlon::fuzz::Broken("the viewer shows a topic other than the one asked for");
    }
    HelpViewer::Call(nullptr, helpFile, HelpCommand::HelpOnHelp, 0);
    CheckShown(HelpViewer::Instance());

    HelpViewer::Call(nullptr, helpFile, HelpCommand::Finder, 0);
    HelpViewer *viewer = HelpViewer::Instance();
    CheckShown(viewer);
    if (viewer->FinderShown()) {
        // Search with a word of the input, then open what is listed first.
        auto *search = viewer->findChild<QLineEdit *>(QStringLiteral("SearchField"));
        auto *list = viewer->findChild<QListWidget *>(QStringLiteral("TopicList"));
        if (search == nullptr || list == nullptr)
            kavlon::fuzz::Broken("the finder lacks its search field or list");
        const QString text =
            QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
        search->setText(text.left(8).simplified());
        search->setText(QString());
        if (list->count() > 0)
            list->setCurrentRow(list->count() - 1);
        Q_EMIT search->returnPressed();
        CheckShown(viewer);
    }
    // Follow the first link of the shown page the way a click would.
    if (auto *browser = viewer->findChild<QTextBrowser *>(QStringLiteral("TopicBrowser"))) {
        const QString html = browser->toHtml();
        const qsizetype href = html.indexOf(QLatin1String("href=\""));
        if (href >= 0) {
            const qsizetype end = html.indexOf(QLatin1Char('"'), href + 6);
            if (end > href)
                Q_EMIT browser->anchorClicked(QUrl(html.mid(href + 6, end - href - 6)));
        }
    }
    // Render the window as the screen would show it.
    const QPixmap picture = viewer->grab();
    if (picture.isNull())
        kavlon::fuzz::Broken("the viewer does not render");

    HelpViewer::Call(nullptr, helpFile, HelpCommand::Quit, 0);
    if (HelpViewer::Instance() != nullptr)
        kavlon::fuzz::Broken("the viewer outlives the quit command");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
