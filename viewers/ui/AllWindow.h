#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "viewers/FitModes.h"
#include "viewers/ui/ViewerWindow.h"

class QScrollBar;
class QTextEdit;

namespace orbet {

class ImageView;
class JpegTiles;

// How the text of a file came to the full-screen window: all of it, only its
// first part (the file passes the text bound), or not at all.
enum class TextOpening { Whole, Cut, Unreadable };

// The full-screen window: the main window's picture placed by the fit mode,
// or its text at the standard full-screen size, over the whole screen.
class AllWindow : public ViewerWindow {
    Q_OBJECT
  public:
    AllWindow(ViewerHost& host, Prompter& prompter, ProgramState& state, std::function<FitMode()> fitMode,
              QWidget* parent);

    ImageView* Picture1 = nullptr;
    QScrollBar* TS = nullptr;
    QScrollBar* YS = nullptr;
    QTextEdit* RT = nullptr;

    // The window's load, on the screen given in pixels.
    void load(const QRect& screen);
    // The picture branch of the opening: the picture at its natural size,
    // then placed by the fit mode. A photo too large to hold whole comes as
    // its tiles (and no picture).
    void openPicture(const QImage& picture, const QColor& background,
                     std::shared_ptr<JpegTiles> tiles = nullptr);
    // The next frame of the shown animation, in the place of the last.
    void showFrame(const QImage& frame);
    // The text branch: the file at the standard size, rich text (with its
    // pictures) by its name, read by its bytes and no further than the text
    // pane reads.
    TextOpening openText(const QString& path);
    // Places the current picture by the fit mode; afterStep keeps a
    // natural-size picture where it was scrolled to. Ends any zoom.
    void applyFitMode(bool afterStep);
    // Shows the picture `zoom` times its size, the picture's point under
    // `anchor` (window pixels) staying there; centred where it is smaller
    // than the window, scrolled by the bars where larger. A viewing state:
    // the next file is placed by the fit mode again.
    void zoomTo(double zoom, QPoint anchor);
    // The scale the picture is shown at now.
    double shownScale() const;
    // True while the picture is larger than the window and scrolls.
    bool scrolls() const;

  protected:
    bool textShown() const override;
    bool randomApplies() const override { return !textShown(); }
    void copyFromMain() override;
    void zoomKey(ViewerAction action) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void setWrapFor(const QString& text);
    // The wheel: zooms with Ctrl, scrolls a picture larger than the window,
    // steps to the next or previous file when the picture fits.
    void wheel(QWheelEvent* event, QPoint at);
    QPoint pointerOr(QPoint fallback) const;
    double fitScale() const;

    int wheelSteps_ = 0;
    std::optional<QPoint> dragFrom_;
    QPoint dragBars_;
    std::function<FitMode()> fitMode_;
};

} // namespace orbet
