#pragma once

// The fixed part of the main window as data: every control with its parent,
// kind, design position and size, font, caption, hint, help context and start
// state, in tab order, together with the field of MainFormControls that keeps
// it, the handler it is wired to and the switch that enables it; and the menu
// tree likewise. BuildMainForm builds the window from these tables; FormResize
// moves and stretches the chart and title panels and the control panel
// afterwards. The plants' buttons and menu items are made from the engine's
// plant table, so that their titles, captions and help numbers are written
// once.

#include "app/MainForm.h"
#include "app/MainFormControls.h"
#include "app/SpinArrows.h"
#include "app/ToolBarPictures.h"
#include "charts/ChartFrame.h"
#include "engine/PlantTable.h"

#include <QString>
#include <Qt>

#include <array>
#include <cstddef>
#include <string_view>
#include <variant>

namespace kavlon::layout {

enum class Kind {
    ChartPanel,   // double lowered bevel, holds a chart image
    TitlePanel,   // double lowered bevel, centred caption
    ToolBar,      // strip along the top edge
    ToolButton,   // 25 x 23 picture button with a tool tip
    ControlPanel, // single lowered bevel
    SubPanel,     // single raised bevel
    Label,        // sized to its caption
    FixedLabel,   // fixed size
    ReadOut,      // read-only edit field
    Spin,         // horizontal spin arrows
    Radio,
    Chart, // chart image, ImageInset pixels inside its panel's bevels
};

// Font of a control: 0 pixels means the parent's font. Pixel heights are
// character heights at 96 dpi (16 px = 12 pt, 12 px = 9 pt, 11 px = 8 pt).
struct Font {
    int pixels = 0;
    bool bold = false;
};

inline constexpr Font ParentFont{};
inline constexpr Font Arial12Bold{12, true};
inline constexpr Font Arial16Bold{16, true};

inline constexpr int NoHelp = 0;
inline constexpr int NoPlant = -1;

// The property that carries a control's or menu item's help context.
inline constexpr const char *HelpContextProperty = "helpContext";

// The plant the window starts with: the loop's own.
inline constexpr int StartPlant = LoopState{}.PlantIndex;

// Which switch enables a control besides its start state.
enum class EnabledWith {
    Always,         // nothing switches it
    ControllerMode, // enabled only in controller mode
    HandMode,       // enabled only in manual mode
    Option,         // enabled while the plant's option is in use
};

// The field of MainFormControls that keeps a built control or menu item.
template <typename W> using Field = W *MainFormControls::*;
using ControlField =
    std::variant<std::monostate, Field<QWidget>, Field<BevelPanel>, Field<ChartView>,
                 Field<QToolButton>, Field<QLineEdit>, Field<QRadioButton>, Field<QLabel>>;

// What a control is wired to: its click (a tool button; a radio button when it
// becomes checked), its arrows' clicks (spin arrows) or a mouse button pressed
// on it (title panels and charts).
using Command = void (TKavlonMain::*)();
using ControlHandler = std::variant<std::monostate, Command, void (TKavlonMain::*)(SpinDirection),
                                    void (TKavlonMain::*)(Qt::MouseButton)>;

struct Control {
    const char *name;
    const char *parent; // nullptr: the window's client area
    Kind kind;
    int left, top, width, height;
    Font font;
    std::string_view caption;
    std::string_view hint;
    int helpContext;
    bool enabled;
    bool checked; // radio selected, tool button down
    int plant;    // a plant's tool button (one exclusive group), or NoPlant
    ToolPicture picture;
    ControlField field{};
    ControlHandler handler{};
    EnabledWith enabledWith = EnabledWith::Always;

