#include "tools/FileCommands.h"

#include <thread>

#include <QCoreApplication>

#include "platform/Mailbox.h"

#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"
#include "platform/ProgramState.h"
#include "platform/Progress.h"
#include "platform/Prompter.h"
#include "tools/FileListExport.h"
#include "tools/FileOperations.h"
#include "tools/InformationTexts.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FileCommands)
};
} // namespace

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// A heading with its count, then at most a screenful of the paths.
QString section(const QString& heading, const QStringList& paths) {
    constexpr int kShown = 20;
    QString out = Texts::tr("%1%2個").arg(heading, QString::number(paths.size()));
    for (int i = 0; i < paths.size() && i < kShown; ++i)
        out += kLineBreak + Texts::tr("　%1").arg(displayName(paths[i]));
    if (paths.size() > kShown) out += kLineBreak + Texts::tr("　ほか%1個").arg(paths.size() - kShown);
    return out;
}

// A tree walked file by file: each file is named as it is reached, and a
// stop comes before the next one.
class FileSteps {
  public:
    FileSteps(Progress& progress, const QString& title, const QString& text, qint64 total)
        : run_(progress, title, text.arg(0).arg(total).arg(QString()), total), text_(text), total_(total) {}
    bool operator()(const QString& path) {
        ++done_;
        return run_.advance(done_ - 1, text_.arg(done_).arg(total_).arg(displayName(path)));
    }
    void finish() { run_.finish(); }

  private:
    ProgressRun run_;
    QString text_;
    qint64 total_;
    qint64 done_ = 0;
};

QString megabytes(qint64 bytes) {
    return QString::number(bytes / (1000 * 1000));
}

QString treeCopyText(const TreeCopyReport& r) {
    QStringList parts{section(Texts::tr("コピーしたファイル："), r.copied)};
    if (!r.kept.isEmpty()) parts << section(Texts::tr("上書きしなかったファイル："), r.kept);
    if (!r.failed.isEmpty()) parts << section(Texts::tr("コピーできなかったファイル："), r.failed);
    return parts.join(kLineBreak);
}

} // namespace

FileCommands::FileCommands(Prompter& prompter, ProgramState& state, FileCommandHooks hooks)
    : prompter_(prompter), state_(state), hooks_(std::move(hooks)), receiver_(std::make_unique<QObject>()),
      mailbox_(Mailbox::to(receiver_.get())) {
    setFolderSizer({});
}

FileCommands::~FileCommands() {
    mailbox_->close();
    if (!summing_) return;
    *summing_ = true;
    if (hooks_.busy) hooks_.busy(false);
}

void FileCommands::setFolderSizer(FolderSizer sizer) {
    sizer_ = sizer ? std::move(sizer) : [](const QString& folder, const std::atomic<bool>& cancel) {
        return folderTreeSize(folder, &cancel);
    };
}

void FileCommands::say(const QString& text) {
    prompter_.message(text, state_.title, Buttons::Ok);
}

bool FileCommands::haveCurrentFile() {
    // A pipe, socket or device is no file to copy or inspect: a copy of one
    // would block or never end.
    const PathFacts current = pathFacts(state_.currentFilePath);
    if (current.exists && current.isRegular) return true;
    say(Texts::tr("ファイルが指定されていません"));
    return false;
}

