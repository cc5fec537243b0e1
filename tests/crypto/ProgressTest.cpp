#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "crypto/BinAngsDL.h"
#include "crypto/EncryptionCommands.h"
#include "platform/ProgramState.h"
#include "platform/ScriptedPrompter.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

constexpr qint64 kMiB = 1 << 20;

// Protection and restoring of a file of a few chunks, stopped by the user.
class CryptoProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        content_.resize(5 * kMiB + 123);
        for (qsizetype i = 0; i < content_.size(); ++i)
            content_[i] = char(i * 7 % 251);
        ASSERT_TRUE(writeAll(path("doc.bin"), content_));
        state_.currentFilePath = path("doc.bin");
        bin_.setTitleName(state_.title); // as the window gives it
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QStringList names() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    void protect(const QString& target, bool targetExists) {
        prompter_.reply(target);
        if (targetExists) prompter_.answer(Answer::Yes);
        prompter_.reply(QStringLiteral("鍵"));
        commands_.PasAng();
    }

    QTemporaryDir dir_;
    QByteArray content_;
    ScriptedPrompter prompter_;
    ProgramState state_;
    BinAngsDL bin_{prompter_};
    EncryptionCommands commands_{prompter_, state_, bin_};
};

TEST_F(CryptoProgressTest, ProtectShowsTheBytesReadAndAStopWritesNothing) {
    protect(path("doc.ang"), false);
    ASSERT_EQ(prompter_.progresses().size(), 1u);
    const auto& whole = prompter_.progresses()[0];
    EXPECT_EQ(whole.title, QStringLiteral("Orbet"));
    EXPECT_EQ(whole.text, QStringLiteral("doc.binを暗号化しています"));
    EXPECT_EQ(whole.total, content_.size());
    EXPECT_EQ(whole.steps.back(), content_.size());
    // The rename comes after the last byte, said as past stopping.
    EXPECT_EQ(whole.committedAfter, int(whole.steps.size()));
    EXPECT_EQ(whole.ends, 1);
    const QByteArray protectedBytes = readAll(path("doc.ang"));
    // Header, password and name lines, the content as digit pairs, the end.
    ASSERT_EQ(protectedBytes.size(), 3 + 4 + 9 + 2 * content_.size() + 2);

    // Stopped over an older protected file: that file stays as it was, and
    // no new file is left beside it.
    ASSERT_TRUE(writeAll(path("old.ang"), "older"));
    prompter_.stopProgressAt(4);
    protect(path("old.ang"), true);
    const auto& stopped = prompter_.progresses()[1];
    EXPECT_EQ(stopped.stoppedAt, 4);
    EXPECT_EQ(stopped.steps.back(), 2 * kMiB);
    EXPECT_EQ(stopped.committedAfter, -1);
    EXPECT_EQ(stopped.ends, 1);
    EXPECT_EQ(readAll(path("old.ang")), QByteArray("older"));
    EXPECT_EQ(names(), (QStringList{"doc.ang", "doc.bin", "old.ang"}));
    EXPECT_EQ(prompter_.records().back().text, EncryptionCommands::protectStoppedMessage());
    EXPECT_FALSE(state_.longWork);
}

TEST_F(CryptoProgressTest, RestoreStoppedKeepsTheOldFile) {
    protect(path("doc.ang"), false);
    ASSERT_TRUE(writeAll(path("doc.bin"), "the old one"));
    prompter_.clear();
    prompter_.reply(path("doc.ang"));
    prompter_.reply(QStringLiteral("鍵"));
    prompter_.answer(Answer::Yes); // over doc.bin
    prompter_.stopProgressAt(2);
    commands_.PassHuku();
    ASSERT_EQ(prompter_.progresses().size(), 1u);
    EXPECT_EQ(prompter_.progresses()[0].text, QStringLiteral("doc.binを復号しています"));
    EXPECT_EQ(prompter_.progresses()[0].total, QFileInfo(path("doc.ang")).size());
    EXPECT_EQ(prompter_.progresses()[0].stoppedAt, 2);
    EXPECT_EQ(prompter_.progresses()[0].committedAfter, -1);
    EXPECT_EQ(readAll(path("doc.bin")), QByteArray("the old one"));
    EXPECT_EQ(names(), (QStringList{"doc.ang", "doc.bin"}));
    EXPECT_EQ(prompter_.records().back().text, EncryptionCommands::restoreStoppedMessage());
    EXPECT_TRUE(bin_.restoreStopped());

    // Not stopped, the same restore writes the whole file.
    prompter_.reply(path("doc.ang"));
    prompter_.reply(QStringLiteral("鍵"));
    prompter_.answer(Answer::Yes);
    commands_.PassHuku();
    EXPECT_FALSE(bin_.restoreStopped());
    const auto& restored = prompter_.progresses().back();
    EXPECT_EQ(restored.committedAfter, int(restored.steps.size()));
    EXPECT_EQ(readAll(path("doc.bin")), content_);
    EXPECT_EQ(prompter_.records().back().text, path("doc.bin") + QStringLiteral("に出力完了"));
}

TEST_F(CryptoProgressTest, NoProtectionStartsDuringOtherLongWork) {
    // A protection whose work has started and not yet ended.
    prompter_.holdLongWork(true);
    protect(path("doc.ang"), false);
    const std::size_t asked = prompter_.records().size();
    EXPECT_TRUE(state_.longWork);
    commands_.PasAng();
    commands_.PassHuku();
    EXPECT_EQ(prompter_.records().size(), asked);
    EXPECT_FALSE(QFileInfo::exists(path("doc.ang")));

    ASSERT_TRUE(prompter_.runHeldWork());
    EXPECT_FALSE(state_.longWork);
    EXPECT_EQ(readAll(path("doc.ang")).size(), 3 + 4 + 9 + 2 * content_.size() + 2);
}

} // namespace
} // namespace orbet::test
