#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/Shutdown.h"
#include "app/ui/ViewerCommands.h"
#include "display/ui/PictureBox.h"
#include "navigation/FileListing.h"
#include "navigation/ui/FolderTree.h"
#include "navigation/ui/Form3.h"
#include "navigation/ui/ListControls.h"
#include "platform/NativePath.h"
#include "support/TestSupport.h"
#include "tools/SearchModel.h"
#include "tools/ui/ExtensionTool.h"
#include "tools/ui/HideForm.h"

// A folder unpacked from a Windows archive: names in code page 932, a
// Latin-1 name and one that is no encoding at all, beside a UTF-8 name.
namespace orbet::test {
namespace {

const QByteArray kPicture("a_\x93\xfa\x96\x7b.jpg");          // a_日本.jpg
const QByteArray kLatin("caf\xe9.txt");                       // café.txt in Latin-1
const QByteArray kInvalid("bad\xff\xfe.txt");                 // not text in any code page
const QByteArray kFolder("\x83\x74\x83\x48\x83\x8b\x83\x5f"); // フォルダ

class ByteNamesTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        ASSERT_TRUE(dir_.isValid());
        jpeg_ = readAll(testData(QStringLiteral("pictures/jpeg/hopper.jpg")));
        ASSERT_FALSE(jpeg_.isEmpty());
        ASSERT_TRUE(dir_.writeNative(kPicture, jpeg_));
        ASSERT_TRUE(dir_.writeNative(kLatin, "latin text"));
        ASSERT_TRUE(dir_.writeNative(kInvalid, "invalid bytes"));
        ASSERT_TRUE(dir_.writeNative("plain.txt", "plain"));
        ASSERT_TRUE(dir_.makeFolderNative(kFolder));
        ASSERT_TRUE(dir_.writeNative(kFolder + "/inner.txt", "inside"));
    }
    // The escaped path the program holds for a name in the folder.
    QString held(const QByteArray& name) const { return fromNative(dir_.nativePath() + name); }
    QStringList visibleTexts() const {
        QStringList texts;
        for (int i = 0; i < form_->File1->listCount(); ++i)
            texts.append(form_->File1->entryText(i));
        return texts;
    }
    int rowOf(const QString& visible) const { return visibleTexts().indexOf(visible); }

    ByteNamedFolder dir_;
    QByteArray jpeg_;
};

TEST_F(ByteNamesTest, NamesAreListedReadablyAndTheirFilesShow) {
    Form1& f = start();
    f.navigator().OpenTreePath(dir_.path());
    ASSERT_EQ(f.Dir1->path(), dir_.path());

    f.Combo1->setCurrentIndex(14); // every file
    EXPECT_EQ(visibleTexts(), (QStringList{QStringLiteral("a_日本.jpg"), QStringLiteral("bad\\xFF\\xFE.txt"),
                                           QStringLiteral("caf\\xE9.txt"), QStringLiteral("plain.txt")}));

    f.Combo1->setCurrentIndex(0); // pictures: the picture is found, loaded and sized by its bytes
    ASSERT_EQ(visibleTexts(), QStringList{QStringLiteral("a_日本.jpg")});
    EXPECT_EQ(f.state().currentFilePath, held(kPicture));
    EXPECT_FALSE(f.MP->isEmpty());
    EXPECT_EQ(f.MP->picture().size(), QSize(128, 128));
    EXPECT_EQ(f.Bytes->text(), BytesSizeText(jpeg_.size()));
    EXPECT_TRUE(f.statusText().startsWith(dir_.path() + QStringLiteral("/a_日本.jpg   ")))
        << f.statusText().toStdString();

    f.Combo1->setCurrentIndex(6); // text files
    for (const auto& [shown, content] :
         {std::pair{QStringLiteral("caf\\xE9.txt"), QStringLiteral("latin text")},
          std::pair{QStringLiteral("bad\\xFF\\xFE.txt"), QStringLiteral("invalid bytes")}}) {
        const int row = rowOf(shown);
        ASSERT_GE(row, 0) << shown.toStdString();
        f.File1->setListIndex(row);
        EXPECT_EQ(f.RT->toPlainText(), content);
    }

    // The tree shows the folder readably and opens it by its bytes.
    QTreeWidgetItem* parent = f.navigator().tree().findKey(dir_.path());
    ASSERT_NE(parent, nullptr);
    parent->setExpanded(true);
    ASSERT_EQ(parent->childCount(), 1);
    QTreeWidgetItem* child = parent->child(0);
    EXPECT_EQ(child->text(0), QStringLiteral("フォルダ"));
    emit f.TV->itemClicked(child, 0);
    EXPECT_EQ(f.Dir1->path(), held(kFolder));
    EXPECT_EQ(visibleTexts(), QStringList{QStringLiteral("inner.txt")});
    EXPECT_EQ(f.RT->toPlainText(), QStringLiteral("inside"));
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Orbet - ") + dir_.path() + QStringLiteral("/フォルダ"));
    EXPECT_EQ(f.Combo2->currentText(), dir_.path() + QStringLiteral("/フォルダ"));

    // Choosing the shown path in the path combo reaches the folder again.
    f.navigator().OpenTreePath(dir_.path());
    const int entry = f.Combo2->findText(dir_.path() + QStringLiteral("/フォルダ"));
    ASSERT_GE(entry, 0);
    emit f.Combo2->activated(entry);
    EXPECT_EQ(f.Dir1->path(), held(kFolder));
}

