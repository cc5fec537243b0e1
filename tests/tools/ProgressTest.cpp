#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/ProgramState.h"
#include "platform/ScriptedPrompter.h"
#include "support/TestSupport.h"
#include "tools/FileCommands.h"
#include "tools/FileOperations.h"

namespace orbet {
namespace {

// Long file commands under a progress the test stops where it chooses.
class ProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = dir_.filePath(QStringLiteral("work %2")); // a name that looks like a place holder
        QDir().mkpath(folder_);
        FileCommandHooks h;
        h.currentFolder = [this] { return folder_; };
        h.listFolder = [this] { return folder_; };
        h.listedFiles = [this] { return QStringList(); };
        h.copyProtection = [] { return false; };
        h.refreshFileList = [] {};
        h.refreshFolderList = [] {};
        h.openFolder = [this](const QString& p) { calls_ << QStringLiteral("openFolder ") + p; };
        h.openTreePath = [this](const QString& p) { calls_ << QStringLiteral("openTreePath ") + p; };
        commands_ = std::make_unique<FileCommands>(prompter_, state_, std::move(h));
    }
    void TearDown() override { EXPECT_EQ(prompter_.pending(), 0) << "a scripted answer was never asked for"; }

    QString work(const QString& name) const { return QDir(folder_).filePath(name); }
    QString lastText() const { return prompter_.records().back().text; }
    // Every file below a folder by its path relative to it, with its bytes.
    static std::map<QString, QByteArray> filesBelow(const QString& root) {
        std::map<QString, QByteArray> out;
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString p = it.next();
            out[QDir(root).relativeFilePath(p)] = test::readAll(p);
        }
        return out;
    }
    // Files of distinct lengths and contents, half of them in a subfolder.
    void makeFiles(int count) {
        QDir().mkpath(work("sub"));
        for (int i = 0; i < count; ++i) {
            const QString name =
                QStringLiteral("%1f%2.dat").arg(i % 2 ? QStringLiteral("sub/") : QString()).arg(i);
            ASSERT_TRUE(test::writeAll(work(name), QByteArray::number(i).repeated(1 + i % 7)));
        }
    }

    QTemporaryDir dir_;
    QString folder_;
    QStringList calls_;
    ScriptedPrompter prompter_;
    ProgramState state_;
    std::unique_ptr<FileCommands> commands_;
};

TEST_F(ProgressTest, FolderCopyStoppedMidwayLeavesOnlyWholeCopies) {
    makeFiles(2000);
    const QString target = dir_.filePath(QStringLiteral("copy"));
    QDir().mkpath(target);
    prompter_.reply(target);
    prompter_.answer(Answer::Yes);
    prompter_.stopProgressAt(701);
    commands_->XCopy();

    ASSERT_EQ(prompter_.progresses().size(), 1u);
    const auto& p = prompter_.progresses()[0];
    EXPECT_EQ(p.title, QStringLiteral("フォルダのコピー"));
    EXPECT_EQ(p.total, 2000);
    EXPECT_EQ(p.stoppedAt, 701);
    EXPECT_EQ(p.ends, 1);
    ASSERT_EQ(p.steps.size(), 701u);
    for (std::size_t i = 0; i < p.steps.size(); ++i)
        ASSERT_EQ(p.steps[i], qint64(i));
    EXPECT_TRUE(
        p.texts[700].startsWith(QStringLiteral("ファイルをコピーしています（701 / 2000 個）\n") + target));

    // Exactly the 700 files done, each equal to its source: nothing half
    // written, no new file left beside them.
    const auto copied = filesBelow(target);
    const auto sources = filesBelow(folder_);
    EXPECT_EQ(copied.size(), 700u);
    for (const auto& [name, bytes] : copied) {
        ASSERT_TRUE(sources.count(name)) << name.toStdString();
        EXPECT_EQ(bytes, sources.at(name)) << name.toStdString();
    }
    QDirIterator all(target, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                     QDirIterator::Subdirectories);
    int entries = 0;
    while (all.hasNext()) {
        const QString p = all.next();
        EXPECT_TRUE(p.endsWith(QLatin1String(".dat")) || p == target + QStringLiteral("/sub"))
            << p.toStdString();
        ++entries;
    }
    EXPECT_LE(entries, 701);
    const QStringList lines = lastText().split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines[0], QStringLiteral("2000 個のファイルのうち 700 個まで進んだところで中止しました"));
    EXPECT_EQ(lines[1], QStringLiteral("コピーしたファイル：700個"));
    EXPECT_FALSE(state_.longWork);
}

