#include "cli/ErrorText.h"

#include <cstdio>

namespace kavlon::sim {

namespace {

// The length of the valid UTF-8 sequence at text[i], or 0 when the byte there
// does not start one (stray continuation, overlong form, surrogate, beyond
// U+10FFFF, cut short).
std::size_t Utf8Length(std::string_view text, std::size_t i, char32_t &code)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    std::size_t n = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
        code = b0;
        return 1;
    }
    if ((b0 & 0xE0) == 0xC0) {
        n = 2;
        min = 0x80;
        code = b0 & 0x1Fu;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3;
        min = 0x800;
        code = b0 & 0x0Fu;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4;
        min = 0x10000;
        code = b0 & 0x07u;
    } else {
        return 0;
    }
    if (i + n > text.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return n;
}

void AppendHex(std::string &out, unsigned char b)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[b >> 4];
    out += digits[b & 0x0F];
}

} // namespace

std::string QuoteValue(std::string_view value)
{
    std::string out = "'";
    std::size_t i = 0;
    for (std::size_t characters = 0; i < value.size(); ++characters) {
        if (characters == MaxQuotedCharacters) {
            out += "'\u2026";
            return out;
        }
        char32_t code = 0;
        const std::size_t n = Utf8Length(value, i, code);
        const std::size_t take = n == 0 ? 1 : n;
        out.append(value.substr(i, take));
        i += take;
    }
    out += "'";
    return out;
}

std::string TerminalSafe(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t code = 0;
        const std::size_t n = Utf8Length(text, i, code);
        if (n == 0) {
            AppendHex(out, static_cast<unsigned char>(text[i]));
            ++i;
            continue;
        }
        if (code == U'\r')
            out += "\\r";
        else if (code == U'\n')
            out += "\\n";
        else if (code == U'\t')
            out += "\\t";
        else if (code < 0x20 || code == 0x7F || (code >= 0x80 && code <= 0x9F))
            // C1 controls (0x9B is a one-byte escape sequence start to some
            // terminals) are written as their bytes.
            for (std::size_t k = 0; k < n; ++k)
                AppendHex(out, static_cast<unsigned char>(text[i + k]));
        else
            out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

void ReportError(std::string_view message)
{
    const std::string line = "kavlon-sim: " + TerminalSafe(message) + "\n";
    std::fputs(line.c_str(), stderr);
}

} // namespace kavlon::sim
