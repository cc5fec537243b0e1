#include "viewers/ui/ImageView.h"

#include <QPaintEvent>
#include <QPainter>

#include "display/JpegTiles.h"

namespace orbet {

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ImageView::setPicture(QImage image, std::shared_ptr<JpegTiles> tiles) {
    if (tiles_) disconnect(tiles_.get(), nullptr, this, nullptr);
    image_ = std::move(image);
    tiles_ = std::move(tiles);
    if (tiles_) connect(tiles_.get(), &JpegTiles::tilesReady, this, [this] { update(); });
    scaled_ = QImage();
    if (!stretch_) resize(naturalSize());
    update();
}

QSize ImageView::naturalSize() const {
    if (tiles_) return tiles_->size();
    return image_.isNull() ? QSize(0, 0) : image_.size();
}

void ImageView::setStretch(bool on) {
    stretch_ = on;
    scaled_ = QImage();
    if (!on) resize(naturalSize());
    update();
}

void ImageView::paintEvent(QPaintEvent* event) {
    if (width() <= 0 || height() <= 0) return;
    const QRect r = event->rect() & rect();
    if (tiles_) {
        const QSize n = tiles_->size();
        const double sx = double(n.width()) / width(), sy = double(n.height()) / height();
        QPainter p(this);
        tiles_->paint(p, QRectF(r), QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy));
        return;
    }
    if (image_.isNull()) return;
    QPainter p(this);
    if (!stretch_ || size() == image_.size()) {
        const QRect part = r & image_.rect();
        p.drawImage(part.topLeft(), image_, part);
        return;
    }
    if (width() > image_.width() || height() > image_.height()) {
        // Enlarged (zoomed in): only the part on screen is scaled, never a
        // copy of the whole at that size.
        const double sx = double(image_.width()) / width(), sy = double(image_.height()) / height();
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(QRectF(r), image_, QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy));
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
    const QRect part = r & scaled_.rect();
    p.drawImage(part.topLeft(), scaled_, part);
}

} // namespace orbet
