#include "app/ui/PaneZoom.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "app/ui/MainParts.h"
#include "display/ui/PictureBox.h"
#include "navigation/FileListing.h"
#include "platform/NativePath.h"
#include "platform/Twips.h"
#include "platform/UserStore.h"

namespace orbet {

namespace {
const QString kSection = QStringLiteral("Picture");
const QString kFitKey = QStringLiteral("FitToPane");
// One key press or wheel notch.
constexpr double kZoomStep = 1.25;
constexpr double kLargestZoom = 16;
} // namespace

PaneZoom::PaneZoom(MainParts& form) : QObject(&form.window()), f_(form) {
    setObjectName(QStringLiteral("PaneZoom"));
    f_.BP->installEventFilter(this);
    f_.MP->installEventFilter(this);
    auto shortcut = [this](const char* name, QList<QKeySequence> keys, void (PaneZoom::*act)()) {
        auto* a = new QAction(&f_.window());
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        connect(a, &QAction::triggered, this, act);
        f_.window().addAction(a);
    };
    // Plain keys belong to the lists: the pane's zoom keys go with Ctrl.
    shortcut("paneZoomIn", {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
             &PaneZoom::zoomIn);
    shortcut("paneZoomOut", {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &PaneZoom::zoomOut);
    shortcut("paneZoomFit", {QKeySequence(Qt::CTRL | Qt::Key_0)}, &PaneZoom::fit);
    shortcut("paneZoomNatural", {QKeySequence(Qt::CTRL | Qt::Key_1)}, &PaneZoom::natural);
    if (QAction* item = f_.action(Command::FitPane)) {
        // Wired here, so on here.
        item->setEnabled(true);
        item->setChecked(readStoreValue(kSection, kFitKey) == QLatin1String("1"));
        connect(item, &QAction::triggered, this, [this](bool on) { fitChosen(on); });
    }
    connect(f_.MP, &PictureBox::pictureReplaced, this, [this] { pictureReplaced(); });
}

bool PaneZoom::fitsPictures() const {
    return f_.isChecked(Command::FitPane);
}

void PaneZoom::fitChosen(bool on) {
    writeStoreValue(kSection, kFitKey, on ? QStringLiteral("1") : QStringLiteral("0"));
    if (on)
        fit();
    else
        natural();
}

void PaneZoom::pictureReplaced() {
    fitted_ = false;
    PictureBox& mp = *f_.MP;
    if (mp.isEmpty()) return;
    // The picture's size beside its bytes.
    const QSize n = mp.naturalSize();
    f_.Bytes->setText(BytesSizeText(pathFacts(f_.state().currentFilePath).size) +
                      QStringLiteral("  %1 x %2").arg(n.width()).arg(n.height()));
    if (!fitsPictures()) return;
    // The show lays the pane out and scrolls to the top left afterwards.
    mp.setZoom(std::min(1.0, fitScale()));
    fitted_ = true;
}

double PaneZoom::fitScale() const {
    const QSize n = f_.MP->naturalSize();
    if (n.isEmpty() || f_.BP->width() <= 0 || f_.BP->height() <= 0) return 1;
    return std::min(double(f_.BP->width()) / n.width(), double(f_.BP->height()) / n.height());
}

void PaneZoom::scrollTo(QScrollBar* bar, double pixels) {
    bar->setValue(std::clamp(twips::fromPixels(int(std::lround(pixels))), 0, bar->maximum()));
}

void PaneZoom::zoomTo(double zoom, QPoint anchor) {
    PictureBox& mp = *f_.MP;
    if (mp.isEmpty() || f_.BP->isHidden()) return;
    zoom = std::clamp(zoom, std::min(1.0, fitScale()) / 4, kLargestZoom);
    const QPointF under = QPointF(anchor - mp.pos()) / mp.zoom();
    mp.setZoom(zoom);
    fitted_ = false;
    f_.layoutDisplay();
    scrollTo(f_.YS, under.x() * zoom - anchor.x());
    scrollTo(f_.TS, under.y() * zoom - anchor.y());
}

QPoint PaneZoom::pointerOr(QPoint fallback) const {
    const QPoint p = f_.BP->mapFromGlobal(QCursor::pos());
    return f_.BP->rect().contains(p) ? p : fallback;
}

void PaneZoom::zoomIn() {
    zoomTo(f_.MP->zoom() * kZoomStep, pointerOr(f_.BP->rect().center()));
}

void PaneZoom::zoomOut() {
    zoomTo(f_.MP->zoom() / kZoomStep, pointerOr(f_.BP->rect().center()));
}

void PaneZoom::fit() {
    zoomTo(std::min(1.0, fitScale()), QPoint(0, 0));
    fitted_ = true;
}

void PaneZoom::natural() {
    zoomTo(1, pointerOr(QPoint(0, 0)));
}

bool PaneZoom::eventFilter(QObject* watched, QEvent* event) {
    PictureBox& mp = *f_.MP;
    switch (event->type()) {
    case QEvent::Wheel: {
        auto* w = static_cast<QWheelEvent*>(event);
        const QPoint delta = w->angleDelta();
        if (w->modifiers() & Qt::ControlModifier) {
            const QPoint at = static_cast<QWidget*>(watched)->mapTo(f_.BP, w->position().toPoint());
            if (delta.y() != 0) zoomTo(mp.zoom() * std::pow(kZoomStep, delta.y() / 120.0), at);
            return true;
        }
        const bool across = (w->modifiers() & Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
        QScrollBar* bar = across ? f_.YS : f_.TS;
        const int notch = delta.y() != 0 ? delta.y() : delta.x();
        const int step = twips::fromPixels(std::max(20, (across ? f_.BP->width() : f_.BP->height()) / 8));
        bar->setValue(bar->value() - notch * step / 120);
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* m = static_cast<QMouseEvent*>(event);
        if (watched != f_.MP || m->button() != Qt::LeftButton) break;
        dragFrom_ = m->globalPosition().toPoint();
        dragBars_ = QPoint(f_.YS->value(), f_.TS->value());
        return true;
    }
    case QEvent::MouseMove: {
        if (!dragFrom_) break;
        const QPoint moved = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - *dragFrom_;
        f_.YS->setValue(dragBars_.x() - twips::fromPixels(moved.x()));
        f_.TS->setValue(dragBars_.y() - twips::fromPixels(moved.y()));
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!dragFrom_ || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) break;
        dragFrom_.reset();
        return true;
    case QEvent::Resize:
        // A fitted picture follows the pane's size, once the layout settles.
        if (watched == f_.BP && fitted_ && !refitQueued_) {
            refitQueued_ = true;
            QTimer::singleShot(0, this, [this] {
                refitQueued_ = false;
                if (fitted_ && std::abs(f_.MP->zoom() - std::min(1.0, fitScale())) > 1e-6) fit();
            });
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace orbet
