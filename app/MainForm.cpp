#include "app/MainForm.h"

#include "app/About.h"
#include "app/BevelPanel.h"
#include "app/ChartView.h"
#include "app/HelpViewer.h"
#include "app/MainFormBuilder.h"
#include "app/MainFormLayout.h"
#include "app/MeasuredDataFile.h"
#include "app/NumberFormat.h"
#include "app/PrinterSetup.h"
#include "engine/OperatorValues.h"
#include "engine/PlantTable.h"
#include "output/ExportInputs.h"
#include "output/ExportTargets.h"
#include "output/ReadoutText.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QToolButton>
#include <QWindow>

namespace kavlon {

namespace {

using layout::HelpContextProperty;
using layout::Text;

// The timer period that every reset sets, whatever the speed: the first tick
// after a reset comes after 100 ms.
constexpr int ResetTimerPeriod = 100;

QColor ColorOf(std::uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

void SetEnabled(const QList<QWidget *> &controls, bool on)
{
    for (QWidget *w : controls)
        w->setEnabled(on);
}

} // namespace

TKavlonMain::TKavlonMain(QWidget *parent)
    : QMainWindow(parent),
      keyPreview_(this, MenuShortcuts(), [this](QChar key) { FormKeyPress(key); })
{
    BuildMainForm(*this, controls_);
    controls_.ReglerImage->SetImage(&charts_.ReglerImage());
    controls_.RegelstreckeImage->SetImage(&charts_.RegelstreckeImage());
    evaluationMenu_.Attach(this, controls_);
    experimentMenu_.Attach(controls_);
    evaluationMenu_.SetPlantOverlay([this](QPainter &p) { tuningMenu_.PaintPlantChart(p); });
    // On a screen of another ratio the charts start afresh, as after a resize.
    for (ChartView *view : {controls_.ReglerImage, controls_.RegelstreckeImage})
        connect(view, &ChartView::DisplayRatioChanged, this, [this] {
            if (charts_.PixelRatio() != controls_.ReglerImage->DisplayRatio())
                FormResize();
        });

    // A coarse timer may shift each timeout by up to 5 %: a 333 ms period ran
    // at 325 ms, so speed 30 went 2.4 % fast. The period is the speed.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &TKavlonMain::ActionOnTimer);
    // Key preview: the window sees space and Escape before the focused control.
    keyPreview_.Start();
    FormCreate();
}

TKavlonMain::~TKavlonMain()
{
    timer_.stop();
    // The views point into the charts, which go before the widget tree does.
    controls_.ReglerImage->SetImage(nullptr);
    controls_.RegelstreckeImage->SetImage(nullptr);
}

// ---------------------------------------------------------------------------
// Start-up and shutdown

void TKavlonMain::FormCreate()
{
    ApplyBackColor(White);
    printInColor_ = true;
    controls_.ExportColor->setText(QStringLiteral("&Druck schwarz-weiss"));

    settingsOpen_ = OpenSettings();
    LoadSettings();
    evaluationMenu_.LoadSettings(settings_);
    if (settingsOpen_) {
        evaluationMenu_.SetStore(&settings_);
        experimentMenu_.SetStore(&settings_);
    }
    // (The trace colours follow the background inside the charts.)

    // The operator's values start at the loop's own defaults.
    const LoopState defaults{};
    ResetLoopState(loop_, controls_.ARWUOnButton->isChecked(),
                   controls_.OptionOnButton->isChecked(), controls_.HandButton->isChecked());
    loop_.w = defaults.w;
    loop_.Z = defaults.Z;
    loop_.Kr = defaults.Kr;
    loop_.Tn = defaults.Tn;
    loop_.Tv = defaults.Tv;

    const QString point = QLocale().decimalPoint();
    controls_.Sollwert->setText(GeneralNumberText(loop_.w, point));
    controls_.Istwert->setText(GeneralNumberText(loop_.x, point));
    controls_.Stellgroesse->setText(GeneralNumberText(loop_.y, point));
    controls_.Stoergroesse->setText(GeneralNumberText(loop_.Z, point));
    WriteParameterReadOut(controls_.Nachstellzeit, loop_.Tn);
    WriteParameterReadOut(controls_.Vorhaltezeit, loop_.Tv);
    WriteParameterReadOut(controls_.Verstaerkung, loop_.Kr);
    controls_.Interval->setText(QString::number(loop_.Speed));

    UpdateControllerCaption();

    loop_.PlantIndex = defaults.PlantIndex;
    checkedPlantItem_ = controls_.PlantItems[loop_.PlantIndex];
    checkedPlantItem_->setChecked(true);
    controls_.PlantButtons[loop_.PlantIndex]->setChecked(true);
    plantHelpContext_ = checkedPlantItem_->property(HelpContextProperty).toInt();
    UpdatePlantCaption();

    controls_.OptionLabel->setText(Text(OptionLabelOf(loop_)));
    EnableOption(OptionEnabledFor(loop_.PlantIndex, loop_.HandMode));

    curvesExist_ = true;
    timer_.stop();
    // Lay out the client area of the not yet shown window, so that the charts
    // are drawn for its real size.
    if (layout())
        layout()->activate();
    FormResize();
}

bool TKavlonMain::OpenSettings()
{
    const bool open = settings_.Open();
    helpFilePath_ = settings_.HelpFilePath();
    return open;
}

void TKavlonMain::CloseSettings() { settings_.Close(); }

void TKavlonMain::LoadSettings()
{
    // Without a store the fallbacks are in force, and nothing is written back.
    if (!settingsOpen_) {
        charts_.SetTimeAxisLength(Settings::Zeitachse.fallback);
        controls_.Zeitachse600->setChecked(true);
        loop_.Speed = Settings::Intervall.fallback;
        return;
    }

    // A length of the menu goes through its command, which checks the item and
    // writes the length back; any other usable length runs as it is.
    const int length = settings_.Read(Settings::Zeitachse);
    if (length == 600)
        Zeitachse600Click();
    else if (length == 300)
        Zeitachse300Click();
    else if (length == 180)
        Zeitachse180Click();
    else
        charts_.SetTimeAxisLength(length);

    loop_.Speed = settings_.Read(Settings::Intervall);

    const auto bgr = static_cast<std::uint32_t>(settings_.Read(Settings::Hintergrundfarbe));
    if (bgr != charts_.BackColor()) {
        ApplyBackColor(bgr);
        SetPanelColors();
    }

    const bool inColour = settings_.Read(Settings::Druckausgabe);
    if (inColour != printInColor_) {
        printInColor_ = inColour;
        controls_.ExportColor->setText(printInColor_ ? QStringLiteral("&Druck schwarz-weiss")
                                                     : QStringLiteral("&Druck in Farbe"));
    }
}

void TKavlonMain::closeEvent(QCloseEvent *event)
{
    if (!closed_)
        FormClose();
    event->accept();
}

void TKavlonMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!damageTold_ && settings_.Damaged()) {
        damageTold_ = true;
        // After the window is on screen, so that the message sits over it.
        QTimer::singleShot(0, this, &TKavlonMain::TellOfDamagedSettings);
    }
}

