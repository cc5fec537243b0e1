#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "platform/Language.h"
#include "platform/ProgramState.h"
#include "platform/ScriptedPrompter.h"
#include "support/TestSupport.h"
#include "tools/FileCommands.h"
#include "tools/InformationTexts.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace orbet {
namespace {

// The desktop's MIME database answers in Japanese whatever language the
// program runs in; the toolkit's own answer follows the locale.
TEST(FolderInformation, TypesAreNamedInJapaneseWhateverTheLocale) {
    const QLocale was;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto restore = qScopeGuard([&] { QLocale::setDefault(was); });
    QTemporaryDir tmp;
    test::writeAll(tmp.filePath(QStringLiteral("notes.txt")), "plain words\n");
    ASSERT_TRUE(QFile::copy(test::testData(QStringLiteral("pictures/jpeg/hopper.jpg")),
                            tmp.filePath(QStringLiteral("p.jpg"))));

    EXPECT_EQ(fileFacts(tmp.filePath(QStringLiteral("notes.txt"))).type,
              QStringLiteral("平文テキストドキュメント"));
    EXPECT_EQ(fileFacts(tmp.filePath(QStringLiteral("p.jpg"))).type, QStringLiteral("JPEG 画像"));
    EXPECT_EQ(folderFacts(tmp.path(), false).type, QStringLiteral("フォルダ"));
    EXPECT_EQ(typeName(QStringLiteral("inode/directory")), QStringLiteral("フォルダ"));
    // An alias finds its type's file.
    EXPECT_EQ(typeName(QStringLiteral("image/pjpeg")), QStringLiteral("JPEG 画像"));

    // With the English catalogue in force the desktop's English names come.
    ASSERT_TRUE(installLanguage(*QCoreApplication::instance(), true,
                                QStringLiteral(ORBET_BUILD_DIR "/translations")));
    const auto japanese = qScopeGuard([] { removeInstalledLanguage(); });
    EXPECT_EQ(fileFacts(tmp.filePath(QStringLiteral("p.jpg"))).type, QStringLiteral("JPEG image"));
    EXPECT_EQ(folderFacts(tmp.path(), false).type, QStringLiteral("Folder"));
}

// A sum that takes its time: held until the test lets it go (or ten seconds
// pass, so a window that waited for it would come back only then).
struct HeldSum {
    std::atomic<int> entered{0};
    std::atomic<bool> release{false}, left{false}, cancelSeen{false};
    qint64 run(const QString& folder, const std::atomic<bool>& cancel) {
        ++entered;
        for (int i = 0; i < 1000 && !release; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        cancelSeen = cancel.load();
        left = true;
        return folderTreeSize(folder, &cancel);
    }
};

class FolderInformationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = tmp_.filePath(QStringLiteral("work"));
        QDir().mkpath(folder_ + QStringLiteral("/sub"));
        test::writeAll(folder_ + QStringLiteral("/a.bin"), QByteArray(100, 'a'));
        test::writeAll(folder_ + QStringLiteral("/sub/b.bin"), QByteArray(50, 'b'));
    }
    std::unique_ptr<FileCommands> make() {
        FileCommandHooks h;
        h.currentFolder = [this] { return folder_; };
        h.busy = [this](bool on) { busy_ << (on ? QStringLiteral("on") : QStringLiteral("off")); };
        auto commands = std::make_unique<FileCommands>(prompter_, state_, std::move(h));
        commands->setFolderSizer(
            [held = held_](const QString& f, const std::atomic<bool>& c) { return held->run(f, c); });
        return commands;
    }

    QTemporaryDir tmp_;
    QString folder_;
    ScriptedPrompter prompter_;
    ProgramState state_;
    QStringList busy_;
    std::shared_ptr<HeldSum> held_ = std::make_shared<HeldSum>();
};

TEST_F(FolderInformationTest, TheSizeIsSummedOnAWorkerWhileTheWindowGoesOn) {
    auto commands = make();
    commands->FoInfo();
    ASSERT_TRUE(QTest::qWaitFor([&] { return held_->entered.load() == 1; }, 5000));
    EXPECT_FALSE(held_->left); // the command came back while the sum runs
    EXPECT_EQ(busy_, QStringList{QStringLiteral("on")});
    EXPECT_TRUE(prompter_.records().empty());
    bool ticked = false;
    QTimer::singleShot(0, [&] { ticked = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticked; }, 2000)); // events still run
    commands->FoInfo(); // asked again meanwhile: the sum under way answers

    held_->release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompter_.records().empty(); }, 10000));
    QTest::qWait(30);
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(held_->entered.load(), 1);
    EXPECT_EQ(busy_, (QStringList{QStringLiteral("on"), QStringLiteral("off")}));
    EXPECT_EQ(prompter_.records()[0].text,
              QStringLiteral("　　　フォルダ名：work\r\n　　　　　　パス：") + folder_ +
                  QStringLiteral("\r\n　　　　　　Size： 150byte\r\n　　　　　　Type：フォルダ\r\n"));
    EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));
    EXPECT_FALSE(commands->summing());

    // Once answered, the next request sums afresh.
    test::writeAll(folder_ + QStringLiteral("/c.bin"), QByteArray(7, 'c'));
    commands->FoInfo();
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompter_.records().size() == 2u; }, 10000));
    EXPECT_TRUE(prompter_.records()[1].text.contains(QStringLiteral("Size： 157byte")));
}

TEST_F(FolderInformationTest, CommandsThatGoMidSumNeitherWaitNorAnswer) {
    auto commands = make();
    commands->FoInfo();
    ASSERT_TRUE(QTest::qWaitFor([&] { return held_->entered.load() == 1; }, 5000));
    commands.reset();
    EXPECT_FALSE(held_->left); // not waited for
    EXPECT_EQ(busy_, (QStringList{QStringLiteral("on"), QStringLiteral("off")}));
    held_->release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return held_->left.load(); }, 5000));
    EXPECT_TRUE(held_->cancelSeen);
    QTest::qWait(50);
    EXPECT_TRUE(prompter_.records().empty());
}

TEST(FolderInformation, ASumToldToStopStopsEarly) {
    QTemporaryDir tmp;
    for (int i = 0; i < 20; ++i)
        test::writeAll(tmp.filePath(QStringLiteral("f%1").arg(i)), QByteArray(10, 'x'));
    const std::atomic<bool> go{false}, stop{true};
    EXPECT_EQ(folderTreeSize(tmp.path(), &go), 200);
    EXPECT_LT(folderTreeSize(tmp.path(), &stop), 200);
}

} // namespace
} // namespace orbet
