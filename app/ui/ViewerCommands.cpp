#include "app/ui/ViewerCommands.h"

#include <exception>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QTextEdit>

#include "app/core/ShowController.h"
#include "app/ui/MainParts.h"
#include "app/ui/Navigator.h"
#include "app/ui/PaneZoom.h"
#include "app/ui/Panes.h"
#include "display/FileKinds.h"
#include "display/JpegTiles.h"
#include "display/PictureLoader.h"
#include "display/ReadAhead.h"
#include "display/ReadLimits.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/Form3.h"
#include "navigation/ui/ListControls.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"
#include "platform/Prompter.h"
#include "viewers/ViewerRules.h"
#include "viewers/ui/AllWindow.h"
#include "viewers/ui/MiniWindow.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ViewerCommands)
};
} // namespace

ViewerCommands::ViewerCommands(MainParts& form) : QObject(&form.window()), f_(form) {
    setObjectName(QStringLiteral("ViewerCommands"));
    wire();
    paneZoom_ = new PaneZoom(f_);
}

// The main window's panes are gone before its children: nothing to undo there.
ViewerCommands::~ViewerCommands() = default;

void ViewerCommands::wire() {
    connect(f_.action(Command::ZenBit), &QAction::triggered, this, [this] { ZenBit(); });
    for (Command c : {Command::minwindow, Command::minws})
        connect(f_.action(c), &QAction::triggered, this, [this] { minwindow(); });
    connect(f_.action(Command::NomSizeSet), &QAction::triggered, this, [this] { NomSizeSet(); });
    // The two fit-mode marks exclude each other; unchecking leaves neither.
    connect(f_.action(Command::SetAutoPD), &QAction::triggered, this, [this](bool on) {
        if (on) f_.setChecked(Command::ZenHi, false);
    });
    connect(f_.action(Command::ZenHi), &QAction::triggered, this, [this](bool on) {
        if (on) f_.setChecked(Command::SetAutoPD, false);
    });
    connect(f_.MP, &PictureBox::pictureChanged, this, [this] { pictureShown(); });
    // An animation in the pane plays in the full-screen window too.
    connect(f_.MP, &PictureBox::frameShown, this, [this] {
        if (all_ && all_->isVisible()) all_->showFrame(f_.MP->picture());
    });
}

ReadAhead& ViewerCommands::readAhead() {
    return f_.shows().readAhead();
}

void ViewerCommands::pictureShown() {
    const QString folder = f_.File1->path();
    f_.shows().readAhead().shown(folder, f_.File1->listIndex(), f_.File1->listCount(), [this, folder](int i) {
        const QString name = f_.File1->entry(i);
        // Only what the built-in loader takes, and metafiles are drawings:
        // they stay on the window's thread.
        if (!IsBuiltInPictureName(name) || name.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive))
            return QString();
        return folders::join(folder, name);
    });
}

