// Reading a text from the INI settings file as written: commas are part of
// the text, and everything the store itself reads as one text reads the same.
#include "app/IniValueText.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kavlon::test {
namespace {

QString Text(const char *utf8) { return QString::fromUtf8(utf8); }

struct Row {
    const char *file;     // the whole file
    const char *expected; // nullptr: the key is not there
};

// Lines as a person, an installer or the store itself may have written them.
const Row kRows[] = {
    {"K=/opt/kavlon, neu/\n", "/opt/kavlon, neu/"},
    {"K=a,b,c\n", "a,b,c"},
    {"K=a,\n", "a,"},
    {"K=,\n", ","},
    {"K=  /opt/a , b  \n", "/opt/a , b"},
    {"K=\"/opt/a,b/\"\n", "/opt/a,b/"},
    {"K=\"a\",\"b\"\n", "a,b"},
    {"K=\"a\"b,c\n", "ab,c"},
    {"K=\\\"a,b\n", "\"a,b"},
    {"K=a\\\\b,c\n", "a\\b,c"},
    {"K=Gr\xC3\xBC\xC3\x9F"
     "e, \xC3\xA4\n",
     "Gr\xC3\xBC\xC3\x9F"
     "e, \xC3\xA4"},
    {"K=a,b ; comment\n", "a,b"},
    {"K=\"a,b ; not a comment\"\n", "a,b ; not a comment"},
    {"K=a,\\\nb\n", "a,b"},
    {"K=a,b\r\nL=c\r\n", "a,b"},
    {"\xEF\xBB\xBFK=a,b\n", "a,b"},
    {"[General]\nK=a,b\n", "a,b"},
    {"[general]\nK=a,b\n", "a,b"},
    {"[Other]\nK=a,b\n", nullptr},
    {"[Other]\nK=x\n[General]\nK=a,b\n", "a,b"},
    {"K=first,1\nK=last,2\n", "last,2"},
    {"  K  =  a,b\n", "a,b"},
    {"KK=a,b\nK2=c\n", nullptr},
    {"; K=a,b\n", nullptr},
    {"K=@@a,b\n", "@a,b"},
    {"K=\\x41,\\101\n", "A,A"},
    {"K=\\x\n", ""},
    {"K=a\\Kb\n", "ab"},
    {"K=\n", ""},
    {"K=\"\"\n", ""},
    {"K=\" lead, trail \"\n", " lead, trail "},
    {"K=\"multi\nline\",x\n", "multi\nline,x"},
    {"K=tab\\there\n", "tab\there"},
    {"K=a\\", "a"},
    {"K=\"open", "open"},
    {"", nullptr},
    {"[", nullptr},
    {"=a,b\n", nullptr},
};

TEST(IniValueText, ReadsTheTextAsWritten)
{
    for (const Row &r : kRows) {
        SCOPED_TRACE(r.file);
        const auto got = IniValueAsWritten(QByteArrayView(r.file), u"K");
        if (!r.expected) {
            EXPECT_FALSE(got.has_value());
            continue;
        }
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(*got, Text(r.expected));
    }
}

// Wherever the store reads one text (not a list), the reading as written
// gives the same text: only the comma is read differently.
TEST(IniValueText, AgreesWithTheStoreWhereTheStoreReadsOneText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const char *extra[] = {
        "K=plain\n",           "K=  spaced  \n",   "K=\"q\\\"uote\"\n", "K=a;b\n",
        "K=\"a;b\"\n",         "K=a\\,b\n",        "K=\\t\\n\\\\\n",    "K=@@x\n",
        "K=x\\\ny\n",          "K=\"a\" \"b\"\n",  "K=\"a\"  b  \n",    "K=a \\  \n",
        "K=\\x7e\\x00e9\\0\n", "K=\\x\n",          "K=caf\xC3\xA9\n",   "K=\"\xE2\x82\xAC\"\n",
        "K=x\nK=y\n",          "[General]\nK=z\n", "K=\"a\nb\"\n",      "K=a\\",
    };
    int n = 0;
    int compared = 0;
    const auto check = [&](const char *bytes) {
        SCOPED_TRACE(bytes);
        // A file of its own for each case: the store keeps what it read of a
        // file by its path.
        const QString path = dir.filePath(QStringLiteral("f%1.conf").arg(n++));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const QVariant v = QSettings(path, QSettings::IniFormat).value(QStringLiteral("K"));
        if (v.typeId() != QMetaType::QString)
            return;
        const auto got = IniValueAsWritten(QByteArrayView(bytes), u"K");
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(*got, v.toString());
        ++compared;
    };
    for (const Row &r : kRows)
        check(r.file);
    for (const char *bytes : extra)
        check(bytes);
    // Most cases are single texts to the store; a slip here would make the
    // comparison above say nothing.
    EXPECT_GE(compared, 25);
}

} // namespace
} // namespace kavlon::test
