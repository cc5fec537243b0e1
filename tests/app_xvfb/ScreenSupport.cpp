#include "ScreenSupport.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

namespace orbet::test {

void ScreenTest::SetUp() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs the X server (scripts/test runs xvfb-run)";
    Form1Test::SetUp();
    start();
    form_->resize(1000, 760);
    form_->move(0, 0);
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
}

QRect globalRect(const QWidget* w) {
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

QImage screenOf(const QWidget* w) {
    const QRect r = globalRect(w);
    // Window 0 is the root window: the pixels as the X server composed them.
    return QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
}

QColor screenColour(const QPoint& global) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, global.x(), global.y(), 1, 1)
        .toImage()
        .pixelColor(0, 0);
}

bool waitForScreenColour(const QPoint& global, const QColor& colour, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (screenColour(global).rgb() != colour.rgb()) {
        if (t.elapsed() > timeoutMs) return false;
        QTest::qWait(100);
    }
    return true;
}

double sameFraction(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull()) return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    qint64 same = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            same += x.pixel(col, row) == y.pixel(col, row);
    return double(same) / (double(x.width()) * x.height());
}

} // namespace orbet::test
