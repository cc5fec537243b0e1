#include "display/ui/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

#include "display/GifAnimation.h"
#include <algorithm>
#include <cmath>

#include <QScreen>

#include "display/JpegDecoder.h"
#include "display/JpegTiles.h"
#include "display/Orientation.h"
#include "platform/StartupTrace.h"

namespace orbet {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] { finish(); });
    frameTimer_.setSingleShot(true);
    // A coarse timer may fire a twentieth early; frames keep their delays.
    frameTimer_.setTimerType(Qt::PreciseTimer);
    connect(&frameTimer_, &QTimer::timeout, this, [this] { nextFrame(); });
}

PictureBox::~PictureBox() = default;

void PictureBox::setPicture(QImage image, int turn) {
    zoom_ = 1;
    place(std::move(image), turn);
    emit pictureReplaced();
}

void PictureBox::place(QImage image, int turn) {
    frameTimer_.stop();
    animation_.reset();
    // A whole picture still decoding for an earlier corner is not waited for.
    pending_ = false;
    watcher_.setFuture(QFuture<QImage>());
    whole_ = QFuture<QImage>();
    fallback_ = nullptr;
    handOff_ = nullptr;
    uprightCorner_ = QImage();
    if (tiles_) disconnect(tiles_.get(), nullptr, this, nullptr);
    tiles_ = nullptr;
    tilesWhole_ = QImage();
    image_ = std::move(image);
    turn_ = image_.isNull() ? 1 : turn;
    natural_ = image_.isNull() ? QSize(0, 0) : uprightSize(image_.size(), turn_);
    setZoom(zoom_);
    update();
    if (!image_.isNull()) emit pictureChanged();
}

void PictureBox::setPicture(QImage corner, QSize size, QFuture<QImage> whole,
                            std::function<QImage()> fallback,
                            std::shared_ptr<const JpegCornerHandOff> handOff) {
    zoom_ = 1;
    place(QImage(), 1);
    image_ = std::move(corner);
    pending_ = true;
    whole_ = std::move(whole);
    fallback_ = std::move(fallback);
    handOff_ = std::move(handOff);
    natural_ = size;
    setZoom(zoom_);
    update();
    watcher_.setFuture(whole_);
    emit pictureReplaced();
}

void PictureBox::setTiles(std::shared_ptr<JpegTiles> tiles) {
    zoom_ = 1;
    place(QImage(), 1);
    tiles_ = std::move(tiles);
    if (!tiles_) return;
    natural_ = tiles_->size();
    connect(tiles_.get(), &JpegTiles::tilesReady, this, [this] { update(); });
    setZoom(zoom_);
    update();
    emit pictureChanged();
    emit pictureReplaced();
}

void PictureBox::setZoom(double zoom) {
    zoom_ = zoom > 0 ? zoom : 1;
    resize(std::max(natural_.width() > 0 ? 1 : 0, int(std::lround(natural_.width() * zoom_))),
           std::max(natural_.height() > 0 ? 1 : 0, int(std::lround(natural_.height() * zoom_))));
    update();
}

const QImage& PictureBox::picture() {
    if (tiles_) {
        if (tilesWhole_.isNull())
            tilesWhole_ = tiles_->whole(screen() ? screen()->size() : QSize(1920, 1080));
        return tilesWhole_;
    }
    finish();
    if (turn_ != 1) {
        image_ = orientedImage(std::move(image_), turn_);
        turn_ = 1;
        uprightCorner_ = QImage();
    }
    return image_;
}

void PictureBox::finish() {
    if (!pending_) return;
    pending_ = false;
    whole_.waitForFinished();
    QImage whole = whole_.isCanceled() || whole_.resultCount() == 0 ? QImage() : whole_.result();
    whole_ = QFuture<QImage>();
    const int turn = !whole.isNull() && handOff_ ? handOff_->wholeTurn() : 1;
    if (whole.isNull() && fallback_) whole = fallback_();
    fallback_ = nullptr;
    if (whole.isNull()) whole = image_;
    QImage corner = turn != 1 ? image_ : QImage();
    place(std::move(whole), turn);
    uprightCorner_ = std::move(corner);
}

void PictureBox::animate(std::unique_ptr<GifAnimation> animation) {
    frameTimer_.stop();
    animation_ = std::move(animation);
    if (animation_ && isVisible()) frameTimer_.start(animation_->firstDelay());
}

void PictureBox::nextFrame() {
    if (!animation_) return;
    QImage frame;
    int delay = 0;
    if (!animation_->next(frame, delay)) {
        animation_.reset(); // the last frame stays
        return;
    }
    image_ = std::move(frame);
    update();
    emit frameShown();
    frameTimer_.start(delay);
}

void PictureBox::hideEvent(QHideEvent* event) {
    frameTimer_.stop();
    QWidget::hideEvent(event);
}

void PictureBox::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (animation_ && !frameTimer_.isActive()) frameTimer_.start(animation_->firstDelay());
}

void PictureBox::paintEvent(QPaintEvent* event) {
    if (tiles_) {
        QPainter p(this);
        const QRect r = event->rect() & rect();
        tiles_->paint(p, QRectF(r),
                      QRectF(r.x() / zoom_, r.y() / zoom_, r.width() / zoom_, r.height() / zoom_));
        return;
    }
    if (image_.isNull()) return;
    if (zoom_ != 1 && turn_ != 1 && !pending_) picture(); // turned whole once, then scaled as any
    QPainter p(this);
    if (zoom_ != 1 && turn_ == 1) {
        const QRect r = event->rect() & rect();
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        // A corner shown first covers only part of the box.
        const QRectF from = QRectF(r.x() / zoom_, r.y() / zoom_, r.width() / zoom_, r.height() / zoom_) &
                            QRectF(image_.rect());
        if (!from.isEmpty())
            p.drawImage(
                QRectF(from.x() * zoom_, from.y() * zoom_, from.width() * zoom_, from.height() * zoom_),
                image_, from);
    } else if (turn_ == 1) {
        const QRect r = event->rect() & image_.rect();
        p.drawImage(r.topLeft(), image_, r);
    } else {
        // Only the part to paint is turned, the part of the stored picture
        // that lands there; the corner shown first already is.
        const QRect r = event->rect() & QRect(QPoint(0, 0), uprightSize(image_.size(), turn_));
        if (uprightCorner_.rect().contains(r))
            p.drawImage(r.topLeft(), uprightCorner_, r);
        else if (!r.isEmpty())
            p.drawImage(r.topLeft(), orientedPart(image_, storedRect(r, image_.size(), turn_), turn_));
    }
    static bool first = true;
    if (first) traceStartupStep("first picture painted");
    first = false;
}

} // namespace orbet
