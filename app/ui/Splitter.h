#pragma once

#include <QObject>

namespace orbet {

class MainParts;

// Dragging the bar between the navigation area and the display area: a blue
// ghost follows the mouse, and the release moves the bar within its limits
// and lays the window out again.
class Splitter : public QObject {
    Q_OBJECT
  public:
    explicit Splitter(MainParts& form);

    void pressed(int yTwips);
    void moved(int yTwips);
    void released(int yTwips);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    MainParts& f_;
    int grabOffset_ = 0;
};

} // namespace orbet
