#include <cerrno>
#include <cstring>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "CryptoTestSupport.h"
#include "crypto/AngText.h"
#include "crypto/BinAngsDL.h"
#include "platform/NativePath.h"
#include "platform/ScriptedPrompter.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class RestoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bin_.setTitleName("Orbet");
        ASSERT_TRUE(QDir(dir_.path()).mkdir("out"));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    // Protects content stored under name with password into out/<name>.ang.
    QString protect(const QByteArray& content, const QString& name, const QString& password) {
        writeAll(path(name), content);
        bin_.setPass(password);
        bin_.setFilename(name);
        const QString target = path("out/" + name + ".ang");
        EXPECT_EQ(bin_.ProtectFile(path(name), target), BinAngsDL::Protected::Written);
        return target;
    }
    QString restore(const QString& file, const QString& password) {
        bin_.setPass(password);
        bin_.setDirectry(QFileInfo(file).absolutePath());
        return bin_.RestoreFile(file);
    }
    QStringList filesIn(const QString& folder) const {
        return QDir(path(folder)).entryList(QDir::Files | QDir::Hidden);
    }
    QString lastText() const {
        return prompter_.records().empty() ? QString() : prompter_.records().back().text;
    }

    QTemporaryDir dir_;
    ScriptedPrompter prompter_;
    BinAngsDL bin_{prompter_};
};

TEST_F(RestoreTest, RestoresIntoTheProtectedFilesFolder) {
    QByteArray content;
    for (int i = 0; i < 3 * (1 << 20) + 5; ++i)
        content.append(char(i * 31 + (i >> 9)));
    const QString file = protect(content, "big.bin", "pass");
    EXPECT_EQ(QFileInfo(file).size(), 4 + 7 + 2 * content.size() + 9);
    EXPECT_EQ(restore(file, "pass"), path("out/big.bin"));
    EXPECT_EQ(readAll(path("out/big.bin")), content);
    EXPECT_EQ(bin_.Directry(), path("out") + "/");

    // Empty files work both ways: an empty third line, an empty output.
    const QString empty = protect({}, "empty", "p");
    EXPECT_EQ(plainRecord(readAll(empty)), QByteArray("p\r\nempty\r\n\r\n"));
    EXPECT_EQ(restore(empty, "p"), path("out/empty"));
    EXPECT_TRUE(QFileInfo(path("out/empty")).exists());
    EXPECT_EQ(QFileInfo(path("out/empty")).size(), 0);
    EXPECT_TRUE(prompter_.records().empty());
}

TEST_F(RestoreTest, WrongOrEmptyPasswordWritesNothing) {
    const QString file = protect("secret", "s.txt", "Right");
    for (const QString& wrong : {QStringLiteral("right"), QString()}) {
        EXPECT_EQ(restore(file, wrong), QString());
        EXPECT_EQ(lastText(), QStringLiteral("パスワードが違います"));
        EXPECT_EQ(prompter_.records().back().title, QStringLiteral("Orbet"));
    }
    EXPECT_EQ(filesIn("out"), QStringList{"s.txt.ang"});

    // Protecting without a password writes nothing and sets error code 2.
    bin_.setPass({});
    EXPECT_EQ(bin_.ProtectFile(path("s.txt"), path("none.ang")), BinAngsDL::Protected::NoPassword);
    EXPECT_EQ(bin_.PassAngs("00"), QString());
    EXPECT_EQ(bin_.GetErr(), QStringLiteral("2"));
    EXPECT_FALSE(QFile::exists(path("none.ang")));
}