void FileCommands::Cop() {
    if (state_.longWork || !haveCurrentFile()) return;
    const QString source = state_.currentFilePath;
    if (hooks_.copyProtection() && isCopyProtected(source)) {
        say(Texts::tr("そのファイルはコピー禁止になっています"));
        return;
    }
    FileDialogRequest request;
    request.title = Texts::tr("コピー作成");
    request.initialFolder = hooks_.currentFolder();
    request.hideReadOnly = true;
    // A name picked over an existing file replaces it only when the user
    // says so; No returns to the dialog.
    request.confirmOverwrite = true;
    const QString target = prompter_.saveFile(request);
    if (target.isEmpty()) {
        say(Texts::tr("キャンセルしました"));
        return;
    }
    if (target == source) {
        say(Texts::tr("コピー元とファイル名が同じです\r\nコピーできませんでした"));
        return;
    }
    // The copy is renamed over the target, which needs only the folder's
    // permission; a write-protected target is refused here instead.
    const QString failed =
        Texts::tr("エラー ファイルにライトプロテクトがかかっているか、すでにそのファイルは開かれています");
    if (isWriteProtected(target)) return say(failed);
    const qint64 size = pathFacts(source).size;
    if (size < kLargeCopy) {
        if (!copyFileReplacing(source, target)) say(failed);
        return;
    }
    struct Copying {
        bool copied = false;
        bool stopped = false;
    };
    auto job = std::make_shared<Copying>();
    const QString name = displayName(nativeFileName(source));
    state_.longWork = true;
    prompter_.runLongWork(
        [job, source, target, size, name](Progress& progress) {
            const QString text = Texts::tr("%1をコピーしています（%2 / %3 MB）");
            ProgressRun run(progress, Texts::tr("コピー作成"), text.arg(name, megabytes(0), megabytes(size)),
                            size);
            job->copied = copyFileReplacing(source, target, nullptr, [&](qint64 done) {
                const bool goOn = run.advance(done, text.arg(name, megabytes(done), megabytes(size)));
                // Every byte is in: what follows is the rename over the target.
                if (goOn && done >= size) run.committing();
                return goOn;
            });
            job->stopped = run.stopped();
        },
        [this, job, target, failed] {
            state_.longWork = false;
            if (job->stopped)
                say(Texts::tr("%1のコピーを中止しました。コピー先には何も書き込んでいません")
                        .arg(displayName(target)));
            else if (!job->copied)
                say(failed);
        });
}

void FileCommands::del() {
    if (!haveCurrentFile()) return;
    const QString path = state_.currentFilePath;
    const Answer a = prompter_.message(displayName(path) + Texts::tr("を削除します\r\nよろしいですか？"),
                                       state_.title, Buttons::YesNo, Icon::Question);
    if (a != Answer::Yes) {
        say(Texts::tr("削除を取り消しました"));
        return;
    }
    if (!removeNativeFile(path)) {
        say(displayName(path) + Texts::tr("を削除できませんでした"));
        return;
    }
    say(displayName(path) + Texts::tr("を削除しました"));
    hooks_.refreshFileList();
    hooks_.openFolder(hooks_.currentFolder());
}

void FileCommands::makedir() {
    const std::optional<QString> name =
        prompter_.input(Texts::tr("新しいフォルダ名を入力してください"), Texts::tr("フォルダの作成"));
    if (!name || name->isEmpty()) return;
    const QString path = folders::join(hooks_.currentFolder(), *name);
    if (pathFacts(path).exists) {
        say(displayName(path) + Texts::tr("はすでに存在しています"));
        return;
    }
    if (name->contains(u'/') || !makeNativeFolder(path)) {
        say(displayName(path) + Texts::tr("を作成できませんでした"));
        return;
    }
    hooks_.refreshFolderList();
}

