#include "app/ProductLogo.h"

#include "app/ProgramIcon.h"

#include <QLabel>
#include <QPixmap>

namespace kavlon::logo {

QString ProductName() { return QStringLiteral("Kavlon"); }

QString Version() { return QStringLiteral("Version " KAVLON_SHORT_VERSION); }

namespace {

QFont ScriptFont(int pixelSize, bool italic)
{
    QFont font;
    // Z003 is the URW chancery face of fonts-urw-base35; older systems name it
    // "URW Chancery L".
    font.setFamilies({QStringLiteral("Matura MT Script Capitals"), QStringLiteral("Z003"),
                      QStringLiteral("URW Chancery L"), QStringLiteral("TeX Gyre Chorus")});
    font.setStyleHint(QFont::Cursive);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setItalic(italic);
    return font;
}

} // namespace

QFont ProductNameFont() { return ScriptFont(64, false); }

QFont VersionFont() { return ScriptFont(21, true); }

QFont ArialBold(int pixelSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

QString CreditsHeading() { return QStringLiteral("Autoren:"); }

QString CreditsTeam() { return QStringLiteral("Das Projektteam Kavlon 2"); }

QString CreditsWork() { return QStringLiteral("Simulation, Grafik, Bedienung und Hilfetexte"); }

QString CreditsSubject() { return QStringLiteral("Regelkreis-Simulator"); }

QLabel *PlacedLabel(QWidget *parent, const QString &name, const QString &text, int x, int y,
                    int width, int height, const QFont &font, Qt::Alignment alignment, bool wrap)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(x, y, width, height);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setWordWrap(wrap);
    label->setTextFormat(Qt::PlainText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

QLabel *PlacedIcon(QWidget *parent, int x, int y, int width, int height)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QStringLiteral("ProgramIcon"));
    label->setGeometry(x, y, width, height);
    label->setAlignment(Qt::AlignCenter);
    label->setPixmap(QPixmap::fromImage(ProgramIconImage(32)));
    return label;
}

} // namespace kavlon::logo
