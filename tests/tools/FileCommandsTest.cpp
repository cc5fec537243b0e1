#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/ProgramState.h"
#include "platform/ScriptedPrompter.h"
#include "support/TestSupport.h"
#include "support/TmpfsMount.h"
#include "tools/FileCommands.h"

namespace orbet {
namespace {

using Kind = ScriptedPrompter::Kind;

const QString kOverwrite = QStringLiteral(
    "もし同じファイル及びフォルダがあった場合上書きしますか？（はい＝上書き許可 いいえ＝上書きしない　"
    "キャンセル＝処理の取り消し）");
const QString kXCopyPrompt = QStringLiteral(
    "コピー先のパスを入力してください。もし存在しなければそのフォルダを作成することも出来ます");
const QString kWriteError =
    QStringLiteral("エラー ファイルにライトプロテクトがかかっているか、すでにそのファイルは開かれています");

// The commands on a real temporary folder, with a main window that only
// records what it was asked to do.
class FileCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = dir_.filePath(QStringLiteral("work"));
        QDir().mkpath(folder_);
        FileCommandHooks h;
        h.currentFolder = [this] { return folder_; };
        h.listFolder = [this] { return folder_; };
        h.listedFiles = [this] { return listed_; };
        h.copyProtection = [this] { return protection_; };
        h.refreshFileList = [this] { calls_ << QStringLiteral("refreshFileList"); };
        h.refreshFolderList = [this] { calls_ << QStringLiteral("refreshFolderList"); };
        h.openFolder = [this](const QString& p) { calls_ << QStringLiteral("openFolder ") + p; };
        h.openTreePath = [this](const QString& p) { calls_ << QStringLiteral("openTreePath ") + p; };
        commands_ = std::make_unique<FileCommands>(prompter_, state_, std::move(h));
    }
    void TearDown() override { EXPECT_EQ(prompter_.pending(), 0) << "a scripted answer was never asked for"; }

    QString work(const QString& name) const { return QDir(folder_).filePath(name); }
    const ScriptedPrompter::Record& last() const { return prompter_.records().back(); }
    QStringList texts() const {
        QStringList out;
        for (const auto& r : prompter_.records())
            out << r.text;
        return out;
    }

    QTemporaryDir dir_;
    QString folder_;
    QStringList listed_;
    bool protection_ = true;
    QStringList calls_;
    ScriptedPrompter prompter_;
    ProgramState state_;
    std::unique_ptr<FileCommands> commands_;
};

TEST_F(FileCommandsTest, CopyRefusesAWriteProtectedTargetWithItsMessage) {
    test::writeAll(work("a.txt"), "new");
    test::writeAll(work("locked.txt"), "old");
    QFile::setPermissions(work("locked.txt"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    state_.currentFilePath = work("a.txt");
    prompter_.reply(work("locked.txt"));
    commands_->Cop();
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[0].kind, Kind::SaveFile);
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("コピー作成"));
    // The dialog opens in the current folder and asks before a name picked
    // over an existing file replaces it.
    EXPECT_EQ(prompter_.records()[0].dialog.initialFolder, folder_);
    EXPECT_TRUE(prompter_.records()[0].dialog.confirmOverwrite);
    EXPECT_EQ(last().text, kWriteError);
    EXPECT_EQ(last().title, QStringLiteral("Orbet"));
    EXPECT_EQ(test::readAll(work("locked.txt")), QByteArray("old"));

    prompter_.reply(work("copy.txt"));
    commands_->Cop();
    EXPECT_EQ(prompter_.records().size(), 3u); // no message after a good copy
    EXPECT_EQ(test::readAll(work("copy.txt")), QByteArray("new"));
}

