#pragma once

#include <QKeySequence>
#include <QList>

namespace kavlon {

class TKavlonMain;
struct MainFormControls;

// Builds the window from the layout tables: its title, font, help context and
// design size, the client area with every control, and the menu bar. Keeps the
// controls the handlers work on in `controls` and wires every control and menu
// item to its handler on `window`.
void BuildMainForm(TKavlonMain &window, MainFormControls &controls);

// The key combinations of the menu's items.
QList<QKeySequence> MenuShortcuts();

} // namespace kavlon
