#include "app/IniValueText.h"

#include <QStringDecoder>

#include <cstdint>

namespace kavlon {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

struct Line {
    qsizetype start = 0;
    qsizetype end = 0;     // one past the last byte
    qsizetype equals = -1; // position of the first unquoted '=', or -1
};

// The next logical line from pos on, advancing pos; false at the end. A line
// ends at an unquoted line break or ';'; quotes and a backslash before a
// line break carry it on; a line that starts with ';' is skipped.
bool NextLine(QByteArrayView data, qsizetype &pos, Line &line)
{
    const qsizetype size = data.size();
    for (;;) {
        while (pos < size && IsSpace(data[pos]))
            ++pos;
        if (pos >= size)
            return false;
        if (data[pos] != ';')
            break;
        while (pos < size && data[pos] != '\n' && data[pos] != '\r')
            ++pos;
    }
    line = Line{pos, pos, -1};
    bool inQuotes = false;
    qsizetype i = pos;
    while (i < size) {
        const char c = data[i];
        if ((c == '\n' || c == '\r' || c == ';') && !inQuotes)
            break;
        ++i;
        if (c == '=' && !inQuotes && line.equals < 0) {
            line.equals = i - 1;
        } else if (c == '\\' && i < size) {
            const char escaped = data[i++];
            if (i < size
                && ((escaped == '\n' && data[i] == '\r') || (escaped == '\r' && data[i] == '\n')))
                ++i;
        } else if (c == '"') {
            inQuotes = !inQuotes;
        }
    }
    line.end = i;
    pos = i;
    return true;
}

bool IsTopLevelSection(QByteArrayView name)
{
    return name.isEmpty()
           || QLatin1StringView(name.data(), name.size())
                      .compare(QLatin1StringView("general"), Qt::CaseInsensitive)
                  == 0;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Appends the character of a numeric escape. Digits beyond what a character
// holds keep the value at its last fitting size instead of overflowing.
void AppendCode(QString &text, std::uint32_t code) { text += QChar(static_cast<char16_t>(code)); }

QString Unescape(QByteArrayView value)
{
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                           {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                           {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QString text;
    QStringDecoder fromUtf8(QStringDecoder::Utf8);
    const qsizetype size = value.size();
    qsizetype i = 0;
    bool inQuotes = false;
    bool quoted = false;
    // Trailing blanks are dropped back to here only: not those that came
    // from quotes or escapes.
    qsizetype chopLimit = 0;
    const auto skipBlanks = [&] {
        while (i < size && IsBlank(value[i]))
            ++i;
        chopLimit = text.size();
    };
    skipBlanks();
    while (i < size) {
        const char c = value[i];
        if (c == '\\') {
            ++i;
            if (i >= size)
                break;
            const char e = value[i++];
            bool done = false;
            for (const auto &esc : kEscapes) {
                if (e == esc[0]) {
                    text += QLatin1Char(esc[1]);
                    done = true;
                    break;
                }
            }
            if (!done && e == 'x' && i < size && HexDigit(value[i]) >= 0) {
                std::uint32_t code = 0;
                for (; i < size && HexDigit(value[i]) >= 0; ++i)
                    if (code <= 0xFFFF)
                        code = (code << 4) | static_cast<std::uint32_t>(HexDigit(value[i]));
                AppendCode(text, code);
            } else if (!done && e >= '0' && e <= '7') {
                std::uint32_t code = static_cast<std::uint32_t>(e - '0');
                for (; i < size && value[i] >= '0' && value[i] <= '7'; ++i)
                    if (code <= 0xFFFF)
                        code = (code << 3) | static_cast<std::uint32_t>(value[i] - '0');
                AppendCode(text, code);
            } else if (!done && (e == '\n' || e == '\r')) {
                if (i < size && (value[i] == '\n' || value[i] == '\r') && value[i] != e)
                    ++i;
            }
            // Any other escaped character is dropped with its backslash.
            chopLimit = text.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
        } else {
            // A run of plain bytes (commas included) up to the next escape or quote.
            qsizetype j = i + 1;
            while (j < size && value[j] != '\\' && value[j] != '"')
                ++j;
            text += fromUtf8(value.sliced(i, j - i));
            i = j;
        }
    }
    if (!quoted) {
        while (text.size() > chopLimit && (text.back() == u' ' || text.back() == u'\t'))
            text.chop(1);
    }
    if (text.startsWith(QLatin1StringView("@@")))
        text.remove(0, 1);
    return text;
}

} // namespace

std::optional<QString> IniValueAsWritten(QByteArrayView file, QStringView key)
{
    qsizetype pos = file.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    bool topLevel = true;
    std::optional<QByteArrayView> found;
    Line line;
    while (NextLine(file, pos, line)) {
        const QByteArrayView text = file.sliced(line.start, line.end - line.start);
        if (text.front() == '[') {
            const qsizetype close = text.indexOf(']');
            topLevel = close > 0 && IsTopLevelSection(text.sliced(1, close - 1));
            continue;
        }
        if (line.equals < 0 || !topLevel)
            continue;
        qsizetype keyEnd = line.equals;
        while (keyEnd > line.start && IsBlank(file[keyEnd - 1]))
            --keyEnd;
        const QByteArrayView name = file.sliced(line.start, keyEnd - line.start);
        if (QLatin1StringView(name.data(), name.size()) == key)
            found = file.sliced(line.equals + 1, line.end - line.equals - 1);
    }
    if (!found)
        return std::nullopt;
    return Unescape(*found);
}

} // namespace kavlon
