#include "viewers/ui/ImageView.h"

#include <QPaintEvent>
#include <QPainter>

namespace orbet {

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

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
        // Shrinking by a large factor needs a smooth filter to stay legible;
        // over the whole of a large picture it is slow, so a quick sample at
        // twice the size goes first and the smooth filter works on that.
        const QSize twice = size() * 2;
        if (image_.width() > 2 * twice.width() && image_.height() > 2 * twice.height())
            scaled_ = image_.scaled(twice, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                          .scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        else
            scaled_ = image_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const QRect r = event->rect() & scaled_.rect();
    p.drawImage(r.topLeft(), scaled_, r);
}

} // namespace orbet
