#pragma once

#include <memory>

#include <QImage>
#include <QWidget>

namespace orbet {

class JpegTiles;

// An image control: with stretching on it draws its picture over its whole
// area (a scaled copy is kept for the current size, so repaints cost
// nothing); with stretching off it takes the picture's natural size and
// paints the exposed part straight from it. The picture is shared with
// whoever gave it, never copied. A photo too large to hold whole comes as
// its tiles, painted at the scale shown.
class ImageView : public QWidget {
    Q_OBJECT
  public:
    explicit ImageView(QWidget* parent = nullptr);

    void setPicture(QImage image, std::shared_ptr<JpegTiles> tiles = nullptr);
    const QImage& picture() const { return image_; }
    // The picture's own size (the tiles' when it has them).
    QSize naturalSize() const;
    bool stretch() const { return stretch_; }
    // Switching stretching off resizes the control to the picture.
    void setStretch(bool on);
    // The scaled copy painted for the current size (for tests and benchmarks).
    QSize paintedSize() const { return scaled_.isNull() ? QSize() : scaled_.size(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
    std::shared_ptr<JpegTiles> tiles_;
    QImage scaled_;
    bool stretch_ = true;
};

} // namespace orbet
