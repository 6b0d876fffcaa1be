#include "app/HelpFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextDocumentFragment>

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

// A picture's width or height, as written in its <img> tag, above this many
// pixels is drawn at this size. A help page has no use for more, and Qt's
// text layout counts a page's height in a fixed-point type that overflows at
// 2^25 pixels: a picture millions of pixels wide (scaled in proportion) gives
// a page of negative height, and under the sanitizers a layout that does not
// end.
constexpr int MaxPictureSide = 4096;

QString LimitPictureSizes(const QString &html)
{
    static const QRegularExpression picture(QStringLiteral("<img\\b[^>]*>"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression side(
        QStringLiteral("(\\b(?:width|height)\\s*=\\s*[\"']?\\s*)(\\d+)"),
        QRegularExpression::CaseInsensitiveOption);
    QString limited;
    qsizetype copied = 0;
    for (auto tags = picture.globalMatch(html); tags.hasNext();) {
        const QRegularExpressionMatch tag = tags.next();
        QString text = tag.captured();
        bool changed = false;
        // From the back, so that each replacement leaves the earlier
        // positions valid.
        QList<QRegularExpressionMatch> sides;
        for (auto it = side.globalMatch(text); it.hasNext();)
            sides << it.next();
        for (auto it = sides.crbegin(); it != sides.crend(); ++it) {
            const QString digits = it->captured(2);
            if (digits.size() <= 4 && digits.toInt() <= MaxPictureSide)
                continue;
            text.replace(it->capturedStart(2), it->capturedLength(2),
                         QString::number(MaxPictureSide));
            changed = true;
        }
        if (!changed)
            continue;
        limited += QStringView(html).sliced(copied, tag.capturedStart() - copied);
        limited += text;
        copied = tag.capturedEnd();
    }
    if (copied == 0)
        return html;
    limited += QStringView(html).sliced(copied);
    return limited;
}

} // namespace

HelpFile HelpFile::Read(const QString &helpFile)
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
    return Parse(QString::fromUtf8(in.readAll()), file.path_);
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
        topic.html = LimitPictureSizes(topic.html);
        const QRegularExpressionMatch h1 = heading.match(topic.html);
        topic.title = h1.hasMatch() ? PlainText(h1.captured(1)).simplified() : QString();
        // A heading without text would leave a blank line in the finder and
        // a bare window title: the key names the topic then, as without one.
        if (topic.title.isEmpty())
            topic.title = topic.key;
        topic.plain = PlainText(topic.html);
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