TEST_F(ProgressTest, FolderCopyRunToTheEndCountsEveryFile) {
    makeFiles(12);
    ASSERT_TRUE(QFile::link(work("f0.dat"), work("link")));
    const QString target = dir_.filePath(QStringLiteral("copy"));
    QDir().mkpath(target);
    prompter_.reply(target);
    prompter_.answer(Answer::Yes);
    commands_->XCopy();
    ASSERT_EQ(prompter_.progresses().size(), 1u);
    const auto& p = prompter_.progresses()[0];
    EXPECT_EQ(p.total, 13); // the link counts, the subfolder does not
    EXPECT_EQ(p.steps.size(), 13u);
    EXPECT_EQ(p.stoppedAt, 0);
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("コピーしたファイル：13個")));
    EXPECT_EQ(filesBelow(target), filesBelow(folder_));
}

TEST_F(ProgressTest, FolderDeleteStopsBetweenFiles) {
    makeFiles(50);
    const auto before = filesBelow(folder_);
    prompter_.answer(Answer::Yes);
    prompter_.stopProgressAt(21);
    commands_->MoveFolder();
    ASSERT_EQ(prompter_.progresses().size(), 1u);
    EXPECT_EQ(prompter_.progresses()[0].title, QStringLiteral("フォルダの削除"));
    EXPECT_EQ(prompter_.progresses()[0].total, 50);
    EXPECT_TRUE(prompter_.progresses()[0].texts[20].startsWith(
        QStringLiteral("ファイルを削除しています（21 / 50 個）\n")));

    // What remains is whole: every file still there has its bytes.
    const auto after = filesBelow(folder_);
    EXPECT_EQ(after.size(), 30u);
    for (const auto& [name, bytes] : after)
        EXPECT_EQ(bytes, before.at(name)) << name.toStdString();
    EXPECT_EQ(lastText(),
              folder_ +
                  QStringLiteral("の削除を中止しました。削除したファイル：20個、残っているファイル：30個"));
    EXPECT_EQ(calls_, QStringList{"openFolder " + folder_});

    // Asked again and left alone, it goes to the end.
    prompter_.answer(Answer::Yes);
    commands_->MoveFolder();
    EXPECT_FALSE(QFileInfo::exists(folder_));
    EXPECT_EQ(prompter_.progresses()[1].steps.size(), 30u);
}

TEST_F(ProgressTest, LargeFileCopyShowsBytesAndStoppingLeavesTheOldTarget) {
    const QString big = work("big.bin");
    const qint64 size = FileCommands::kLargeCopy + 1;
    {
        const int fd = ::open(QFile::encodeName(big).constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, size), 0); // sparse: quick to make and to read
        ::close(fd);
    }
    ASSERT_TRUE(test::writeAll(work("old.bin"), "old"));
    state_.currentFilePath = big;
    prompter_.reply(work("old.bin"));
    prompter_.stopProgressAt(3);
    commands_->Cop();
    ASSERT_EQ(prompter_.progresses().size(), 1u);
    const auto& p = prompter_.progresses()[0];
    EXPECT_EQ(p.title, QStringLiteral("コピー作成"));
    EXPECT_EQ(p.total, size);
    EXPECT_EQ(p.steps, (std::vector<qint64>{65536, 131072, 196608}));
    EXPECT_EQ(p.text, QStringLiteral("big.binをコピーしています（0 / 100 MB）"));
    EXPECT_EQ(lastText(),
              work("old.bin") + QStringLiteral("のコピーを中止しました。コピー先には何も書き込んでいません"));
    EXPECT_EQ(test::readAll(work("old.bin")), QByteArray("old"));
    EXPECT_EQ(QDir(folder_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"big.bin", "old.bin"}));

    // Just under the size, a copy shows no progress.
    ASSERT_TRUE(QFile::resize(big, FileCommands::kLargeCopy - 1));
    prompter_.reply(work("copy.bin"));
    commands_->Cop();
    EXPECT_EQ(prompter_.progresses().size(), 1u);
    EXPECT_EQ(QFileInfo(work("copy.bin")).size(), FileCommands::kLargeCopy - 1);
}