TEST_F(FileCommandsTest, DeleteRefreshesTheListOnlyWhenItDeleted) {
    test::writeAll(work("a.txt"), "a");
    state_.currentFilePath = work("a.txt");
    prompter_.answer(Answer::No);
    commands_->del();
    EXPECT_EQ(prompter_.records()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(last().text, QStringLiteral("削除を取り消しました"));
    EXPECT_TRUE(calls_.isEmpty());
    prompter_.answer(Answer::Yes);
    commands_->del();
    EXPECT_EQ(last().text, work("a.txt") + QStringLiteral("を削除しました"));
    EXPECT_FALSE(QFile::exists(work("a.txt")));
    EXPECT_EQ(calls_, (QStringList{"refreshFileList", "openFolder " + folder_}));
}

TEST_F(FileCommandsTest, NewFolderAsksWithAnEmptyDefaultAndRefreshesTheFolders) {
    prompter_.reply(QStringLiteral("new"));
    commands_->makedir();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(last().kind, Kind::Input);
    EXPECT_EQ(last().text, QStringLiteral("新しいフォルダ名を入力してください"));
    EXPECT_EQ(last().title, QStringLiteral("フォルダの作成"));
    EXPECT_TRUE(last().defaultText.isEmpty());
    EXPECT_TRUE(QFileInfo(work("new")).isDir());
    EXPECT_EQ(calls_, QStringList{"refreshFolderList"});
    prompter_.reply(QStringLiteral("new"));
    commands_->makedir();
    EXPECT_EQ(last().text, work("new") + QStringLiteral("はすでに存在しています"));
}

TEST_F(FileCommandsTest, FolderCopyAsksAboutTheFolderItCopiesTo) {
    test::writeAll(work("a.txt"), "a");
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    prompter_.reply(QStringLiteral(" ~/backup"));
    prompter_.answer(Answer::Yes);
    prompter_.answer(Answer::Yes);
    commands_->XCopy();
    qputenv("HOME", savedHome);
    const auto& r = prompter_.records();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].text, kXCopyPrompt);
    EXPECT_EQ(r[0].title, QStringLiteral("Orbet"));
    EXPECT_EQ(r[0].defaultText, folder_);
    EXPECT_EQ(r[1].text, home.path() + QStringLiteral("/backupは存在しません作成しますか？"));
    EXPECT_EQ(r[2].text, kOverwrite);
    EXPECT_EQ(r[2].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(r[3].text, QStringLiteral("コピーしたファイル：1個\r\n　") + home.path() +
                             QStringLiteral("/backup/a.txt"));
    EXPECT_EQ(test::readAll(home.path() + QStringLiteral("/backup/a.txt")), QByteArray("a"));

    // A relative answer is taken from the current folder.
    prompter_.clear();
    prompter_.reply(QStringLiteral("../sibling"));
    prompter_.answer(Answer::Yes);
    prompter_.answer(Answer::No);
    commands_->XCopy();
    EXPECT_EQ(prompter_.records()[1].text,
              dir_.filePath("sibling") + QStringLiteral("は存在しません作成しますか？"));
    EXPECT_TRUE(QFile::exists(dir_.filePath("sibling/a.txt")));
}

TEST_F(FileCommandsTest, FolderCopyIntoItselfIsRefusedBeforeAnyQuestion) {
    test::writeAll(work("a.txt"), "a");
    for (const QString& answer : {folder_, QStringLiteral("inner/deeper"), folder_ + QStringLiteral("/x")}) {
        prompter_.clear();
        prompter_.reply(answer);
        commands_->XCopy();
        ASSERT_EQ(prompter_.records().size(), 2u) << answer.toStdString();
        EXPECT_TRUE(last().text.endsWith(QStringLiteral(
            "\r\nコピー先がコピー元のフォルダと同じか、その中にあります\r\nコピーできませんでした")));
    }
    EXPECT_EQ(QDir(folder_).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"a.txt"});
}

