#include "app/ui/PathInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>

#include "app/ui/MainParts.h"
#include "app/ui/Navigator.h"
#include "navigation/FolderProbe.h"
#include "navigation/TreePaths.h"
#include "navigation/ui/ListControls.h"
#include "platform/NativePath.h"
#include "platform/Prompter.h"
#include "platform/SpecialFolders.h"
#include "platform/Volumes.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PathInput)
};
} // namespace

PathInput::PathInput(MainParts& form) : QObject(&form.window()), f_(form) {
    f_.Combo2->setInsertPolicy(QComboBox::NoInsert);
    connect(f_.Combo2, &QComboBox::activated, this, [this](int i) { Combo2_Go(f_.Combo2->itemText(i)); });
    // Enter is taken before the combo sees it: the combo would otherwise
    // choose the list entry that the go has just put in its text. The keys
    // reach the combo itself (its line edit's focus proxy), which hands them
    // to the line edit directly, past any filter there.
    f_.Combo2->installEventFilter(this);
    // Leaving the box is no choice: the toolkit would take a text that equals
    // an entry as chosen when the box loses the focus, which happens as
    // OpenFolder refills it, and would go back to the folder it showed.
    QObject::disconnect(f_.Combo2->lineEdit(), &QLineEdit::editingFinished, f_.Combo2, nullptr);
}

bool PathInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched != f_.Combo2 || event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    Combo2_Go(f_.Combo2->currentText());
    return true;
}

QString PathInput::messageTitle() const {
    return f_.state().title + QStringLiteral(" - PathDirectInput");
}

void PathInput::Combo2_Go(const QString& text) {
    // A listed path is shown readably; the folder is reached by the path the entry keeps.
    const int listed = f_.Combo2->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    const QVariant kept = listed >= 0 ? f_.Combo2->itemData(listed) : QVariant();
    goTo(kept.isValid() ? kept.toString() : text);
}

void PathInput::openPath(const QString& path) {
    f_.Combo2->setEditText(displayName(path));
    goTo(path);
}

void PathInput::goTo(const QString& typed) {
    const QString t = expandedHome(typed, fromNative(QFile::encodeName(QDir::homePath())));
    if (t == QLatin1String("..")) {
        const QString p = f_.Dir1->path();
        if (PlusEn(volumeRootOf(p)) == PlusEn(p)) return; // a volume root has no parent here
        const QString parent = p.left(p.lastIndexOf(u'/') + 1);
        f_.Dir2->setPath(parent);
        f_.navigator().OpenTreePath(parent);
        return;
    }
    const PathFacts info = pathFacts(t);
    const FolderStatus status = info.isDir ? probeFolder(t) : FolderStatus::Ok;
    if (status == FolderStatus::DeviceNotReady) {
        f_.prompter().message(displayName(t) + Texts::tr("は利用出来ない状況にあります"), messageTitle(),
                              Buttons::Ok);
        return;
    }
    if (info.isDir) {
        f_.Dir2->setPath(t);
        f_.navigator().OpenTreePath(t);
        return;
    }
    if (info.isFile) {
        const QString name = t.mid(t.lastIndexOf(u'/') + 1);
        f_.Dir2->setPath(t.left(t.lastIndexOf(u'/') + 1));
        f_.navigator().OpenTreePath(t);
        f_.File1->finishListing();
        for (int i = 0; i < f_.File1->listCount(); ++i) {
            if (f_.File1->entry(i) != name) continue;
            f_.File1->setListIndex(i);
            return;
        }
        f_.File1->setListIndex(-1);
        return;
    }
    f_.prompter().message(displayName(t) + Texts::tr("は存在しません"), messageTitle(), Buttons::Ok);
}

void PathInput::DirectPathInput() {
    const std::optional<QString> answer = f_.prompter().input(
        Texts::tr("パスを入力してください\r\n例：'C:\\windows\\system\\'"), QStringLiteral("Orbet"));
    if (!answer) return;
    QString path = *answer;
    if (!path.endsWith(u'/')) path += u'/';
    if (path == QLatin1String("/") && answer->isEmpty()) return; // an empty answer is no answer
    if (!pathFacts(path).isDir) {
        f_.prompter().message(Texts::tr("エラー　パスが見つかりません"), f_.state().title, Buttons::Ok);
        return;
    }
    f_.Dir1->setPath(path);
    f_.navigator().OpenTreePath(path);
}

void PathInput::ToWin() {
    f_.Combo2->setEditText(SpecialDir().windows());
    goTo(f_.Combo2->currentText());
}

void PathInput::ToDesk() {
    f_.Combo2->setEditText(SpecialDir().specialDir(SpecialDir::DesktopDirectory));
    goTo(f_.Combo2->currentText());
}

void PathInput::ToMyDoc() {
    f_.navigator().DriveCheck(QStringLiteral("ALL"));
    f_.Combo2->setEditText(SpecialDir().specialDir(SpecialDir::Documents));
    goTo(f_.Combo2->currentText());
}

} // namespace orbet
