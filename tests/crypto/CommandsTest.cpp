#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "crypto/BinAngsDL.h"
#include "crypto/EncryptionCommands.h"
#include "platform/ProgramState.h"
#include "platform/ScriptedPrompter.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

using Kind = ScriptedPrompter::Kind;

class CommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir_.path()).mkdir("other"));
        writeAll(path("doc.txt"), "document");
        state_.currentFilePath = path("doc.txt");
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    const ScriptedPrompter::Record& record(std::size_t i) const { return prompter_.records().at(i); }
    void expectBusyOnceAroundTheWork() {
        EXPECT_EQ(busy_, (std::vector<bool>{true, false}));
        busy_.clear();
    }

    QTemporaryDir dir_;
    ScriptedPrompter prompter_;
    ProgramState state_;
    BinAngsDL bin_{prompter_};
    std::vector<bool> busy_;
    EncryptionCommands commands_{prompter_, state_, bin_, [this](bool b) { busy_.push_back(b); }};
};

TEST_F(CommandsTest, ProtectThenRestoreElsewhere) {
    prompter_.reply(path("other/doc")); // no extension is added
    prompter_.reply(QStringLiteral("鍵"));
    commands_.PasAng();
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(record(0).kind, Kind::SaveFile);
    EXPECT_EQ(record(0).dialog.title, QStringLiteral("パスワード付き暗号化（暗号化保存）"));
    EXPECT_EQ(record(0).dialog.filter, QStringLiteral("KTXパスワード付き暗号化ファイル(*.ang)|*.ang"));
    EXPECT_TRUE(record(0).dialog.hideReadOnly);
    EXPECT_EQ(record(1).kind, Kind::Input);
    EXPECT_TRUE(record(1).masked);
    EXPECT_EQ(record(1).text, QStringLiteral("パスワードを入力してください"));
    EXPECT_EQ(record(1).title, QStringLiteral("Orbet"));
    expectBusyOnceAroundTheWork();
    EXPECT_EQ(QFileInfo(path("other/doc")).size(), 2 + 7 + 16 + 9);

    prompter_.clear();
    prompter_.reply(path("other/doc"));
    prompter_.reply(QStringLiteral("鍵"));
    commands_.PassHuku();
    ASSERT_EQ(prompter_.records().size(), 3u);
    EXPECT_EQ(record(0).kind, Kind::OpenFile);
    EXPECT_EQ(record(0).dialog.title, QStringLiteral("パスワード付き復号（復号後保存）"));
    EXPECT_EQ(record(0).dialog.filter, EncryptionCommands::filter());
    EXPECT_EQ(record(2).text, path("other/doc.txt") + QStringLiteral("に出力完了"));
    EXPECT_EQ(record(2).title, QStringLiteral("Orbet"));
    EXPECT_TRUE(record(1).masked);
    EXPECT_EQ(readAll(path("other/doc.txt")), QByteArray("document"));
    expectBusyOnceAroundTheWork();
}

TEST_F(CommandsTest, FilesThatCannotBeProtectedAndRestoredAreRefusedBeforeTheDialogs) {
    // A name holding a line break would split the record's name line.
    for (const char* name : {"two\nlines.txt", "cr\r.txt", "tab\t.txt"}) {
        SCOPED_TRACE(name);
        writeAll(path(name), "content");
        state_.currentFilePath = path(name);
        prompter_.clear();
        prompter_.reply(path("x.ang")); // were the dialog shown
        prompter_.reply("pw");
        commands_.PasAng();
        ASSERT_EQ(prompter_.records().size(), 1u);
        EXPECT_EQ(record(0).text,
                  QStringLiteral("ファイル名に改行などの制御文字が含まれているため、暗号化できません"));
        EXPECT_EQ(record(0).title, QStringLiteral("Orbet"));
        EXPECT_FALSE(QFile::exists(path("x.ang")));
        EXPECT_TRUE(busy_.empty());
    }
    // Blanks and other printable characters are taken as they are.
    writeAll(path("a name.txt"), "spaced");
    state_.currentFilePath = path("a name.txt");
    prompter_.clear();
    prompter_.reply(path("spaced.ang"));
    prompter_.reply("pw");
    commands_.PasAng();
    EXPECT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(plainRecord(readAll(path("spaced.ang"))), QByteArray("pw\r\na name.txt\r\n737061636564\r\n"));
    busy_.clear();

    // A pipe would hold the command for ever on its first read.
    ASSERT_EQ(::mkfifo(path("pipe").toLocal8Bit().constData(), 0600), 0);
    state_.currentFilePath = path("pipe");
    prompter_.clear();
    commands_.PasAng();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(record(0).text,
              QStringLiteral("通常のファイルではないため、暗号化できません\r\n") + path("pipe"));
    // And a library caller that skips the command's checks meets the same refusals.
    bin_.setPass("pw");
    bin_.setFilename("a\nb");
    EXPECT_EQ(bin_.ProtectFile(path("doc.txt"), path("y.ang")), BinAngsDL::Protected::Failed);
    EXPECT_EQ(prompter_.records().back().text, BinAngsDL::controlNameMessage() + "\r\na\nb");
    bin_.setFilename("pipe");
    EXPECT_EQ(bin_.ProtectFile(path("pipe"), path("y.ang")), BinAngsDL::Protected::Failed);
    EXPECT_EQ(prompter_.records().back().text, BinAngsDL::notRegularMessage() + "\r\n" + path("pipe"));
    EXPECT_FALSE(QFile::exists(path("y.ang")));
}

