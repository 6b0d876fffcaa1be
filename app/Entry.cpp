#include "app/Entry.h"

#include "app/BevelPanel.h"
#include "app/ProductLogo.h"
#include "app/ProgramIcon.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

namespace kavlon {

TEntryWindow::TEntryWindow(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("EntryWindow"));
    setWindowTitle(QStringLiteral("Kavlon 2"));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(425, 238);

    Panel = new BevelPanel(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setGeometry(0, 0, 425, 238);
    Panel->SetBevels(BevelPanel::Bevel::Raised, BevelPanel::Bevel::Lowered, 4, 4);
    Panel->SetColor(Panel->palette().color(QPalette::Window));

    using namespace logo;
    PlacedLabel(Panel, QStringLiteral("ProductName"), ProductName(), 12, 12, 277, 77,
                ProductNameFont(), Qt::AlignCenter);
    PlacedLabel(Panel, QStringLiteral("Version"), Version(), 112, 88, 161, 25, VersionFont(),
                Qt::AlignCenter);
    PlacedIcon(Panel, 52, 84, 53, 53);
    PlacedLabel(Panel, QStringLiteral("CreditsLine"), CreditsSubject(), 112, 120, 161, 17,
                ArialBold(11), Qt::AlignCenter);
    PlacedLabel(Panel, QStringLiteral("CreditsHeading"), CreditsHeading(), 296, 24, 113, 17,
                ArialBold(13), Qt::AlignLeft | Qt::AlignTop);
    PlacedLabel(Panel, QStringLiteral("CreditsTeam"), CreditsTeam(), 296, 48, 113, 41,
                ArialBold(11), Qt::AlignLeft | Qt::AlignTop, true);
    PlacedLabel(Panel, QStringLiteral("CreditsWork"), CreditsWork(), 296, 96, 113, 49,
                ArialBold(11), Qt::AlignLeft | Qt::AlignTop, true);

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(ShowMilliseconds);
    Timer->setSingleShot(true);
    Timer->setTimerType(Qt::PreciseTimer); // four seconds, not up to 5 % more
    connect(Timer, &QTimer::timeout, this, &TEntryWindow::TimerTimer);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    FormCreate();
}

void TEntryWindow::FormCreate()
{
    show();
    // The main window is shown after the splash. Where no window manager keeps
    // the splash on top, raising it once the event loop runs does.
    QTimer::singleShot(0, this, &QWidget::raise);
    Timer->start();
}

void TEntryWindow::TimerTimer()
{
    // Destroys the window with its timer, so this runs once.
    close();
}

} // namespace kavlon
