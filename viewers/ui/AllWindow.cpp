#include "viewers/ui/AllWindow.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include <QCursor>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>

#include "display/ReadLimits.h"
#include "display/text/RtfReader.h"
#include "display/text/TextDecoding.h"
#include "display/wmf/WmfPlayer.h"
#include "platform/Twips.h"
#include "viewers/ViewerHost.h"
#include "viewers/ui/ImageView.h"

namespace orbet {

namespace {
// One zoom key or wheel notch.
constexpr double kZoomStep = 1.25;
constexpr double kLargestZoom = 16;
} // namespace

AllWindow::AllWindow(ViewerHost& host, Prompter& prompter, ProgramState& state,
                     std::function<FitMode()> fitMode, QWidget* parent)
    : ViewerWindow(host, prompter, state, ViewerKind::FullScreen, parent), fitMode_(std::move(fitMode)) {
    setObjectName(QStringLiteral("AllWindow"));
    setWindowFlag(Qt::FramelessWindowHint);
    setAutoFillBackground(true);
    Picture1 = new ImageView(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->hide();
    TS = new QScrollBar(Qt::Vertical, this);
    TS->setObjectName(QStringLiteral("TS"));
    YS = new QScrollBar(Qt::Horizontal, this);
    YS->setObjectName(QStringLiteral("YS"));
    RT = new QTextEdit(this);
    RT->setObjectName(QStringLiteral("RT"));
    RT->setReadOnly(true);
    RT->hide();
    // Scroll values are twips, as the fit rules compute them.
    connect(TS, &QScrollBar::valueChanged, this,
            [this](int v) { Picture1->move(Picture1->x(), -twips::toPixels(v)); });
    connect(YS, &QScrollBar::valueChanged, this,
            [this](int v) { Picture1->move(-twips::toPixels(v), Picture1->y()); });
    for (QWidget* w : {static_cast<QWidget*>(Picture1), static_cast<QWidget*>(TS), static_cast<QWidget*>(YS),
                       static_cast<QWidget*>(RT), RT->viewport()})
        watch(w);
}

void AllWindow::load(const QRect& screen) {
    setGeometry(screen);
    RndList->setChecked(state_.rnd);
    const int w = twips::fromPixels(screen.width());
    const int h = twips::fromPixels(screen.height());
    const ViewerBars bars = viewerBars(w, h);
    YS->setGeometry(twips::toPixels(bars.horizontal));
    TS->setGeometry(twips::toPixels(bars.vertical));
    if (bars.horizontalLargeStep) YS->setPageStep(*bars.horizontalLargeStep);
    if (bars.verticalLargeStep) TS->setPageStep(*bars.verticalLargeStep);
    loadCommon();
}

void AllWindow::openPicture(const QImage& picture, const QColor& background,
                            std::shared_ptr<JpegTiles> tiles) {
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    setPalette(p);
    Picture1->show();
    Picture1->setStretch(true);
    Picture1->setGeometry(rect());
    Picture1->setPicture(picture, std::move(tiles));
    const QSize natural = Picture1->naturalSize();
    Picture1->setGeometry(0, 0, natural.width(), natural.height());
    applyFitMode(false);
}

void AllWindow::showFrame(const QImage& frame) {
    if (!textShown()) Picture1->setPicture(frame);
}

void AllWindow::applyFitMode(bool afterStep) {
    const QSize picture = Picture1->naturalSize();
    const int sw = twips::fromPixels(width());
    const int sh = twips::fromPixels(height());
    const FitMode mode = fitMode_();
    if (mode != FitMode::Natural) {
        const FitPlacement p =
            fitPicture(mode, sw, sh, twips::fromPixels(picture.width()), twips::fromPixels(picture.height()));
        Picture1->setStretch(true);
        Picture1->setGeometry(twips::toPixels(p.picture));
        TS->hide();
        YS->hide();
        return;
    }
    if (afterStep) {
        // Stretching off and on again: the natural size at the current position.
        Picture1->setStretch(false);
        Picture1->setStretch(true);
    }
    const ScrollRange horizontal = naturalScroll(twips::fromPixels(Picture1->width()), sw);
    const ScrollRange vertical = naturalScroll(twips::fromPixels(Picture1->height()), sh);
    for (auto [bar, range] : {std::pair{YS, horizontal}, std::pair{TS, vertical}}) {
        bar->setEnabled(range.enabled);
        // The position scrolled to stays where the new picture still reaches
        // it; past its end, or on a picture that fits, the picture would be
        // out of sight with no bar to bring it back.
        bar->setRange(0, range.enabled ? range.maximum : 0);
        bar->show();
        bar->raise();
    }
    // Where the bars say, also after a zoom that had centred the last picture.
    Picture1->move(-twips::toPixels(YS->value()), -twips::toPixels(TS->value()));
}

double AllWindow::shownScale() const {
    const QSize n = Picture1->naturalSize();
    return n.width() > 0 ? double(Picture1->width()) / n.width() : 1;
}

double AllWindow::fitScale() const {
    const QSize n = Picture1->naturalSize();
    if (n.isEmpty()) return 1;
    return std::min(double(width()) / n.width(), double(height()) / n.height());
}

bool AllWindow::scrolls() const {
    return (!TS->isHidden() && TS->isEnabled()) || (!YS->isHidden() && YS->isEnabled());
}

void AllWindow::zoomTo(double zoom, QPoint anchor) {
    const QSize n = Picture1->naturalSize();
    if (n.isEmpty() || textShown()) return;
    zoom = std::clamp(zoom, std::min(1.0, fitScale()) / 4, kLargestZoom);
    const QPointF under = QPointF(anchor - Picture1->pos()) / shownScale();
    const QSize shown(std::max(1, int(std::lround(n.width() * zoom))),
                      std::max(1, int(std::lround(n.height() * zoom))));
    QPoint at = anchor - (under * zoom).toPoint();
    const int thickness = twips::toPixels(kViewerBarThickness);
    bool anyScrolls = false;
    auto axis = [&](int length, int window, int& place, QScrollBar* bar) {
        const QSignalBlocker block(bar);
        const int room = window - thickness;
        const bool scrolls = length > room;
        anyScrolls = anyScrolls || scrolls;
        bar->setEnabled(scrolls);
        if (!scrolls) {
            place = (window - length) / 2;
            bar->setRange(0, 0);
            return;
        }
        place = std::clamp(place, room - length, 0);
        bar->setRange(0, twips::fromPixels(length - room));
        bar->setValue(twips::fromPixels(-place));
    };
    axis(shown.width(), width(), at.rx(), YS);
    axis(shown.height(), height(), at.ry(), TS);
    for (QScrollBar* bar : {YS, TS}) {
        bar->setVisible(anyScrolls);
        bar->raise();
    }
    Picture1->setStretch(true);
    Picture1->setGeometry(QRect(at, shown));
}

QPoint AllWindow::pointerOr(QPoint fallback) const {
    const QPoint p = mapFromGlobal(QCursor::pos());
    return rect().contains(p) ? p : fallback;
}

void AllWindow::zoomKey(ViewerAction action) {
    if (textShown()) return;
    const QPoint at = pointerOr(rect().center());
    switch (action) {
    case ViewerAction::ZoomIn:
        zoomTo(shownScale() * kZoomStep, at);
        break;
    case ViewerAction::ZoomOut:
        zoomTo(shownScale() / kZoomStep, at);
        break;
    case ViewerAction::ZoomFit:
        zoomTo(fitScale(), at);
        break;
    case ViewerAction::ZoomNatural:
        zoomTo(1, at);
        break;
    default:
        break;
    }
}

void AllWindow::wheel(QWheelEvent* event, QPoint at) {
    const QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        if (delta.y() != 0) zoomTo(shownScale() * std::pow(kZoomStep, delta.y() / 120.0), at);
        return;
    }
    if (scrolls()) {
        const bool across = (event->modifiers() & Qt::ShiftModifier) || (delta.y() == 0 && delta.x() != 0);
        QScrollBar* bar = across ? YS : TS;
        const int notch = delta.y() != 0 ? delta.y() : delta.x();
        const int step = twips::fromPixels(std::max(20, (across ? width() : height()) / 8));
        bar->setValue(bar->value() - notch * step / 120);
        return;
    }
    // A picture that fits steps through the list, a notch a file; a
    // touchpad's small deltas add up to a notch first.
    wheelSteps_ += delta.y();
    if (std::abs(wheelSteps_) < 120) return;
    const bool forward = wheelSteps_ < 0;
    wheelSteps_ = 0;
    step(forward);
}

void AllWindow::wheelEvent(QWheelEvent* event) {
    if (!textShown()) wheel(event, event->position().toPoint());
}

bool AllWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture1) {
        switch (event->type()) {
        case QEvent::Wheel: {
            auto* w = static_cast<QWheelEvent*>(event);
            wheel(w, Picture1->mapTo(this, w->position().toPoint()));
            return true;
        }
        case QEvent::MouseButtonPress: {
            auto* m = static_cast<QMouseEvent*>(event);
            if (m->button() != Qt::LeftButton || !scrolls()) break;
            // Dragging pans a picture larger than the window.
            dragFrom_ = m->globalPosition().toPoint();
            dragBars_ = QPoint(YS->value(), TS->value());
            return true;
        }
        case QEvent::MouseMove: {
            if (!dragFrom_) break;
            const QPoint moved = static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - *dragFrom_;
            YS->setValue(dragBars_.x() - twips::fromPixels(moved.x()));
            TS->setValue(dragBars_.y() - twips::fromPixels(moved.y()));
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton || !dragFrom_) break;
            dragFrom_.reset();
            return true;
        default:
            break;
        }
    }
    return ViewerWindow::eventFilter(watched, event);
}

