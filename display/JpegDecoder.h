#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include <QByteArray>
#include <QIODevice>
#include <QImage>

namespace orbet {

class ColourConversion;

// The upright top-left corner of a large photo handed over by the threads
// that decode the whole picture, as soon as its rows are decoded: for a
// photo whose corner lies at the end of its file (turned 3, 4, 6, 7), which
// decodeJpegCorner declines, and for a photo already decoding when it is
// shown, whose corner a second decoding would only delay. Shared by the
// decoding and one waiter.
//
// A receiver that paints turned pictures itself (`takesStoredWhole`) gets a
// quarter-turned photo's whole picture as stored, with `wholeTurn()` the
// orientation still to apply: turning 24 megapixels costs as much as a
// fifth of decoding them, while painting needs only the part on screen.
class JpegCornerHandOff {
  public:
    explicit JpegCornerHandOff(QSize corner, bool takesStoredWhole = false)
        : corner_(corner), takesStoredWhole_(takesStoredWhole) {}
    QSize cornerSize() const { return corner_; }
    bool takesStoredWhole() const { return takesStoredWhole_; }
    // The orientation the decoding left to the receiver (1 for none), known
    // once the decoding has ended.
    int wholeTurn() const { return wholeTurn_.load(); }
    void setWholeTurn(int orientation) { wholeTurn_.store(orientation); }
    // The corner (`cornerSize()` large, or the picture's size where that is
    // smaller), waited for at most `limit`; null when the decoding has none
    // to give (it failed, or the picture took another way) or time ran out.
    QImage wait(std::chrono::milliseconds limit);
    // The decoding's side: the first call counts, a null image for none.
    void hand(QImage corner);

  private:
    std::mutex mutex_;
    std::condition_variable handed_;
    bool done_ = false;
    QImage image_;
    const QSize corner_;
    const bool takesStoredWhole_;
    std::atomic<int> wholeTurn_{1};
};

// Decodes a large baseline JPEG on two threads: one decodes the top part,
// the other skips to the bottom part (entropy decoding only) and decodes it,
// both straight into one image. Colour JPEGs only (YCbCr or RGB); for
// anything else (progressive, grey, CMYK, small pictures) or on any error it
// returns a null image and the caller uses the ordinary reader. The
// picture comes turned upright by `orientation` (see ExifOrientation.h), each
// thread turning the rows it decodes, and with `colour` each converting
// them through the picture's profile. With `corner`, the picture's upright
// corner is handed over as soon as it is decoded: where it lies at the end
// of the file, the stored rows of that corner are decoded first. Once
// `stop` is set both threads give up at their next band of rows, and the
// result is null.
QImage decodeJpegInParallel(const QByteArray& bytes, qint64 allocationLimitBytes, int orientation = 1,
                            const ColourConversion* colour = nullptr, JpegCornerHandOff* corner = nullptr,
                            const std::atomic<bool>* stop = nullptr);

// The picture's size when decodeJpegInParallel takes it, from its header
// (the start of the file is enough); empty otherwise.
QSize largeJpegSize(const QByteArray& head, qint64 allocationLimitBytes);

// The top-left corner of a picture decodeJpegInParallel takes, decoded
// alone: the part of a large photo a pane shows first. Its pixels are those
// the whole decoding gives there; it is `corner` large, or the picture's
// size where that is smaller. `whole` receives the picture's size, also
// for an empty `corner`, which decodes nothing but the header. Null for
// any picture decodeJpegInParallel declines. It reads the device only as far
// as the corner's last row. With an orientation, corner and whole are those
// of the upright picture: its top-left corner may lie at the end of the
// stored one, and then there is no corner (null): reaching it would cost
// nearly the whole decoding.
QImage decodeJpegCorner(QIODevice& device, QSize corner, qint64 allocationLimitBytes, QSize* whole,
                        int orientation = 1, const ColourConversion* colour = nullptr);

} // namespace orbet
