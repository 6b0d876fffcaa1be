#include "app/MainFormBuilder.h"

#include "app/BevelPanel.h"
#include "app/ChartView.h"
#include "app/MainFormLayout.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>

#include <functional>
#include <limits>
#include <map>
#include <type_traits>
#include <utility>

namespace kavlon {

namespace {

using layout::Kind;

// ---------------------------------------------------------------------------
// What the compiler checks of the tables, so that a misspelt parent, a field
// of the wrong type or a handler that does not fit its control never builds.

constexpr std::size_t TopLevel = std::numeric_limits<std::size_t>::max();
constexpr std::size_t Unresolved = TopLevel - 1;

constexpr bool HoldsChildren(const layout::Control &c)
{
    return c.kind == Kind::ChartPanel || c.kind == Kind::ToolBar || c.kind == Kind::ControlPanel
           || c.kind == Kind::SubPanel;
}
constexpr bool HoldsChildren(const layout::MenuItem &m) { return m.submenu; }

// The row of each row's parent: an earlier row of that name that can hold it.
template <typename Row, std::size_t N>
constexpr std::array<std::size_t, N> ParentRowsOf(const std::array<Row, N> &rows)
{
    std::array<std::size_t, N> parents{};
    for (std::size_t i = 0; i < N; ++i) {
        parents[i] = rows[i].parent ? Unresolved : TopLevel;
        for (std::size_t j = 0; j < i && rows[i].parent; ++j)
            if (std::string_view(rows[j].name) == rows[i].parent && HoldsChildren(rows[j]))
                parents[i] = j;
    }
    return parents;
}

constexpr auto ControlParents = ParentRowsOf(layout::Controls);
constexpr auto MenuParents = ParentRowsOf(layout::Menu);

template <std::size_t N> constexpr bool AllResolved(const std::array<std::size_t, N> &parents)
{
    for (std::size_t p : parents)
        if (p == Unresolved)
            return false;
    return true;
}
static_assert(AllResolved(ControlParents), "a control names a parent that is not above it");
static_assert(AllResolved(MenuParents), "a menu item names a submenu that is not above it");

constexpr bool NamesAreUnique()
{
    std::array<std::string_view, layout::Controls.size() + layout::Menu.size()> names{};
    std::size_t n = 0;
    for (const layout::Control &c : layout::Controls)
        names[n++] = c.name;
    for (const layout::MenuItem &m : layout::Menu)
        names[n++] = m.name;
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (names[i] == names[j])
                return false;
    return true;
}
static_assert(NamesAreUnique(), "two controls or menu items share an object name");

template <typename W> constexpr bool Keeps(const layout::Control &c)
{
    return std::holds_alternative<std::monostate>(c.field)
           || std::holds_alternative<layout::Field<W>>(c.field);
}

constexpr bool FieldFitsKind(const layout::Control &c)
{
    switch (c.kind) {
    case Kind::ChartPanel:
    case Kind::TitlePanel:
    case Kind::ControlPanel:
    case Kind::SubPanel: return Keeps<BevelPanel>(c);
    case Kind::ToolBar: return Keeps<QWidget>(c);
    case Kind::ToolButton: return Keeps<QToolButton>(c);
    case Kind::Label:
    case Kind::FixedLabel: return Keeps<QLabel>(c);
    case Kind::ReadOut: return Keeps<QLineEdit>(c);
    case Kind::Spin: return std::holds_alternative<std::monostate>(c.field);
    case Kind::Radio: return Keeps<QRadioButton>(c);
    case Kind::Chart: return Keeps<ChartView>(c);
    }
    return false;
}

using SpinHandler = void (TKavlonMain::*)(SpinDirection);
using MouseHandler = void (TKavlonMain::*)(Qt::MouseButton);

constexpr bool HandlerFitsKind(const layout::Control &c)
{
    if (std::holds_alternative<std::monostate>(c.handler))
        return true;
    switch (c.kind) {
    case Kind::ToolButton:
    case Kind::Radio: return std::holds_alternative<layout::Command>(c.handler);
    case Kind::Spin: return std::holds_alternative<SpinHandler>(c.handler);
    case Kind::TitlePanel:
    case Kind::Chart: return std::holds_alternative<MouseHandler>(c.handler);
    default: return false;
    }
}

constexpr bool ControlsFitTheirKinds()
{
    for (const layout::Control &c : layout::Controls)
        if (!FieldFitsKind(c) || !HandlerFitsKind(c)
            || (c.plant != layout::NoPlant && c.kind != Kind::ToolButton))
            return false;
    return true;
}
static_assert(ControlsFitTheirKinds(), "a control's field or handler does not fit its kind");

// Every plant has exactly one tool button and one menu item.
constexpr bool EachPlantOnce()
{
    std::array<int, PlantCount> buttons{};
    std::array<int, PlantCount> items{};
    for (const layout::Control &c : layout::Controls)
        if (c.plant != layout::NoPlant)
            ++buttons[static_cast<std::size_t>(c.plant)];
    for (const layout::MenuItem &m : layout::Menu)
        if (m.plant != layout::NoPlant)
            ++items[static_cast<std::size_t>(m.plant)];
    for (std::size_t i = 0; i < PlantCount; ++i)
        if (buttons[i] != 1 || items[i] != 1)
            return false;
    return true;
}
static_assert(EachPlantOnce(), "a plant lacks its tool button or menu item, or has two");

// ---------------------------------------------------------------------------
// Building

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

QWidget *NewControl(const layout::Control &c, QWidget *parent)
{
    const QString caption = layout::Text(c.caption);
    switch (c.kind) {
    case Kind::ChartPanel:
    case Kind::TitlePanel: {
        auto *p = new BevelPanel(parent);
        p->SetBevels(BevelPanel::Bevel::Lowered, BevelPanel::Bevel::Lowered);
        p->SetColor(Qt::white);
        p->SetCaptionColor(Qt::black);
        p->SetCaption(caption);
        return p;
    }
    case Kind::ControlPanel:
    case Kind::SubPanel: {
        auto *p = new BevelPanel(parent);
        p->SetBevels(c.kind == Kind::ControlPanel ? BevelPanel::Bevel::Lowered
                                                  : BevelPanel::Bevel::Raised,
                     BevelPanel::Bevel::None);
        return p;
    }
    case Kind::ToolBar: return new QWidget(parent);
    case Kind::ToolButton: {
        auto *b = new QToolButton(parent);
        b->setIcon(QIcon(DrawToolPicture(c.picture)));
        b->setIconSize(QSize(ToolPictureSize, ToolPictureSize));
        b->setAutoRaise(true);
        // Picture buttons are clicked, never focused.
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    }
    case Kind::Label:
    case Kind::FixedLabel: return new QLabel(caption, parent);
    case Kind::ReadOut: {
        auto *e = new QLineEdit(parent);
        e->setReadOnly(true);
        e->setTextMargins(0, 0, 0, 0);
        QPalette pal = e->palette();
        pal.setColor(QPalette::Base, pal.color(QPalette::Button));
        e->setPalette(pal);
        return e;
    }
    case Kind::Spin: return new SpinArrows(parent);
    case Kind::Radio: {
        auto *r = new QRadioButton(caption, parent);
        // The captions must fit 41 pixels beside the indicator.
        r->setStyleSheet(QStringLiteral("QRadioButton { spacing: 3px; }"));
        r->setChecked(c.checked);
        return r;
    }
    case Kind::Chart: return new ChartView(parent);
    }
    return nullptr;
}

template <typename> struct FieldWidget;
template <typename W> struct FieldWidget<W * MainFormControls::*> {
    using Type = W;
};

// Keeps `w` in its row's field; the checks above make the cast exact.
void Keep(const layout::Control &c, QWidget *w, MainFormControls &controls)
{
    std::visit(
        [&](auto field) {
            using F = decltype(field);
            if constexpr (!std::is_same_v<F, std::monostate>)
                controls.*field = static_cast<typename FieldWidget<F>::Type *>(w);
        },
        c.field);
}

void Connect(const layout::Control &c, QWidget *w, TKavlonMain &window)
{
    std::visit(
        [&](auto handler) {
            using H = decltype(handler);
            if constexpr (std::is_same_v<H, layout::Command>) {
                if (c.kind == Kind::Radio) {
                    // A radio button reacts only when it becomes checked.
                    QObject::connect(static_cast<QRadioButton *>(w), &QRadioButton::toggled,
                                     &window, [&window, handler](bool on) {
                                         if (on)
                                             (window.*handler)();
                                     });
                } else {
                    QObject::connect(static_cast<QToolButton *>(w), &QToolButton::clicked, &window,
                                     handler);
                }
            } else if constexpr (std::is_same_v<H, SpinHandler>) {
                QObject::connect(static_cast<SpinArrows *>(w), &SpinArrows::Click, &window,
                                 handler);
            } else if constexpr (std::is_same_v<H, MouseHandler>) {
                if (c.kind == Kind::Chart)
                    QObject::connect(static_cast<ChartView *>(w), &ChartView::MouseDown, &window,
                                     handler);
                else
                    QObject::connect(static_cast<BevelPanel *>(w), &BevelPanel::MouseDown, &window,
                                     handler);
            }
        },
        c.handler);
}

void BuildControls(TKavlonMain &window, MainFormControls &controls)
{
    auto *client = new ClientWidget(&window);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setAutoFillBackground(true);
    client->setBackgroundRole(QPalette::Button);
    window.setCentralWidget(client);
    controls.ClientArea = client;

    auto *plantButtons = new QButtonGroup(&window);
    plantButtons->setExclusive(true);

    std::array<QWidget *, layout::Controls.size()> built{};
    for (std::size_t i = 0; i < layout::Controls.size(); ++i) {
        const layout::Control &c = layout::Controls[i];
        QWidget *parent = ControlParents[i] == TopLevel ? client : built[ControlParents[i]];
        QWidget *w = NewControl(c, parent);
        if (c.plant != layout::NoPlant) {
            auto *b = static_cast<QToolButton *>(w);
            b->setCheckable(true);
            b->setChecked(c.checked);
            plantButtons->addButton(b);
            controls.PlantButtons[static_cast<std::size_t>(c.plant)] = b;
        }
        w->setObjectName(QString::fromLatin1(c.name));
        if (c.font.pixels > 0)
            w->setFont(ArialFont(c.font.pixels, c.font.bold));
        if (c.kind == Kind::Label) {
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

        Keep(c, w, controls);
        switch (c.enabledWith) {
        case layout::EnabledWith::Always: break;
        case layout::EnabledWith::ControllerMode: controls.ControllerModeControls << w; break;
        case layout::EnabledWith::HandMode: controls.HandModeControls << w; break;
        case layout::EnabledWith::Option: controls.OptionControls << w; break;
        }
        built[i] = w;
    }
    // Wired once everything stands, so that no start state reaches a handler.
    for (std::size_t i = 0; i < layout::Controls.size(); ++i)
        Connect(layout::Controls[i], built[i], window);
    // Each value's read-out carries the keyboard for the arrows of its panel.
    for (std::size_t i = 0; i < layout::Controls.size(); ++i) {
        if (layout::Controls[i].kind != Kind::Spin)
            continue;
        for (std::size_t j = 0; j < layout::Controls.size(); ++j)
            if (layout::Controls[j].kind == Kind::ReadOut && ControlParents[j] == ControlParents[i])
                static_cast<SpinArrows *>(built[i])->TakeKeysFrom(built[j]);
    }

    client->resized = [&window, &controls] {
        // The tool bar is attached to the top edge; the rest is FormResize's.
        controls.ToolBar->setGeometry(0, 0, controls.ClientArea->width(), layout::ToolBarHeight);
        window.FormResize();
    };
}

void BuildMenu(TKavlonMain &window, MainFormControls &controls)
{
    std::array<QMenu *, layout::Menu.size()> menus{};
    std::map<std::pair<std::size_t, int>, QActionGroup *> groups;
    for (std::size_t i = 0; i < layout::Menu.size(); ++i) {
        const layout::MenuItem &m = layout::Menu[i];
        const QString name = QString::fromLatin1(m.name);
        const QString caption = layout::Text(m.caption);
        if (m.submenu) {
            menus[i] = window.menuBar()->addMenu(caption);
            menus[i]->setObjectName(name);
            menus[i]->setToolTipsVisible(true);
            continue;
        }
        QAction *a = nullptr;
        if (MenuParents[i] == TopLevel)
            a = window.menuBar()->addAction(caption); // a command on the menu bar itself
        else if (m.caption == "-")
            a = menus[MenuParents[i]]->addSeparator();
        else
            a = menus[MenuParents[i]]->addAction(caption);
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
            QActionGroup *&group = groups[{MenuParents[i], m.radioGroup}];
            if (!group) {
                group = new QActionGroup(a->parent());
                // The time axis may have no item marked (a stored length other
                // than 180, 300 and 600); a plant and a band are always marked.
                group->setExclusionPolicy(m.radioGroup == layout::TimeAxisRadioGroup
                                              ? QActionGroup::ExclusionPolicy::ExclusiveOptional
                                              : QActionGroup::ExclusionPolicy::Exclusive);
            }
            a->setCheckable(true);
            a->setChecked(m.checked);
            group->addAction(a);
        }
        if (m.checkable)
            a->setCheckable(true);
        if (m.plant != layout::NoPlant)
            controls.PlantItems[static_cast<std::size_t>(m.plant)] = a;
        if (m.field)
            controls.*m.field = a;
        if (m.handler)
            QObject::connect(a, &QAction::triggered, &window, m.handler);
    }
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
