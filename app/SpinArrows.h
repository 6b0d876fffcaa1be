#pragma once

#include <QWidget>

class QToolButton;

namespace kavlon {

// Which arrow of a horizontal spin control was clicked.
enum class SpinDirection { Left, Right };

// A horizontal pair of arrow buttons. It keeps no value of its own: each click
// on an arrow is reported once as Click(direction), and an arrow held down
// repeats its click until it is released.
class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget *parent = nullptr);

    QToolButton *LeftArrow() const { return left_; }
    QToolButton *RightArrow() const { return right_; }

signals:
    void Click(kavlon::SpinDirection direction);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *left_;
    QToolButton *right_;
};

} // namespace kavlon
