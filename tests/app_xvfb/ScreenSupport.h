#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include "app_ui/Form1Fixture.h"

class QWidget;

namespace orbet::test {

// The main window shown on the X server, for tests that need what the real
// window system does (native windows, surfaces, stacking) and read the
// pixels the screen shows.
class ScreenTest : public Form1Test {
  protected:
    void SetUp() override;
};

QRect globalRect(const QWidget* w);
// What the X screen shows where the widget is.
QImage screenOf(const QWidget* w);
QColor screenColour(const QPoint& global);
bool waitForScreenColour(const QPoint& global, const QColor& colour, int timeoutMs = 10000);
// The share of pixels two images of one size have in common (0 when sizes differ).
double sameFraction(const QImage& a, const QImage& b);

} // namespace orbet::test
