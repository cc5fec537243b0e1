#pragma once

#include <functional>

#include "viewers/FitModes.h"
#include "viewers/ui/ViewerWindow.h"

class QScrollBar;
class QTextEdit;

namespace orbet {

class ImageView;

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
    // then placed by the fit mode.
    void openPicture(const QImage& picture, const QColor& background);
    // The next frame of the shown animation, in the place of the last.
    void showFrame(const QImage& frame);
    // The text branch: the file at the standard size, rich text (with its
    // pictures) by its name, read by its bytes and no further than the text
    // pane reads.
    TextOpening openText(const QString& path);
    // Places the current picture by the fit mode; afterStep keeps a
    // natural-size picture where it was scrolled to.
    void applyFitMode(bool afterStep);

  protected:
    bool textShown() const override;
    bool randomApplies() const override { return !textShown(); }
    void copyFromMain() override;

  private:
    void setWrapFor(const QString& text);

    std::function<FitMode()> fitMode_;
};

} // namespace orbet
