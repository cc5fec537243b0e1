#pragma once

#include <functional>

#include "viewers/ui/ViewerWindow.h"

class QTextEdit;

namespace orbet {

class ImageView;

// The minimum window: a small, freely resizable copy of the main window's
// picture, stretched to the window, or its text. It stays while the main
// window may be hidden.
class MiniWindow : public ViewerWindow {
    Q_OBJECT
  public:
    MiniWindow(ViewerHost& host, Prompter& prompter, ProgramState& state, QWidget* parent);

    // The stretch copy: the main picture scaled once to the window's size.
    ImageView* Picture1 = nullptr;
    QTextEdit* RT = nullptr;
    QAction* mind = nullptr;

    // Opens the mini directory changer; closes it when this window closes.
    std::function<void()> openChanger;
    std::function<void()> closeChanger;
    std::function<void()> showMainWindow;

    // The window's load, at the bottom-left corner of the screen (pixels).
    void load(const QRect& screen);
    void stretchCopy();
    // Takes what the main window shows now, with the caption.
    void copyFromMain() override;

  protected:
    bool textShown() const override;
    void openDirectoryChanger() override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    static constexpr int kPlacingMs = 2000;
    void placeAtCorner();

    QImage picture_;
    QRect screen_;
    bool resizing_ = false;
};

} // namespace orbet