TEST_F(RestoreTest, AsksBeforeReplacingAndKeepsTheOldFileOnNo) {
    const QString file = protect("new", "same.txt", "pw");
    writeAll(path("out/same.txt"), "old");
    prompter_.answer(Answer::No);
    EXPECT_EQ(restore(file, "pw"), QString());
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("同じファイル名が存在します、上書きしますか？"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("KTXAngsDLL-") + path("out/same.txt"));
    EXPECT_EQ(prompter_.records()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(readAll(path("out/same.txt")), QByteArray("old"));
    prompter_.answer(Answer::Yes);
    EXPECT_EQ(restore(file, "pw"), path("out/same.txt"));
    EXPECT_EQ(readAll(path("out/same.txt")), QByteArray("new"));
}

TEST_F(RestoreTest, TextFieldsUseCodePage932ElseMarkedUtf8) {
    // Characters of code page 932 are stored in it, as Windows installations do.
    const QString file = protect("x", QStringLiteral("日本.txt"), QStringLiteral("パス"));
    EXPECT_EQ(plainRecord(readAll(file)), QByteArray("\x83\x70\x83\x58\r\n\x93\xfa\x96\x7b.txt\r\n78\r\n"));
    EXPECT_EQ(restore(file, QStringLiteral("パス")), path(QStringLiteral("out/日本.txt")));
    // Anything else is UTF-8 behind the mark EF BB BF, and reads back the same.
    const QString other = protect("y", QStringLiteral("café😀"), QStringLiteral("mot de passé"));
    EXPECT_EQ(plainRecord(readAll(other)), QByteArray("\xef\xbb\xbfmot de pass\xc3\xa9\r\n\xef\xbb\xbf"
                                                      "caf\xc3\xa9\xf0\x9f\x98\x80\r\n79\r\n"));
    EXPECT_EQ(restore(other, QStringLiteral("mot de passé")), path(QStringLiteral("out/café😀")));
    EXPECT_EQ(readAll(path(QStringLiteral("out/café😀"))), QByteArray("y"));
    EXPECT_EQ(ang::encodeText(QStringLiteral("ｶﾅ\x1a")), QByteArray("\xb6\xc5\x1a"));
    // The controls Windows keeps as themselves, between other characters.
    const QString between = QStringLiteral("ｶ\x1aﾅ\x7fｱ\x1cﾝ");
    EXPECT_EQ(ang::encodeText(between), QByteArray("\xb6\x1a\xc5\x7f\xb1\x1c\xdd"));
    EXPECT_EQ(ang::decodeText(ang::encodeText(between)), between);
    EXPECT_EQ(ang::encodeText(QString()), QByteArray());
}

TEST_F(RestoreTest, HalfWidthKanaNamesThatAreAlsoUtf8ComeBackUnderTheirOwnName) {
    // Code page 932 bytes that happen to be valid UTF-8 as well: each of
    // these would read as another name were UTF-8 tried first.
    const QString kana[] = {QStringLiteral("ﾅｶ.txt"), QStringLiteral("ﾈｺ"), QStringLiteral("ﾃｽ"),
                            QStringLiteral("ﾏｲ")};
    for (const QString& name : kana) {
        SCOPED_TRACE(name.toStdString());
        const QString file = protect("k", name, QStringLiteral("ﾊｲ"));
        EXPECT_EQ(restore(file, QStringLiteral("ﾊｲ")), path("out/" + name));
        EXPECT_EQ(readAll(path("out/" + name)), QByteArray("k"));
    }
    EXPECT_EQ(plainRecord(readAll(path(QStringLiteral("out/ﾅｶ.txt.ang")))),
              QByteArray("\xca\xb2\r\n\xc5\xb6.txt\r\n6B\r\n"));

    // A file written elsewhere in code page 932: the same bytes open with
    // the kana password only, never with the text its bytes spell in UTF-8.
    const ang::Rounds rounds{{3, 7, 11}, {1, 2, 3}};
    writeAll(path("out/win.ang"), buildProtected("\xc5\xb6\r\n\xc5\xb6.txt\r\n41\r\n", rounds));
    EXPECT_EQ(restore(path("out/win.ang"), QStringLiteral("Ŷ")), QString());
    EXPECT_EQ(lastText(), QStringLiteral("パスワードが違います"));
    prompter_.answer(Answer::Yes); // out/ﾅｶ.txt is there from above
    EXPECT_EQ(restore(path("out/win.ang"), QStringLiteral("ﾅｶ")), path(QStringLiteral("out/ﾅｶ.txt")));
    EXPECT_EQ(readAll(path(QStringLiteral("out/ﾅｶ.txt"))), QByteArray("A"));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out/Ŷ.txt"))));
}

TEST_F(RestoreTest, FieldsReadMarkedUtf8ThenCodePage932ThenUtf8ThenBytes) {
    EXPECT_EQ(ang::decodeText("\x83\x70\x83\x58"), QStringLiteral("パス"));
    EXPECT_EQ(ang::decodeText("\xc5\xb6"), QStringLiteral("ﾅｶ"));
    EXPECT_EQ(ang::decodeText("\xef\xbb\xbf\xc5\xb6"), QStringLiteral("Ŷ"));
    EXPECT_EQ(ang::decodeText("\xef\xbb\xbf"), QString());
    EXPECT_EQ(ang::decodeText("plain"), QStringLiteral("plain"));
    // Not code page 932 (a lead byte with no second byte, a second byte out
    // of range): UTF-8, as older installations of this program wrote.
    EXPECT_EQ(ang::decodeText("\xe3\x81\x82"), QStringLiteral("あ"));
    EXPECT_EQ(ang::decodeText("caf\xc3\xa9 \xf0\x9f\x98\x80"), QStringLiteral("café 😀"));
    // Neither: each byte is kept, so a restored name has the stored bytes.
    const ang::Rounds rounds{{1, 2, 3}, {4, 5, 6}};
    writeAll(path("out/raw.ang"), buildProtected("pw\r\nr\xff\x81\r\n42\r\n", rounds));
    const QString written = restore(path("out/raw.ang"), "pw");
    EXPECT_EQ(toNative(written), toNative(path("out/")) + "r\xff\x81");
    EXPECT_TRUE(pathFacts(written).isRegular);
}

TEST_F(RestoreTest, NamesTheFolderCannotTakeAreRefusedAloud) {
    const ang::Rounds rounds{{2, 4, 6}, {1, 1, 1}};
    // A control character in the stored name.
    writeAll(path("out/tab.ang"), buildProtected("pw\r\na\tb\r\n41\r\n", rounds));
    EXPECT_EQ(restore(path("out/tab.ang"), "pw"), QString());
    EXPECT_EQ(lastText(), BinAngsDL::storedControlNameMessage());
    EXPECT_EQ(lastText(),
              QStringLiteral("保存されているファイル名に制御文字が含まれているため、復号できません"));
    // A folder of the stored name: refused, not asked about.
    ASSERT_TRUE(QDir(path("out")).mkdir("taken"));
    writeAll(path("out/taken.ang"), buildProtected("pw\r\ntaken\r\n41\r\n", rounds));
    prompter_.clear();
    EXPECT_EQ(restore(path("out/taken.ang"), "pw"), QString());
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(lastText(), BinAngsDL::folderInTheWayMessage() + "\r\n" + path("out/taken"));
    EXPECT_TRUE(QFileInfo(path("out/taken")).isDir());
    EXPECT_EQ(filesIn("out"), (QStringList{"tab.ang", "taken.ang"}));
    // A pipe given as the protected file is refused before it is opened.
    ASSERT_EQ(::mkfifo(toNative(path("out/pipe.ang")).constData(), 0600), 0);
    EXPECT_EQ(restore(path("out/pipe.ang"), "pw"), QString());
    EXPECT_EQ(lastText(), BinAngsDL::notRegularProtectedMessage() + "\r\n" + path("out/pipe.ang"));
}

TEST_F(RestoreTest, InputThatIsNotAProtectedFileWritesNothing) {
    const ang::Rounds rounds{{5, 9, 13}, {2, 2, 2}};
    const QString file = protect("abc", "a.txt", "pw");
    const QByteArray whole = readAll(file);
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"too short", whole.left(2)},
        {"one line", buildProtected("pw\r\n", rounds)},
        {"cut in the content", whole.left(whole.size() - 3)},
        {"cut before the last break", whole.left(whole.size() - 2)},
        {"not hexadecimal", buildProtected("pw\r\na.txt\r\n6G\r\n", rounds)},
        {"climbs out", buildProtected("pw\r\n../a.txt\r\n61\r\n", rounds)},
        {"a sub-folder", buildProtected("pw\r\nsub/a.txt\r\n61\r\n", rounds)},
        {"the parent", buildProtected("pw\r\n..\r\n61\r\n", rounds)},
        {"no name", buildProtected("pw\r\n\r\n61\r\n", rounds)},
        {"odd digits", buildProtected("pw\r\nodd\r\n616\r\n", rounds)},
        {"a lone zero at the end", buildProtected("pw\r\nodd\r\n610\r\n", rounds)},
    };
    ASSERT_TRUE(QDir(path("out")).mkdir("sub"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeAll(path("out/in.ang"), c.bytes);
        EXPECT_EQ(restore(path("out/in.ang"), "pw"), QString());
        EXPECT_EQ(filesIn("out"), (QStringList{"a.txt.ang", "in.ang"}));
        EXPECT_TRUE(filesIn("out/sub").isEmpty());
        EXPECT_EQ(filesIn(""), QStringList{"a.txt"});
    }
    // Nor through a link of the stored name that leads out of the folder.
    writeAll(path("outside"), "mine");
    ASSERT_TRUE(QFile::link(path("outside"), path("out/a.txt")));
    prompter_.answer(Answer::Yes); // were it asked, the answer would be Yes
    EXPECT_EQ(restore(path("out/a.txt.ang"), "pw"), QString());
    EXPECT_EQ(readAll(path("outside")), QByteArray("mine"));
    QFile::remove(path("out/a.txt"));
    QFile::remove(path("outside"));

    // Only odd digits say so; the rest end quietly with the empty result.
    ASSERT_EQ(prompter_.records().size(), 2u);
    for (const auto& r : prompter_.records()) {
        EXPECT_EQ(r.text, QStringLiteral("KTXﾊﾞｲﾅﾘｻｰﾊﾞｰ ｴﾗｰ"));
        EXPECT_EQ(r.title, QStringLiteral("Orbet-ｴﾗｰ"));
    }

    // Lines may break anywhere in the content and lower-case digits are read.
    writeAll(path("out/in.ang"), buildProtected("pw\r\nok\r\n6\r\n1ff\n\r\n", rounds));
    EXPECT_EQ(restore(path("out/in.ang"), "pw"), path("out/ok"));
    EXPECT_EQ(readAll(path("out/ok")), QByteArray("a\xff"));
}

