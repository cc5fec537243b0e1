#include "app/ui/Splitter.h"

#include <QMouseEvent>
#include <QScrollBar>

#include "app/core/MainLayout.h"
#include "app/ui/MainParts.h"
#include "platform/Numbers.h"
#include "platform/Twips.h"

namespace orbet {

Splitter::Splitter(MainParts& form) : QObject(&form.window()), f_(form) {
    f_.Bar->installEventFilter(this);
}

void Splitter::pressed(int y) {
    grabOffset_ = y;
    f_.Tmp->show();
    f_.Tmp->raise();
}

void Splitter::moved(int y) {
    const int width = twips::fromPixels(f_.Tmp->parentWidget()->width());
    f_.Tmp->setGeometry(twips::toPixels(TwipsRect{0, f_.barTop() + y, width, 90}));
}

void Splitter::released(int y) {
    const int ysTop = twips::fromPixels(f_.YS->y());
    f_.Tmp->hide();
    f_.setBarTop(splitterReleaseTop(y, grabOffset_, f_.barTop(), ysTop));
}

bool Splitter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != f_.Bar) return false;
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const int y = twips::fromPixels(int(mouse->position().y()));
    if (type == QEvent::MouseButtonPress)
        pressed(y);
    else if (type == QEvent::MouseMove)
        moved(y);
    else
        released(y);
    return true;
}

} // namespace orbet
