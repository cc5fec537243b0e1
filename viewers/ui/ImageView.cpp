#include "viewers/ui/ImageView.h"

#include <QPaintEvent>
#include <QPainter>

namespace orbet {

ImageView::ImageView(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent, false); }

void ImageView::setPicture(QImage image) {
    image_ = std::move(image);
    scaled_ = QImage();
    if (!stretch_) resize(image_.isNull() ? QSize(0, 0) : image_.size());
    update();
}

void ImageView::setStretch(bool on) {
    stretch_ = on;
    scaled_ = QImage();
    if (!on) resize(image_.isNull() ? QSize(0, 0) : image_.size());
    update();
}

void ImageView::paintEvent(QPaintEvent* event) {
    if (image_.isNull() || width() <= 0 || height() <= 0) return;
    QPainter p(this);
    if (!stretch_ || size() == image_.size()) {
        const QRect r = event->rect() & image_.rect();
        p.drawImage(r.topLeft(), image_, r);
        return;
    }
    if (scaled_.size() != size()) {
        // Shrinking by a large factor needs the smooth filter to stay legible.
        scaled_ = image_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QRect r = event->rect() & scaled_.rect();
    p.drawImage(r.topLeft(), scaled_, r);
}

}  // namespace orbet
