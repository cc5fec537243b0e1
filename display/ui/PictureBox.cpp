#include "display/ui/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

#include "platform/StartupTrace.h"

namespace orbet {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureBox::setPicture(QImage image) {
    image_ = std::move(image);
    resize(image_.isNull() ? QSize(0, 0) : image_.size());
    update();
    if (!image_.isNull()) emit pictureChanged();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    if (image_.isNull()) return;
    QPainter p(this);
    const QRect r = event->rect() & image_.rect();
    p.drawImage(r.topLeft(), image_, r);
    static bool first = true;
    if (first) traceStartupStep("first picture painted");
    first = false;
}

}  // namespace orbet
