#pragma once

#include <QImage>
#include <QWidget>

namespace kavlon {

// Shows one live chart image, which its owner draws into between repaints.
class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget *parent = nullptr);

    // The image stays owned by the caller and must outlive the view (or be
    // replaced by nullptr first).
    void SetImage(const QImage *image);
    const QImage *Image() const { return image_; }

signals:
    void MouseDown(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    const QImage *image_ = nullptr;
};

} // namespace kavlon
