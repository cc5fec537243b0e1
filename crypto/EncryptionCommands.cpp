#include "crypto/EncryptionCommands.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "crypto/AngFormat.h"
#include "crypto/BinAngsDL.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"
#include "platform/ProgramState.h"
#include "platform/Prompter.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(EncryptionCommands)
};
} // namespace

namespace {

bool exists(const QFileInfo& info) {
    return info.exists() || info.isSymLink();
}

} // namespace

EncryptionCommands::EncryptionCommands(Prompter& prompter, ProgramState& state, BinAngsDL& bin,
                                       BusyPointer busy)
    : prompter_(prompter), state_(state), bin_(bin), busy_(std::move(busy)) {}

QString EncryptionCommands::filter() {
    return Texts::tr("KTXパスワード付き暗号化ファイル(*.ang)|*.ang");
}

QString EncryptionCommands::noPasswordMessage() {
    return Texts::tr("パスワードが入力されていないため、暗号化ファイルは作成しませんでした");
}

QString EncryptionCommands::protectStoppedMessage() {
    return QCoreApplication::translate("EncryptionCommands",
                                       "暗号化を中止しました。ファイルは書き込んでいません");
}

QString EncryptionCommands::restoreStoppedMessage() {
    return QCoreApplication::translate("EncryptionCommands",
                                       "復号を中止しました。ファイルは書き込んでいません");
}

QString EncryptionCommands::askPassword() {
    return prompter_.password(Texts::tr("パスワードを入力してください"), state_.title).value_or(QString());
}

// From the password on, until the work's last message: no second long job
// starts meanwhile, and the pointer shows the program busy.
void EncryptionCommands::setWorking(bool working) {
    state_.longWork = working;
    if (busy_) busy_(working);
}

void EncryptionCommands::PasAng() {
    if (state_.longWork) return;
    const QString source = state_.currentFilePath;
    const PathFacts current = pathFacts(source);
    if (!(current.exists || current.isLink) || current.isDir) {
        prompter_.message(Texts::tr("ファイルが指定されていません"), state_.title, Buttons::Ok);
        return;
    }
    // Refused before the dialogs, so nothing is chosen or written in vain.
    if (!current.isRegular) {
        prompter_.message(BinAngsDL::notRegularMessage() + QStringLiteral("\r\n") + displayName(source),
                          state_.title, Buttons::Ok);
        return;
    }
    // The stored name is the readable one: a Shift_JIS name goes back to its
    // own bytes in code page 932.
    const QString name = displayName(source.mid(source.lastIndexOf(QLatin1Char('/')) + 1));
    if (ang::hasControlCharacters(name)) {
        prompter_.message(BinAngsDL::controlNameMessage(), state_.title, Buttons::Ok);
        return;
    }
    FileDialogRequest request;
    request.title = Texts::tr("パスワード付き暗号化（暗号化保存）");
    request.filter = filter();
    if (currentFolder_) request.initialFolder = currentFolder_();
    request.hideReadOnly = true;
    request.confirmOverwrite = false;
    const QString target = prompter_.saveFile(request);
    if (target.isEmpty()) return;
    if (exists(QFileInfo(target))) {
        const Answer a =
            prompter_.message(Texts::tr("同じファイル名が存在します、上書きしますか？"),
                              state_.title + QStringLiteral("-") + target, Buttons::YesNo, Icon::Question);
        if (a != Answer::Yes) return;
    }
    const QString password = askPassword();
    setWorking(true);
    bin_.setTempFilePath(folders::programFolder());
    bin_.setPass(password);
    bin_.setFilename(name);
    bin_.protectFile(source, target, [this](BinAngsDL::Protected result) {
        setWorking(false);
        if (result == BinAngsDL::Protected::NoPassword)
            prompter_.message(noPasswordMessage(), state_.title, Buttons::Ok);
        if (result == BinAngsDL::Protected::Stopped)
            prompter_.message(protectStoppedMessage(), state_.title, Buttons::Ok);
    });
}

void EncryptionCommands::PassHuku() {
    if (state_.longWork) return;
    FileDialogRequest request;
    request.title = Texts::tr("パスワード付き復号（復号後保存）");
    request.filter = filter();
    if (currentFolder_) request.initialFolder = currentFolder_();
    request.hideReadOnly = true;
    const QString chosen = prompter_.openFile(request);
    if (chosen.isEmpty()) return;
    const QFileInfo info(chosen);
    if (!exists(info)) {
        prompter_.message(Texts::tr("ファイルが存在しません"), state_.title, Buttons::Ok);
        return;
    }
    const QString password = askPassword();
    setWorking(true);
    bin_.setTempFilePath(folders::programFolder());
    bin_.setDirectry(folders::join(info.absolutePath(), QString()));
    bin_.setPass(password);
    bin_.restoreFile(chosen, [this](const QString& written) {
        if (bin_.restoreStopped())
            prompter_.message(restoreStoppedMessage(), state_.title, Buttons::Ok);
        else
            prompter_.message(written.isEmpty() ? QStringLiteral("ERROR!")
                                                : Texts::tr("%1に出力完了").arg(written),
                              state_.title, Buttons::Ok);
        setWorking(false);
    });
}

} // namespace orbet