QRect ViewerCommands::screenRect() const {
    const QScreen* screen = f_.window().screen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

void ViewerCommands::say(const QString& text) {
    f_.prompter().message(text, f_.state().title, Buttons::Ok);
}

void ViewerCommands::ZenBit() {
    if (all_) all_->close();
    try {
        const QRect screen = screenRect();
        auto fitMode = [this] {
            return fitModeFor(f_.isChecked(Command::SetAutoPD), f_.isChecked(Command::ZenHi));
        };
        if (!f_.BP->isHidden()) {
            QPointer<AllWindow> w = new AllWindow(*this, f_.prompter(), f_.state(), fitMode, &f_.window());
            w->setAttribute(Qt::WA_DeleteOnClose);
            w->load(screen);
            if (!w) return;
            if (f_.MP->isEmpty()) {
                delete w.data();
                say(Texts::tr("ピクチャがありません"));
                return;
            }
            all_ = w;
            allHasBeenActive_ = false;
            allWatched_ = w.data();
            w->installEventFilter(this);
            w->showFullScreen();
            // A photo shown by tiles goes as its tiles: the full-screen
            // window decodes it at the scale it shows.
            const std::shared_ptr<JpegTiles> tiles = f_.MP->tiles();
            w->openPicture(tiles ? QImage() : f_.MP->picture(), f_.MP->palette().color(QPalette::Window),
                           tiles);
        } else if (!f_.RT->isHidden()) {
            QPointer<AllWindow> w = new AllWindow(*this, f_.prompter(), f_.state(), fitMode, &f_.window());
            w->setAttribute(Qt::WA_DeleteOnClose);
            w->load(screen);
            if (!w) return;
            const TextOpening opened = w->openText(f_.state().currentFilePath);
            if (opened == TextOpening::Unreadable) {
                // Vanished since it was shown, or no longer readable.
                delete w.data();
                say(Texts::tr("予期せぬｴﾗｰが発生しました。"));
                return;
            }
            all_ = w;
            allHasBeenActive_ = false;
            allWatched_ = w.data();
            w->installEventFilter(this);
            w->showFullScreen();
            if (opened == TextOpening::Cut)
                f_.prompter().message(textCutMessage(), f_.state().title, Buttons::Ok, Icon::Information);
            if (!all_) return;
        } else {
            say(Texts::tr("全画面表示に対応していません"));
            return;
        }
        all_->raise();
        all_->activateWindow();
    } catch (const std::exception&) {
        if (all_) all_->close();
        say(Texts::tr("予期せぬｴﾗｰが発生しました。"));
    }
}

void ViewerCommands::mainWindowActivated() {
    if (all_ && all_->isVisible() && allHasBeenActive_) all_->close();
}

bool ViewerCommands::eventFilter(QObject* watched, QEvent* event) {
    // Compared as a plain object: the window may be on its way out, where a
    // guarded pointer's cast to the full-screen window no longer holds.
    if (event->type() == QEvent::WindowActivate && watched == allWatched_) allHasBeenActive_ = true;
    return QObject::eventFilter(watched, event);
}

void ViewerCommands::minwindow() {
    if (!mini_) {
        mini_ = new MiniWindow(*this, f_.prompter(), f_.state(), &f_.window());
        mini_->setAttribute(Qt::WA_DeleteOnClose);
        mini_->openChanger = [this] { openChanger(); };
        mini_->closeChanger = [this] {
            // Closed with its minimum window, without its own closing steps.
            if (!form3_) return;
            Form3* w = form3_;
            form3_ = nullptr;
            w->hide();
            w->deleteLater();
        };
        mini_->showMainWindow = [this] { f_.window().show(); };
        mini_->load(screenRect());
    } else {
        mini_->show();
        mini_->raise();
        mini_->copyFromMain();
    }
    if (f_.state().minWindowOnMainWindow) f_.window().hide();
}

void ViewerCommands::openChanger() {
    if (!form3_) {
        Form3::Hooks hooks;
        hooks.pathEntries = [this] {
            // The path combo shows readable paths and keeps the held ones as item data.
            QList<Form3::PathEntry> entries;
            for (int i = 0; i < f_.Combo2->count(); ++i) {
                const QVariant kept = f_.Combo2->itemData(i);
                entries.append(
                    {f_.Combo2->itemText(i), kept.isValid() ? kept.toString() : f_.Combo2->itemText(i)});
            }
            return entries;
        };
        hooks.fileEntries = [this] {
            QStringList entries;
            for (int i = 0; i < f_.File1->listCount(); ++i)
                entries << displayName(f_.File1->entry(i));
            return entries;
        };
        hooks.currentFolder = [this] { return f_.Dir1->path(); };
        hooks.setPathText = [this](const QString& t) { f_.Combo2->setEditText(t); };
        hooks.openTreePath = [this](const QString& p) { f_.navigator().OpenTreePath(p); };
        hooks.selectFile = [this](int i) { f_.File1->setListIndex(i); };
        hooks.fileShown = [this] {
            if (mini_) mini_->copyFromMain();
        };
        hooks.closed = [this] {
            if (!mini_) return;
            // Back in front: the changer's window was above the main window.
            mini_->show();
            mini_->raise();
            mini_->activateWindow();
        };
        hooks.programTitle = f_.state().title;
        form3_ = new Form3(f_.prompter(), std::move(hooks), &f_.window());
        form3_->setAttribute(Qt::WA_DeleteOnClose);
    }
    form3_->show();
    form3_->raise();
}

void ViewerCommands::NomSizeSet() {
    ProgramState& s = f_.state();
    const TextSizeAnswer a =
        judgeTextSize(f_.prompter().input(textSizePrompt(s.strSize), s.title, textSizeDefault(s.strSize)));
    if (a.verdict == TextSizeVerdict::Accept) s.strSize = a.size;
    if (a.verdict == TextSizeVerdict::Refuse)
        f_.prompter().message(Texts::tr("4より大きい数を入力してください"), s.title, Buttons::Ok);
}

AllWindow* ViewerCommands::allWindow() const {
    return all_;
}

MiniWindow* ViewerCommands::miniWindow() const {
    return mini_;
}

Form3* ViewerCommands::changer() const {
    return form3_;
}

int ViewerCommands::listCount() const {
    return f_.File1->listCount();
}

int ViewerCommands::listIndex() const {
    return f_.File1->listIndex();
}

void ViewerCommands::selectEntry(int index) {
    f_.File1->setListIndex(index);
}

void ViewerCommands::whenShown(std::function<void()> then) {
    f_.shows().whenSettled(std::move(then));
}

QImage ViewerCommands::picture() const {
    return f_.MP->picture();
}

std::shared_ptr<JpegTiles> ViewerCommands::tiles() const {
    return f_.MP->tiles();
}

bool ViewerCommands::showsText() const {
    return !f_.RT->isHidden();
}

QString ViewerCommands::text() const {
    return f_.RT->toPlainText();
}

QString ViewerCommands::currentFilePath() const {
    return f_.state().currentFilePath;
}

} // namespace orbet
