#include "app/SpinArrows.h"

#include <QToolButton>

namespace kavlon {

namespace {

QToolButton *MakeArrow(QWidget *parent, Qt::ArrowType arrow, const char *name)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setAutoRepeatDelay(400);
    b->setAutoRepeatInterval(80);
    // The arrows are pointed at, never tabbed to, so space and Escape stay
    // with the window's keys.
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

SpinArrows::SpinArrows(QWidget *parent)
    : QWidget(parent), left_(MakeArrow(this, Qt::LeftArrow, "Left")),
      right_(MakeArrow(this, Qt::RightArrow, "Right"))
{
    connect(left_, &QToolButton::clicked, this, [this] { emit Click(SpinDirection::Left); });
    connect(right_, &QToolButton::clicked, this, [this] { emit Click(SpinDirection::Right); });
}

void SpinArrows::resizeEvent(QResizeEvent *)
{
    const int half = width() / 2;
    left_->setGeometry(0, 0, half, height());
    right_->setGeometry(half, 0, width() - half, height());
}

} // namespace kavlon
