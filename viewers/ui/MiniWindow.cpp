#include "viewers/ui/MiniWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTextEdit>
#include <QTimer>
#include <QWindow>

#include "platform/NativePath.h"
#include "platform/Twips.h"
#include "viewers/ViewerHost.h"
#include "viewers/ViewerRules.h"
#include "viewers/ui/ImageView.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(MiniWindow)
};
} // namespace

MiniWindow::MiniWindow(ViewerHost& host, Prompter& prompter, ProgramState& state, QWidget* parent)
    : ViewerWindow(host, prompter, state, ViewerKind::Minimum, parent) {
    setObjectName(QStringLiteral("MiniWindow"));
    setAutoFillBackground(true);
    resize(twips::toPixels(4800), twips::toPixels(3600));
    Picture1 = new ImageView(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setStretch(false);
    RT = new QTextEdit(this);
    RT->setObjectName(QStringLiteral("RT"));
    RT->setReadOnly(true);
    RT->hide();
    mind = new QAction(Texts::tr("ミニディレクトリチェンジャー"), this);
    mind->setObjectName(QStringLiteral("mind"));
    addChangerItem(mind);
    connect(mind, &QAction::triggered, this, [this] { openDirectoryChanger(); });
    for (QWidget* w : {static_cast<QWidget*>(Picture1), static_cast<QWidget*>(RT), RT->viewport()})
        watch(w);
}

void MiniWindow::load(const QRect& screen) {
    show();
    screen_ = screen;
    placeAtCorner();
    // The window manager draws the frame after the window is shown, and may
    // place it around the window rather than where asked: once the window is
    // on the screen with its frame, it is placed again. The watch ends after
    // a while, so a window the user moves stays where put.
    if (QWindow* window = windowHandle()) {
        window->installEventFilter(this);
        QTimer::singleShot(kPlacingMs, this, [this] {
            if (windowHandle()) windowHandle()->removeEventFilter(this);
        });
    }
    copyFromMain();
    loadCommon();
}

void MiniWindow::placeAtCorner() {
    // The outer frame sits on the bottom edge of the screen. The widget's
    // record of its frame may lag behind the window manager's; the native
    // window asks.
    QWindow* window = windowHandle();
    const int height = window ? window->frameGeometry().height() : frameGeometry().height();
    const QPoint corner(screen_.left(), screen_.top() + screen_.height() - height);
    if (window)
        window->setFramePosition(corner);
    else
        move(corner);
}

bool MiniWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        const QRect frame = windowHandle()->frameGeometry();
        if (frame.left() != screen_.left() || frame.bottom() != screen_.bottom()) placeAtCorner();
        return false;
    }
    return ViewerWindow::eventFilter(watched, event);
}

void MiniWindow::stretchCopy() {
    // A plain stretched copy: the picture is distorted when the window's
    // shape differs from it, and is not redrawn until the next copy.
    Picture1->setPicture(picture_.isNull() || width() <= 0 || height() <= 0
                             ? QImage()
                             : picture_.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    Picture1->move(0, 0);
}

void MiniWindow::copyFromMain() {
    // Texts are shown too: the window follows whatever the main window shows.
    if (host_.showsText()) {
        picture_ = QImage();
        Picture1->setPicture(QImage());
        RT->setGeometry(rect());
        RT->setPlainText(host_.text());
        RT->show();
    } else {
        RT->hide();
        RT->clear();
        picture_ = host_.picture();
        stretchCopy();
    }
    setWindowTitle(Texts::tr("ミニマムウィンドウ - ") + displayName(host_.currentFilePath()));
}

bool MiniWindow::textShown() const {
    return RT->isVisible();
}

void MiniWindow::openDirectoryChanger() {
    if (openChanger) openChanger();
}

void MiniWindow::resizeEvent(QResizeEvent* event) {
    ViewerWindow::resizeEvent(event);
    RT->setGeometry(rect());
    if (!state_.minWindowSize || resizing_) return;
    const QSize shaped = ratioResize(size(), picture_.size(), state_.minWindowSizeType);
    if (shaped != size() && shaped.width() > 0 && shaped.height() > 0) {
        resizing_ = true;
        resize(shaped);
        resizing_ = false;
    }
    RT->setGeometry(rect());
    if (RT->isHidden()) stretchCopy();
}

void MiniWindow::closeEvent(QCloseEvent* event) {
    Slide->stop();
    Picture1->move(0, 0);
    RT->setGeometry(rect());
    if (closeChanger) closeChanger();
    if (!state_.resident && showMainWindow) showMainWindow();
    event->accept();
}

} // namespace orbet