TEST_F(RestoreTest, TextFormsRestoreThroughTheSameRules) {
    bin_.setPass("pw");
    bin_.setFilename("t.txt");
    const QString protectedText = bin_.PassAngs(QStringLiteral("414243"));
    bin_.setDirectry(path("out"));
    EXPECT_EQ(bin_.PassHukgs(protectedText), path("out/t.txt"));
    EXPECT_EQ(readAll(path("out/t.txt")), QByteArray("ABC"));
    EXPECT_TRUE(bin_.SaveBin(path("out/s.bin"), QStringLiteral("00FF")));
    EXPECT_EQ(readAll(path("out/s.bin")), QByteArray("\x00\xff", 2));
    EXPECT_FALSE(bin_.SaveBin(path("out/odd.bin"), QStringLiteral("0")));
    EXPECT_FALSE(QFile::exists(path("out/odd.bin")));
    EXPECT_EQ(bin_.OpenBin(path("missing")), std::nullopt);
    EXPECT_EQ(lastText(), QStringLiteral("ファイルが見つかりません\r\n") + path("missing"));
}

TEST_F(RestoreTest, AFullDiskKeepsTheOldFilesAndSaysSo) {
    SmallFileSystem disk(512);
    if (!disk.valid()) GTEST_SKIP() << disk.reason().toStdString();
    const QString folder = disk.path();
    const QByteArray big(100 * 1024, 'z');
    ASSERT_TRUE(QFile::copy(protect(big, "big", "pw"), folder + "/big.ang"));
    writeAll(folder + "/big", "old restored");
    writeAll(folder + "/other.ang", "old protected");
    disk.fill();

    EXPECT_EQ(bin_.ProtectFile(path("big"), folder + "/other.ang"), BinAngsDL::Protected::Failed);
    EXPECT_EQ(readAll(folder + "/other.ang"), QByteArray("old protected"));
    EXPECT_TRUE(
        lastText().startsWith(QStringLiteral("ファイルを書き込めませんでした\r\n") + folder + "/other.ang"));

    prompter_.answer(Answer::Yes);
    EXPECT_EQ(restore(folder + "/big.ang", "pw"), QString());
    EXPECT_EQ(readAll(folder + "/big"), QByteArray("old restored"));
    EXPECT_EQ(lastText(), QStringLiteral("ファイルを書き込めませんでした\r\n") + folder + "/big\r\n" +
                              QString::fromLocal8Bit(strerror(ENOSPC)));
    // No half-written new file is left beside them.
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{".filler", "big", "big.ang", "other.ang"}));
}

} // namespace
} // namespace orbet::test
