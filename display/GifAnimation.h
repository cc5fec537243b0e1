#pragma once

#include <memory>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

namespace orbet {

// How long a frame stays on screen: the file's delay, except that a delay
// under 20 ms counts as 100 ms, as browsers count it (such files were made
// for viewers that ignored short delays).
int frameDelay(int fileDelayMs);

// The frames of an animated GIF after its first, read one at a time from
// the file, so only the reader's canvas and the frame handed out are held.
class GifAnimation {
  public:
    // The animation of this file, or null for anything but a GIF with more
    // than one frame. The first frame is read (and dropped) here: the pane
    // shows it already; firstDelay() says how long.
    static std::unique_ptr<GifAnimation> open(const QString& path);

    int firstDelay() const { return firstDelay_; }
    // The next frame, in the program's picture format, and how long it
    // stays; after the last frame the first comes again as long as the file
    // asks to loop. False at the end or when the file breaks off (the shown
    // frame then simply stays).
    bool next(QImage& frame, int& delayMs);

  private:
    GifAnimation() = default;
    bool restart();

    QString path_;
    QFile file_;
    std::unique_ptr<QImageReader> reader_;
    int firstDelay_ = 100;
    int loopsLeft_ = -1; // -1: forever
    int framesThisRound_ = 0;
};

} // namespace orbet