void FileCommands::XCopy() {
    if (state_.longWork) return;
    const QString source = hooks_.currentFolder();
    const std::optional<QString> answer = prompter_.input(
        Texts::tr("コピー先のパスを入力してください。もし存在しなければそのフォルダを作成することも出来ます"),
        state_.title, source);
    if (!answer) return;
    // Asked about and copied to are one and the same absolute folder.
    const QString destination = resolveDestination(*answer, source);
    if (destination.isEmpty()) return;
    // Refused before any question, so nothing is ever created inside the source.
    if (isSameOrInside(treeCopyTarget(source, destination), source)) {
        say(displayName(destination) +
            Texts::tr(
                "\r\nコピー先がコピー元のフォルダと同じか、その中にあります\r\nコピーできませんでした"));
        return;
    }
    for (const QString& folder : missingFolders(destination)) {
        const Answer a = prompter_.message(displayName(folder) + Texts::tr("は存在しません作成しますか？"),
                                           state_.title, Buttons::YesNo, Icon::Question);
        if (a != Answer::Yes) {
            say(Texts::tr("処理を取り消しました"));
            return;
        }
        if (!makeNativeFolder(folder)) {
            say(displayName(folder) + Texts::tr("を作成できませんでした"));
            return;
        }
    }
    const Answer how = prompter_.message(Texts::tr("もし同じファイル及びフォルダがあった場合上書きしますか？"
                                                   "（はい＝上書き許可 いいえ＝上書きしない　"
                                                   "キャンセル＝処理の取り消し）"),
                                         state_.title, Buttons::YesNoCancel, Icon::Question);
    if (how == Answer::Cancel) return;
    struct Copying {
        qint64 total = 0;
        TreeCopyReport report;
    };
    auto job = std::make_shared<Copying>();
    state_.longWork = true;
    prompter_.runLongWork(
        [job, source, destination, replace = how == Answer::Yes](Progress& progress) {
            job->total = countTreeFiles(source);
            FileSteps steps(progress, Texts::tr("フォルダのコピー"),
                            Texts::tr("ファイルをコピーしています（%1 / %2 個）\n%3"), job->total);
            job->report = copyFolderTree(source, destination, replace, std::ref(steps));
        },
        [this, job] {
            state_.longWork = false;
            const TreeCopyReport& report = job->report;
            QString said = treeCopyText(report);
            if (report.stopped)
                said = Texts::tr("%1 個のファイルのうち %2 個まで進んだところで中止しました")
                           .arg(job->total)
                           .arg(report.done()) +
                       kLineBreak + said;
            prompter_.message(said, state_.title, Buttons::Ok,
                              report.failed.isEmpty() ? Icon::Information : Icon::Warning);
        });
}

void FileCommands::MoveFolder() {
    if (state_.longWork) return;
    const QString folder = hooks_.currentFolder();
    switch (removeRefusal(folder)) {
    case RemoveRefusal::VolumeRoot:
        say(displayName(folder) + Texts::tr("はドライブのルートなので削除できません"));
        return;
    case RemoveRefusal::Home:
        say(displayName(folder) + Texts::tr("にはホームフォルダが含まれているため削除できません"));
        return;
    case RemoveRefusal::None:
        break;
    }
    // Deleting a whole tree cannot be undone, so it is confirmed first.
    const Answer a = prompter_.message(displayName(folder) + Texts::tr("を削除します\r\nよろしいですか？"),
                                       state_.title, Buttons::YesNo, Icon::Warning);
    if (a != Answer::Yes) return;
    struct Removing {
        TreeRemoveReport report;
        qint64 left = 0; // files still there after a stop
    };
    auto job = std::make_shared<Removing>();
    state_.longWork = true;
    prompter_.runLongWork(
        [job, folder](Progress& progress) {
            const qint64 total = countTreeFiles(folder);
            FileSteps steps(progress, Texts::tr("フォルダの削除"),
                            Texts::tr("ファイルを削除しています（%1 / %2 個）\n%3"), total);
            job->report = removeFolderTree(folder, {}, std::ref(steps));
            if (job->report.stopped) job->left = countTreeFiles(folder);
        },
        [this, job, folder] {
            state_.longWork = false;
            folderRemoved(folder, job->report, job->left);
        });
}

void FileCommands::folderRemoved(const QString& folder, const TreeRemoveReport& report, qint64 left) {
    if (report.removed()) {
        const QString clean = absoluteCleanPath(folder);
        hooks_.openTreePath(clean.left(qMax<qsizetype>(clean.lastIndexOf(u'/'), 1)));
        return;
    }
    QStringList parts;
    if (!report.mounts.isEmpty())
        parts << section(Texts::tr("別のドライブなので削除しなかったフォルダ："), report.mounts);
    if (!report.failed.isEmpty()) parts << section(Texts::tr("削除できなかったもの："), report.failed);
    if (report.stopped)
        parts.prepend(
            Texts::tr("%1の削除を中止しました。削除したファイル：%2個、残っているファイル：%3個")
                .arg(displayName(folder), QString::number(report.removedFiles), QString::number(left)));
    else
        parts.prepend(displayName(folder) + Texts::tr("をすべては削除できませんでした"));
    say(parts.join(kLineBreak));
    hooks_.openFolder(folder);
}