void TKavlonMain::TellOfDamagedSettings()
{
    const auto &damaged = settings_.Damaged();
    if (!damaged)
        return;
    const QString text =
        damaged->keptAs.isEmpty()
            ? QStringLiteral("Die Einstellungsdatei \u201E%1\u201C ist besch\u00E4digt und konnte "
                             "nicht beiseitegelegt werden. Kavlon 2 speichert die Einstellungen "
                             "in dieser Sitzung nicht.")
                  .arg(QDir::toNativeSeparators(damaged->location))
            : QStringLiteral("Die Einstellungsdatei war besch\u00E4digt und wurde als "
                             "\u201E%1\u201C beiseitegelegt. Kavlon 2 speichert die "
                             "Einstellungen ab jetzt in einer neuen Datei.")
                  .arg(QDir::toNativeSeparators(damaged->keptAs));
    // Not modal: the operator reads it while the window is already usable.
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Kavlon 2"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("DamagedSettingsMessage"));
    box->setModal(false);
    box->show();
}

void TKavlonMain::FormClose()
{
    closed_ = true;
    keyPreview_.Stop();
    CallHelp(HelpCommand::Quit, 0);
    curvesExist_ = false;
    evaluationMenu_.Close();
    evaluationMenu_.SetStore(nullptr);
    experimentMenu_.Close();
    CloseSettings();
    timer_.stop();
    disconnect(&timer_, nullptr, this, nullptr);
}

// ---------------------------------------------------------------------------
// Layout

