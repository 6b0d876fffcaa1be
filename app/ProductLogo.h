#pragma once

#include <QFont>
#include <QString>

class QLabel;
class QWidget;

namespace kavlon {

// What the splash window and the information dialog share: the product name
// and version in a script face, the plain faces of the credits, and the
// credit texts.
namespace logo {

QString ProductName(); // "Kavlon"
QString Version();     // "Version 2.1"

// The script face: a calligraphic face of the system stands in for the
// original, which is not free.
QFont ProductNameFont(); // bold, 64-pixel characters
QFont VersionFont();     // bold italic, 21-pixel characters
QFont ArialBold(int pixelSize);

QString CreditsHeading(); // "Autoren:"
QString CreditsTeam();    // who made the program
QString CreditsWork();    // what the team built
QString CreditsSubject(); // the one-line subject of the program

// A label at a fixed place with the given font, alignment and wrapping.
QLabel *PlacedLabel(QWidget *parent, const QString &name, const QString &text, int x, int y,
                    int width, int height, const QFont &font, Qt::Alignment alignment,
                    bool wrap = false);

// A label at a fixed place showing the 32-pixel program icon, centred.
QLabel *PlacedIcon(QWidget *parent, int x, int y, int width, int height);

} // namespace logo
} // namespace kavlon
