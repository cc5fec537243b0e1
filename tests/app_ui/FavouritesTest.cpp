#include <functional>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/Shutdown.h"
#include "favourites/ui/FavouritesDialog.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class FavouritesTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        for (const char* d : {"A", "B", "C"})
            QDir(data_.path()).mkdir(QString::fromLatin1(d));
        start();
    }
    QString path(const char* name) const { return QDir(data_.path()).filePath(QString::fromUtf8(name)); }
    void addCurrent(const char* name) {
        form_->navigator().OpenTreePath(path(name));
        prompter_.answer(Answer::Yes);
        form_->action(Command::AddO)->trigger();
    }
    // Opens the dialog with F2 and works it while it is up; false when it never came.
    bool withDialog(const std::function<void(Form2&)>& work) {
        bool seen = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<Form2*>(QApplication::activeModalWidget());
            if (!dialog) return;
            poll.stop();
            seen = true;
            work(*dialog);
            if (dialog->isVisible()) dialog->Command2->click();
        });
        poll.start();
        form_->action(Command::CallO)->trigger();
        return seen;
    }
};

TEST_F(FavouritesTest, EmptyAndSingleStoresAreRefused) {
    Form1& f = *form_;
    f.action(Command::CallO)->trigger();
    f.action(Command::chekO)->trigger();
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("登録されていません"));
    EXPECT_EQ(prompter_.records()[1].text, QStringLiteral("登録されていません"));
    prompter_.answer(Answer::No);
    f.action(Command::AddO)->trigger();
    EXPECT_EQ(prompter_.records()[2].text,
              QStringLiteral("現在のパスをお気に入りに登録します。よろしいですか？"));
    EXPECT_EQ(prompter_.records()[2].buttons, Buttons::YesNo);
    EXPECT_TRUE(f.favourites().isEmpty()); // No adds nothing
    addCurrent("A");
    QDir(path("A")).removeRecursively();
    f.action(Command::chekO)->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("チェックする必要がありません"));
    EXPECT_EQ(f.favourites().count(), 1);
}

TEST_F(FavouritesTest, CheckRunsUnderItsOwnTitleWithTheCommandsOff) {
    Form1& f = *form_;
    addCurrent("A");
    addCurrent("B");
    addCurrent("A");
    addCurrent("C");
    QDir(path("B")).removeRecursively();
    QString titleDuring;
    bool addEnabledDuring = true;
    // Runs while the worker checks, as a key press would.
    QTimer::singleShot(0, &f, [&] {
        titleDuring = f.state().title;
        addEnabledDuring = f.action(Command::AddO)->isEnabled() || f.action(Command::CallO)->isEnabled() ||
                           f.action(Command::chekO)->isEnabled();
        f.action(Command::AddO)->trigger(); // F1 does nothing while the check runs
        f.action(Command::chekO)->trigger();
    });
    const auto before = prompter_.records().size();
    f.action(Command::chekO)->trigger();
    // The window's thread is back at once; the store changes when the
    // worker's answer comes.
    EXPECT_EQ(f.favourites().count(), 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.action(Command::chekO)->isEnabled(); }, 30000));
    EXPECT_EQ(titleDuring, QStringLiteral("パスソート中_Orbet"));
    EXPECT_FALSE(addEnabledDuring);
    EXPECT_EQ(prompter_.records().size(), before);
    EXPECT_EQ(f.favourites().entries(), (QStringList{path("A"), path("C")}));
    EXPECT_EQ(f.state().title, QStringLiteral("Orbet"));
    EXPECT_TRUE(f.action(Command::AddO)->isEnabled());
    EXPECT_TRUE(f.action(Command::chekO)->isEnabled());
}

