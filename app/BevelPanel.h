#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace kavlon {

// A panel with the classic three-dimensional frame (a lowered bevel has its
// shadow on the top and left edges): an outer bevel, a border of the panel
// colour and an inner bevel, each optional; a background colour and an
// optional caption centred in the panel.
class BevelPanel : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { None, Lowered, Raised };

    explicit BevelPanel(QWidget *parent = nullptr);

    // bevelWidth is the width of each bevel, borderWidth the plain border
    // between them, both in pixels.
    void SetBevels(Bevel outer, Bevel inner, int bevelWidth = 1, int borderWidth = 0);
    Bevel OuterBevel() const { return outer_; }
    Bevel InnerBevel() const { return inner_; }
    int BevelWidth() const { return bevelWidth_; }
    int BorderWidth() const { return borderWidth_; }
    // The whole frame: the inset of the client area.
    int Inset() const;

    void SetColor(const QColor &color);
    QColor Color() const { return color_; }
    void SetCaption(const QString &caption);
    QString Caption() const { return caption_; }
    void SetCaptionColor(const QColor &color);
    QColor CaptionColor() const { return captionColor_; }

signals:
    // Any mouse button pressed on the panel.
    void MouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    Bevel outer_ = Bevel::None;
    Bevel inner_ = Bevel::None;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    QColor color_;
    QString caption_;
    QColor captionColor_;
};

} // namespace kavlon