void TKavlonMain::FormResize()
{
    if (!curvesExist_)
        return;
    const int cw = controls_.ClientArea->width();
    const int ch = controls_.ClientArea->height();

    // Integer division truncates toward zero, as the layout rules expect.
    controls_.ControlPanel->move((cw - layout::ControlPanelWidth) / 2,
                                 ch - layout::ControlPanelHeight - 8);

    const int width = cw - 16;
    const int h = (ch - layout::TitlePanelHeight - layout::TitlePanelHeight
                   - layout::ControlPanelHeight - layout::ToolBarHeight - 8)
                      / 2
                  - 8;
    // A window smaller than the fixed parts gives zero or negative sizes; the
    // widgets then shrink to nothing and come back when the window grows.
    auto atLeast0 = [](int v) { return v < 0 ? 0 : v; };
    const int imageWidth = atLeast0(width - 2 * ImageInset);
    const int imageHeight = atLeast0(h - 2 * ImageInset);

    controls_.ReglerLabelPanel->setGeometry(layout::PanelLeft, controls_.ReglerLabelPanel->y(),
                                            atLeast0(width), layout::TitlePanelHeight);
    controls_.ReglerPanel->setGeometry(layout::PanelLeft, controls_.ReglerPanel->y(),
                                       atLeast0(width), atLeast0(h));
    controls_.ReglerImage->setGeometry(ImageInset, ImageInset, imageWidth, imageHeight);

    const int plantTitleTop = layout::ToolBarHeight + layout::TitlePanelHeight + h + 8;
    controls_.RegelstreckeLabelPanel->setGeometry(layout::PanelLeft, plantTitleTop, atLeast0(width),
                                                  layout::TitlePanelHeight);
    controls_.RegelstreckePanel->setGeometry(
        layout::PanelLeft, plantTitleTop + layout::TitlePanelHeight, atLeast0(width), atLeast0(h));
    controls_.RegelstreckeImage->setGeometry(ImageInset, ImageInset, imageWidth, imageHeight);

    ResetGraphics();
}

// ---------------------------------------------------------------------------
// Charts

void TKavlonMain::ResetGraphics()
{
    SetTimerPeriod(ResetTimerPeriod);
    ResetLoopState(loop_, controls_.ARWUOnButton->isChecked(),
                   controls_.OptionOnButton->isChecked(), controls_.HandButton->isChecked());
    charts_.SetImageSize(controls_.ReglerImage->width(), controls_.ReglerImage->height());
    charts_.SetPixelRatio(controls_.ReglerImage->DisplayRatio());
    charts_.ResetCharts(loop_);
    evaluation_.StartFromRest(loop_);
    tuningMenu_.Restarted();
    measured_.StartFromRest(loop_);
    RepaintCharts();
    evaluationMenu_.Refresh();
    experimentMenu_.LoopRestarted();
}

void TKavlonMain::SetPanelColors()
{
    const QColor back = ColorOf(charts_.BackColor());
    const QColor fore = ColorOf(charts_.ForeColor());
    controls_.ReglerLabelPanel->SetColor(back);
    controls_.ReglerLabelPanel->SetCaptionColor(fore);
    controls_.ReglerPanel->SetColor(back);
    controls_.RegelstreckeLabelPanel->SetColor(back);
    controls_.RegelstreckeLabelPanel->SetCaptionColor(fore);
    controls_.RegelstreckePanel->SetColor(back);
}

void TKavlonMain::ApplyBackColor(std::uint32_t bgr)
{
    // The charts set the foreground and the trace colours with the background.
    charts_.SetBackColor(bgr);
    controls_.BackgroundColor->setText(charts_.BackColor() == White
                                           ? QStringLiteral("&Hintergrundfarbe schwarz")
                                           : QStringLiteral("&Hintergrundfarbe weiss"));
}

void TKavlonMain::RepaintCharts()
{
    controls_.ReglerImage->update();
    controls_.RegelstreckeImage->update();
}

// ---------------------------------------------------------------------------
// The tick

void TKavlonMain::ActionOnTimer()
{
    ChartTick(loop_, charts_, evaluation_, [this](const LoopState &t) { measured_.Sample(t); });
    tuningMenu_.AfterTick();
    if (measured_.TakeFullNotice())
        TellMeasuredFull();

    // The speed is read back from its read-out, which always shows Speed.
    bool ok = false;
    int speed = QLocale().toInt(controls_.Interval->text(), &ok);
    if (!ok || speed < MinSpeed || speed > MaxSpeed)
        speed = SanitiseSpeed(loop_.Speed);
    SetTimerPeriod(TimerPeriod(speed));

    controls_.Istwert->setText(FormatFixed(loop_.x, 1));
    controls_.Stellgroesse->setText(FormatFixed(loop_.y, 0));
    RepaintCharts();
    evaluationMenu_.Refresh();
    // The experiment's changes due after this second.
    experimentMenu_.AfterTick(loop_.TickCount);
}

