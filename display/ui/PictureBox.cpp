#include "display/ui/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/StartupTrace.h"

namespace orbet {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] { finish(); });
}

void PictureBox::setPicture(QImage image) {
    // A whole picture still decoding for an earlier corner is not waited for.
    pending_ = false;
    watcher_.setFuture(QFuture<QImage>());
    whole_ = QFuture<QImage>();
    fallback_ = nullptr;
    image_ = std::move(image);
    resize(image_.isNull() ? QSize(0, 0) : image_.size());
    update();
    if (!image_.isNull()) emit pictureChanged();
}

void PictureBox::setPicture(QImage corner, QSize size, QFuture<QImage> whole, std::function<QImage()> fallback) {
    setPicture(QImage());
    image_ = std::move(corner);
    pending_ = true;
    whole_ = std::move(whole);
    fallback_ = std::move(fallback);
    resize(size);
    update();
    watcher_.setFuture(whole_);
}

const QImage& PictureBox::picture() {
    finish();
    return image_;
}

void PictureBox::finish() {
    if (!pending_) return;
    pending_ = false;
    whole_.waitForFinished();
    QImage whole = whole_.isCanceled() || whole_.resultCount() == 0 ? QImage() : whole_.result();
    whole_ = QFuture<QImage>();
    if (whole.isNull() && fallback_) whole = fallback_();
    fallback_ = nullptr;
    if (whole.isNull()) whole = image_;
    setPicture(std::move(whole));
}

void PictureBox::paintEvent(QPaintEvent* event) {
    if (image_.isNull()) return;
    QPainter p(this);
    const QRect r = event->rect() & image_.rect();
    p.drawImage(r.topLeft(), image_, r);
    static bool first = true;
    if (first) traceStartupStep("first picture painted");
    first = false;
}

}  // namespace orbet