TEST_F(FavouritesTest, DialogMovesDeletesAndGoes) {
    Form1& f = *form_;
    addCurrent("A");
    addCurrent("B");
    addCurrent("C");
    ASSERT_TRUE(withDialog([&](Form2& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("お気に入りパス呼び出し"));
        EXPECT_TRUE(dialog.List1->selectedItems().isEmpty());
        dialog.Command5->click();
        EXPECT_EQ(prompter_.records().back().text, QStringLiteral("選択してください"));
        dialog.List1->setCurrentRow(1);
        dialog.Command5->click();
        EXPECT_EQ(f.favourites().entries(), (QStringList{path("B"), path("A"), path("C")}));
        EXPECT_EQ(dialog.List1->currentRow(), 0);
        dialog.List1->setCurrentRow(2);
        dialog.Command4->click();
        EXPECT_EQ(prompter_.records().back().text, QStringLiteral("これ以上移動できません"));
        dialog.Command3->click();
        EXPECT_EQ(f.favourites().entries(), (QStringList{path("B"), path("A")}));
        EXPECT_EQ(dialog.List1->currentRow(), 0);
        dialog.Command2->click(); // Cancel keeps what was changed
    }));
    EXPECT_EQ(f.favourites().entries(), (QStringList{path("B"), path("A")}));
    ASSERT_TRUE(withDialog([&](Form2& dialog) {
        ASSERT_EQ(dialog.List1->count(), 2);
        dialog.List1->setCurrentRow(1);
        dialog.Command1->click();
        EXPECT_FALSE(dialog.isVisible());
    }));
    EXPECT_EQ(f.Dir1->path(), path("A"));
    // The store reaches the settings file at the end.
    prompter_.answer(Answer::Yes);
    ASSERT_TRUE(f.shutdown().confirmClose());
    const QByteArray ini = savedIni();
    EXPECT_TRUE(ini.endsWith(("DirPath 0=" + path("B") + "\r\nDirPath 1=" + path("A") + "\r\n").toUtf8()));
}

TEST_F(FavouritesTest, AFavouriteThatCannotBeOpenedIsReported) {
    Form1& f = *form_;
    addCurrent("A");
    addCurrent("B");
    QDir(path("B")).removeRecursively();
    f.navigator().OpenTreePath(path("C"));
    ASSERT_TRUE(withDialog([&](Form2& dialog) {
        dialog.List1->setCurrentRow(1);
        dialog.Command1->click();
        EXPECT_FALSE(dialog.isVisible());
    }));
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("そのパスは存在しません"));
    EXPECT_EQ(f.Dir1->path(), path("C"));
    EXPECT_EQ(f.favourites().entries(), (QStringList{path("A"), path("B")}));
    // The next opening shows the store's entries once each.
    ASSERT_TRUE(withDialog([&](Form2& dialog) { EXPECT_EQ(dialog.List1->count(), 2); }));
}

TEST_F(FavouritesTest, DeletingTheLastFavouriteEmptiesTheStore) {
    Form1& f = *form_;
    addCurrent("A");
    ASSERT_TRUE(withDialog([&](Form2& dialog) {
        dialog.List1->setCurrentRow(0);
        dialog.Command3->click();
        EXPECT_EQ(dialog.List1->count(), 0);
        EXPECT_EQ(dialog.List1->currentRow(), -1);
    }));
    EXPECT_EQ(f.favourites().count(), 0);
    f.action(Command::CallO)->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("登録されていません"));
}

TEST_F(FavouritesTest, AFolderNamedWithALineBreakNeverRewritesTheSettings) {
    Form1& f = *form_;
    const QString odd = path("x\nLastPath=") + QStringLiteral("/etc");
    ASSERT_TRUE(QDir().mkpath(odd));
    addCurrent("A");
    form_->navigator().OpenTreePath(odd);
    ASSERT_EQ(f.Dir1->path(), odd);
    prompter_.answer(Answer::Yes);
    f.action(Command::AddO)->trigger();
    prompter_.answer(Answer::Yes);
    ASSERT_TRUE(f.shutdown().confirmClose());
    const QByteArray ini = savedIni();
    EXPECT_TRUE(ini.startsWith(("LastPath=" + data_.path() + "\r\n").toUtf8()))
        << ini.left(200).toStdString();
    EXPECT_FALSE(ini.contains("LastPath=/etc"));
    EXPECT_TRUE(ini.endsWith(("DirPath 0=" + path("A") + "\r\n").toUtf8()));
}

} // namespace
} // namespace orbet::test