void TKavlonMain::LoopChanged(const OperatorSettings &before)
{
    if (OperatorSettings::Of(loop_) == before)
        return;
    LoopState was = loop_;
    was.w = before.w;
    was.Z = before.Z;
    was.y = before.y;
    was.Kr = before.Kr;
    was.Tn = before.Tn;
    was.Tv = before.Tv;
    was.HandMode = before.HandMode;
    was.ARWUOn = before.ARWUOn;
    was.TotKOn = before.TotKOn;
    was.StrKOn = before.StrKOn;
    measured_.Note(ChangeText(was, loop_));
    evaluation_.OperatorChanged(loop_);
    tuningMenu_.LoopChanged();
    evaluationMenu_.Refresh();
}

void TKavlonMain::SetTimerPeriod(int ms)
{
    // Setting the period restarts a running timer; an unchanged period must not.
    if (timer_.interval() != ms)
        timer_.setInterval(ms);
}

// ---------------------------------------------------------------------------
// Run state, keys

void TKavlonMain::StartStopClick()
{
    const bool running = timer_.isActive();
    controls_.StartStop->setText(running ? QStringLiteral("&Start") : QStringLiteral("&Stop"));
    controls_.StartButton->setEnabled(!controls_.StartButton->isEnabled());
    controls_.StopButton->setEnabled(!controls_.StopButton->isEnabled());
    if (running)
        timer_.stop();
    else
        timer_.start();
}

void TKavlonMain::ResetClick() { ResetGraphics(); }

void TKavlonMain::ExitButtonClick() { close(); }

void TKavlonMain::FormKeyPress(QChar key)
{
    if (key == QChar(32))
        StartStopClick();
    else if (key == QChar(27))
        ResetClick();
}

// ---------------------------------------------------------------------------
// Spin controls

void TKavlonMain::WriteParameterReadOut(QLineEdit *readOut, Real value)
{
    readOut->setText(ParameterReadoutText(value, QLocale().decimalPoint()));
}

void TKavlonMain::SollwertUpDownClick(SpinDirection direction)
{
    const auto before = OperatorSettings::Of(loop_);
    loop_.w = SpinStep(loop_.w, SpinValue::w, direction == SpinDirection::Right);
    controls_.Sollwert->setText(GeneralNumberText(loop_.w, QLocale().decimalPoint()));
    LoopChanged(before);
}

void TKavlonMain::StoergroesseUpDownClick(SpinDirection direction)
{
    const auto before = OperatorSettings::Of(loop_);
    loop_.Z = SpinStep(loop_.Z, SpinValue::Z, direction == SpinDirection::Right);
    controls_.Stoergroesse->setText(GeneralNumberText(loop_.Z, QLocale().decimalPoint()));
    LoopChanged(before);
}

void TKavlonMain::StellgroesseUpDownClick(SpinDirection direction)
{
    const auto before = OperatorSettings::Of(loop_);
    loop_.y = SpinStep(loop_.y, SpinValue::y, direction == SpinDirection::Right);
    // y keeps its fraction; only the read-out is rounded.
    controls_.Stellgroesse->setText(FormatFixed(loop_.y, 0));
    LoopChanged(before);
}

void TKavlonMain::StepControllerParameter(Real &value, SpinValue which, QLineEdit *readOut,
                                          SpinDirection direction)
{
    const auto before = OperatorSettings::Of(loop_);
    value = SpinStep(value, which, direction == SpinDirection::Right);
    WriteParameterReadOut(readOut, value);
    if (!loop_.HandMode) // in manual mode the title stays "Handregelung"
        UpdateControllerCaption();
    LoopChanged(before);
}

void TKavlonMain::NachstellzeitUpDownClick(SpinDirection direction)
{
    StepControllerParameter(loop_.Tn, SpinValue::Tn, controls_.Nachstellzeit, direction);
}

void TKavlonMain::VerstaerkungUpDownClick(SpinDirection direction)
{
    StepControllerParameter(loop_.Kr, SpinValue::Kr, controls_.Verstaerkung, direction);
}

void TKavlonMain::VorhaltezeitUpDownClick(SpinDirection direction)
{
    StepControllerParameter(loop_.Tv, SpinValue::Tv, controls_.Vorhaltezeit, direction);
}

void TKavlonMain::SpeedUpDownClick(SpinDirection direction)
{
    // Written at every click, also when the value did not change.
    SetSpeed(SpeedStep(loop_.Speed, direction == SpinDirection::Right));
}