    // This row with the built control kept in `keep`, wired to `handle` or
    // switched with `with`. Each makes a new row rather than assigning to a
    // variant member, which not every compiler evaluates at compile time.
    template <typename W> constexpr Control KeptIn(Field<W> keep) const
    {
        return With(ControlField(std::in_place_type<Field<W>>, keep), handler, enabledWith);
    }
    template <typename H> constexpr Control On(H handle) const
    {
        return With(field, ControlHandler(handle), enabledWith);
    }
    constexpr Control Only(EnabledWith with) const { return With(field, handler, with); }

private:
    constexpr Control With(ControlField f, ControlHandler h, EnabledWith e) const
    {
        return Control{name, parent,      kind,    left,    top,   width,   height, font, caption,
                       hint, helpContext, enabled, checked, plant, picture, f,      h,    e};
    }
};

// Fixed sizes that the resize rules work with.
inline constexpr int ToolBarHeight = 33;
inline constexpr int TitlePanelHeight = 33;
inline constexpr int ControlPanelWidth = 769;
inline constexpr int ControlPanelHeight = 137;
inline constexpr int PanelLeft = 8;

// Outer size of the window before it is maximised, and its help context.
inline constexpr int DesignWidth = 794;
inline constexpr int DesignHeight = 680;
inline constexpr int WindowHelpContext = 1001;
inline constexpr int WindowFontPixels = 11;

constexpr Control C(const char *name, const char *parent, Kind kind, int l, int t, int w, int h,
                    Font font = ParentFont, std::string_view caption = "",
                    std::string_view hint = "", int help = NoHelp, bool enabled = true,
                    bool checked = false)
{
    return {name, parent,  kind,    l,       t,
            w,    h,       font,    caption, hint,
            help, enabled, checked, NoPlant, ToolPicture::Question};
}

constexpr Control Tool(const char *name, int left, ToolPicture picture, std::string_view hint,
                       bool enabled = true)
{
    Control c = C(name, "ToolBar", Kind::ToolButton, left, 2, 25, 23, ParentFont, "", hint, NoHelp,
                  enabled);
    c.picture = picture;
    return c;
}

constexpr Control Value(const char *name, const char *parent, Kind kind, int l, int t, int w, int h,
                        Font font = Arial12Bold, std::string_view caption = "", bool enabled = true)
{
    return C(name, parent, kind, l, t, w, h, font, caption, "", NoHelp, enabled);
}

// The window's own part of each plant: the object names of its tool button
// and menu item and the command that selects it.
struct PlantControl {
    const char *button;
    const char *menuItem;
    Command select;
};

inline constexpr std::array<PlantControl, PlantCount> PlantControls{{
    {"StreckeAButton", "PT3Prozess", &TKavlonMain::PT3ProzessClick},
    {"StreckeBButton", "PT3Totzeit", &TKavlonMain::PT3TotzeitClick},
    {"StreckeCButton", "PT3Temperatur", &TKavlonMain::PT3TemperaturClick},
    {"StreckeDButton", "PT2Prozess", &TKavlonMain::PT2ProzessClick},
    {"StreckeEButton", "PT2Integral", &TKavlonMain::PT2IntegralClick},
    {"StreckeFButton", "PT2TotzeitKomp", &TKavlonMain::PT2TotzeitKompClick},
    {"StreckeGButton", "PT2Totzeit80Komp", &TKavlonMain::PT2Totzeit80KompClick},
}};

// The tool buttons of the plants stand side by side from here, each with its
// letter and its plant's title as the hint.
inline constexpr int FirstPlantButtonLeft = 50;

constexpr Control PlantTool(int plant)
{
    const auto i = static_cast<std::size_t>(plant);
    const auto letter =
        static_cast<ToolPicture>(static_cast<int>(ToolPicture::LetterA) + (Plants[i].letter - 'A'));
    Control c =
        Tool(PlantControls[i].button, FirstPlantButtonLeft + 25 * plant, letter, Plants[i].title)
            .On(PlantControls[i].select);
    c.plant = plant;
    c.checked = plant == StartPlant;
    return c;
}

inline constexpr auto Controls = std::to_array<Control>({
    // Direct children of the client area, in tab order.
    C("ReglerPanel", nullptr, Kind::ChartPanel, 8, 65, 769, 184, ParentFont, "", "", 1010)
        .KeptIn(&MainFormControls::ReglerPanel),
    C("RegelstreckePanel", nullptr, Kind::ChartPanel, 8, 288, 769, 185, ParentFont, "", "", 1020)
        .KeptIn(&MainFormControls::RegelstreckePanel),
    C("ReglerLabelPanel", nullptr, Kind::TitlePanel, 8, 32, 769, 33, Arial16Bold, "Regler", "",
      1010)
        .KeptIn(&MainFormControls::ReglerLabelPanel)
        .On(&TKavlonMain::ReglerLabelPanelMouseDown),
    C("RegelstreckeLabelPanel", nullptr, Kind::TitlePanel, 8, 256, 769, 33, Arial16Bold,
      "Regelstrecke", "", 1020)
        .KeptIn(&MainFormControls::RegelstreckeLabelPanel)
        .On(&TKavlonMain::RegelstreckeLabelPanelMouseDown),
    C("ToolBar", nullptr, Kind::ToolBar, 0, 0, 786, ToolBarHeight)
        .KeptIn(&MainFormControls::ToolBar),
    C("ControlPanel", nullptr, Kind::ControlPanel, 8, 488, ControlPanelWidth, ControlPanelHeight)
        .KeptIn(&MainFormControls::ControlPanel),

    C("ReglerImage", "ReglerPanel", Kind::Chart, ImageInset, ImageInset, 765, 180)
        .KeptIn(&MainFormControls::ReglerImage)
        .On(&TKavlonMain::ReglerLabelPanelMouseDown),
    C("RegelstreckeImage", "RegelstreckePanel", Kind::Chart, ImageInset, ImageInset, 765, 181)
        .KeptIn(&MainFormControls::RegelstreckeImage)
        .On(&TKavlonMain::RegelstreckeLabelPanelMouseDown),

    Tool("ExitButton", 0, ToolPicture::Door, "Programm beenden").On(&TKavlonMain::ExitButtonClick),
    Tool("PrintButton", 25, ToolPicture::Printer, "Graphik ausdrucken")
        .On(&TKavlonMain::PrintClick),
    PlantTool(0),
    PlantTool(1),
    PlantTool(2),
    PlantTool(3),
    PlantTool(4),
    PlantTool(5),
    PlantTool(6),
    Tool("StartButton", 225, ToolPicture::Flag,
         "Regelkreis-Berechnung starten (Alternative: Leertaste drücken)")
        .KeptIn(&MainFormControls::StartButton)
        .On(&TKavlonMain::StartStopClick),
    Tool("StopButton", 250, ToolPicture::Hand,
         "Regelkreis-Berechnung stoppen (Alternative: Leertaste drücken)", false)
        .KeptIn(&MainFormControls::StopButton)
        .On(&TKavlonMain::StartStopClick),
    Tool("ResetButton", 275, ToolPicture::Swatter,
         "Graphik zurücksetzen (Alternative: Esc-Taste drücken)")
        .On(&TKavlonMain::ResetClick),
    Tool("HelpButton", 300, ToolPicture::Question, "Hilfe").On(&TKavlonMain::GeneralHelpClick),

    // The control panel's sub-panels, in tab order, each followed by its contents.
    C("IstwertPanel", "ControlPanel", Kind::SubPanel, 8, 8, 145, 57),
    Value("IstwertLabel", "IstwertPanel", Kind::Label, 8, 18, 0, 0, Arial16Bold, "Istwert x:"),
    Value("Istwert", "IstwertPanel", Kind::ReadOut, 88, 14, 49, 27, Arial16Bold)
        .KeptIn(&MainFormControls::Istwert),
    C("SollwertPanel", "ControlPanel", Kind::SubPanel, 8, 72, 145, 57),
    Value("SollwertLabel", "SollwertPanel", Kind::Label, 8, 8, 0, 0, Arial12Bold, "Sollwert w:"),
    Value("Sollwert", "SollwertPanel", Kind::ReadOut, 104, 5, 33, 23)
        .KeptIn(&MainFormControls::Sollwert),
    Value("SollwertUpDown", "SollwertPanel", Kind::Spin, 9, 32, 128, 17)
        .On(&TKavlonMain::SollwertUpDownClick),
    C("StellgroessePanel", "ControlPanel", Kind::SubPanel, 160, 8, 145, 57),
    Value("StellgroesseLabel", "StellgroessePanel", Kind::Label, 8, 8, 0, 0, Arial12Bold,
          "Stellgrösse y:"),
    Value("Stellgroesse", "StellgroessePanel", Kind::ReadOut, 104, 5, 33, 23)
        .KeptIn(&MainFormControls::Stellgroesse),
    Value("StellgroesseUpDown", "StellgroessePanel", Kind::Spin, 8, 32, 129, 17, Arial12Bold, "",
          false)
        .On(&TKavlonMain::StellgroesseUpDownClick)
        .Only(EnabledWith::HandMode),
    C("StoergroessePanel", "ControlPanel", Kind::SubPanel, 160, 72, 145, 57),
    Value("StoergroesseLabel", "StoergroessePanel", Kind::Label, 8, 8, 0, 0, Arial12Bold,
          "Störgrösse Z:"),
    Value("Stoergroesse", "StoergroessePanel", Kind::ReadOut, 104, 4, 33, 23)
        .KeptIn(&MainFormControls::Stoergroesse),
    Value("StoergroesseUpDown", "StoergroessePanel", Kind::Spin, 8, 32, 129, 17)
        .On(&TKavlonMain::StoergroesseUpDownClick),
    C("NachstellzeitPanel", "ControlPanel", Kind::SubPanel, 312, 8, 145, 57),
    Value("NachstellzeitLabel", "NachstellzeitPanel", Kind::Label, 8, 8, 0, 0, Arial12Bold,
          "Nachstellzeit Tn:")
        .Only(EnabledWith::ControllerMode),
    Value("Nachstellzeit", "NachstellzeitPanel", Kind::ReadOut, 104, 5, 33, 23)
        .KeptIn(&MainFormControls::Nachstellzeit)
        .Only(EnabledWith::ControllerMode),
    Value("NachstellzeitUpDown", "NachstellzeitPanel", Kind::Spin, 8, 32, 129, 17)
        .On(&TKavlonMain::NachstellzeitUpDownClick)
        .Only(EnabledWith::ControllerMode),
    C("VorhaltezeitPanel", "ControlPanel", Kind::SubPanel, 312, 72, 145, 57),
    Value("VorhaltezeitLabel", "VorhaltezeitPanel", Kind::Label, 8, 8, 0, 0, Arial12Bold,
          "Vorhaltezeit Tv:")
        .Only(EnabledWith::ControllerMode),
    Value("Vorhaltezeit", "VorhaltezeitPanel", Kind::ReadOut, 104, 5, 33, 23)
        .KeptIn(&MainFormControls::Vorhaltezeit)
        .Only(EnabledWith::ControllerMode),
    Value("VorhaltezeitUpDown", "VorhaltezeitPanel", Kind::Spin, 8, 32, 129, 17)
        .On(&TKavlonMain::VorhaltezeitUpDownClick)
        .Only(EnabledWith::ControllerMode),
    C("VerstaerkungPanel", "ControlPanel", Kind::SubPanel, 464, 8, 145, 57),
    Value("VerstaerkungLabel", "VerstaerkungPanel", Kind::Label, 8, 8, 0, 0, Arial12Bold,
          "Verstärkung Kr:")
        .Only(EnabledWith::ControllerMode),
    Value("Verstaerkung", "VerstaerkungPanel", Kind::ReadOut, 104, 4, 33, 23)
        .KeptIn(&MainFormControls::Verstaerkung)
        .Only(EnabledWith::ControllerMode),
    Value("VerstaerkungUpDown", "VerstaerkungPanel", Kind::Spin, 8, 32, 129, 17)
        .On(&TKavlonMain::VerstaerkungUpDownClick)
        .Only(EnabledWith::ControllerMode),
    C("SpeedPanel", "ControlPanel", Kind::SubPanel, 464, 72, 145, 57),
    Value("SpeedLabel", "SpeedPanel", Kind::Label, 8, 8, 0, 0, Arial12Bold, "Rechengeschw.:"),
    Value("Interval", "SpeedPanel", Kind::ReadOut, 104, 5, 33, 23)
        .KeptIn(&MainFormControls::Interval),
    Value("SpeedUpDown", "SpeedPanel", Kind::Spin, 8, 32, 129, 17)
        .On(&TKavlonMain::SpeedUpDownClick),

    C("SwitchPanel", "ControlPanel", Kind::SubPanel, 616, 8, 145, 41),
    C("HandButton", "SwitchPanel", Kind::Radio, 80, 12, 57, 17, Arial12Bold, "Hand")
        .KeptIn(&MainFormControls::HandButton)
        .On(&TKavlonMain::HandButtonClick),
    C("ReglerButton", "SwitchPanel", Kind::Radio, 16, 12, 57, 17, Arial12Bold, "Regler", "", NoHelp,
      true, true)
        .KeptIn(&MainFormControls::ReglerButton)
        .On(&TKavlonMain::ReglerButtonClick),
    C("ARWUPanel", "ControlPanel", Kind::SubPanel, 616, 56, 145, 33),
    C("ARWULabel", "ARWUPanel", Kind::FixedLabel, 8, 8, 41, 16, Arial12Bold, "ARWU")
        .Only(EnabledWith::ControllerMode),
    C("ARWUOffButton", "ARWUPanel", Kind::Radio, 48, 8, 41, 17, Arial12Bold, "Aus", "", NoHelp,
      true, true)
        .On(&TKavlonMain::ARWUOffButtonClick)
        .Only(EnabledWith::ControllerMode),
    C("ARWUOnButton", "ARWUPanel", Kind::Radio, 96, 8, 41, 17, Arial12Bold, "Ein")
        .KeptIn(&MainFormControls::ARWUOnButton)
        .On(&TKavlonMain::ARWUOnButtonClick)
        .Only(EnabledWith::ControllerMode),
    C("OptionPanel", "ControlPanel", Kind::SubPanel, 616, 96, 145, 33),
    C("OptionLabel", "OptionPanel", Kind::FixedLabel, 8, 8, 41, 16, Arial12Bold, "Option")
        .KeptIn(&MainFormControls::OptionLabel)
        .Only(EnabledWith::Option),
    C("OptionOffButton", "OptionPanel", Kind::Radio, 48, 8, 41, 17, Arial12Bold, "Aus", "", NoHelp,
      true, true)
        .On(&TKavlonMain::OptionOffButtonClick)
        .Only(EnabledWith::Option),
    C("OptionOnButton", "OptionPanel", Kind::Radio, 96, 8, 41, 17, Arial12Bold, "Ein")
        .KeptIn(&MainFormControls::OptionOnButton)
        .On(&TKavlonMain::OptionOnButtonClick)
        .Only(EnabledWith::Option),
});

// The menu tree. Top-level entries have parent nullptr; a submenu entry has
// submenu set; "-" is a separator.
struct MenuItem {
    const char *name;
    const char *parent;
    std::string_view caption;
    bool submenu;
    int shortcut;   // a Qt key combination, 0 for none
    int radioGroup; // -1: not a radio item
    int helpContext;
    std::string_view hint;
    bool checked;
    int plant = NoPlant; // a plant's item, kept in MainFormControls::PlantItems
    Field<QAction> field = nullptr;
    Command handler = nullptr; // run when the item is triggered
    bool checkable = false;    // an on/off switch with a check mark (radio items are anyway)

