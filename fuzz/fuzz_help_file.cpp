// The help file's text without the window: any bytes as Kavlon.hlp must give
// topics the viewer can show and list (a key, a title, text the search can
// read), lookups that find what is listed, a finder that lists every topic
// for an empty query, and topic pages that lay out. The viewer with its
// window is fuzzed by fuzz_help; this target reaches the parser at a
// hundred times its speed.
#include "app/HelpFile.h"
#include "fuzz/FuzzScratch.h"

#include <QApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Pages lay out as in the viewer, which is a widget application: there Qt
    // draws a picture it cannot load as a placeholder from the widget styles.
    // Without one, a missing picture sized by its width alone gets no height
    // (0/0), and a page holding it in a table never finishes its layout.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_help_file";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using kavlon::HelpFile;
    using kavlon::HelpTopic;
    namespace fuzz = kavlon::fuzz;

    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const HelpFile file = HelpFile::Parse(text, QStringLiteral("/x/Kavlon.hlp"));
    if (file.Topics().isEmpty() == file.Error().isEmpty())
        fuzz::Broken("a file has topics and an error, or neither");
    for (const HelpTopic &topic : file.Topics()) {
        if (topic.key.isEmpty() || topic.title.isEmpty())
            fuzz::Broken("a topic without a key or a title");
        for (const QChar c : topic.key)
            if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r')
                || c == QLatin1Char('\n'))
                fuzz::Broken("a topic key with a blank in it");
        const HelpTopic *found = file.Find(topic.key);
        if (found == nullptr || found->key != topic.key)
            fuzz::Broken("a listed topic is not found by its key");
        if (!HelpFile::Matches(topic, QString()) || !HelpFile::Matches(topic, topic.title))
            fuzz::Broken("the finder hides a topic for an empty query or its own title");
    }
    // The lookups the window makes, whatever the file holds.
    for (const char *key : {"1001", "0", "hilfe", ""})
        if (const HelpTopic *topic = file.Find(QString::fromLatin1(key));
            topic != nullptr && topic->key != QLatin1String(key))
            fuzz::Broken("a lookup finds another key");
    // Lay out the first and the last topic the way the viewer's page does.
    // (Picture sizes are capped where the file is read; a page can still be
    // made absurdly high in other ways, say with thousands of pictures, and
    // Qt's layout then overflows into a negative height: shown oddly, but
    // harmless, so the size is not judged.)
    if (!file.Topics().isEmpty()) {
        QTextDocument page;
        page.setDefaultStyleSheet(file.StyleSheet());
        for (const HelpTopic *topic : {&file.Topics().front(), &file.Topics().back()}) {
            page.setHtml(topic->html);
            page.setTextWidth(640);
            (void)page.size();
        }
    }
    return 0;
}