void TKavlonMain::SetSpeed(int speed)
{
    loop_.Speed = SanitiseSpeed(speed);
    controls_.Interval->setText(QString::number(loop_.Speed));
    settings_.Write(Settings::Intervall, loop_.Speed);
}

void TKavlonMain::SetOperatorValue(SpinValue which, Real value)
{
    const auto before = OperatorSettings::Of(loop_);
    const QString point = QLocale().decimalPoint();
    switch (which) {
    case SpinValue::w:
        loop_.w = value;
        controls_.Sollwert->setText(GeneralNumberText(loop_.w, point));
        break;
    case SpinValue::Z:
        loop_.Z = value;
        controls_.Stoergroesse->setText(GeneralNumberText(loop_.Z, point));
        break;
    case SpinValue::y:
        loop_.y = value;
        controls_.Stellgroesse->setText(FormatFixed(loop_.y, 0));
        break;
    case SpinValue::Tn:
        loop_.Tn = value;
        WriteParameterReadOut(controls_.Nachstellzeit, loop_.Tn);
        break;
    case SpinValue::Kr:
        loop_.Kr = value;
        WriteParameterReadOut(controls_.Verstaerkung, loop_.Kr);
        break;
    case SpinValue::Tv:
        loop_.Tv = value;
        WriteParameterReadOut(controls_.Vorhaltezeit, loop_.Tv);
        break;
    }
    if (!loop_.HandMode) // in manual mode the title stays "Handregelung"
        UpdateControllerCaption();
    LoopChanged(before);
}

// ---------------------------------------------------------------------------
// Titles, modes, options

void TKavlonMain::UpdateControllerCaption()
{
    controls_.ReglerLabelPanel->SetCaption(ControllerTitleText(loop_.Kr, loop_.Tn, loop_.Tv));
}

void TKavlonMain::UpdatePlantCaption()
{
    if (loop_.PlantIndex < PlantCount)
        controls_.RegelstreckeLabelPanel->SetCaption(Text(Plants[loop_.PlantIndex].title));
}

void TKavlonMain::SetControllerMode(bool controllerOn)
{
    const auto before = OperatorSettings::Of(loop_);
    SetEnabled(controls_.HandModeControls, !controllerOn);
    SetEnabled(controls_.ControllerModeControls, controllerOn);
    if (controllerOn)
        UpdateControllerCaption();
    else
        controls_.ReglerLabelPanel->SetCaption(HandModeTitleText());
    EnableOption(OptionEnabledFor(loop_.PlantIndex, !controllerOn));
    loop_.HandMode = !controllerOn;
    LoopChanged(before);
}

void TKavlonMain::EnableOption(bool on) { SetEnabled(controls_.OptionControls, on); }

void TKavlonMain::ReglerButtonClick() { SetControllerMode(true); }
void TKavlonMain::HandButtonClick() { SetControllerMode(false); }

void TKavlonMain::SetSwitch(bool &flag, bool on)
{
    const auto before = OperatorSettings::Of(loop_);
    flag = on;
    LoopChanged(before);
}

void TKavlonMain::ARWUOnButtonClick() { SetSwitch(loop_.ARWUOn, true); }
void TKavlonMain::ARWUOffButtonClick() { SetSwitch(loop_.ARWUOn, false); }

void TKavlonMain::OptionSwitchClick(bool on)
{
    const auto before = OperatorSettings::Of(loop_);
    ApplyOptionSwitch(loop_, on);
    LoopChanged(before);
}

void TKavlonMain::OptionOnButtonClick() { OptionSwitchClick(true); }
void TKavlonMain::OptionOffButtonClick() { OptionSwitchClick(false); }

// ---------------------------------------------------------------------------
// Plants

void TKavlonMain::SelectPlant(int index, const QString &optionText, QToolButton *plantButton,
                              QAction *plantMenuItem)
{
    controls_.StartStop->setText(QStringLiteral("&Start"));
    if (checkedPlantItem_)
        checkedPlantItem_->setChecked(false);
    checkedPlantItem_ = plantMenuItem;
    checkedPlantItem_->setChecked(true);
    plantButton->setChecked(true);
    controls_.StartButton->setEnabled(true);
    controls_.StopButton->setEnabled(false);
    timer_.stop();
    loop_.PlantIndex = static_cast<std::uint8_t>(index);
    controls_.OptionLabel->setText(optionText);
    plantHelpContext_ = plantMenuItem->property(HelpContextProperty).toInt();
    UpdatePlantCaption();
    EnableOption(OptionEnabledFor(index, loop_.HandMode));
    ResetGraphics();
}