TEST_F(FileCommandsTest, FolderCopyOverwritesOnYesKeepsOnNoAndStopsOnCancel) {
    test::writeAll(work("a.txt"), "fresh");
    test::writeAll(work("b.txt"), "b");
    const QString target = dir_.filePath("target");
    QDir().mkpath(target);
    test::writeAll(target + "/a.txt", "old");
    auto copyWith = [&](Answer a) {
        prompter_.clear();
        prompter_.reply(target);
        prompter_.answer(a);
        commands_->XCopy();
    };
    copyWith(Answer::Cancel);
    EXPECT_EQ(prompter_.records().size(), 2u); // no message after Cancel
    EXPECT_FALSE(QFile::exists(target + "/b.txt"));
    copyWith(Answer::No);
    EXPECT_EQ(test::readAll(target + "/a.txt"), QByteArray("old"));
    EXPECT_EQ(last().text,
              QStringLiteral("コピーしたファイル：1個\r\n　") + target + QStringLiteral("/b.txt\r\n") +
                  QStringLiteral("上書きしなかったファイル：1個\r\n　") + target + QStringLiteral("/a.txt"));
    copyWith(Answer::Yes);
    EXPECT_EQ(test::readAll(target + "/a.txt"), QByteArray("fresh"));

    // Declining a missing folder cancels; the folders made before stay.
    prompter_.clear();
    prompter_.reply(dir_.filePath("x/y"));
    prompter_.answer(Answer::Yes);
    prompter_.answer(Answer::No);
    commands_->XCopy();
    EXPECT_EQ(texts().mid(1),
              (QStringList{dir_.filePath("x") + QStringLiteral("は存在しません作成しますか？"),
                           dir_.filePath("x/y") + QStringLiteral("は存在しません作成しますか？"),
                           QStringLiteral("処理を取り消しました")}));
    EXPECT_TRUE(QFileInfo(dir_.filePath("x")).isDir());
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("x/y")));
}

TEST_F(FileCommandsTest, AFolderCopyReportListsTwentyFilesAndCountsTheRest) {
    for (int i = 0; i < 23; ++i)
        test::writeAll(work(QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0'))), "x");
    const QString target = dir_.filePath("target");
    QDir().mkpath(target);
    prompter_.reply(target);
    prompter_.answer(Answer::Yes);
    commands_->XCopy();
    const QStringList lines = last().text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 1 + 20 + 1);
    EXPECT_EQ(lines.first(), QStringLiteral("コピーしたファイル：23個"));
    EXPECT_EQ(lines.last(), QStringLiteral("　ほか3個"));
    QStringList listed = lines.mid(1, 20);
    listed.removeDuplicates();
    EXPECT_EQ(listed.size(), 20);
    for (const QString& line : listed) {
        EXPECT_TRUE(line.startsWith(QStringLiteral("　") + target + QStringLiteral("/f")))
            << line.toStdString();
        EXPECT_TRUE(QFile::exists(line.mid(1))) << line.toStdString();
    }

    // Twenty exactly: all listed, no tail.
    QDir(target).removeRecursively();
    QDir().mkpath(target);
    for (int i = 20; i < 23; ++i)
        QFile::remove(work(QStringLiteral("f%1.txt").arg(i)));
    prompter_.clear();
    prompter_.reply(target);
    prompter_.answer(Answer::Yes);
    commands_->XCopy();
    EXPECT_EQ(last().text.split(QStringLiteral("\r\n")).size(), 21);
    EXPECT_FALSE(last().text.contains(QStringLiteral("ほか")));
}

TEST_F(FileCommandsTest, FolderDeleteAsksAndKeepsWhatIsMountedBelow) {
    test::writeAll(work("a.txt"), "a");
    prompter_.answer(Answer::No);
    commands_->MoveFolder();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(last().text, folder_ + QStringLiteral("を削除します\r\nよろしいですか？"));
    EXPECT_EQ(last().buttons, Buttons::YesNo);
    EXPECT_TRUE(QFile::exists(work("a.txt")));

    test::TmpfsMount share(work("share"));
    if (!share.valid()) GTEST_SKIP() << share.reason().toStdString();
    test::writeAll(work("share/b.txt"), "b");
    prompter_.answer(Answer::Yes);
    commands_->MoveFolder();
    EXPECT_EQ(
        last().text,
        folder_ +
            QStringLiteral(
                "をすべては削除できませんでした\r\n別のドライブなので削除しなかったフォルダ：1個\r\n　") +
            work("share"));
    EXPECT_FALSE(QFile::exists(work("a.txt")));
    EXPECT_EQ(test::readAll(work("share/b.txt")), QByteArray("b"));
    EXPECT_EQ(calls_, QStringList{"openFolder " + folder_});

    // The mount point itself is a volume root: refused before any question.
    folder_ = work("share");
    commands_->MoveFolder();
    EXPECT_EQ(last().text, folder_ + QStringLiteral("はドライブのルートなので削除できません"));
    EXPECT_EQ(last().buttons, Buttons::Ok);
}

TEST_F(FileCommandsTest, FolderDeleteRefusesTheHomeFolder) {
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(folder_));
    commands_->MoveFolder();
    qputenv("HOME", savedHome);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(last().text, folder_ + QStringLiteral("にはホームフォルダが含まれているため削除できません"));
    EXPECT_TRUE(QFileInfo(folder_).isDir());
}

