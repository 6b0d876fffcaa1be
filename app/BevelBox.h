#pragma once

#include <QWidget>

namespace kavlon {

// A panel with the classic three-dimensional frame: an outer bevel, a border
// of the panel colour and an inner bevel, each optional. Children are placed
// relative to the panel's top left corner, frame included.
class BevelBox : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { None, Raised, Lowered };

    explicit BevelBox(QWidget *parent = nullptr);

    void SetBevels(Bevel outer, Bevel inner, int bevelWidth, int borderWidth);
    Bevel Outer() const { return outer; }
    Bevel Inner() const { return inner; }
    int BevelWidth() const { return bevelWidth; }
    int BorderWidth() const { return borderWidth; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Bevel outer = Bevel::Raised;
    Bevel inner = Bevel::None;
    int bevelWidth = 1;
    int borderWidth = 0;
};

} // namespace kavlon
