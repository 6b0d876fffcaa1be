#include "app/ExperimentTask.h"

#include "engine/RealText.h"
#include "experiment/ExperimentFile.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kavlon {

namespace {

// Wide enough for a line of about 75 characters as a teacher writes it.
constexpr int SheetWidth = 560;

QString RealShown(Real v)
{
    char buf[RealTextCapacity];
    QString text = QString::fromLatin1(buf, WriteRealText(buf, v) - buf);
    return text.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

// One change as the sheet lists it: "Sollwert 300", "Option Aus", "Stop".
QString ChangeText(const ScheduledEvent &e)
{
    using K = ScheduledEvent::Kind;
    const auto onOff = [&e] { return e.on ? QStringLiteral("Ein") : QStringLiteral("Aus"); };
    switch (e.kind) {
    case K::w: return QStringLiteral("Sollwert ") + RealShown(e.value);
    case K::z: return QStringLiteral("Störgröße ") + RealShown(e.value);
    case K::kr: return QStringLiteral("Kr ") + RealShown(e.value);
    case K::tn: return QStringLiteral("Tn ") + RealShown(e.value);
    case K::tv: return QStringLiteral("Tv ") + RealShown(e.value);
    case K::y: return QStringLiteral("Stellgröße ") + RealShown(e.value);
    case K::arwu: return QStringLiteral("ARWU ") + onOff();
    case K::option: return QStringLiteral("Option ") + onOff();
    case K::mode: return e.on ? QStringLiteral("Handbetrieb") : QStringLiteral("Regelbetrieb");
    case K::stop: return QStringLiteral("Stop");
    case K::reset: return QStringLiteral("Reset");
    }
    return {};
}

} // namespace

ExperimentTaskWindow::ExperimentTaskWindow(QWidget *owner)
    : QWidget(owner, Qt::Tool), owner_(owner), text_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("VersuchAufgabe"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    text_->setObjectName(QStringLiteral("VersuchAufgabeText"));
    text_->setOpenLinks(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    resize(SheetWidth, 480);
}

void ExperimentTaskWindow::ShowExperiment(const Experiment &x, const QString &fileName)
{
    const QString title = QString::fromStdString(x.title);
    setWindowTitle(QStringLiteral("Versuch: ") + (title.isEmpty() ? fileName : title));
    QString html = QStringLiteral("<h3>") + (title.isEmpty() ? fileName : title).toHtmlEscaped()
                   + QStringLiteral("</h3>");
    const QString task = QString::fromStdString(x.task);
    if (task.isEmpty())
        html += QStringLiteral("<p><i>Dieser Versuch enthält keine Aufgabe.</i></p>");
    for (const QString &paragraph : task.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts))
        html += QStringLiteral("<p>")
                + paragraph.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))
                + QStringLiteral("</p>");
    if (!x.events.empty()) {
        html += QStringLiteral("<p><b>Ablauf</b> (nach der genannten Sekunde):</p><ul>");
        for (std::size_t i = 0; i < x.events.size();) {
            const int tick = x.events[i].tick;
            QStringList changes;
            for (; i < x.events.size() && x.events[i].tick == tick; ++i)
                changes << ChangeText(x.events[i]);
            html += QStringLiteral("<li>%1 s: %2</li>")
                        .arg(tick)
                        .arg(changes.join(QStringLiteral(", ")).toHtmlEscaped());
        }
        html += QStringLiteral("</ul>");
    }
    text_->setHtml(html);
    PlaceBesideOwner();
    show();
    raise();
}

QString ExperimentTaskWindow::Text() const { return text_->toPlainText(); }

void ExperimentTaskWindow::PlaceBesideOwner()
{
    if (!owner_)
        return;
    const QRect frame = owner_->frameGeometry();
    const QScreen *screen = owner_->screen() ? owner_->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    resize(SheetWidth, qMax(240, frame.height() / 2));
    // Right of the window where the screen has room, else over its right edge.
    int left = frame.right() + 1;
    if (area.isValid() && left + width() > area.right())
        left = qMax(area.left(), area.right() - width());
    move(left, frame.top());
}

} // namespace kavlon
