#include "app/About.h"

#include "app/BevelPanel.h"
#include "app/ProductLogo.h"
#include "app/ProgramIcon.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <cmath>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
#include <sys/sysinfo.h>

#include <cstdio>
#endif

namespace kavlon {

namespace {

TAboutBox *currentBox = nullptr;

} // namespace

MemoryStatus QueryMemoryStatus()
{
    MemoryStatus status;
#if defined(_WIN32)
    MEMORYSTATUSEX info{};
    info.dwLength = sizeof(info);
    if (GlobalMemoryStatusEx(&info)) {
        status.totalBytes = info.ullTotalPhys;
        status.availableBytes = info.ullAvailPhys;
    }
#elif defined(__linux__)
    struct sysinfo info {};
    if (sysinfo(&info) == 0) {
        const std::uint64_t unit = info.mem_unit == 0 ? 1 : info.mem_unit;
        status.totalBytes = std::uint64_t{info.totalram} * unit;
        // Free plus buffer memory, unless the kernel states what is available
        // without swapping (MemAvailable also counts reclaimable caches).
        status.availableBytes =
            (std::uint64_t{info.freeram} + std::uint64_t{info.bufferram}) * unit;
        if (std::FILE *meminfo = std::fopen("/proc/meminfo", "r")) {
            char line[128];
            unsigned long long kb = 0;
            while (std::fgets(line, sizeof line, meminfo))
                if (std::sscanf(line, "MemAvailable: %llu kB", &kb) == 1) {
                    status.availableBytes = std::uint64_t{kb} * 1024;
                    break;
                }
            std::fclose(meminfo);
        }
    }
#endif
    return status;
}

QString FormatKilobytes(std::uint64_t bytes, const QLocale &locale)
{
    // Whole kilobytes, halves to the even neighbour; exact in long double for
    // every 64-bit count.
    const long double kilobytes = std::nearbyint(static_cast<long double>(bytes) / 1024.0L);
    QLocale grouped = locale;
    grouped.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped.toString(static_cast<qulonglong>(kilobytes)) + QStringLiteral(" KB");
}

TAboutBox::TAboutBox(QWidget *parent, const MemoryQuery &query)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setWindowIcon(ProgramIcon());
    setModal(true);
    setFixedSize(466, 298);

    using namespace logo;
    Panel = new BevelPanel(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setGeometry(8, 8, 449, 233);
    Panel->SetBevels(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::None);
    Panel->SetColor(Panel->palette().color(QPalette::Window));
    PlacedLabel(Panel, QStringLiteral("ProductName"), ProductName(), 8, 8, 265, 85,
                ProductNameFont(), Qt::AlignCenter);
    PlacedLabel(Panel, QStringLiteral("Version"), Version(), 24, 88, 249, 25, VersionFont(),
                Qt::AlignCenter);
    PlacedIcon(Panel, 28, 92, 53, 53);
    PlacedLabel(Panel, QStringLiteral("CreditsHeading"), CreditsHeading(), 280, 8, 161, 17,
                ArialBold(13), Qt::AlignLeft | Qt::AlignTop);
    PlacedLabel(Panel, QStringLiteral("CreditsTeam"), CreditsTeam(), 280, 32, 161, 57,
                ArialBold(11), Qt::AlignLeft | Qt::AlignTop, true);
    PlacedLabel(Panel, QStringLiteral("CreditsWork"), CreditsWork(), 280, 96, 121, 72,
                ArialBold(11), Qt::AlignLeft | Qt::AlignTop, true);
    PlacedLabel(Panel, QStringLiteral("CreditsLine"), CreditsSubject(), 32, 128, 241, 16,
                ArialBold(13), Qt::AlignCenter);

    MemoryPanel = new BevelPanel(this);
    MemoryPanel->setObjectName(QStringLiteral("MemoryPanel"));
    MemoryPanel->setGeometry(8, 248, 281, 41);
    MemoryPanel->SetBevels(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::None);
    MemoryPanel->SetColor(MemoryPanel->palette().color(QPalette::Window));
    PlacedLabel(MemoryPanel, QStringLiteral("PhysMemLabel"),
                QStringLiteral("Gesamter physikalischer Speicher"), 8, 4, 182, 16, ArialBold(11),
                Qt::AlignLeft | Qt::AlignTop);
    // The figures end at x 273; they reach further left than 73 pixels because
    // "16.777.216 KB" in Arial bold 11 pixels is 74 pixels wide.
    PhysMem = PlacedLabel(MemoryPanel, QStringLiteral("PhysMem"), QString(), 190, 4, 83, 16,
                          ArialBold(11), Qt::AlignRight | Qt::AlignTop);
    PlacedLabel(MemoryPanel, QStringLiteral("FreeResLabel"), QStringLiteral("Freier Speicher"), 8,
                20, 182, 16, ArialBold(11), Qt::AlignLeft | Qt::AlignTop);
    FreeRes = PlacedLabel(MemoryPanel, QStringLiteral("FreeRes"), QString(), 190, 20, 83, 16,
                          ArialBold(11), Qt::AlignRight | Qt::AlignTop);

    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(383, 257, 75, 33);
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate(query);
    currentBox = this;
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TAboutBox::OtherWindowActivated);
}

TAboutBox::~TAboutBox()
{
    if (currentBox == this)
        currentBox = nullptr;
}

TAboutBox *TAboutBox::Current() { return currentBox; }

void TAboutBox::FormCreate(const MemoryQuery &query)
{
    // Taken once: every later showing presents the figures of program start.
    const MemoryStatus status = query ? query() : MemoryStatus{};
    PhysMem->setText(FormatKilobytes(status.totalBytes));
    FreeRes->setText(FormatKilobytes(status.availableBytes));
}

void TAboutBox::reject() { accept(); }

void TAboutBox::OtherWindowActivated(QWindow *window)
{
    if (!isVisible() || window == nullptr || window == windowHandle())
        return;
    // Minimised or hidden behind the window it blocks: back in front.
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TAboutBox::showEvent(QShowEvent *event)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    OKButton->setFocus();
    QDialog::showEvent(event);
}

} // namespace kavlon
