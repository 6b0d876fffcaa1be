#include "app/ExperimentMenu.h"

#include "app/ExperimentTask.h"
#include "app/MainForm.h"
#include "app/MainFormControls.h"
#include "app/Settings.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRadioButton>
#include <QSaveFile>

namespace kavlon {

namespace {

const QString FileFilter = QStringLiteral("Versuche (*.kversuch);;Alle Dateien (*)");

} // namespace

ExperimentMenu::ExperimentMenu(TKavlonMain &window) : window_(window) {}

ExperimentMenu::~ExperimentMenu() = default;

void ExperimentMenu::Attach(const MainFormControls &controls)
{
    restartItem_ = controls.VersuchNeuStarten;
    closeItem_ = controls.VersuchSchliessen;
    taskItem_ = controls.VersuchAufgabe;
    UpdateItems();
}

void ExperimentMenu::UpdateItems()
{
    for (QAction *item : {restartItem_, closeItem_, taskItem_})
        if (item)
            item->setEnabled(Loaded());
}

QString ExperimentMenu::StartFolder() const
{
    if (store_) {
        const QString remembered = store_->Read(Settings::VersuchOrdner);
        if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
            return remembered;
    }
    // The installed experiments, those beside the program, those of the
    // source tree the program was built from.
    const QString candidates[] = {
        QString::fromUtf8(KAVLON_DATA_DIR) + QStringLiteral("/versuche"),
        QCoreApplication::applicationDirPath() + QStringLiteral("/versuche"),
        QString::fromUtf8(KAVLON_SOURCE_EXPERIMENTS_DIR),
    };
    for (const QString &folder : candidates)
        if (QFileInfo(folder).isDir())
            return folder;
    return QDir::homePath();
}

void ExperimentMenu::OpenCommand()
{
    QFileDialog dialog(&window_, QStringLiteral("Versuch öffnen"), StartFolder(), FileFilter);
    dialog.setObjectName(QStringLiteral("ExperimentOpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    if (store_)
        store_->Write(Settings::VersuchOrdner, QFileInfo(path).absolutePath());
    Load(path);
}

bool ExperimentMenu::Load(const QString &path)
{
    const ExperimentReadResult r = ReadExperimentFile(QFile::encodeName(path).toStdString());
    if (!r.ok()) {
        ShowMessage(QStringLiteral("Der Versuch \u201E%1\u201C lässt sich nicht laden.\n%2")
                        .arg(QFileInfo(path).fileName(), QString::fromStdString(r.error)),
                    "ExperimentErrorMessage");
        return false;
    }
    experiment_ = r.experiment;
    path_ = path;
    Apply(*experiment_);
    UpdateItems();
    ShowTaskCommand();
    return true;
}

void ExperimentMenu::RestartCommand()
{
    if (experiment_)
        Apply(*experiment_);
}

void ExperimentMenu::CloseCommand()
{
    // The loop runs on as it stands; only the changes to come are dropped.
    experiment_.reset();
    path_.clear();
    next_ = 0;
    if (task_)
        task_->hide();
    UpdateItems();
}

void ExperimentMenu::ShowTaskCommand()
{
    if (!experiment_)
        return;
    if (!task_)
        task_ = new ExperimentTaskWindow(&window_);
    task_->ShowExperiment(*experiment_, QFileInfo(path_).fileName());
}

ExperimentTaskWindow *ExperimentMenu::TaskWindow() const { return task_; }

void ExperimentMenu::Close()
{
    if (task_)
        task_->close();
    store_ = nullptr;
}

// The start values go through the controls' own handlers, as if the operator
// had set them: the plant (which stops the timer and resets), the three
// switches, the values and the preferences the file names; then the loop
// restarts from rest and the changes of second 0 act before the first tick.
void ExperimentMenu::Apply(const Experiment &x)
{
    applying_ = true;
    const LoopState defaults{};
    const ExperimentSettings &s = x.settings;
    auto radio = [this](const char *name) {
        return window_.findChild<QRadioButton *>(QString::fromLatin1(name));
    };
    window_.SelectPlantRow(s.plant.value_or(defaults.PlantIndex));
    const bool hand = s.hand.value_or(false);
    radio(hand ? "HandButton" : "ReglerButton")->setChecked(true);
    radio(s.arwu.value_or(false) ? "ARWUOnButton" : "ARWUOffButton")->setChecked(true);
    radio(s.option.value_or(false) ? "OptionOnButton" : "OptionOffButton")->setChecked(true);
    window_.SetOperatorValue(SpinValue::w, s.w.value_or(defaults.w));
    window_.SetOperatorValue(SpinValue::Z, s.z.value_or(defaults.Z));
    window_.SetOperatorValue(SpinValue::Kr, s.kr.value_or(defaults.Kr));
    window_.SetOperatorValue(SpinValue::Tn, s.tn.value_or(defaults.Tn));
    window_.SetOperatorValue(SpinValue::Tv, s.tv.value_or(defaults.Tv));
    if (s.timeAxis == 600)
        window_.Zeitachse600Click();
    else if (s.timeAxis == 300)
        window_.Zeitachse300Click();
    else if (s.timeAxis == 180)
        window_.Zeitachse180Click();
    if (s.speed)
        window_.SetSpeed(*s.speed);
    window_.ResetGraphics();
    if (hand)
        window_.SetOperatorValue(SpinValue::y, s.y.value_or(defaults.y));
    applying_ = false;

    next_ = 0;
    while (next_ < x.events.size() && x.events[next_].tick == 0)
        ApplyChange(x.events[next_++]);
}

void ExperimentMenu::ApplyChange(const ScheduledEvent &e)
{
    using K = ScheduledEvent::Kind;
    auto radio = [this](const char *name) {
        return window_.findChild<QRadioButton *>(QString::fromLatin1(name));
    };
    switch (e.kind) {
    case K::y:
        // The operator may have switched to the controller by hand: then the
        // controller sets y, as the disabled arrows show.
        if (!window_.Loop().HandMode)
            return;
        [[fallthrough]];
    case K::w:
    case K::z:
    case K::kr:
    case K::tn:
    case K::tv: window_.SetOperatorValue(SpinValueOf(e.kind), e.value); break;
    case K::arwu: radio(e.on ? "ARWUOnButton" : "ARWUOffButton")->setChecked(true); break;
    case K::option: radio(e.on ? "OptionOnButton" : "OptionOffButton")->setChecked(true); break;
    case K::mode: radio(e.on ? "HandButton" : "ReglerButton")->setChecked(true); break;
    case K::stop:
        // No value changes: the recording notes the pause itself.
        window_.Measured().Note("Stop");
        if (window_.Running())
            window_.StartStopClick();
        break;
    case K::reset: window_.ResetGraphics(); return;
    }
    window_.MarkNextTick(EventMarkText(e));
}

void ExperimentMenu::AfterTick(int tickCount)
{
    if (!experiment_ || applying_)
        return;
    const EventSchedule &events = experiment_->events;
    while (next_ < events.size() && events[next_].tick <= tickCount) {
        const ScheduledEvent &e = events[next_++];
        if (e.tick == tickCount)
            ApplyChange(e);
    }
}

void ExperimentMenu::LoopRestarted()
{
    if (!experiment_ || applying_)
        return;
    // The changes of second 0 are part of the start; the others come again.
    const EventSchedule &events = experiment_->events;
    next_ = 0;
    while (next_ < events.size() && events[next_].tick == 0)
        ++next_;
}

Experiment ExperimentMenu::SettingsAsExperiment() const
{
    Experiment x;
    if (experiment_) {
        x.title = experiment_->title;
        x.task = experiment_->task;
        x.events = experiment_->events;
    }
    const LoopState &loop = window_.Loop();
    const MainFormControls &c = window_.controls_;
    ExperimentSettings &s = x.settings;
    s.plant = loop.PlantIndex;
    s.hand = c.HandButton->isChecked();
    s.w = loop.w;
    s.z = loop.Z;
    s.kr = loop.Kr;
    s.tn = loop.Tn;
    s.tv = loop.Tv;
    if (*s.hand)
        s.y = loop.y;
    s.arwu = c.ARWUOnButton->isChecked();
    s.option = c.OptionOnButton->isChecked();
    const int axis = window_.Charts().TimeAxisLength();
    if (axis == 180 || axis == 300 || axis == 600)
        s.timeAxis = axis;
    s.speed = SanitiseSpeed(loop.Speed);
    return x;
}

bool ExperimentMenu::Save(const QString &path)
{
    Experiment x = SettingsAsExperiment();
    QString note;
    // A change of y needs manual mode at its second; with the controller
    // switched on since, the old changes would make a file that is refused.
    if (FirstYOutsideHandMode(x.events, x.settings.hand.value_or(false))) {
        x.events.clear();
        note = QStringLiteral("Der Ablauf wurde nicht übernommen: Er setzt die Stellgröße, "
                              "die im Regelbetrieb der Regler stellt.");
    }
    const std::string text = WriteExperiment(x);
    QSaveFile file(path);
    const bool written = file.open(QIODevice::WriteOnly)
                         && file.write(text.data(), static_cast<qint64>(text.size()))
                                == static_cast<qint64>(text.size())
                         && file.commit();
    if (!written) {
        ShowMessage(QStringLiteral("Die Einstellungen konnten nicht als \u201E%1\u201C gespeichert "
                                   "werden:\n%2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()),
                    "ExperimentSaveFailure");
        return false;
    }
    if (!note.isEmpty())
        ShowMessage(note, "ExperimentSaveNote");
    return true;
}

void ExperimentMenu::SaveCommand()
{
    QFileDialog dialog(&window_, QStringLiteral("Einstellungen als Versuch speichern"),
                       StartFolder(), FileFilter);
    dialog.setObjectName(QStringLiteral("ExperimentSaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("kversuch"));
    dialog.selectFile(path_.isEmpty() ? QStringLiteral("Versuch.kversuch")
                                      : QFileInfo(path_).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    if (store_)
        store_->Write(Settings::VersuchOrdner, QFileInfo(path).absolutePath());
    Save(path);
}

void ExperimentMenu::ShowMessage(const QString &text, const char *objectName)
{
    // Not modal to the loop: a running loop keeps running behind it.
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Kavlon 2"), text,
                                QMessageBox::Ok, &window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(QString::fromLatin1(objectName));
    box->open();
}

} // namespace kavlon
