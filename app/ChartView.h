#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class QPainter;

namespace kavlon {

// Shows one live chart image, which its owner draws into between repaints,
// and on top of it whatever its overlay paints.
class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget *parent = nullptr);

    // The image stays owned by the caller and must outlive the view (or be
    // replaced by nullptr first).
    void SetImage(const QImage *image);
    const QImage *Image() const { return image_; }

    // Painted after the image in every paint event, in the image's pixel
    // coordinates; it never draws into the image, so the traces' not-xor
    // erasing stays exact. Empty: the image alone.
    using Overlay = std::function<void(QPainter &)>;
    void SetOverlay(Overlay overlay);

signals:
    void MouseDown(Qt::MouseButton button);
    // The left button went down at `pixel` of the image, or moved there while
    // held; `shift` is whether Shift was held when it went down, so that a
    // drag keeps to what its press started.
    void LeftButtonAt(QPoint pixel, bool shift);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    const QImage *image_ = nullptr;
    Overlay overlay_;
    bool shiftPress_ = false;
};

} // namespace kavlon
