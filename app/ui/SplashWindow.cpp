#include "app/ui/SplashWindow.h"

#include <QPainter>
#include <QTimer>

#include "display/PictureLoader.h"
#include "platform/Twips.h"

namespace orbet {

SplashWindow::SplashWindow(const QString& picturePath, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("OPForm"));
    // A missing or unreadable picture leaves a plain window of the same role.
    picture_ = QPixmap::fromImage(loadProgramPicture(picturePath));
    resize(picture_.isNull() ? QSize(400, 240) : picture_.size());
}

void SplashWindow::OPt(const QString& text) {
    text_ = text;
    // The texts follow each other faster than a screen shows them: the
    // window is drawn again at most once a frame, with the latest text.
    constexpr qint64 kFrameMs = 16;
    if (!painted_.isValid() || painted_.elapsed() >= kFrameMs) {
        update();
    } else if (!frameDue_) {
        frameDue_ = true;
        QTimer::singleShot(kFrameMs - painted_.elapsed(), this, [this] {
            frameDue_ = false;
            update();
        });
    }
}

void SplashWindow::paintEvent(QPaintEvent*) {
    painted_.start();
    QPainter p(this);
    if (picture_.isNull())
        p.fillRect(rect(), palette().window());
    else
        p.drawPixmap(0, 0, picture_);
    const int x = twips::toPixels(10);
    const int y = int(height() * 0.95);
    p.drawText(x, y, text_);
}

} // namespace orbet
