#include "app/SpinArrows.h"

#include <QKeyEvent>
#include <QPainter>
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
    // The arrows are pointed at, never tabbed to: the read-out beside them
    // takes the keyboard for them, and space and Escape stay with the window.
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// Drawn over the arrows while their read-out has the focus, passing every mouse
// event through to them: hidden, the pair looks exactly as without it.
class FocusFrameOverlay : public QWidget {
public:
    explicit FocusFrameOverlay(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("FocusFrame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        // Two pixels in the selection colour: visible from the back of a
        // classroom on a projector, and on either chart background.
        QPainter p(this);
        p.setPen(QPen(palette().color(QPalette::Active, QPalette::Highlight), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
};

} // namespace

SpinArrows::SpinArrows(QWidget *parent)
    : QWidget(parent), left_(MakeArrow(this, Qt::LeftArrow, "Left")),
      right_(MakeArrow(this, Qt::RightArrow, "Right")), focusFrame_(new FocusFrameOverlay(this))
{
    connect(left_, &QToolButton::clicked, this, [this] { emit Click(SpinDirection::Left); });
    connect(right_, &QToolButton::clicked, this, [this] { emit Click(SpinDirection::Right); });
}

void SpinArrows::resizeEvent(QResizeEvent *)
{
    const int half = width() / 2;
    left_->setGeometry(0, 0, half, height());
    right_->setGeometry(half, 0, width() - half, height());
    focusFrame_->setGeometry(rect());
    focusFrame_->raise();
}

void SpinArrows::TakeKeysFrom(QWidget *keyHolder)
{
    if (keyHolder_)
        keyHolder_->removeEventFilter(this);
    keyHolder_ = keyHolder;
    if (keyHolder_)
        keyHolder_->installEventFilter(this);
    UpdateFocusFrame();
}

void SpinArrows::UpdateFocusFrame()
{
    // Disabled arrows take no keys, so they show no frame either.
    focusFrame_->setVisible(keyHolder_ && keyHolder_->hasFocus() && isEnabled());
}

void SpinArrows::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        UpdateFocusFrame();
    QWidget::changeEvent(event);
}

int SpinArrows::ClicksOf(const QKeyEvent &key, SpinDirection &direction)
{
    int clicks = 0;
    direction = SpinDirection::Right;
    switch (key.key()) {
    case Qt::Key_Up:
    case Qt::Key_Plus: clicks = 1; break;
    case Qt::Key_Down:
    case Qt::Key_Minus:
        clicks = 1;
        direction = SpinDirection::Left;
        break;
    case Qt::Key_PageUp: clicks = PageClicks; break;
    case Qt::Key_PageDown:
        clicks = PageClicks;
        direction = SpinDirection::Left;
        break;
    default: return 0;
    }
    // Ctrl+Up and the like stay free; '+' and '-' may need Shift on a layout.
    Qt::KeyboardModifiers allowed = Qt::KeypadModifier;
    if (key.key() == Qt::Key_Plus || key.key() == Qt::Key_Minus)
        allowed |= Qt::ShiftModifier;
    return (key.modifiers() & ~allowed) == Qt::NoModifier ? clicks : 0;
}

bool SpinArrows::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != keyHolder_)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: UpdateFocusFrame(); break;
    case QEvent::KeyPress: {
        SpinDirection direction{};
        const int clicks = ClicksOf(*static_cast<QKeyEvent *>(event), direction);
        if (clicks == 0)
            return false;
        // Taken here: a read-out has no use for these keys. Arrows that are
        // disabled (y in controller mode) take no keys either.
        for (int i = 0; i < clicks && isEnabled(); ++i)
            emit Click(direction);
        return true;
    }
    default: break;
    }
    return false;
}

} // namespace kavlon
