#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kavlon::sim {

// The most characters of a user's value that a message repeats.
inline constexpr std::size_t MaxQuotedCharacters = 60;

// The value in single quotes, cut after MaxQuotedCharacters characters with
// "…" so that a runaway argument cannot fill the screen. A character is one
// valid UTF-8 sequence or one byte that is not part of one.
std::string QuoteValue(std::string_view value);

// The text with everything a terminal could act on written out: \r, \n, \t,
// other control bytes and the C1 controls as \xNN, bytes that are not valid
// UTF-8 as \xNN. Printable ASCII and valid UTF-8 letters stay as they are.
std::string TerminalSafe(std::string_view text);

// The one way an error reaches the user: "kavlon-sim: <message>" as one
// terminal-safe line on standard error.
void ReportError(std::string_view message);

} // namespace kavlon::sim