TEST_F(ByteNamesTest, CopyDeleteConvertAndExportActOnTheRightFiles) {
    Form1& f = start();
    f.navigator().OpenTreePath(dir_.path());
    f.Combo1->setCurrentIndex(0);
    ASSERT_EQ(f.state().currentFilePath, held(kPicture));

    prompter_.reply(dir_.path() + QStringLiteral("/copy.jpg"));
    f.action(Command::Cop)->trigger();
    EXPECT_EQ(dir_.readNative("copy.jpg"), jpeg_);

    f.action(Command::Finfomaintion)->trigger();
    EXPECT_TRUE(prompter_.records().back().text.startsWith(dir_.path() +
                                                           QStringLiteral("/a_日本.jpg\r\nファイル\r\n")))
        << prompter_.records().back().text.toStdString();
    EXPECT_TRUE(prompter_.records().back().text.contains(QStringLiteral("Size:") + FSize(jpeg_.size())));

    // The file list names each file by its bytes.
    f.Combo1->setCurrentIndex(14);
    prompter_.reply(dir_.path() + QStringLiteral("/list.m3u"));
    f.action(Command::NowFlistToFL)->trigger();
    QByteArray expected;
    for (const QByteArray& name :
         {kPicture, kInvalid, kLatin, QByteArray("copy.jpg"), QByteArray("plain.txt")})
        expected += dir_.nativePath() + name + "\r\n";
    EXPECT_EQ(dir_.readNative("list.m3u"), expected);

    f.File1->setListIndex(rowOf(QStringLiteral("a_日本.jpg")));
    prompter_.answer(Answer::Yes);
    f.action(Command::del)->trigger();
    const QString shown = dir_.path() + QStringLiteral("/a_日本.jpg");
    ASSERT_GE(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[prompter_.records().size() - 2].text,
              shown + QStringLiteral("を削除します\r\nよろしいですか？"));
    EXPECT_EQ(prompter_.records().back().text, shown + QStringLiteral("を削除しました"));
    EXPECT_FALSE(dir_.existsNative(kPicture));
    EXPECT_EQ(dir_.readNative("copy.jpg"), jpeg_);
    EXPECT_FALSE(visibleTexts().contains(QStringLiteral("a_日本.jpg")));

    // The extension tool renames the two names that are not text, and the
    // UTF-8 one, keeping every byte before the extension.
    f.action(Command::Kaku)->trigger();
    auto* tool = f.findChild<Form5*>();
    ASSERT_NE(tool, nullptr);
    tool->Text1->setText(QStringLiteral("txt"));
    tool->Text2->setText(QStringLiteral("log"));
    ASSERT_EQ(tool->File1->listCount(), 3);
    tool->Command1->click();
    EXPECT_EQ(dir_.readNative("caf\xe9.log"), QByteArray("latin text"));
    EXPECT_EQ(dir_.readNative("bad\xff\xfe.log"), QByteArray("invalid bytes"));
    EXPECT_EQ(dir_.readNative("plain.log"), QByteArray("plain"));
    for (const QByteArray& gone : {kLatin, kInvalid, QByteArray("plain.txt")})
        EXPECT_FALSE(dir_.existsNative(gone));
    EXPECT_EQ(tool->File2->listCount(), 3);
    EXPECT_EQ(dir_.readNative(kFolder + "/inner.txt"),
              QByteArray("inside")); // the folder is no file of the list
}

