#pragma once

#include <QWidget>

class QKeyEvent;
class QToolButton;

namespace kavlon {

// Which arrow of a horizontal spin control was clicked.
enum class SpinDirection { Left, Right };

// A horizontal pair of arrow buttons. It keeps no value of its own: each click
// on an arrow is reported once as Click(direction), and an arrow held down
// repeats its click until it is released.
//
// The arrows are never focused themselves: the value's read-out beside them
// takes the keyboard for them (TakeKeysFrom), so that Tab moves from value
// to value. While that read-out has the focus the arrows show a focus frame,
// and Up or '+' is one click on the right arrow, Down or '-' one on the left
// arrow, Page Up and Page Down ten clicks. Every other key (space and Escape
// among them) goes on to the read-out and the window as before.
class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget *parent = nullptr);

    QToolButton *LeftArrow() const { return left_; }
    QToolButton *RightArrow() const { return right_; }
    // The frame shown while the read-out of the pair has the keyboard focus.
    QWidget *FocusFrame() const { return focusFrame_; }

    // Lets `keyHolder` (the value's read-out) carry the keyboard for the arrows.
    void TakeKeysFrom(QWidget *keyHolder);
    // How many clicks of which arrow a key press is; 0 for any other key.
    static int ClicksOf(const QKeyEvent &key, SpinDirection &direction);

    // Clicks of one Page Up or Page Down.
    static constexpr int PageClicks = 10;

signals:
    void Click(kavlon::SpinDirection direction);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void UpdateFocusFrame();

    QToolButton *left_;
    QToolButton *right_;
    QWidget *focusFrame_;
    QWidget *keyHolder_ = nullptr;
};

} // namespace kavlon
