#pragma once

#include <QString>

namespace kavlon {

// The whole program speaks German, so the toolkit's own texts (shortcut
// names such as "Strg+C", context menus, the file, print and page set-up
// dialogs) are German too, whatever language the system is set to. The
// toolkit's German catalogue is loaded from `folder`, by default where the
// toolkit keeps its translations, and installed for the application.
//
// Returns whether it was found and installed; without it the program runs on
// with the toolkit's English texts. Installing again replaces the earlier one.
bool InstallQtGerman(const QString &folder = QString());

// Takes the catalogue out again (for tests that compare both languages).
void RemoveQtGerman();

} // namespace kavlon