    constexpr MenuItem KeptIn(Field<QAction> keep) const
    {
        MenuItem m = *this;
        m.field = keep;
        return m;
    }
    constexpr MenuItem On(Command handle) const
    {
        MenuItem m = *this;
        m.handler = handle;
        return m;
    }
    constexpr MenuItem Switch() const
    {
        MenuItem m = *this;
        m.checkable = true;
        return m;
    }
};

inline constexpr int NoRadio = -1;
inline constexpr int PlantRadioGroup = 1;
inline constexpr int TimeAxisRadioGroup = 0;
inline constexpr int BandRadioGroup = 2;
// The help topic on the menu "Auswertung".
inline constexpr int EvaluationHelpContext = 1030;
// The help topic on the step test and the tuning map.
inline constexpr int TuningHelpContext = 1031;
inline constexpr int CtrlC = static_cast<int>(Qt::ControlModifier) | static_cast<int>(Qt::Key_C);
inline constexpr int CtrlP = static_cast<int>(Qt::ControlModifier) | static_cast<int>(Qt::Key_P);
inline constexpr int F1 = static_cast<int>(Qt::Key_F1);

constexpr MenuItem M(const char *name, const char *parent, std::string_view caption,
                     int radio = NoRadio, int help = NoHelp, int shortcut = 0, bool checked = false)
{
    return {name, parent, caption, false, shortcut, radio, help, "", checked};
}

constexpr MenuItem Sub(const char *name, std::string_view caption)
{
    return {name, nullptr, caption, true, 0, NoRadio, NoHelp, "", false};
}

// A command on the menu bar itself, with its hint.
constexpr MenuItem BarCommand(const char *name, std::string_view caption, std::string_view hint)
{
    return {name, nullptr, caption, false, 0, NoRadio, NoHelp, hint, false};
}

constexpr MenuItem PlantItem(int plant)
{
    const auto i = static_cast<std::size_t>(plant);
    MenuItem m = M(PlantControls[i].menuItem, "RegelStreckeMenu", Plants[i].menuCaption,
                   PlantRadioGroup, Plants[i].helpContext, 0, plant == StartPlant)
                     .On(PlantControls[i].select);
    m.plant = plant;
    return m;
}

inline constexpr auto Menu = std::to_array<MenuItem>({
    Sub("RegelStreckeMenu", "Regelstrecken-&Auswahl"),
    PlantItem(0),
    PlantItem(1),
    PlantItem(2),
    PlantItem(3),
    PlantItem(4),
    PlantItem(5),
    PlantItem(6),
    BarCommand("StartStop", "&Start", "Leertaste drücken")
        .KeptIn(&MainFormControls::StartStop)
        .On(&TKavlonMain::StartStopClick),
    BarCommand("Reset", "&Reset", "Esc-Taste drücken").On(&TKavlonMain::ResetClick),
    Sub("Ausgabe", "Aus&gabe"),
    M("Copy", "Ausgabe", "&Kopieren", NoRadio, NoHelp, CtrlC).On(&TKavlonMain::CopyClick),
    M("Print", "Ausgabe", "&Drucken", NoRadio, NoHelp, CtrlP).On(&TKavlonMain::PrintClick),
    M("N2", "Ausgabe", "-"),
    M("DruckerEinstellung", "Ausgabe", "Drucker-&Einstellung")
        .On(&TKavlonMain::DruckerEinstellungClick),
    Sub("Optionen", "&Optionen"),
    M("Zeitachse600", "Optionen", "Zeitachse 600 s", TimeAxisRadioGroup)
        .KeptIn(&MainFormControls::Zeitachse600)
        .On(&TKavlonMain::Zeitachse600Click),
    M("Zeitachse300", "Optionen", "Zeitachse 300 s", TimeAxisRadioGroup)
        .KeptIn(&MainFormControls::Zeitachse300)
        .On(&TKavlonMain::Zeitachse300Click),
    M("Zeitachse180", "Optionen", "Zeitachse 180 s", TimeAxisRadioGroup)
        .KeptIn(&MainFormControls::Zeitachse180)
        .On(&TKavlonMain::Zeitachse180Click),
    M("N3", "Optionen", "-"),
    M("BackgroundColor", "Optionen", "Hintergrundfarbe")
        .KeptIn(&MainFormControls::BackgroundColor)
        .On(&TKavlonMain::BackgroundColorClick),
    M("N5", "Optionen", "-"),
    M("ExportColor", "Optionen", "&Druckausgabe")
        .KeptIn(&MainFormControls::ExportColor)
        .On(&TKavlonMain::ExportColorClick),
    Sub("AuswertungMenu", "A&uswertung"),
    M("Messcursor", "AuswertungMenu", "&Messcursor")
        .Switch()
        .KeptIn(&MainFormControls::Messcursor)
        .On(&TKavlonMain::MesscursorClick),
    M("Kennwerte", "AuswertungMenu", "&Kennwerte")
        .Switch()
        .KeptIn(&MainFormControls::Kennwerte)
        .On(&TKavlonMain::KennwerteClick),
    M("Toleranzband1", "AuswertungMenu", "Toleranzband &1 %", BandRadioGroup)
        .KeptIn(&MainFormControls::Toleranzband1)
        .On(&TKavlonMain::Toleranzband1Click),
    M("Toleranzband2", "AuswertungMenu", "Toleranzband &2 %", BandRadioGroup)
        .KeptIn(&MainFormControls::Toleranzband2)
        .On(&TKavlonMain::Toleranzband2Click),
    M("Toleranzband5", "AuswertungMenu", "Toleranzband &5 %", BandRadioGroup)
        .KeptIn(&MainFormControls::Toleranzband5)
        .On(&TKavlonMain::Toleranzband5Click),
    M("KennwerteTabelle", "AuswertungMenu", "Kennwerte-&Tabelle…")
        .On(&TKavlonMain::KennwerteTabelleClick),
    M("N6", "AuswertungMenu", "-"),
    M("KurveMerken", "AuswertungMenu", "K&urve merken").On(&TKavlonMain::KurveMerkenClick),
    M("ReferenzLoeschen", "AuswertungMenu", "Referenz &löschen")
        .KeptIn(&MainFormControls::ReferenzLoeschen)
        .On(&TKavlonMain::ReferenzLoeschenClick),
    M("N11", "AuswertungMenu", "-"),
    M("Sprungantwort", "AuswertungMenu", "&Sprungantwort auswerten…")
        .On(&TKavlonMain::SprungantwortClick),
    M("Kennfeld", "AuswertungMenu", "Kenn&feld…").On(&TKavlonMain::KennfeldClick),
    M("N7", "AuswertungMenu", "-"),
    M("HelpOnEvaluation", "AuswertungMenu", "Hilfe zur &Auswertung", NoRadio, EvaluationHelpContext)
        .On(&TKavlonMain::HelpOnEvaluationClick),
    M("HelpOnTuning", "AuswertungMenu", "Hilfe zur &Reglereinstellung", NoRadio, TuningHelpContext)
        .On(&TKavlonMain::HelpOnTuningClick),
    Sub("VersuchMenu", "&Versuch"),
    M("VersuchOeffnen", "VersuchMenu", "Versuch &öffnen…").On(&TKavlonMain::VersuchOeffnenClick),
    M("VersuchNeuStarten", "VersuchMenu", "Versuch &neu starten")
        .KeptIn(&MainFormControls::VersuchNeuStarten)
        .On(&TKavlonMain::VersuchNeuStartenClick),
    M("VersuchSchliessen", "VersuchMenu", "Versuch s&chließen")
        .KeptIn(&MainFormControls::VersuchSchliessen)
        .On(&TKavlonMain::VersuchSchliessenClick),
    M("VersuchAufgabe", "VersuchMenu", "&Aufgabe anzeigen")
        .KeptIn(&MainFormControls::VersuchAufgabe)
        .On(&TKavlonMain::VersuchAufgabeClick),
    M("N8", "VersuchMenu", "-"),
    M("VersuchSpeichern", "VersuchMenu", "Einstellungen als Versuch &speichern…")
        .On(&TKavlonMain::VersuchSpeichernClick),
    M("MesswerteSpeichern", "VersuchMenu", "&Messwerte speichern…")
        .On(&TKavlonMain::MesswerteSpeichernClick),
    Sub("HilfeMenu", "&Hilfe"),
    M("GeneralHelp", "HilfeMenu", "&Grundlagen", NoRadio, WindowHelpContext, F1)
        .On(&TKavlonMain::GeneralHelpClick),
    M("HelpOnController", "HilfeMenu", "Angaben zum PID-&Regler", NoRadio, 1010)
        .On(&TKavlonMain::HelpOnControllerClick),
    M("HelpOnCourse", "HilfeMenu", "Angaben zur Regel&strecke", NoRadio,
      Plants[StartPlant].helpContext)
        .On(&TKavlonMain::HelpOnCourseClick),
    M("HelpOnHelp", "HilfeMenu", "&Hilfe zur Hilfe", NoRadio, 1002)
        .On(&TKavlonMain::HelpOnHelpClick),
    M("HelpIndex", "HilfeMenu", "Hilfe-&Index").On(&TKavlonMain::HelpIndexClick),
    M("N1", "HilfeMenu", "-"),
    M("AboutIt", "HilfeMenu", "Ueber &Kavlon 2").On(&TKavlonMain::AboutItClick),
});

// A text of the tables or of the plant table as the widgets take it.
inline QString Text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace kavlon::layout
