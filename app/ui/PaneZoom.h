#pragma once

#include <optional>

#include <QObject>
#include <QPoint>

class QScrollBar;

namespace orbet {

class MainParts;

// Zoom, wheel and dragging for the main window's picture pane, and the
// View menu's "fit to pane" choice. The picture keeps its natural size
// unless the user zooms (Ctrl+wheel, Ctrl++ / Ctrl+-, Ctrl+0 fits, Ctrl+1
// natural size, around the pointer) or chose to have pictures larger than
// the pane fitted; a zoom is a viewing state that the next picture ends.
// The wheel scrolls the picture (Shift+wheel across); dragging with the
// left button pans it.
class PaneZoom : public QObject {
    Q_OBJECT
  public:
    explicit PaneZoom(MainParts& form);

    // Shows the picture `zoom` times its size with its point under `anchor`
    // (picture frame pixels) kept there, as far as the scroll ranges allow.
    void zoomTo(double zoom, QPoint anchor);
    void zoomIn();
    void zoomOut();
    // Fits a picture larger than the pane into it; a smaller one keeps its size.
    void fit();
    void natural();
    // Whether new pictures are fitted (the menu's check mark, stored per user).
    bool fitsPictures() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void pictureReplaced();
    void fitChosen(bool on);
    double fitScale() const;
    QPoint pointerOr(QPoint fallback) const;
    void scrollTo(QScrollBar* bar, double pixels);

    MainParts& f_;
    bool fitted_ = false;
    bool refitQueued_ = false;
    std::optional<QPoint> dragFrom_;
    QPoint dragBars_;
};

} // namespace orbet
