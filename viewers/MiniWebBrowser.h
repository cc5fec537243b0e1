#pragma once

#include <QWidget>

#include "platform/ProgramState.h"

class QLabel;
class QLineEdit;

namespace orbet {

class Prompter;
class WebView;

// Placement of the mini browser's controls for an outer size in twips; a
// size below 1600 x 1200 asks for that minimum instead (the resize that
// follows lays the window out).
struct MinWebLayout {
    bool resizeFirst = false;
    int width = 0, height = 0; // the size to take when resizeFirst
    TwipsRect web;
    int textWidth = 0;
};
MinWebLayout layoutMinWeb(int width, int height, int textHeight, int labelWidth);

// The caption and borders the layout's outer size allows for. They sit
// outside the widget here, so the window adds them back to its inner size,
// as the main window does, and the browser ends at the window's edges.
constexpr int kMinWebFrameWidth = 180;
constexpr int kMinWebFrameHeight = 300;

// "ミニマムWebブラウザー": an address box and a browser. Enter navigates;
// every arrival writes its address back into the box. A download a page
// starts is asked about with a save dialog (cancelled, nothing is written),
// a page's file field with an open dialog.
class MinWeb : public QWidget {
    Q_OBJECT
  public:
    MinWeb(QWidget* parent, Prompter& prompter);
    ~MinWeb() override;

    // Shows the window again, out of the task bar when it was minimised, and
    // makes it the active one.
    void comeBack();

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    // The engine's view (display/ui/Engines.h), opened with the window; an
    // empty frame when the engine module cannot be found.
    QWidget* Web = nullptr;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    WebView* view_ = nullptr; // owned by Web
};

} // namespace orbet