TEST_F(FileCommandsTest, AFileListThatCannotBeWrittenIsReported) {
    test::writeAll(work("a.mp3"), "a");
    listed_ = {QStringLiteral("a.mp3")};
    prompter_.reply(dir_.filePath("missing/list.m3u"));
    commands_->NowFlistToFL();
    EXPECT_EQ(prompter_.records()[0].dialog.initialFolder, folder_);
    EXPECT_EQ(last().text,
              dir_.filePath("missing/list.m3u") + QStringLiteral("\r\nファイルリストを作成できませんでした"));

    // A writable file in a folder that cannot be written.
    test::TmpfsMount disk(dir_.filePath("ro"));
    if (!disk.valid()) GTEST_SKIP() << disk.reason().toStdString();
    const QString list = dir_.filePath("ro/list.txt");
    test::writeAll(list, "old");
    ASSERT_TRUE(disk.makeReadOnly());
    prompter_.clear();
    prompter_.reply(list);
    commands_->DirFL();
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(last().text, list + QStringLiteral("\r\nファイルリストを作成できませんでした"));
    EXPECT_EQ(test::readAll(list), QByteArray("old"));

    prompter_.clear();
    prompter_.reply(work("ok.m3u"));
    commands_->DirFL();
    EXPECT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(test::readAll(work("ok.m3u")), (work("a.mp3") + QStringLiteral("\r\n")).toUtf8());
}

TEST_F(FileCommandsTest, FileInformationOfAFolderSaysSoThenShowsTheFolder) {
    QDir(folder_).mkdir(QStringLiteral("pics"));
    test::writeAll(work("pics/p.bin"), QByteArray(10, 'p'));
    state_.currentFilePath = folder_;
    commands_->Finfomaintion();
    // The folder's size is summed on a worker; its message follows.
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter_.records().size() >= 2u; }, 10000));
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[0].text, folder_ + QStringLiteral("\r\nフォルダです"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("ファイル情報"));
    EXPECT_TRUE(
        last().text.startsWith(QStringLiteral("　　　フォルダ名：work\r\n　　　　　　パス：") + folder_));
    EXPECT_EQ(last().title, QStringLiteral("Orbet"));

    state_.currentFilePath = work("pics/p.bin");
    commands_->Finfomaintion();
    const QStringList lines = last().text.split(QStringLiteral("\r\n"));
    // The creation line needs a file system that keeps birth times.
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], work("pics/p.bin"));
    EXPECT_EQ(lines[1], QStringLiteral("ファイル"));
    EXPECT_EQ(lines[3], QStringLiteral("Size: 10byte"));
    EXPECT_TRUE(lines[lines.size() - 2].startsWith(QStringLiteral("更新日時　:")));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("アクセス日:")));
}

} // namespace
} // namespace orbet
