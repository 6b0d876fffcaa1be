#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class QPainter;

namespace kavlon {

// Shows one live chart image, which its owner draws into between repaints,
// and on top of it whatever its overlay paints. An image whose device pixel
// ratio is above 1 was drawn at a scaled screen's device resolution: it is
// shown one image pixel per device pixel, and the overlay and the mouse work
// in its pixels too.
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

    // Device pixels per logical pixel of the screen the view is on, as the
    // charts can draw it (UsablePixelRatio).
    qreal DisplayRatio() const;
    // For tests: the view acts as if it were on a screen of this ratio (0:
    // the real screen again), and checks it against its image's as after a
    // move to another screen.
    void SetDisplayRatioForTest(qreal ratio);

    // The image pixel under a point of the view.
    QPoint ImagePixelAt(QPointF position) const;

signals:
    // The screen's ratio is not the one the image was drawn at (the window
    // moved to another screen, or the screen's scaling changed): the owner
    // draws the charts afresh. Sent once per change, after the event that
    // showed it.
    void DisplayRatioChanged();
    void MouseDown(Qt::MouseButton button);
    // The left button went down at `pixel` of the image, or moved there while
    // held; `shift` is whether Shift was held when it went down, so that a
    // drag keeps to what its press started.
    void LeftButtonAt(QPoint pixel, bool shift);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    qreal ImageRatio() const;
    void CheckDisplayRatio();

    const QImage *image_ = nullptr;
    qreal testRatio_ = 0;
    bool ratioNoticePending_ = false;
    Overlay overlay_;
    bool shiftPress_ = false;
};

} // namespace kavlon