TEST_F(ByteNamesTest, TheSearchToolSendsAFolderSoNamedToTheMainWindow) {
    Form1& f = start();
    f.action(Command::Fmoju)->trigger();
    auto* tool = f.findChild<HideForm*>(QStringLiteral("HideForm"));
    ASSERT_NE(tool, nullptr);
    tool->setFolder(dir_.path());
    QSignalSpy ended(tool, &HideForm::searchEnded);
    tool->Command1->click();
    ASSERT_TRUE(ended.wait(10000));
    int row = -1;
    for (int i = 0; i < tool->model()->rowCount(); ++i)
        if (tool->model()->text(i) == dir_.path() + QStringLiteral("/フォルダ/<D>")) row = i;
    ASSERT_GE(row, 0);
    tool->List1->setCurrentIndex(tool->model()->index(row));
    tool->Command2->click();
    EXPECT_EQ(f.Dir1->path(), held(kFolder));
    EXPECT_EQ(f.File1->path(), held(kFolder)); // the window shows the folder the commands act on
    EXPECT_EQ(f.Combo2->currentText(), dir_.path() + QStringLiteral("/フォルダ"));
    tool->close();
}

// The mini directory changer copies the main window's lists: it shows the
// readable names and reaches the folders by the paths the main window keeps.
TEST_F(ByteNamesTest, TheDirectoryChangerShowsAndOpensAFolderSoNamed) {
    Form1& f = start();
    f.navigator().OpenTreePath(dir_.path());
    f.Combo1->setCurrentIndex(6); // text files
    ASSERT_EQ(f.Dir1->path(), dir_.path());
    f.action(Command::minwindow)->trigger();
    auto* viewers = f.findChild<ViewerCommands*>();
    ASSERT_NE(viewers, nullptr);
    viewers->openChanger();
    Form3* c = viewers->changer();
    ASSERT_NE(c, nullptr);
    QStringList listed;
    for (int i = 0; i < c->List1->count(); ++i)
        listed << c->List1->item(i)->text();
    EXPECT_EQ(listed, visibleTexts());
    ASSERT_EQ(listed.size(), 3);
    for (const QString& name : listed) // no held byte escapes on screen
        EXPECT_FALSE(std::any_of(name.begin(), name.end(), [](QChar ch) {
            return ch.unicode() >= 0xDC80 && ch.unicode() <= 0xDCFF;
        })) << name.toStdString();
    const QString shownFolder = dir_.path() + QStringLiteral("/フォルダ");
    const int entry = c->Combo1->findText(shownFolder);
    ASSERT_GE(entry, 0);

    // Chosen from the list, and typed as shown, with the keys the combo box gets.
    QTest::qWait(50); // the minimum window's own activation settles first
    c->show();
    c->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(c));
    c->Combo1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), c->Combo1)
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
    c->Combo1->setEditText(shownFolder);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(f.Dir1->path(), held(kFolder));
    EXPECT_EQ(c->windowTitle(), QStringLiteral("ミニマムディレクトリチェンジャー　- ") + shownFolder);
    EXPECT_EQ(f.Combo2->currentText(), shownFolder);
    EXPECT_EQ(c->Combo1->currentText(), shownFolder);
    ASSERT_EQ(c->List1->count(), 1);
    EXPECT_EQ(c->List1->item(0)->text(), QStringLiteral("inner.txt"));
    EXPECT_EQ(prompter_.records().size(), 0u);

    c->go(QStringLiteral(".."));
    EXPECT_EQ(f.Dir1->path(), dir_.path());
    EXPECT_EQ(c->windowTitle(), QStringLiteral("ミニマムディレクトリチェンジャー　- ") + dir_.path());
}

TEST_F(ByteNamesTest, TheSettingsKeepACurrentFolderSoNamed) {
    start();
    form_->Combo1->setCurrentIndex(6); // text files
    form_->navigator().OpenTreePath(held(kFolder));
    ASSERT_EQ(form_->Dir1->path(), held(kFolder));
    prompter_.answer(Answer::Yes);
    ASSERT_TRUE(form_->shutdown().confirmClose());
    const QByteArray ini = savedIni();
    const QByteArray line = "LastPath=" + dir_.nativePath() + kFolder + "\r\n";
    EXPECT_TRUE(ini.startsWith(line)) << ini.left(120).toHex().constData();

    form_.reset();
    Form1& again = start();
    EXPECT_EQ(again.Dir1->path(), held(kFolder));
    EXPECT_EQ(visibleTexts(), QStringList{QStringLiteral("inner.txt")});
    EXPECT_EQ(again.RT->toPlainText(), QStringLiteral("inside"));
}

} // namespace
} // namespace orbet::test