QString FileCommands::askListFile() {
    FileDialogRequest request;
    request.initialFolder = hooks_.currentFolder();
    request.filter = Texts::tr("テキストファイル(*.txt)|*.txt|オーディオリスト(*.m3u)|*.m3u");
    request.confirmOverwrite = false;
    return prompter_.saveFile(request);
}

void FileCommands::writeList(const QString& target, const QString& folder,
                             std::function<QStringList()> names) {
    struct Writing {
        bool written = false;
        bool stopped = false;
    };
    auto job = std::make_shared<Writing>();
    state_.longWork = true;
    prompter_.runLongWork(
        [job, target, folder, names = std::move(names)](Progress& progress) {
            const QStringList listed = names();
            const QString text = Texts::tr("ファイルリストを作成しています（%1 / %2 個）");
            const qint64 total = listed.size();
            ProgressRun run(progress, Texts::tr("ファイルリストの作成"), text.arg(0).arg(total), total);
            job->written = writeFileList(target, folder, listed, nullptr, [&](qint64 done) {
                const bool goOn = run.advance(done, text.arg(done).arg(total));
                if (goOn && done >= total) run.committing();
                return goOn;
            });
            job->stopped = run.stopped();
        },
        [this, job, target] {
            state_.longWork = false;
            if (job->stopped)
                say(Texts::tr("ファイルリストの作成を中止しました。%1には何も書き込んでいません")
                        .arg(displayName(target)));
            else if (!job->written)
                say(displayName(target) + Texts::tr("\r\nファイルリストを作成できませんでした"));
        });
}

void FileCommands::DirFL() {
    if (state_.longWork) return;
    const QString target = askListFile();
    if (target.isEmpty()) return;
    const QString folder = hooks_.listFolder();
    // The folder is read on the worker too: a large or slow one takes time.
    writeList(target, folder, [folder] { return everyFileOf(folder); });
}

void FileCommands::NowFlistToFL() {
    if (state_.longWork) return;
    const QString target = askListFile();
    if (target.isEmpty()) return;
    writeList(target, hooks_.listFolder(), [names = hooks_.listedFiles()] { return names; });
}

void FileCommands::Finfomaintion() {
    const QString title = Texts::tr("ファイル情報");
    const QString path = state_.currentFilePath;
    const PathFacts info = pathFacts(path);
    if (!info.exists) {
        prompter_.message(QStringLiteral("no file"), title, Buttons::Ok);
        return;
    }
    if (info.isDir) {
        prompter_.message(displayName(path) + Texts::tr("\r\nフォルダです"), title, Buttons::Ok);
        FoInfo();
        return;
    }
    prompter_.message(fileInformationText(fileFacts(path)), title, Buttons::Ok);
}

void FileCommands::FoInfo() {
    if (summing_) return; // the sum under way answers first
    FolderFacts facts = folderFacts(hooks_.currentFolder(), false);
    if (facts.name.isEmpty()) {
        DriveInfo();
        return;
    }
    // The window goes on repainting and answering while the worker sums.
    auto stop = std::make_shared<std::atomic<bool>>(false);
    summing_ = stop;
    if (hooks_.busy) hooks_.busy(true);
    std::thread([this, facts, stop, sizer = sizer_, mailbox = mailbox_]() mutable {
        facts.totalSize = sizer(facts.path, *stop);
        mailbox->post([this, facts, stop] {
            if (summing_ != stop) return;
            summing_.reset();
            if (hooks_.busy) hooks_.busy(false);
            say(folderInformationText(facts));
        });
    }).detach();
}

void FileCommands::DriveInfo() {
    say(driveInformationText(driveFacts(hooks_.currentFolder())));
}

} // namespace orbet
