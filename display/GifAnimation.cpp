#include "display/GifAnimation.h"

#include "display/ReadLimits.h"
#include "platform/NativePath.h"

namespace orbet {

int frameDelay(int fileDelayMs) {
    return fileDelayMs < 20 ? 100 : fileDelayMs;
}

namespace {

QImage programFormat(QImage image) {
    if (image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_RGB32)
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

} // namespace

bool GifAnimation::restart() {
    reader_.reset();
    file_.close();
    const PathFacts facts = pathFacts(path_);
    if (!facts.isRegular || facts.size > kPictureFileLimit || !openNative(file_, path_)) return false;
    reader_ = std::make_unique<QImageReader>(&file_, QByteArrayLiteral("gif"));
    reader_->setAutoDetectImageFormat(false);
    reader_->setAllocationLimit(decodedPictureLimitMb());
    framesThisRound_ = 0;
    return true;
}

std::unique_ptr<GifAnimation> GifAnimation::open(const QString& path) {
    std::unique_ptr<GifAnimation> a(new GifAnimation);
    a->path_ = path;
    if (!a->restart()) return nullptr;
    if (a->file_.peek(6) != "GIF89a") return nullptr; // GIF87a has no animation
    if (a->reader_->read().isNull()) return nullptr;
    a->firstDelay_ = frameDelay(a->reader_->nextImageDelay());
    if (!a->reader_->canRead()) return nullptr;
    a->framesThisRound_ = 1;
    a->loopsLeft_ = a->reader_->loopCount();
    return a;
}

bool GifAnimation::next(QImage& frame, int& delayMs) {
    if (!reader_) return false;
    if (framesThisRound_ > 0 && !reader_->canRead()) {
        // The end of one round: a file that loops starts again.
        if (loopsLeft_ == 0 || framesThisRound_ < 2) return false;
        if (loopsLeft_ > 0) --loopsLeft_;
        if (!restart()) return false;
    }
    QImage image = reader_->read();
    if (image.isNull()) return false;
    ++framesThisRound_;
    delayMs = frameDelay(reader_->nextImageDelay());
    frame = programFormat(std::move(image));
    return true;
}

} // namespace orbet