TEST_F(ProgressTest, FileListOfALargeFolderShowsProgressAndStopsWithoutWriting) {
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(test::writeAll(work(QStringLiteral("n%1").arg(i)), {}));
    const QString list = dir_.filePath(QStringLiteral("list.txt"));
    prompter_.reply(list);
    commands_->DirFL();
    ASSERT_EQ(prompter_.progresses().size(), 1u);
    EXPECT_EQ(prompter_.progresses()[0].title, QStringLiteral("ファイルリストの作成"));
    EXPECT_EQ(prompter_.progresses()[0].total, 3000);
    EXPECT_EQ(prompter_.progresses()[0].steps, (std::vector<qint64>{1024, 2048, 3000}));
    EXPECT_EQ(prompter_.progresses()[0].texts.back(),
              QStringLiteral("ファイルリストを作成しています（3000 / 3000 個）"));
    EXPECT_EQ(prompter_.progresses()[0].committedAfter, 3);
    EXPECT_EQ(test::readAll(list).count("\r\n"), 3000);

    ASSERT_TRUE(test::writeAll(list, "kept"));
    prompter_.reply(list);
    prompter_.stopProgressAt(2);
    commands_->DirFL();
    EXPECT_EQ(test::readAll(list), QByteArray("kept"));
    EXPECT_EQ(lastText(),
              QStringLiteral("ファイルリストの作成を中止しました。%1には何も書き込んでいません").arg(list));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"list.txt"});
}

TEST_F(ProgressTest, NoSecondLongCommandStartsWhileOneRuns) {
    makeFiles(2);
    // A folder copy whose work has started and not yet ended.
    prompter_.holdLongWork(true);
    prompter_.reply(dir_.filePath(QStringLiteral("copy")));
    prompter_.answer(Answer::Yes); // make the folder
    prompter_.answer(Answer::Yes); // replace what is there
    commands_->XCopy();
    const std::size_t asked = prompter_.records().size();
    EXPECT_TRUE(state_.longWork);
    commands_->XCopy();
    commands_->MoveFolder();
    commands_->DirFL();
    commands_->NowFlistToFL();
    state_.currentFilePath = work("f0.dat");
    commands_->Cop();
    EXPECT_EQ(prompter_.records().size(), asked);
    EXPECT_EQ(filesBelow(folder_).size(), 2u);
    EXPECT_TRUE(filesBelow(dir_.filePath(QStringLiteral("copy"))).empty());

    // Its report comes when the work ends, and then the commands run again.
    ASSERT_TRUE(prompter_.runHeldWork());
    EXPECT_FALSE(state_.longWork);
    EXPECT_EQ(prompter_.records().size(), asked + 1);
    EXPECT_EQ(filesBelow(dir_.filePath(QStringLiteral("copy"))), filesBelow(folder_));
    prompter_.holdLongWork(false);
    prompter_.reply(work("list.txt"));
    commands_->NowFlistToFL();
    EXPECT_TRUE(QFileInfo::exists(work("list.txt")));
}

} // namespace
} // namespace orbet
