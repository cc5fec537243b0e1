#pragma once

#include <QObject>

namespace orbet {

class Form1;

// Dragging the bar between the navigation area and the display area: a blue
// ghost follows the mouse, and the release moves the bar within its limits
// and lays the window out again.
class Splitter : public QObject {
    Q_OBJECT
  public:
    explicit Splitter(Form1& form);

    void pressed(int yTwips);
    void moved(int yTwips);
    void released(int yTwips);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Form1& f_;
    int grabOffset_ = 0;
};

} // namespace orbet
