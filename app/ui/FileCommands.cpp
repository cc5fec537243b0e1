#include "app/ui/FileCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/ui/Form1.h"
#include "app/ui/Navigator.h"
#include "navigation/TreePaths.h"
#include "navigation/ui/ListControls.h"
#include "platform/Prompter.h"
#include "platform/ProgramFolders.h"
#include "platform/Volumes.h"
#include "tools/FileOperations.h"

namespace orbet {

namespace {

bool haveCurrentFile(Form1& f) {
    const QFileInfo current(f.state().currentFilePath);
    if (current.exists() && !current.isDir()) return true;
    f.prompter().message(QStringLiteral("ファイルが指定されていません"), f.state().title, Buttons::Ok);
    return false;
}

void say(Form1& f, const QString& text) { f.prompter().message(text, f.state().title, Buttons::Ok); }

}  // namespace

void Cop(Form1& f) {
    if (!haveCurrentFile(f)) return;
    const QString source = f.state().currentFilePath;
    if (f.isChecked("InBaNotD") && isCopyProtected(source)) {
        say(f, QStringLiteral("そのファイルはコピー禁止になっています"));
        return;
    }
    FileDialogRequest request;
    request.title = QStringLiteral("コピー作成");
    request.hideReadOnly = true;
    request.confirmOverwrite = false;
    const QString target = f.prompter().saveFile(request);
    if (target.isEmpty()) {
        say(f, QStringLiteral("キャンセルしました"));
        return;
    }
    if (target == source) {
        say(f, QStringLiteral("コピー元とファイル名が同じです\r\nコピーできませんでした"));
        return;
    }
    if (!copyFileReplacing(source, target))
        say(f, QStringLiteral("エラー ファイルにライトプロテクトがかかっているか、すでにそのファイルは開かれています"));
}

void del(Form1& f) {
    if (!haveCurrentFile(f)) return;
    const QString path = f.state().currentFilePath;
    const Answer a = f.prompter().message(path + QStringLiteral("を削除します\r\nよろしいですか？"), f.state().title,
                                          Buttons::YesNo, Icon::Question);
    if (a != Answer::Yes) {
        say(f, QStringLiteral("削除を取り消しました"));
        return;
    }
    if (!QFile::remove(path)) {
        say(f, path + QStringLiteral("を削除できませんでした"));
        return;
    }
    say(f, path + QStringLiteral("を削除しました"));
    f.File1->refresh();
    f.navigator().OpenFolder(f.Dir1->path());
}

void makedir(Form1& f) {
    const std::optional<QString> name =
        f.prompter().input(QStringLiteral("新しいフォルダ名を入力してください"), QStringLiteral("フォルダの作成"));
    if (!name || name->isEmpty()) return;
    const QString path = folders::join(f.Dir1->path(), *name);
    if (QFileInfo::exists(path)) {
        say(f, path + QStringLiteral("はすでに存在しています"));
        return;
    }
    if (name->contains(u'/') || !QDir().mkdir(path)) {
        say(f, path + QStringLiteral("を作成できませんでした"));
        return;
    }
    f.Dir1->setPath(f.Dir1->path());
}

void XCopy(Form1& f) {
    const QString source = f.Dir1->path();
    const std::optional<QString> answer = f.prompter().input(
        QStringLiteral("コピー先のパスを入力してください。もし存在しなければそのフォルダを作成することも出来ます"),
        f.state().title, source);
    if (!answer || answer->trimmed().isEmpty()) return;
    const QString destination = QDir::cleanPath(*answer);
    for (const QString& folder : missingFolders(destination)) {
        const Answer a = f.prompter().message(folder + QStringLiteral("は存在しません作成しますか？"), f.state().title,
                                              Buttons::YesNo, Icon::Question);
        if (a != Answer::Yes) {
            say(f, QStringLiteral("処理を取り消しました"));
            return;
        }
        if (!QDir().mkdir(folder)) {
            say(f, folder + QStringLiteral("を作成できませんでした"));
            return;
        }
    }
    const Answer how = f.prompter().message(
        QStringLiteral("もし同じファイル及びフォルダがあった場合上書きしますか？（はい＝上書き許可 いいえ＝上書きしない　"
                       "キャンセル＝処理の取り消し）"),
        f.state().title, Buttons::YesNoCancel, Icon::Question);
    if (how == Answer::Cancel) return;
    QString error;
    if (!copyFolderTree(source, destination, how == Answer::Yes, &error))
        say(f, source + QStringLiteral("をコピーできませんでした\r\n") + error);
}

void MoveFolder(Form1& f) {
    const QString folder = f.Dir1->path();
    // Deleting a whole tree cannot be undone, so it is confirmed first.
    const Answer a = f.prompter().message(folder + QStringLiteral("を削除します\r\nよろしいですか？"), f.state().title,
                                          Buttons::YesNo, Icon::Warning);
    if (a != Answer::Yes) return;
    QString error;
    if (!removeFolderTree(folder, &error)) {
        say(f, folder + QStringLiteral("を削除できませんでした\r\n") + error);
        return;
    }
    f.navigator().OpenTreePath(QFileInfo(folder).absolutePath());
}

}  // namespace orbet
