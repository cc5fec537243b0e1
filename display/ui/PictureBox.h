#pragma once

#include <functional>
#include <memory>

#include <QFuture>
#include <QFutureWatcher>
#include <QImage>
#include <QTimer>
#include <QWidget>

namespace orbet {

class GifAnimation;
class JpegCornerHandOff;
class JpegTiles;

// A picture at its natural size. It paints only the exposed part straight
// from the decoded image, so a large picture is held once in memory.
//
// A large photo may be shown by its top-left corner first, while the whole
// picture still decodes: the box takes the whole picture's size at once,
// shows the rest as background, and swaps the whole picture in when it is
// ready. Anything that asks for the picture meanwhile waits for it.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    // Takes the picture and the size of it (an empty image gives 0 x 0). A
    // picture as stored comes with the orientation that turns it upright
    // (see ExifOrientation.h): the box is the upright size and paints the
    // part on screen turned.
    void setPicture(QImage image, int turn = 1);
    // Shows `corner` of a picture of `size` whose decoding `whole` is under
    // way. A null whole picture is asked of `fallback`; when that fails too
    // the corner stays, as all there is. `handOff` tells how the decoded
    // whole picture is still to be turned.
    void setPicture(QImage corner, QSize size, QFuture<QImage> whole, std::function<QImage()> fallback,
                    std::shared_ptr<const JpegCornerHandOff> handOff = nullptr);
    // Shows a photo too large to hold whole by the tiles on screen.
    void setTiles(std::shared_ptr<JpegTiles> tiles);
    std::shared_ptr<JpegTiles> tiles() const { return tiles_; }
    // The picture's own size, upright, whatever the zoom.
    QSize naturalSize() const { return natural_; }
    // Shows the picture `zoom` times its size (1 by default, and again for
    // every new picture); the box takes the zoomed size.
    void setZoom(double zoom);
    double zoom() const { return zoom_; }
    // Plays the frames after the shown first one; any other picture set,
    // hiding the box or deleting it stops them. Hidden, the box holds its
    // place and goes on from there when shown again.
    void animate(std::unique_ptr<GifAnimation> animation);
    bool isAnimated() const { return animation_ != nullptr; }
    // The whole picture, upright: waits for one still decoding, and turns
    // one held as stored (once; it is then held upright). A photo shown by
    // tiles gives its whole picture at the scale covering the screen.
    const QImage& picture();
    // Waits for a whole picture still decoding, which then shows.
    void waitForWhole() { finish(); }
    bool isEmpty() const { return image_.isNull() && !tiles_; }
    // False while only the corner of the picture is shown.
    bool isComplete() const { return !pending_; }
    void clear() { setPicture(QImage()); }

  signals:
    // Another picture took the box (not the rest of one shown by its corner).
    void pictureReplaced();
    // A picture is shown whole (for a corner shown first, when the rest arrives).
    void pictureChanged();
    // The next frame of an animation is shown (picture() gives it).
    void frameShown();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void finish();
    void nextFrame();
    void place(QImage image, int turn);

    QImage image_;
    int turn_ = 1;
    QSize natural_{0, 0};
    double zoom_ = 1;
    std::shared_ptr<JpegTiles> tiles_;
    QImage tilesWhole_;
    // The corner shown first of a whole picture held as stored: its upright
    // top-left part, pixel for pixel, which need not be turned again.
    QImage uprightCorner_;
    bool pending_ = false;
    std::shared_ptr<const JpegCornerHandOff> handOff_;
    QFuture<QImage> whole_;
    std::function<QImage()> fallback_;
    QFutureWatcher<QImage> watcher_;
    std::unique_ptr<GifAnimation> animation_;
    QTimer frameTimer_;
};

} // namespace orbet
