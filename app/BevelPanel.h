#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

namespace kavlon {

// A panel with 1-pixel bevels drawn the classic way (a lowered bevel has its
// shadow on the top and left edges), a background colour and an optional
// caption centred in the panel.
class BevelPanel : public QWidget {
    Q_OBJECT
public:
    enum class Bevel { None, Lowered, Raised };

    explicit BevelPanel(QWidget *parent = nullptr);

    void SetBevels(Bevel outer, Bevel inner);
    Bevel OuterBevel() const { return outer_; }
    Bevel InnerBevel() const { return inner_; }
    // Width of both bevels together: the inset of the client area.
    int BevelWidth() const;

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
    QColor color_;
    QString caption_;
    QColor captionColor_;
};

} // namespace kavlon