void TKavlonMain::SelectPlantRow(int index)
{
    const auto row = static_cast<std::size_t>(index);
    SelectPlant(index, Text(OptionLabel(OptionKindOf(index))), controls_.PlantButtons[row],
                controls_.PlantItems[row]);
}

void TKavlonMain::PT3ProzessClick() { SelectPlantRow(0); }
void TKavlonMain::PT3TotzeitClick() { SelectPlantRow(1); }
void TKavlonMain::PT3TemperaturClick() { SelectPlantRow(2); }
void TKavlonMain::PT2ProzessClick() { SelectPlantRow(3); }
void TKavlonMain::PT2IntegralClick() { SelectPlantRow(4); }
void TKavlonMain::PT2TotzeitKompClick() { SelectPlantRow(5); }
void TKavlonMain::PT2Totzeit80KompClick() { SelectPlantRow(6); }

// ---------------------------------------------------------------------------
// Preferences

void TKavlonMain::TimeAxisCommand(int length, QAction *item)
{
    charts_.SetTimeAxisLength(length);
    settings_.Write(Settings::Zeitachse, length);
    item->setChecked(true);
    ResetGraphics();
}

void TKavlonMain::Zeitachse600Click() { TimeAxisCommand(600, controls_.Zeitachse600); }
void TKavlonMain::Zeitachse300Click() { TimeAxisCommand(300, controls_.Zeitachse300); }
void TKavlonMain::Zeitachse180Click() { TimeAxisCommand(180, controls_.Zeitachse180); }

void TKavlonMain::BackgroundColorClick()
{
    ApplyBackColor(charts_.BackColor() == White ? Black : White);
    settings_.Write(Settings::Hintergrundfarbe, static_cast<int>(charts_.BackColor()));
    SetPanelColors();
    ResetGraphics();
}

void TKavlonMain::ExportColorClick()
{
    printInColor_ = !printInColor_;
    controls_.ExportColor->setText(printInColor_ ? QStringLiteral("&Druck schwarz-weiss")
                                                 : QStringLiteral("&Druck in Farbe"));
    settings_.Write(Settings::Druckausgabe, printInColor_);
}

ExportInputs TKavlonMain::ExportState() const
{
    ExportInputs in;
    in.ControllerTitle = controls_.ReglerLabelPanel->Caption();
    in.PlantIndex = loop_.PlantIndex;
    in.Charts = &charts_;
    in.HandMode = loop_.HandMode;
    in.ARWUOn = loop_.ARWUOn;
    in.TotKOn = loop_.TotKOn;
    in.StrKOn = loop_.StrKOn;
    in.TvText = controls_.Vorhaltezeit->text();
    in.TnText = controls_.Nachstellzeit->text();
    in.KrText = controls_.Verstaerkung->text();
    in.OptionCaption = controls_.OptionLabel->text();
    in.OptionEnabled = controls_.OptionLabel->isEnabled();
    in.PrintInColor = printInColor_;
    // Only with something to show, so that the plain page stays as it was.
    if (evaluation_.ShowsAnything() || evaluation_.FiguresEnabled)
        in.Evaluated = &evaluation_;
    return in;
}

void TKavlonMain::ShowOutputFailure(const QString &message)
{
    // Not modal to the loop: the simulation keeps running behind the message.
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Kavlon 2"), message,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("OutputFailureMessage"));
    box->open();
}

void TKavlonMain::CopyClick()
{
    // The copy runs start to end without handling events: one consistent state.
    const QImage picture = RenderClipboardPicture(ExportState());
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard)
        clipboard->setImage(picture);
    const QMimeData *held = clipboard ? clipboard->mimeData() : nullptr;
    if (picture.isNull() || !held || !held->hasImage())
        ShowOutputFailure(
            QStringLiteral("Die Graphik konnte nicht in die Zwischenablage kopiert werden."));
}

void TKavlonMain::PrintClick()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer_.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // No tick may change the traces while the page is drawn.
    const bool running = timer_.isActive();
    timer_.stop();
    const bool printed = PrintExport(*printer_, ExportState());
    if (running)
        timer_.start();
    if (!printed)
        ShowOutputFailure(QStringLiteral("Die Graphik konnte nicht gedruckt werden."));
}

void TKavlonMain::DruckerEinstellungClick()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The printer itself can be chosen too, not only paper and orientation.
    PrinterSetupDialog dialog(*printer_, this);
    dialog.exec(); // its answer changes nothing but the printer's own settings
}

