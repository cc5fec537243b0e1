#include "viewers/ui/AllWindow.h"

#include <memory>

#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include "display/ReadLimits.h"
#include "display/text/RtfReader.h"
#include "display/text/TextDecoding.h"
#include "display/wmf/WmfPlayer.h"
#include "platform/Twips.h"
#include "viewers/ViewerHost.h"
#include "viewers/ui/ImageView.h"

namespace orbet {

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

void AllWindow::openPicture(const QImage& picture, const QColor& background) {
    QPalette p = palette();
    p.setColor(QPalette::Window, background);
    setPalette(p);
    Picture1->show();
    Picture1->setStretch(true);
    Picture1->setGeometry(rect());
    Picture1->setGeometry(0, 0, picture.width(), picture.height());
    Picture1->setPicture(picture);
    applyFitMode(false);
}

void AllWindow::showFrame(const QImage& frame) {
    if (!textShown()) Picture1->setPicture(frame);
}

void AllWindow::applyFitMode(bool afterStep) {
    const QImage& picture = Picture1->picture();
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
    Picture1->setPicture(host_.picture());
    applyFitMode(true);
}

} // namespace orbet
