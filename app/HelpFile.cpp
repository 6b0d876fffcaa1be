#include "app/HelpFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

#include <algorithm>
#include <utility>

namespace kavlon {

namespace {

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

// A picture's width or height above this many pixels is drawn at this size. A
// help page has no use for more, and Qt's text layout counts a page's height
// in a fixed-point type that overflows at 2^25 pixels: a picture millions of
// pixels wide (its height scaled in proportion) gives a page of negative
// height, and under the sanitizers a layout that does not end.
constexpr int MaxPictureSide = 4096;

// A page whose tables nest deeper than this is shown as plain text. Qt lays
// out a nested table once more for every table around it, so each level
// doubles the time: 4 KB of rows eight tables deep keep the program from
// answering for a second, 25 levels for minutes. A help page has use for two.
constexpr int MaxTableDepth = 4;

int TableDepth(const QTextDocument &page)
{
    int deepest = 0;
    // Without recursion: a damaged file may nest hundreds of levels.
    QList<std::pair<const QTextFrame *, int>> open{{page.rootFrame(), 0}};
    while (!open.isEmpty()) {
        const auto [frame, depth] = open.takeLast();
        deepest = std::max(deepest, depth);
        for (const QTextFrame *child : frame->childFrames())
            open.append({child, depth + (qobject_cast<const QTextTable *>(child) ? 1 : 0)});
    }
    return deepest;
}

// The topic's HTML as the viewer can show it: as written, unless a picture
// must be capped or tables nest too deeply. Both are judged the way the page
// will read the HTML (Qt's own parser, the file's style sheet applied),
// because a text search misses a size that belongs to a tag whose quoted
// value holds a ">", or a table that Qt opens where a tag is left unclosed.
QString ShowableHtml(const QString &html, const QString &styleSheet)
{
    // Qt opens a table for any of its tags (a <td> or <thead> alone will do):
    // a topic without a tag starting with "t" and without "img" stays as it is.
    static const QRegularExpression tableTag(QStringLiteral("<\\s*t"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (!html.contains(QLatin1String("img"), Qt::CaseInsensitive) && !html.contains(tableTag))
        return html;
    QTextDocument page;
    page.setDefaultStyleSheet(styleSheet);
    page.setHtml(html);
    if (TableDepth(page) > MaxTableDepth)
        return QStringLiteral("<p style=\"white-space: pre-wrap\">%1</p>")
            .arg(page.toPlainText().toHtmlEscaped());
    struct Capped {
        int position;
        int length;
        QTextImageFormat format;
    };
    QList<Capped> capped;
    for (QTextBlock block = page.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QTextImageFormat picture = fragment.charFormat().toImageFormat();
            if (!picture.isValid()
                || (picture.width() <= MaxPictureSide && picture.height() <= MaxPictureSide))
                continue;
            if (picture.width() > MaxPictureSide)
                picture.setWidth(MaxPictureSide);
            if (picture.height() > MaxPictureSide)
                picture.setHeight(MaxPictureSide);
            capped.append({fragment.position(), fragment.length(), picture});
        }
    if (capped.isEmpty())
        return html;
    QTextCursor cursor(&page);
    for (const Capped &c : capped) {
        cursor.setPosition(c.position);
        cursor.setPosition(c.position + c.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(c.format);
    }
    return page.toHtml();
}

} // namespace

HelpFile HelpFile::Read(const QString &helpFile, const HelpFile &previous)
{
    HelpFile file;
    file.path_ = FindHelpFile(helpFile);
    const QString shownName = helpFile.isEmpty() ? QStringLiteral("(ohne Namen)") : helpFile;
    if (file.path_.isEmpty()) {
        file.error_ = QStringLiteral("Die Hilfedatei „%1“ wurde nicht gefunden. "
                                     "Bitte prüfen Sie, ob Kavlon 2 vollständig installiert ist.")
                          .arg(shownName);
        return file;
    }
    QFile in(file.path_);
    if (!in.open(QIODevice::ReadOnly)) {
        file.error_ =
            QStringLiteral("Die Hilfedatei „%1“ kann nicht gelesen werden.").arg(file.path_);
        return file;
    }
    QByteArray bytes = in.readAll();
    if (previous.bytes_ && previous.path_ == file.path_ && *previous.bytes_ == bytes)
        return previous;
    file = Parse(QString::fromUtf8(bytes), file.path_);
    file.bytes_ = std::move(bytes);
    return file;
}

HelpFile HelpFile::Parse(const QString &text, const QString &path)
{
    static const QRegularExpression marker(
        QStringLiteral("^[ \\t]*<!--[ \\t]*topic[ \\t]+(\\S+)[ \\t]*-->[ \\t]*\\r?$"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression heading(QStringLiteral("<h1[^>]*>(.*?)</h1>"),
                                            QRegularExpression::DotMatchesEverythingOption
                                                | QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression style(QStringLiteral("<style[^>]*>(.*?)</style>"),
                                          QRegularExpression::DotMatchesEverythingOption
                                              | QRegularExpression::CaseInsensitiveOption);

    HelpFile file;
    file.path_ = path;
    QList<QRegularExpressionMatch> marks;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        marks << it.next();

    const qsizetype headEnd = marks.isEmpty() ? text.size() : marks.first().capturedStart();
    const QRegularExpressionMatch css = style.match(text.left(headEnd));
    file.styleSheet_ = css.hasMatch() ? css.captured(1) : QString();

    for (qsizetype i = 0; i < marks.size(); ++i) {
        const qsizetype begin = marks[i].capturedEnd();
        qsizetype end = i + 1 < marks.size() ? marks[i + 1].capturedStart() : text.size();
        HelpTopic topic;
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
        topic.html = ShowableHtml(topic.html, file.styleSheet_);
        file.topics_ << topic;
    }
    if (file.topics_.isEmpty())
        file.error_ = QStringLiteral("Die Datei „%1“ enthält keine Hilfethemen.").arg(path);
    return file;
}

const HelpTopic *HelpFile::Find(const QString &key) const
{
    for (const HelpTopic &topic : topics_)
        if (topic.key == key)
            return &topic;
    return nullptr;
}

bool HelpFile::Matches(const HelpTopic &topic, const QString &query)
{
    const QStringList words = query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words)
        if (!topic.plain.contains(word, Qt::CaseInsensitive)
            && !topic.title.contains(word, Qt::CaseInsensitive))
            return false;
    return true;
}

} // namespace kavlon