void TKavlonMain::AboutItClick()
{
    // The dialog made at program start, shown modally: the window waits here
    // until the operator closes it.
    if (TAboutBox *box = TAboutBox::Current()) {
        // Kept above this window by the window manager, as its dialog.
        box->winId();
        if (QWindow *dialogWindow = box->windowHandle())
            dialogWindow->setTransientParent(windowHandle());
        box->exec();
    }
}

// ---------------------------------------------------------------------------
// Evaluation

void TKavlonMain::MesscursorClick() { evaluationMenu_.CursorCommand(); }
void TKavlonMain::KennwerteClick() { evaluationMenu_.FiguresCommand(); }
void TKavlonMain::Toleranzband1Click() { evaluationMenu_.BandCommand(1); }
void TKavlonMain::Toleranzband2Click() { evaluationMenu_.BandCommand(2); }
void TKavlonMain::Toleranzband5Click() { evaluationMenu_.BandCommand(5); }
void TKavlonMain::KennwerteTabelleClick() { evaluationMenu_.TableCommand(); }
void TKavlonMain::KurveMerkenClick() { evaluationMenu_.KeepReferenceCommand(); }
void TKavlonMain::ReferenzLoeschenClick() { evaluationMenu_.ClearReferenceCommand(); }
void TKavlonMain::SprungantwortClick() { tuningMenu_.StepTestCommand(); }
void TKavlonMain::KennfeldClick() { tuningMenu_.MapCommand(); }

void TKavlonMain::SwitchMode(bool controllerOn)
{
    QRadioButton *button = controllerOn ? controls_.ReglerButton : controls_.HandButton;
    if (!button->isChecked())
        button->click();
}

void TKavlonMain::SetManualOutput(Real y)
{
    const auto before = OperatorSettings::Of(loop_);
    const SpinRange r = RangeOf(SpinValue::y);
    loop_.y = Clamp(y, r.lo, r.hi);
    controls_.Stellgroesse->setText(FormatFixed(loop_.y, 0));
    LoopChanged(before);
}

void TKavlonMain::SetControllerValues(Real kr, Real tn, Real tv)
{
    const auto before = OperatorSettings::Of(loop_);
    const auto limit = [](Real v, SpinValue which) {
        const SpinRange r = RangeOf(which);
        return Clamp(v, r.lo, r.hi);
    };
    loop_.Kr = limit(kr, SpinValue::Kr);
    loop_.Tn = limit(tn, SpinValue::Tn);
    loop_.Tv = limit(tv, SpinValue::Tv);
    WriteParameterReadOut(controls_.Verstaerkung, loop_.Kr);
    WriteParameterReadOut(controls_.Nachstellzeit, loop_.Tn);
    WriteParameterReadOut(controls_.Vorhaltezeit, loop_.Tv);
    if (!loop_.HandMode)
        UpdateControllerCaption();
    LoopChanged(before);
}

LoopState TKavlonMain::RestartedInControllerMode() const
{
    LoopState s = loop_;
    ResetLoopState(s, controls_.ARWUOnButton->isChecked(), controls_.OptionOnButton->isChecked(),
                   false);
    return s;
}

// ---------------------------------------------------------------------------
// Measured data

namespace {

const QString GermanCsvFilter =
    QStringLiteral("CSV f\u00FCr deutsche Tabellenkalkulation, Semikolon und Dezimalkomma (*.csv)");
const QString InternationalCsvFilter =
    QStringLiteral("CSV international, Komma und Dezimalpunkt (*.csv)");

} // namespace

