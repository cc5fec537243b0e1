#include "app/ui/Commands.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "app/ui/ExternalPrograms.h"
#include "app/ui/MainParts.h"
#include "app/ui/Navigator.h"
#include "app/ui/PathInput.h"
#include "app/ui/ShowDispatch.h"
#include "app/ui/Startup.h"
#include "app/ui/Toolbar.h"
#include "navigation/ui/ListControls.h"
#include "platform/NativePath.h"
#include "platform/Prompter.h"
#include "platform/Shell.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Commands)
};
} // namespace

Commands::Commands(MainParts& form) : QObject(&form.window()), f_(form) {}

bool Commands::toolbarWorks(ToolButton b) const {
    switch (b) {
    case ToolButton::Pic1:
    case ToolButton::dxinput:
    case ToolButton::copy:
    case ToolButton::del:
    case ToolButton::web:
    case ToolButton::direx:
    case ToolButton::opencom:
    case ToolButton::exp:
    case ToolButton::n:
    case ToolButton::allwin:
    case ToolButton::help:
        return true;
    default:
        return false;
    }
}

void Commands::toolbarClick(ToolButton b) {
    switch (b) {
    case ToolButton::Pic1:
        orbet::Pic1(f_);
        break;
    case ToolButton::dxinput:
        f_.pathInput().DirectPathInput();
        break;
    case ToolButton::copy:
        f_.action(Command::Cop)->trigger();
        break;
    case ToolButton::web:
        f_.action(Command::MiniWebGo)->trigger();
        break;
    case ToolButton::direx:
        f_.action(Command::Fmoju)->trigger();
        break;
    case ToolButton::del:
        f_.action(Command::del)->trigger();
        break;
    case ToolButton::opencom:
        Openfile();
        break;
    case ToolButton::exp:
        Expl();
        break;
    case ToolButton::n:
        ExpNow();
        break;
    case ToolButton::help:
        IHelp();
        break;
    case ToolButton::allwin:
        f_.action(Command::ZenBit)->trigger();
        break;
    default:
        break;
    }
}

void Commands::Openfile() {
    ProgramState& s = f_.state();
    s.listClickSuppressed = true;
    FileDialogRequest request;
    request.title = Texts::tr("開く");
    request.filter = f_.Combo1->currentText() + u'|' + f_.File1->pattern();
    request.initialFolder = f_.Dir1->path();
    request.hideReadOnly = true;
    const QString chosen = f_.prompter().openFile(request);
    if (chosen.isEmpty()) {
        s.listClickSuppressed = false;
        return;
    }
    s.currentFilePath = chosen;
    const QString title = nativeFileName(chosen);
    f_.navigator().OpenTreePath(chosen.left(chosen.size() - title.size()));
    f_.File1->finishListing();
    for (int i = 0; i < f_.File1->listCount(); ++i) {
        if (f_.File1->entry(i).toUpper() != title.toUpper()) continue;
        f_.File1->setListIndex(i);
        s.listClickSuppressed = false;
        f_.display().File1_Click();
        break;
    }
    s.listClickSuppressed = false;
}

void Commands::OPPR() {
    const QString path = f_.state().currentFilePath;
    // After a filter that lists nothing the current path is the folder (or empty).
    const QFileInfo current(path);
    if (path.isEmpty() || !current.exists() || current.isDir()) {
        f_.prompter().message(Texts::tr("ファイルが指定されていません"), f_.state().title, Buttons::Ok);
        return;
    }
    const Answer a = f_.prompter().message(
        displayName(path) + Texts::tr("を、関連づけされているプログラムで開きます。よろしいですか？"),
        f_.state().title, Buttons::YesNo, Icon::Question);
    if (a == Answer::Yes) openWithDesktop(path);
}

void Commands::Expl() {
    openFolderWithDesktop(QString());
}

void Commands::ExpNow() {
    openFolderWithDesktop(f_.Dir1->path());
}

void Commands::IHelp() {
    showHelp(f_);
}

void Commands::dropped(const QMimeData* data) {
    ProgramState& s = f_.state();
    QStringList files;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) files.append(pathFromFileUrl(url));
    if (files.isEmpty()) {
        f_.prompter().message(QStringLiteral("OLE Command Error"), s.title, Buttons::Ok);
        s.showEnabled = true;
        return;
    }
    if (files.size() > 1)
        f_.prompter().message(
            Texts::tr("複数のファイルが読まれましたが%1だけを有効とします").arg(files.first()), s.title,
            Buttons::Ok);
    s.showEnabled = false;
    f_.startup().ComB(files.first());
    s.showEnabled = true;
}

void Commands::acceptDrops(QWidget* target) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

void Commands::ignoreDrops(QWidget* target) {
    target->setAcceptDrops(true);
    ignoring_ = target;
    target->installEventFilter(this);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(target)) area->viewport()->installEventFilter(this);
}

bool Commands::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const bool ignore =
        watched == ignoring_ || (ignoring_ && qobject_cast<QAbstractScrollArea*>(ignoring_) &&
                                 watched == static_cast<QAbstractScrollArea*>(ignoring_)->viewport());
    drop->acceptProposedAction();
    if (type == QEvent::Drop && !ignore) dropped(drop->mimeData());
    return true;
}

} // namespace orbet
