#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>
#include <optional>

namespace pm32::viewer {

// A small picture of the page: the paper, its printable area and a
// rectangle that stands for the image, all given in device pixels. The user
// drags the rectangle with the mouse; the widget reports where its top-left
// corner went, in device pixels from the printable area's corner.
class PagePreview : public QWidget {
    Q_OBJECT

  public:
    explicit PagePreview(QWidget* parent = nullptr);

    void setPage(QSize paper, QRect printable);
    void setImageRect(QRect imageRect);
    QRect imageRect() const { return image_; }
    // Widget pixels for a device rectangle, and the reverse for a distance.
    QRect toWidget(QRect device) const;
    QPoint toDevice(QPoint widgetDistance) const;

  signals:
    void dragged(QPoint offset);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    double scale() const;
    QPoint pageOrigin() const;

    QSize paper_{2480, 3508};
    QRect printable_{0, 0, 2480, 3508};
    QRect image_;
    // Where a drag started, in widget pixels, and the image's corner then.
    std::optional<QPoint> pressedAt_;
    QPoint startOffset_;
};

}  // namespace pm32::viewer
