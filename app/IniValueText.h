#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace kavlon {

// The text of the top-level key `key` in the bytes of an INI settings file,
// read as the settings store reads a text with one difference: a comma
// outside quotes is part of the text. The store's own INI reading turns
// "/opt/kavlon, neu/" into a list of two texts; a folder written by hand or by
// an installer means the text as it stands.
//
// Everything else follows the store's reading, so that a text the store
// itself wrote reads back unchanged: spaces and tabs after '=' and at the end
// of an unquoted text are dropped; "..." quotes keep spaces, commas, ';' and
// line breaks; backslash escapes \a \b \f \n \r \t \v \" \? \' \\, \xHH... and
// \ooo (octal) stand for their characters, a backslash before a line break
// continues the line and before any other character drops both; an unquoted
// ';' ends the text (a comment); the bytes are UTF-8; a leading "@@" stands
// for "@". Top level means before any section or in a section named
// "General" (any case). When the key appears more than once the last one
// holds, as in the store. Nothing when the key is not there.
std::optional<QString> IniValueAsWritten(QByteArrayView file, QStringView key);

} // namespace kavlon