CsvTitle TKavlonMain::MeasuredTitle() const
{
    CsvTitle title;
    title.Program = "Kavlon 2 " KAVLON_VERSION;
    title.Date = QLocale(QLocale::German, QLocale::Germany)
                     .toString(QDateTime::currentDateTime(), QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                     .toStdString();
    title.Start = measured_.Start();
    if (experimentMenu_.Loaded())
        title.Experiment = experimentMenu_.Current()->title;
    return title;
}

bool TKavlonMain::SaveMeasuredData(const QString &path, CsvForm form)
{
    const QString failure = WriteMeasuredFile(measured_, MeasuredTitle(), form, path);
    if (failure.isEmpty())
        return true;
    ShowOutputFailure(failure);
    return false;
}

void TKavlonMain::MesswerteSpeichernClick()
{
    if (measured_.Empty()) {
        auto *box = new QMessageBox(
            QMessageBox::Information, QStringLiteral("Kavlon 2"),
            QStringLiteral("Seit dem letzten Start sind noch keine Messwerte aufgezeichnet. "
                           "Starten Sie die Simulation; danach k\u00F6nnen Sie die Messwerte "
                           "speichern."),
            QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setObjectName(QStringLiteral("NoMeasuredDataMessage"));
        box->open();
        return;
    }
    QString folder = settings_.Read(Settings::MesswerteOrdner);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    QFileDialog dialog(this, QStringLiteral("Messwerte speichern"), folder);
    dialog.setObjectName(QStringLiteral("MeasuredDataDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({GermanCsvFilter, InternationalCsvFilter});
    dialog.selectNameFilter(settings_.Read(Settings::MesswerteDeutsch) ? GermanCsvFilter
                                                                       : InternationalCsvFilter);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(ProposedMeasuredFileName(measured_.Start(), QDateTime::currentDateTime()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    const bool german = dialog.selectedNameFilter() != InternationalCsvFilter;
    settings_.Write(Settings::MesswerteOrdner, QFileInfo(path).absolutePath());
    settings_.Write(Settings::MesswerteDeutsch, german);
    SaveMeasuredData(path, german ? CsvForm::German : CsvForm::International);
}

void TKavlonMain::TellMeasuredFull()
{
    const QString text =
        QStringLiteral("Die Messwertaufzeichnung ist voll: %1 Sekunden (%2 Stunden) sind "
                       "aufgezeichnet. Die Simulation l\u00E4uft weiter, neue Messwerte werden "
                       "aber nicht mehr aufgezeichnet.\n\nSpeichern Sie die Messwerte mit "
                       "\u201EVersuch \u2192 Messwerte speichern\u2026\u201C; nach einem Reset "
                       "beginnt eine neue Aufzeichnung.")
            .arg(QLocale(QLocale::German, QLocale::Germany)
                     .toString(static_cast<qulonglong>(measured_.Size())))
            .arg(static_cast<qulonglong>(measured_.Size() / 3600));
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Kavlon 2"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QStringLiteral("MeasuredFullMessage"));
    box->setModal(false);
    box->show();
}

// ---------------------------------------------------------------------------
// Experiments

void TKavlonMain::VersuchOeffnenClick() { experimentMenu_.OpenCommand(); }
void TKavlonMain::VersuchNeuStartenClick() { experimentMenu_.RestartCommand(); }
void TKavlonMain::VersuchSchliessenClick() { experimentMenu_.CloseCommand(); }
void TKavlonMain::VersuchAufgabeClick() { experimentMenu_.ShowTaskCommand(); }
void TKavlonMain::VersuchSpeichernClick() { experimentMenu_.SaveCommand(); }

// ---------------------------------------------------------------------------
// Help

void TKavlonMain::CallHelp(HelpCommand command, int number)
{
    // A viewer that opens keeps clear of both charts' newest data.
    QRect charts;
    for (const QWidget *chart : {static_cast<const QWidget *>(controls_.ReglerImage),
                                 static_cast<const QWidget *>(controls_.RegelstreckeImage)})
        if (chart->isVisible())
            charts |= QRect(chart->mapToGlobal(QPoint(0, 0)), chart->size());
    HelpViewer::Call(this, helpFilePath_, command, number, charts);
}

void TKavlonMain::GeneralHelpClick() { CallHelp(HelpCommand::Context, layout::WindowHelpContext); }

void TKavlonMain::HelpOnControllerClick()
{
    if (!loop_.HandMode)
        CallHelp(HelpCommand::Context,
                 controls_.ReglerLabelPanel->property(HelpContextProperty).toInt());
}

void TKavlonMain::HelpOnCourseClick() { CallHelp(HelpCommand::Context, plantHelpContext_); }
void TKavlonMain::HelpOnEvaluationClick()
{
    CallHelp(HelpCommand::Context, layout::EvaluationHelpContext);
}

void TKavlonMain::HelpOnTuningClick() { CallHelp(HelpCommand::Context, layout::TuningHelpContext); }

void TKavlonMain::HelpOnHelpClick() { CallHelp(HelpCommand::HelpOnHelp, 0); }
void TKavlonMain::HelpIndexClick() { CallHelp(HelpCommand::Finder, 0); }

void TKavlonMain::ReglerLabelPanelMouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        HelpOnControllerClick();
}

void TKavlonMain::RegelstreckeLabelPanelMouseDown(Qt::MouseButton button)
{
    if (button == Qt::RightButton)
        HelpOnCourseClick();
}

} // namespace kavlon
