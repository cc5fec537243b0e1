#pragma once

#include <QWidget>

#include "platform/ProgramState.h"

class QLabel;
class QLineEdit;
class QWebEngineView;

namespace orbet {

// Placement of the mini browser's controls for an outer size in twips; a
// size below 1600 x 1200 asks for that minimum instead (the resize that
// follows lays the window out).
struct MinWebLayout {
    bool resizeFirst = false;
    int width = 0, height = 0;  // the size to take when resizeFirst
    TwipsRect web;
    int textWidth = 0;
};
MinWebLayout layoutMinWeb(int width, int height, int textHeight, int labelWidth);

// "ミニマムWebブラウザー": an address box and a browser. Enter navigates;
// every arrival writes its address back into the box.
class MinWeb : public QWidget {
    Q_OBJECT
public:
    explicit MinWeb(QWidget* parent);

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QWebEngineView* Web = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace orbet
