#include "app/StepResultDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kavlon {

namespace {

QString Number(Real v, int decimals)
{
    return QLocale().toString(static_cast<double>(v), 'f', decimals);
}

QString Figure(const std::optional<Real> &v, int decimals, const QString &unit = {})
{
    return v ? Number(*v, decimals) + unit : QStringLiteral("existiert nicht");
}

QString Utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QStringList StepResultDialog::ColumnTitles()
{
    return {QStringLiteral("Regel"),
            QStringLiteral("Regler"),
            QStringLiteral("Kr"),
            QStringLiteral("Tn in s"),
            QStringLiteral("Tv in s"),
            QStringLiteral("Kr einstellbar"),
            QStringLiteral("Tn einstellbar"),
            QStringLiteral("Tv einstellbar"),
            QString()};
}

StepResultDialog::StepResultDialog(QWidget *owner, Apply apply)
    : QDialog(owner), apply_(std::move(apply))
{
    setWindowTitle(QStringLiteral("Sprungantwort – Ergebnis"));
    auto *layout = new QVBoxLayout(this);
    figures_ = new QLabel(this);
    figures_->setWordWrap(true);
    figures_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(figures_);
    table_ = new QTableWidget(0, static_cast<int>(ColumnTitles().size()), this);
    table_->setHorizontalHeaderLabels(ColumnTitles());
    table_->verticalHeader()->setVisible(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    layout->addWidget(table_);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
    resize(1040, 580);
}

void StepResultDialog::Show(const StepIdentification &id)
{
    QString text = QStringLiteral("Sprung der Stellgröße y von %1 auf %2 nach t0 = %3 s; "
                                  "x0 = %4, x∞ = %5 (%6 nach %7 s).<br>")
                       .arg(Number(id.y0, 0), Number(id.y1, 0), QString::number(id.t0),
                            Number(id.x0, 1), Number(id.xEnd, 1),
                            id.settled ? QStringLiteral("eingeschwungen")
                                       : QStringLiteral("nicht eingeschwungen"),
                            QString::number(id.seconds));
    text += QStringLiteral("<b>Ks = %1</b> &nbsp; <b>Tu = %2</b> &nbsp; <b>Tg = %3</b> &nbsp; "
                           "Steigung im Wendepunkt %4 je s")
                .arg(Figure(id.Ks, 3), Figure(id.Tu, 2, QStringLiteral(" s")),
                     Figure(id.Tg, 2, QStringLiteral(" s")), Figure(id.slope, 3));
    if (const std::string note = StepIdentificationNote(id); !note.empty())
        text += QStringLiteral("<br>") + QString::fromStdString(note).toHtmlEscaped();
    figures_->setText(text);

    rows_ =
        RulesApply(id) ? SuggestTuning(*id.Ks, *id.Tu, *id.Tg) : std::vector<TuningSuggestion>{};
    table_->setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const TuningSuggestion &s = rows_[static_cast<std::size_t>(r)];
        const bool hasTn = s.rule.tnBase != TimeBase::None;
        const bool hasTv = s.rule.tvBase != TimeBase::None;
        const QString off = QStringLiteral("–");
        const QStringList cells{Utf8(RuleFamilyName(s.rule.family)),
                                Utf8(ControllerKindName(s.rule.kind)),
                                Number(s.kr, 3),
                                hasTn ? Number(s.tn, 2) : off,
                                hasTv ? Number(s.tv, 2) : off,
                                Number(s.krSet, 1),
                                hasTn ? Number(s.tnSet, 0) : off,
                                hasTv ? Number(s.tvSet, 1) : off};
        for (int c = 0; c < cells.size(); ++c)
            table_->setItem(r, c, new QTableWidgetItem(cells[c]));
        auto *take = new QPushButton(QStringLiteral("Übernehmen"), table_);
        connect(take, &QPushButton::clicked, this, [this, s] { apply_(s); });
        table_->setCellWidget(r, static_cast<int>(cells.size()), take);
    }
    table_->setVisible(!rows_.empty());
    table_->resizeColumnsToContents();
    show();
    raise();
}

} // namespace kavlon