TEST_F(CommandsTest, RefusalsAndFailuresWriteNothing) {
    state_.currentFilePath = dir_.path(); // a folder
    commands_.PasAng();
    EXPECT_EQ(record(0).text, QStringLiteral("ファイルが指定されていません"));

    // A password left empty: nothing written, and the user is told why.
    state_.currentFilePath = path("doc.txt");
    prompter_.clear();
    prompter_.reply(path("x.ang"));
    prompter_.reply(QString());
    commands_.PasAng();
    EXPECT_EQ(prompter_.records().back().text, EncryptionCommands::noPasswordMessage());
    EXPECT_EQ(prompter_.records().back().text,
              QStringLiteral("パスワードが入力されていないため、暗号化ファイルは作成しませんでした"));
    EXPECT_FALSE(QFile::exists(path("x.ang")));
    expectBusyOnceAroundTheWork();

    // Declining to replace an existing target.
    writeAll(path("x.ang"), "keep");
    prompter_.clear();
    prompter_.reply(path("x.ang"));
    prompter_.answer(Answer::No);
    commands_.PasAng();
    EXPECT_EQ(record(1).text, QStringLiteral("同じファイル名が存在します、上書きしますか？"));
    EXPECT_EQ(record(1).title, QStringLiteral("Orbet-") + path("x.ang"));
    EXPECT_EQ(readAll(path("x.ang")), QByteArray("keep"));
    EXPECT_TRUE(busy_.empty());

    prompter_.clear();
    prompter_.reply(path("missing.ang"));
    commands_.PassHuku();
    EXPECT_EQ(record(1).text, QStringLiteral("ファイルが存在しません"));

    // Not a protected file, then a wrong password: "ERROR!" after the reason.
    prompter_.clear();
    prompter_.reply(path("x.ang"));
    prompter_.reply("pw");
    commands_.PassHuku();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("ERROR!"));
    EXPECT_EQ(prompter_.records().size(), 3u);
}

TEST_F(CommandsTest, ProtectingAFileOntoItselfReplacesIt) {
    prompter_.reply(path("doc.txt"));
    prompter_.answer(Answer::Yes);
    prompter_.reply("pw");
    commands_.PasAng();
    EXPECT_EQ(QFileInfo(path("doc.txt")).size(), 2 + 7 + 16 + 9);
    prompter_.clear();
    prompter_.reply(path("doc.txt"));
    prompter_.reply("wrong");
    commands_.PassHuku();
    EXPECT_EQ(record(2).text, QStringLiteral("パスワードが違います"));
    EXPECT_EQ(record(3).text, QStringLiteral("ERROR!"));
    // Restoring over the protected file itself asks first.
    prompter_.clear();
    prompter_.reply(path("doc.txt"));
    prompter_.reply("pw");
    prompter_.answer(Answer::Yes);
    commands_.PassHuku();
    EXPECT_EQ(record(2).title, QStringLiteral("KTXAngsDLL-") + path("doc.txt"));
    EXPECT_EQ(readAll(path("doc.txt")), QByteArray("document"));
}

} // namespace
} // namespace orbet::test
