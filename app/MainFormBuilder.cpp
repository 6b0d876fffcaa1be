#include "app/MainFormBuilder.h"

#include "app/BevelPanel.h"
#include "app/ChartView.h"
#include "app/MainForm.h"
#include "app/MainFormLayout.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include <functional>

namespace kavlon {

namespace {

QFont ArialFont(int pixels, bool bold)
{
    QFont f(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The client area reports its size changes to the window.
class ClientWidget : public QWidget {
public:
    explicit ClientWidget(QWidget *parent) : QWidget(parent) {}
    std::function<void()> resized;

protected:
    void resizeEvent(QResizeEvent *) override
    {
        if (resized)
            resized();
    }
};

template <typename T> T *Find(const QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    Q_ASSERT_X(found, "Find", name);
    return found;
}

void BuildControls(TKavlonMain &window, MainFormControls &controls)
{
    auto *client = new ClientWidget(&window);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setAutoFillBackground(true);
    client->setBackgroundRole(QPalette::Button);
    window.setCentralWidget(client);
    controls.ClientArea = client;

    QHash<QString, QWidget *> built;
    auto *plantButtons = new QButtonGroup(&window);
    plantButtons->setExclusive(true);

    for (const layout::Control &c : layout::Controls) {
        QWidget *parent =
            c.parent ? built.value(QString::fromLatin1(c.parent)) : controls.ClientArea;
        Q_ASSERT(parent);
        QWidget *w = nullptr;
        const QString caption = layout::Text(c.caption);
        switch (c.kind) {
        case layout::Kind::ChartPanel:
        case layout::Kind::TitlePanel: {
            auto *p = new BevelPanel(parent);
            p->SetBevels(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Lowered);
            p->SetColor(Qt::white);
            p->SetCaptionColor(Qt::black);
            p->SetCaption(caption);
            w = p;
            break;
        }
        case layout::Kind::ControlPanel:
        case layout::Kind::SubPanel: {
            auto *p = new BevelPanel(parent);
            p->SetBevels(c.kind == layout::Kind::ControlPanel ? BevelPanel::Bevel::Lowered
                                                              : BevelPanel::Bevel::Raised,
                         BevelPanel::Bevel::None);
            w = p;
            break;
        }
        case layout::Kind::ToolBar: w = new QWidget(parent); break;
        case layout::Kind::ToolButton: {
            auto *b = new QToolButton(parent);
            b->setIcon(QIcon(DrawToolPicture(c.picture)));
            b->setIconSize(QSize(ToolPictureSize, ToolPictureSize));
            b->setAutoRaise(true);
            // Picture buttons are clicked, never focused.
            b->setFocusPolicy(Qt::NoFocus);
            if (c.plant != layout::NoPlant) {
                b->setCheckable(true);
                b->setChecked(c.checked);
                plantButtons->addButton(b);
            }
            w = b;
            break;
        }
        case layout::Kind::Label:
        case layout::Kind::FixedLabel: w = new QLabel(caption, parent); break;
        case layout::Kind::ReadOut: {
            auto *e = new QLineEdit(parent);
            e->setReadOnly(true);
            e->setTextMargins(0, 0, 0, 0);
            QPalette pal = e->palette();
            pal.setColor(QPalette::Base, pal.color(QPalette::Button));
            e->setPalette(pal);
            w = e;
            break;
        }
        case layout::Kind::Spin: w = new SpinArrows(parent); break;
        case layout::Kind::Radio: {
            auto *r = new QRadioButton(caption, parent);
            // The captions must fit 41 pixels beside the indicator.
            r->setStyleSheet(QStringLiteral("QRadioButton { spacing: 3px; }"));
            r->setChecked(c.checked);
            w = r;
            break;
        }
        case layout::Kind::Chart: w = new ChartView(parent); break;
        }
        w->setObjectName(QString::fromLatin1(c.name));
        if (c.font.pixels > 0)
            w->setFont(ArialFont(c.font.pixels, c.font.bold));
        if (c.kind == layout::Kind::Label) {
            w->move(c.left, c.top);
            w->adjustSize();
        } else {
            w->setGeometry(c.left, c.top, c.width, c.height);
        }
        if (!c.hint.empty())
            w->setToolTip(layout::Text(c.hint));
        if (c.helpContext != layout::NoHelp)
            w->setProperty(layout::HelpContextProperty, c.helpContext);
        w->setEnabled(c.enabled);
        built.insert(w->objectName(), w);
    }

    controls.ReglerPanel = Find<BevelPanel>(window, "ReglerPanel");
    controls.RegelstreckePanel = Find<BevelPanel>(window, "RegelstreckePanel");
    controls.ReglerLabelPanel = Find<BevelPanel>(window, "ReglerLabelPanel");
    controls.RegelstreckeLabelPanel = Find<BevelPanel>(window, "RegelstreckeLabelPanel");
    controls.ControlPanel = Find<BevelPanel>(window, "ControlPanel");
    controls.ToolBar = Find<QWidget>(window, "ToolBar");
    controls.ReglerImage = Find<ChartView>(window, "ReglerImage");
    controls.RegelstreckeImage = Find<ChartView>(window, "RegelstreckeImage");
    controls.StartButton = Find<QToolButton>(window, "StartButton");
    controls.StopButton = Find<QToolButton>(window, "StopButton");
    controls.Istwert = Find<QLineEdit>(window, "Istwert");
    controls.Sollwert = Find<QLineEdit>(window, "Sollwert");
    controls.Stellgroesse = Find<QLineEdit>(window, "Stellgroesse");
    controls.Stoergroesse = Find<QLineEdit>(window, "Stoergroesse");
    controls.Nachstellzeit = Find<QLineEdit>(window, "Nachstellzeit");
    controls.Vorhaltezeit = Find<QLineEdit>(window, "Vorhaltezeit");
    controls.Verstaerkung = Find<QLineEdit>(window, "Verstaerkung");
    controls.Interval = Find<QLineEdit>(window, "Interval");
    controls.HandButton = Find<QRadioButton>(window, "HandButton");
    controls.ARWUOnButton = Find<QRadioButton>(window, "ARWUOnButton");
    controls.OptionOnButton = Find<QRadioButton>(window, "OptionOnButton");
    controls.OptionLabel = Find<QLabel>(window, "OptionLabel");

    client->resized = [&window, &controls] {
        // The tool bar is attached to the top edge; the rest is FormResize's.
        controls.ToolBar->setGeometry(0, 0, controls.ClientArea->width(), layout::ToolBarHeight);
        window.FormResize();
    };
}

void BuildMenu(TKavlonMain &window, MainFormControls &controls)
{
    QHash<QString, QMenu *> menus;
    QHash<QString, QActionGroup *> groups;
    for (const layout::MenuItem &m : layout::Menu) {
        const QString name = QString::fromLatin1(m.name);
        const QString caption = layout::Text(m.caption);
        if (m.submenu) {
            QMenu *menu = window.menuBar()->addMenu(caption);
            menu->setObjectName(name);
            menus.insert(name, menu);
            continue;
        }
        QAction *a = nullptr;
        if (!m.parent)
            a = window.menuBar()->addAction(caption); // a command on the menu bar itself
        else if (caption == QLatin1String("-"))
            a = menus.value(QString::fromLatin1(m.parent))->addSeparator();
        else
            a = menus.value(QString::fromLatin1(m.parent))->addAction(caption);
        a->setObjectName(name);
        if (m.shortcut != 0)
            a->setShortcut(QKeySequence(m.shortcut));
        if (!m.hint.empty()) {
            a->setToolTip(layout::Text(m.hint));
            a->setStatusTip(layout::Text(m.hint));
        }
        if (m.helpContext != layout::NoHelp)
            a->setProperty(layout::HelpContextProperty, m.helpContext);
        if (m.radioGroup != layout::NoRadio) {
            const QString key = QString::fromLatin1(m.parent) + QString::number(m.radioGroup);
            QActionGroup *group = groups.value(key);
            if (!group) {
                group = new QActionGroup(a->parent());
                // The time axis may have no item marked (a stored length other
                // than 180, 300 and 600); a plant is always marked.
                group->setExclusionPolicy(m.radioGroup == layout::PlantRadioGroup
                                              ? QActionGroup::ExclusionPolicy::Exclusive
                                              : QActionGroup::ExclusionPolicy::ExclusiveOptional);
                groups.insert(key, group);
            }
            a->setCheckable(true);
            a->setChecked(m.checked);
            group->addAction(a);
        }
    }
    for (QMenu *menu : std::as_const(menus))
        menu->setToolTipsVisible(true);

    controls.StartStop = Find<QAction>(window, "StartStop");
    controls.BackgroundColor = Find<QAction>(window, "BackgroundColor");
    controls.ExportColor = Find<QAction>(window, "ExportColor");
}

void ConnectHandlers(TKavlonMain &window, MainFormControls &controls)
{
    auto onTrigger = [&window](const char *name, void (TKavlonMain::*handler)()) {
        QObject::connect(Find<QAction>(window, name), &QAction::triggered, &window, handler);
    };
    auto onClick = [&window](const char *name, void (TKavlonMain::*handler)()) {
        QObject::connect(Find<QToolButton>(window, name), &QToolButton::clicked, &window, handler);
    };
    auto onSpin = [&window](const char *name, void (TKavlonMain::*handler)(SpinDirection)) {
        QObject::connect(Find<SpinArrows>(window, name), &SpinArrows::Click, &window, handler);
    };
    // A radio button reacts only when it becomes checked.
    auto onChecked = [&window](const char *name, void (TKavlonMain::*handler)()) {
        QObject::connect(Find<QRadioButton>(window, name), &QRadioButton::toggled, &window,
                         [&window, handler](bool on) {
                             if (on)
                                 (window.*handler)();
                         });
    };

    onClick("ExitButton", &TKavlonMain::ExitButtonClick);
    onClick("PrintButton", &TKavlonMain::PrintClick);
    onClick("StreckeAButton", &TKavlonMain::PT3ProzessClick);
    onClick("StreckeBButton", &TKavlonMain::PT3TotzeitClick);
    onClick("StreckeCButton", &TKavlonMain::PT3TemperaturClick);
    onClick("StreckeDButton", &TKavlonMain::PT2ProzessClick);
    onClick("StreckeEButton", &TKavlonMain::PT2IntegralClick);
    onClick("StreckeFButton", &TKavlonMain::PT2TotzeitKompClick);
    onClick("StreckeGButton", &TKavlonMain::PT2Totzeit80KompClick);
    onClick("StartButton", &TKavlonMain::StartStopClick);
    onClick("StopButton", &TKavlonMain::StartStopClick);
    onClick("ResetButton", &TKavlonMain::ResetClick);
    onClick("HelpButton", &TKavlonMain::GeneralHelpClick);

    onSpin("SollwertUpDown", &TKavlonMain::SollwertUpDownClick);
    onSpin("StellgroesseUpDown", &TKavlonMain::StellgroesseUpDownClick);
    onSpin("StoergroesseUpDown", &TKavlonMain::StoergroesseUpDownClick);
    onSpin("NachstellzeitUpDown", &TKavlonMain::NachstellzeitUpDownClick);
    onSpin("VorhaltezeitUpDown", &TKavlonMain::VorhaltezeitUpDownClick);
    onSpin("VerstaerkungUpDown", &TKavlonMain::VerstaerkungUpDownClick);
    onSpin("SpeedUpDown", &TKavlonMain::SpeedUpDownClick);

    onChecked("ReglerButton", &TKavlonMain::ReglerButtonClick);
    onChecked("HandButton", &TKavlonMain::HandButtonClick);
    onChecked("ARWUOnButton", &TKavlonMain::ARWUOnButtonClick);
    onChecked("ARWUOffButton", &TKavlonMain::ARWUOffButtonClick);
    onChecked("OptionOnButton", &TKavlonMain::OptionOnButtonClick);
    onChecked("OptionOffButton", &TKavlonMain::OptionOffButtonClick);

    onTrigger("PT3Prozess", &TKavlonMain::PT3ProzessClick);
    onTrigger("PT3Totzeit", &TKavlonMain::PT3TotzeitClick);
    onTrigger("PT3Temperatur", &TKavlonMain::PT3TemperaturClick);
    onTrigger("PT2Prozess", &TKavlonMain::PT2ProzessClick);
    onTrigger("PT2Integral", &TKavlonMain::PT2IntegralClick);
    onTrigger("PT2TotzeitKomp", &TKavlonMain::PT2TotzeitKompClick);
    onTrigger("PT2Totzeit80Komp", &TKavlonMain::PT2Totzeit80KompClick);
    onTrigger("StartStop", &TKavlonMain::StartStopClick);
    onTrigger("Reset", &TKavlonMain::ResetClick);
    onTrigger("Copy", &TKavlonMain::CopyClick);
    onTrigger("Print", &TKavlonMain::PrintClick);
    onTrigger("DruckerEinstellung", &TKavlonMain::DruckerEinstellungClick);
    onTrigger("Zeitachse600", &TKavlonMain::Zeitachse600Click);
    onTrigger("Zeitachse300", &TKavlonMain::Zeitachse300Click);
    onTrigger("Zeitachse180", &TKavlonMain::Zeitachse180Click);
    onTrigger("BackgroundColor", &TKavlonMain::BackgroundColorClick);
    onTrigger("ExportColor", &TKavlonMain::ExportColorClick);
    onTrigger("GeneralHelp", &TKavlonMain::GeneralHelpClick);
    onTrigger("HelpOnController", &TKavlonMain::HelpOnControllerClick);
    onTrigger("HelpOnCourse", &TKavlonMain::HelpOnCourseClick);
    onTrigger("HelpOnHelp", &TKavlonMain::HelpOnHelpClick);
    onTrigger("HelpIndex", &TKavlonMain::HelpIndexClick);
    onTrigger("AboutIt", &TKavlonMain::AboutItClick);

    QObject::connect(controls.ReglerLabelPanel, &BevelPanel::MouseDown, &window,
                     &TKavlonMain::ReglerLabelPanelMouseDown);
    QObject::connect(controls.ReglerImage, &ChartView::MouseDown, &window,
                     &TKavlonMain::ReglerLabelPanelMouseDown);
    QObject::connect(controls.RegelstreckeLabelPanel, &BevelPanel::MouseDown, &window,
                     &TKavlonMain::RegelstreckeLabelPanelMouseDown);
    QObject::connect(controls.RegelstreckeImage, &ChartView::MouseDown, &window,
                     &TKavlonMain::RegelstreckeLabelPanelMouseDown);
}

} // namespace

void BuildMainForm(TKavlonMain &window, MainFormControls &controls)
{
    window.setObjectName(QStringLiteral("KavlonMain"));
    window.setWindowTitle(QStringLiteral("Kavlon 2"));
    QFont windowFont(
        QStringList{QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    windowFont.setPixelSize(layout::WindowFontPixels);
    window.setFont(windowFont);
    window.setProperty(layout::HelpContextProperty, layout::WindowHelpContext);
    // First placed centred on the screen at its design size; the program then
    // shows it maximised, and this is the size it is restored to.
    window.resize(layout::DesignWidth, layout::DesignHeight);
    if (const QScreen *s = window.screen())
        window.move(s->availableGeometry().center() - window.rect().center());

    BuildControls(window, controls);
    BuildMenu(window, controls);
    ConnectHandlers(window, controls);
}

QList<QKeySequence> MenuShortcuts()
{
    QList<QKeySequence> shortcuts;
    for (const layout::MenuItem &m : layout::Menu)
        if (m.shortcut != 0)
            shortcuts << QKeySequence(m.shortcut);
    return shortcuts;
}

} // namespace kavlon
