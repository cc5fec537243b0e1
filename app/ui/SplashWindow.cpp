#include "app/ui/SplashWindow.h"

#include <QPainter>

#include "platform/Twips.h"

namespace orbet {

SplashWindow::SplashWindow(const QString& picturePath, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("OPForm"));
    // A missing or unreadable picture leaves a plain window of the same role.
    if (!picture_.load(picturePath)) picture_ = QPixmap();
    resize(picture_.isNull() ? QSize(400, 240) : picture_.size());
}

void SplashWindow::OPt(const QString& text) {
    text_ = text;
    repaint();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (picture_.isNull())
        p.fillRect(rect(), palette().window());
    else
        p.drawPixmap(0, 0, picture_);
    const int x = twips::toPixels(10);
    const int y = int(height() * 0.95);
    p.drawText(x, y, text_);
}

}  // namespace orbet
