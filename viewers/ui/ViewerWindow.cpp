#include "viewers/ui/ViewerWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "platform/Prompter.h"
#include "viewers/ViewerHost.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ViewerWindow)
};
} // namespace

namespace {

QAction* item(QMenu* menu, const char* name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

ViewerWindow::ViewerWindow(ViewerHost& host, Prompter& prompter, ProgramState& state, ViewerKind kind,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host), prompter_(prompter), state_(state), kind_(kind),
      uniform_(defaultUniformSource()) {
    Slide = new QTimer(this);
    Slide->setObjectName(QStringLiteral("Slide"));
    // Each tick is set against the show's own timeline, so a step's time is
    // not added to the interval and the show never drifts.
    Slide->setTimerType(Qt::PreciseTimer);
    Slide->setSingleShot(true);
    connect(Slide, &QTimer::timeout, this, [this] { slideTick(); });

    PPP = new QMenu(this);
    PPP->setObjectName(QStringLiteral("PPP"));
    Slideon = item(PPP, "Slideon", Texts::tr("スライドショー"));
    Slideon->setCheckable(true);
    RndList = item(PPP, "RndList", Texts::tr("ランダム"));
    RndList->setCheckable(true);
    PPP->addSeparator()->setObjectName(QStringLiteral("l1"));
    Back = item(PPP, "Back", Texts::tr("一つ前へ"));
    listnext = item(PPP, "listnext", Texts::tr("次へ"));
    PPP->addSeparator()->setObjectName(QStringLiteral("l2"));
    ExitF = item(PPP, "ExitF", Texts::tr("閉じる(&Q)"));
    // The check marks follow the commands, not the menu's own toggling.
    connect(Slideon, &QAction::triggered, this, [this] {
        Slideon->setChecked(!Slideon->isChecked());
        Slideon_Click();
    });
    connect(Back, &QAction::triggered, this, [this] { Back_Click(); });
    connect(listnext, &QAction::triggered, this, [this] { listnext_Click(); });
    connect(ExitF, &QAction::triggered, this, &QWidget::close);
    setFocusPolicy(Qt::StrongFocus);
}

void ViewerWindow::addChangerItem(QAction* changer) {
    QAction* separator = PPP->insertSeparator(ExitF);
    separator->setObjectName(QStringLiteral("l3"));
    PPP->insertAction(separator, changer);
}

void ViewerWindow::loadCommon() {
    Slide->setInterval(slideInterval(state_.slideShowTimer));
    RndList->setChecked(state_.rnd);
    runKeyDispatcher();
}

bool ViewerWindow::slideshowRunning() const {
    return Slideon->isChecked();
}

void ViewerWindow::slideTick() {
    QPointer<ViewerWindow> alive(this);
    step(true);
    if (!alive || !Slideon->isChecked()) return;
    Slide->start(int(schedule_.afterStep(slideClock_.elapsed())));
}

void ViewerWindow::Slideon_Click() {
    if (textShown()) {
        prompter_.message(Texts::tr("スライドショー非対応です"), state_.title, Buttons::Ok);
        return;
    }
    if (Slideon->isChecked()) {
        Slideon->setChecked(false);
        Slide->stop();
    } else {
        Slideon->setChecked(true);
        slideClock_.start();
        schedule_.start(0, Slide->interval());
        Slide->start(int(schedule_.dueMs()));
    }
}

void ViewerWindow::step(bool forward) {
    // A tick or key arriving while the main window shows the last step waits
    // its turn: one step is kept, and runs as soon as the current one ends.
    if (stepping_) {
        pending_ = forward;
        return;
    }
    stepOnce(forward);
}

void ViewerWindow::stepOnce(bool forward) {
    const int n = host_.listCount();
    const int i = host_.listIndex();
    std::optional<int> target;
    if (RndList->isChecked() && randomApplies())
        target = randomIndex(n, uniform_());
    else
        target = forward ? nextIndex(n, i) : previousIndex(n, i);
    if (target) showEntry(*target);
}

void ViewerWindow::showEntry(int index) {
    stepping_ = true;
    QPointer<ViewerWindow> alive(this);
    host_.selectEntry(index);
    if (!alive) return;
    // The main window may still be decoding; the copy waits for its show,
    // and the window answers meanwhile.
    host_.whenShown([this, alive] {
        if (!alive) return;
        stepping_ = false;
        copyFromMain();
        if (!alive || !pending_) return;
        const bool direction = *pending_;
        pending_.reset();
        stepOnce(direction);
    });
}

void ViewerWindow::stepToEnd(bool last) {
    const int n = host_.listCount();
    if (n == 0 || stepping_) return;
    showEntry(last ? n - 1 : 0);
}

void ViewerWindow::runKeyDispatcher() {
    // The key just pressed is in the table already; a key still waiting in
    // the queue dispatches for itself when it arrives, so nothing needs to
    // run ahead of this one.
    const ViewerAction action = keys_.dispatch(kind_);
    switch (action) {
    case ViewerAction::Next:
        step(true);
        break;
    case ViewerAction::Previous:
        step(false);
        break;
    case ViewerAction::First:
    case ViewerAction::Last:
        stepToEnd(action == ViewerAction::Last);
        break;
    case ViewerAction::Slideshow:
        Slideon_Click();
        break;
    case ViewerAction::ZoomIn:
    case ViewerAction::ZoomOut:
    case ViewerAction::ZoomFit:
    case ViewerAction::ZoomNatural:
        zoomKey(action);
        break;
    case ViewerAction::DirectoryChanger:
        openDirectoryChanger();
        break;
    case ViewerAction::Close:
        close();
        break;
    case ViewerAction::None:
        break;
    }
}

void ViewerWindow::keyDown(int toolkitKey) {
    if (!keys_.press(windowsKeyCode(toolkitKey))) return;
    runKeyDispatcher();
}

void ViewerWindow::keyUp(int toolkitKey) {
    keys_.release(windowsKeyCode(toolkitKey));
}

void ViewerWindow::watch(QWidget* child) {
    child->installEventFilter(this);
}

bool ViewerWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = windowsKeyCode(key->key());
        if (code < 0) return false;
        keyDown(key->key());
        // The viewer's own keys stop here; others still scroll the bars and the text.
        return ViewerKeyState::isViewerKey(code);
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) keyUp(key->key());
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            PPP->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
        return false;
    case QEvent::ContextMenu:
        return true; // the pop-up comes on the release
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void ViewerWindow::keyPressEvent(QKeyEvent* event) {
    keyDown(event->key());
}

void ViewerWindow::keyReleaseEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) keyUp(event->key());
}

void ViewerWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) PPP->popup(event->globalPosition().toPoint());
}

} // namespace orbet