TextOpening AllWindow::openText(const QString& path) {
    RT->show();
    QFont font = RT->font();
    font.setPointSizeF(state_.strSize);
    RT->setFont(font);
    RT->document()->setDefaultFont(font);
    RT->setGeometry(rect());
    RT->raise();
    const std::optional<BoundedText> read = readBoundedText(path);
    if (!read) return TextOpening::Unreadable;
    const TextOpening shown = read->cut ? TextOpening::Cut : TextOpening::Whole;
    if (path.endsWith(QLatin1String("rtf")) || path.endsWith(QLatin1String("RTF"))) {
        auto doc = std::make_unique<QTextDocument>();
        doc->setDefaultFont(font);
        // The pictures draw under one work budget, as in the main pane.
        WmfBudget budget;
        RtfReadOptions options;
        options.decodeWmf = metafileDecoder(&budget);
        if (readRtf(read->bytes, *doc, options)) {
            setWrapFor(doc->toPlainText());
            doc->setParent(RT);
            RT->setDocument(doc.release());
            return shown;
        }
    }
    // Shown as the main pane shows it: control characters and overlong lines
    // in a form the control lays out fast.
    const QString text = textForDisplay(decodeText(read->bytes).text);
    setWrapFor(text);
    RT->setPlainText(text);
    return shown;
}

void AllWindow::setWrapFor(const QString& text) {
    RT->setLineWrapMode(wrapsWell(text) ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

bool AllWindow::textShown() const {
    return Picture1->isHidden();
}

void AllWindow::copyFromMain() {
    if (textShown()) {
        const QString text = host_.text();
        setWrapFor(text);
        RT->setPlainText(text);
        return;
    }
    const std::shared_ptr<JpegTiles> tiles = host_.tiles();
    Picture1->setPicture(tiles ? QImage() : host_.picture(), tiles);
    applyFitMode(true);
}

} // namespace orbet
