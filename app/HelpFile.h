#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace kavlon {

// One topic of the help file.
struct HelpTopic {
    QString key;   // context number as text, or "hilfe"
    QString title; // text of its first <h1>, or the key when that is empty
    QString html;  // the topic's HTML
    QString plain; // the same as plain text, for the finder's search
};

// The help file as the viewer reads it: UTF-8 HTML in which a line
// "<!-- topic KEY -->" starts each topic, and whatever stands before the first
// topic may carry a style sheet for all. Kept apart from the window so that
// what a damaged or hostile file can do is seen (and fuzzed) without one.
class HelpFile {
public:
    // Finds and reads the file afresh (a teacher may edit it while the program
    // runs). A name without a folder is looked for where a user, the
    // installation and a run from the build tree would put it. On failure
    // there are no topics and Error() holds the German message. A file that
    // still holds the bytes `previous` was read from is not parsed again.
    static HelpFile Read(const QString &helpFile, const HelpFile &previous = HelpFile());
    // The topics of a file's text; `path` only names it in messages.
    static HelpFile Parse(const QString &text, const QString &path);

    const QString &Path() const { return path_; } // the file actually read
    const QString &Error() const { return error_; }
    const QString &StyleSheet() const { return styleSheet_; }
    const QList<HelpTopic> &Topics() const { return topics_; }
    // The first topic with this key, or nullptr.
    const HelpTopic *Find(const QString &key) const;
    // Whether the finder lists the topic for this query: every word of it
    // occurs in the topic's text or title, case ignored.
    static bool Matches(const HelpTopic &topic, const QString &query);

private:
    std::optional<QByteArray> bytes_; // as read from path_; none for a text or a failure
    QString path_;
    QString error_;
    QString styleSheet_;
    QList<HelpTopic> topics_;
};

} // namespace kavlon
