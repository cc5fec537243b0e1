#include "display/ui/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

#include "display/GifAnimation.h"
#include "display/JpegDecoder.h"
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
    frameTimer_.stop();
    animation_.reset();
    // A whole picture still decoding for an earlier corner is not waited for.
    pending_ = false;
    watcher_.setFuture(QFuture<QImage>());
    whole_ = QFuture<QImage>();
    fallback_ = nullptr;
    handOff_ = nullptr;
    uprightCorner_ = QImage();
    image_ = std::move(image);
    turn_ = image_.isNull() ? 1 : turn;
    resize(image_.isNull() ? QSize(0, 0) : uprightSize(image_.size(), turn_));
    update();
    if (!image_.isNull()) emit pictureChanged();
}

void PictureBox::setPicture(QImage corner, QSize size, QFuture<QImage> whole,
                            std::function<QImage()> fallback,
                            std::shared_ptr<const JpegCornerHandOff> handOff) {
    setPicture(QImage());
    image_ = std::move(corner);
    pending_ = true;
    whole_ = std::move(whole);
    fallback_ = std::move(fallback);
    handOff_ = std::move(handOff);
    resize(size);
    update();
    watcher_.setFuture(whole_);
}

const QImage& PictureBox::picture() {
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
    setPicture(std::move(whole), turn);
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
    if (image_.isNull()) return;
    QPainter p(this);
    if (turn_ == 1) {
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
