#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

#include "Form1Fixture.h"
#include "app/ui/OptionCommands.h"
#include "app/ui/Shutdown.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "options/ui/FolderBrowser.h"
#include "options/ui/OptionForm.h"
#include "platform/ProgramFolders.h"
#include "platform/UserStore.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

const QString kSection = QStringLiteral("SusiePlugin");
const QString kKey = QStringLiteral("Path");

// Every option away from its default, consistent as the menus keep them.
QByteArray unusualIni(const QString& folder) {
    return "LastPath=" + folder.toUtf8() +
           "\r\nLeft=0\r\nTop=0\r\nWidth=9000\r\nHeight=7000\r\nAutoMode=0\r\nSetAutoH=1\r\nNotIniBat="
           "0\r\nTxtEdi=1\r\nAutoPlay=1\r\nAutoRep=1\r\nAutoRepv2=1\r\n"
           "StrSize= 12.5\r\nArchive=0\r\nHide=1\r\nSystem=1\r\nSlideShowTimer=1234\r\nBackcolorR= 10 \r\n"
           "BackcolorG= 20 \r\nBackcolorB= 30 \r\nRnd=1\r\nNodeExpand=1\r\nNodeClose=1\r\n"
           "MinWindow_on_MainWindow=1\r\nMinWindowSize=0\r\nMinWindowSizeType=1\r\nHideDirectory=1\r\n";
}

QColor paneColour(const Form1& f) {
    return f.MP->palette().color(QPalette::Window);
}

class OptionsTest : public Form1Test {
  protected:
    void SetUp() override {
        Form1Test::SetUp();
        writeStoreValue(kSection, kKey, QString());
    }
    void TearDown() override {
        Form1Test::TearDown();
        writeStoreValue(kSection, kKey, QString());
    }
    // Ends the run as the user does and hands back what it wrote.
    QByteArray end() {
        prompter_.answer(Answer::Yes);
        EXPECT_TRUE(form_->shutdown().confirmClose());
        form_.reset();
        return savedIni();
    }
    QStringList lines(const QByteArray& ini) { return QString::fromUtf8(ini).split(QStringLiteral("\r\n")); }
};

TEST_F(OptionsTest, OpeningShowsTheLiveStateAndOkWithoutChangesKeepsEverySetting) {
    writeIni(unusualIni(data_.path()));
    start();
    const QByteArray untouched = end();
    ASSERT_EQ(lines(untouched).size(), 32);

    Form1& f = start();
    auto d = options::makeForm(f);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Orbet-Option"));
    EXPECT_TRUE(d->isModal());
    ASSERT_EQ(d->SSTab1->count(), 4);
    EXPECT_EQ(d->SSTab1->tabText(3), QStringLiteral("全体表示＆ﾐﾆﾏﾑｳｨﾝﾄﾞｳ"));
    EXPECT_TRUE(d->Option3->isChecked());
    EXPECT_EQ(d->Combo1->currentText(), QStringLiteral("1.234"));
    EXPECT_EQ(d->Combo2->currentText(), QStringLiteral("12.5"));
    EXPECT_EQ(d->Combo2->count(), 117);
    EXPECT_FALSE(d->Check1->isChecked());
    EXPECT_TRUE(d->Check2->isChecked());
    EXPECT_FALSE(d->Check3->isChecked());
    EXPECT_TRUE(d->Check4->isChecked() && d->Check5->isChecked() && d->Check14->isChecked());
    EXPECT_FALSE(d->Check10->isChecked());
    // The side is still shown, though it cannot be changed while the ratio is not kept.
    EXPECT_TRUE(d->Option4[1]->isChecked());
    EXPECT_FALSE(d->Option4[0]->isEnabled() || d->Option4[1]->isEnabled());
    EXPECT_EQ(d->R->value(), 10);
    EXPECT_EQ(d->Picture1->palette().color(QPalette::Window), QColor(10, 20, 30));
    // No folder stored: the labels wait for a folder to be chosen.
    EXPECT_TRUE(d->Label7->text().isEmpty());
    EXPECT_TRUE(d->Label8->text().isEmpty());

    d->Command4->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    d.reset();
    EXPECT_EQ(readStoreValue(kSection, kKey), QString());
    EXPECT_EQ(end().toStdString(), untouched.toStdString());
    EXPECT_TRUE(prompter_.records().size() == 2u); // the two end questions only
}

TEST_F(OptionsTest, OkAppliesEverythingAndTheMainWindowFollowsAtOnce) {
    const QDir dir(data_.path());
    for (const char* name : {"a.bmp", ".secret.bmp"})
        ASSERT_TRUE(writeAll(dir.filePath(name), "x"));
    writeIni("LastPath=" + data_.path().toUtf8() + "\r\n");
    Form1& f = start();
    ASSERT_EQ(f.File1->listCount(), 1);
    ASSERT_TRUE(f.isChecked(Command::MunuASet));
    EXPECT_TRUE(f.RT->isReadOnly());

    auto d = options::makeForm(f);
    d->Check3->setChecked(false); // archive files
    d->Check4->setChecked(true);  // hidden files
    d->Check2->setChecked(true);  // editable text
    d->Option1->setChecked(true);
    d->Check10->setChecked(true);
    EXPECT_TRUE(d->Option4[0]->isEnabled());
    d->Option4[1]->setChecked(true);
    d->Combo1->setCurrentText(QStringLiteral("0.5"));
    d->Combo2->setCurrentText(QStringLiteral("24"));
    d->G->setValue(0);
    EXPECT_EQ(d->Picture1->palette().color(QPalette::Window), QColor(255, 0, 255));
    d->Check7->setChecked(true);
    d->Check14->setChecked(true);
    d->Check12->setChecked(true);
    d->Command4->click();
    EXPECT_EQ(d->result(), QDialog::Accepted);
    d.reset();

    EXPECT_FALSE(f.isChecked(Command::MunuASet));
    EXPECT_EQ(f.action(Command::MunuASet)->text(), QStringLiteral("アーカイブファイルの表示(&A)"));
    EXPECT_FALSE(f.File1->attributes().archive); // no file here carries the attribute
    EXPECT_TRUE(f.isChecked(Command::Hiddemset));
    EXPECT_EQ(f.File1->listCount(), 2);
    EXPECT_FALSE(f.RT->isReadOnly());
    EXPECT_FALSE(f.isChecked(Command::SetAutoPD) || f.isChecked(Command::ZenHi));
    EXPECT_TRUE(f.isChecked(Command::SetAuRepD));
    EXPECT_EQ(paneColour(f), QColor(255, 0, 255));
    const ProgramState& st = f.state();
    EXPECT_EQ(st.slideShowTimer, 500);
    EXPECT_EQ(st.strSize, 24.0);
    EXPECT_TRUE(st.minWindowSize && st.nodeExpand);
    EXPECT_EQ(st.minWindowSizeType, 1);
    EXPECT_EQ(st.hideDirectory, 1);

    const QStringList saved = lines(end());
    for (const char* line : {"AutoMode=0", "SetAutoH=0", "TxtEdi=1", "AutoRepv2=1", "StrSize= 24",
                             "Archive=0", "Hide=1", "SlideShowTimer=500", "BackcolorG= 0 ", "NodeExpand=1",
                             "MinWindowSize=1", "MinWindowSizeType=1", "HideDirectory=1"})
        EXPECT_TRUE(saved.contains(QString::fromLatin1(line))) << line;
}

TEST_F(OptionsTest, AllDefaultsThenCancelChangesOnlyTheStoredBackground) {
    writeIni(unusualIni(data_.path()));
    start();
    const QStringList untouched = lines(end());

    Form1& f = start();
    auto d = options::makeForm(f);
    d->Command3->click();
    EXPECT_TRUE(d->Option3->isChecked());
    EXPECT_EQ(d->Combo1->currentText(), QStringLiteral("3"));
    EXPECT_EQ(d->Combo2->currentText(), QStringLiteral("10.5"));
    EXPECT_TRUE(d->Check1->isChecked() && d->Check3->isChecked() && d->Check8->isChecked() &&
                d->Check9->isChecked());
    EXPECT_FALSE(d->Check2->isChecked() || d->Check4->isChecked() || d->Check14->isChecked() ||
                 d->Check12->isChecked());
    EXPECT_TRUE(d->Check10->isChecked() && d->Option4[0]->isEnabled() && d->Option4[0]->isChecked());
    EXPECT_EQ(d->B->value(), 0);
    d->Command5->click();
    EXPECT_EQ(d->result(), QDialog::Rejected);
    d.reset();
    // The pane keeps its colour for this run; only the stored value changed.
    EXPECT_EQ(paneColour(f), QColor(10, 20, 30));
    EXPECT_FALSE(f.isChecked(Command::MunuASet));

    const QStringList saved = lines(end());
    ASSERT_EQ(saved.size(), untouched.size());
    for (int i = 0; i < saved.size(); ++i) {
        if (saved[i].startsWith(QLatin1String("Backcolor")))
            EXPECT_EQ(saved[i], untouched[i].left(untouched[i].indexOf(u'=') + 1) + QStringLiteral(" 0 "));
        else
            EXPECT_EQ(saved[i], untouched[i]);
    }
}

TEST_F(OptionsTest, BadNumbersAreRefusedAndNothingIsApplied) {
    writeIni("LastPath=" + data_.path().toUtf8() + "\r\n");
    Form1& f = start();
    auto d = options::makeForm(f);
    d->Check3->setChecked(false);
    d->R->setValue(0);
    struct Case {
        const char* interval;
        const char* size;
        const char* message;
    };
    const Case cases[] = {
        {"0.05", "10.5", "スライドショーの間隔には0.1秒以上の値が必要です"},
        {"1,5", "10.5", "スライドショーの間隔は秒数を半角の数字だけで入力してください"},
        {"3", "3", "テキスト全画面表示時の標準文字サイズは4ポイント以上必要です"},
        {"3", "1e6", "テキスト全画面表示時の標準文字サイズは1638ポイント以下にしてください"},
    };
    for (const Case& c : cases) {
        prompter_.clear();
        d->Combo1->setCurrentText(QString::fromUtf8(c.interval));
        d->Combo2->setCurrentText(QString::fromUtf8(c.size));
        d->Command4->click();
        ASSERT_EQ(prompter_.records().size(), 1u) << c.interval << " " << c.size;
        EXPECT_EQ(prompter_.records()[0].text, QString::fromUtf8(c.message));
        EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));
        EXPECT_EQ(prompter_.records()[0].buttons, Buttons::Ok);
        EXPECT_EQ(d->result(), 0) << "the dialog stays open";
    }
    EXPECT_EQ(d->SSTab1->currentIndex(), 3);
    EXPECT_TRUE(f.isChecked(Command::MunuASet));
    EXPECT_EQ(f.state().backcolorR, 255);
    EXPECT_EQ(f.state().slideShowTimer, 500);
    prompter_.clear();
}

TEST_F(OptionsTest, PluginFolderBrowserCountsStoresAndRefuses) {
    QTemporaryDir spi;
    ASSERT_TRUE(spi.isValid());
    for (const char* name : {"IFpng.spi", "ifjpeg.spi", "AXlzh.spi", "readme.txt"})
        ASSERT_TRUE(writeAll(QDir(spi.path()).filePath(name), "x"));
    Form1& f = start();
    {
        auto d = options::makeForm(f);
        ASSERT_TRUE(d->Dir1->setPath(spi.path() + u'/'));
        EXPECT_EQ(d->File1->listCount(), 3);
        EXPECT_EQ(d->Label7->text(),
                  QStringLiteral("このフォルダにはSusiePlugingが 3個有ります内、 2個がOrbetに有効です"));
        EXPECT_EQ(d->Label8->text(), spi.path());
        d->Command4->click();
        EXPECT_EQ(readStoreValue(kSection, kKey), spi.path());
    }
    {
        // Reopened on the stored folder; the root, chosen through the drive list, keeps its one separator.
        auto d = options::makeForm(f);
        EXPECT_EQ(d->Dir1->path(), spi.path());
        EXPECT_EQ(d->Label8->text(), spi.path());
        ASSERT_EQ(d->Drive1->itemData(0).toString(), QStringLiteral("/"));
        d->Drive1->setCurrentIndex(0);
        d->Drive1_Change();
        EXPECT_EQ(d->Label8->text(), QStringLiteral("/"));
        d->Command4->click();
        EXPECT_EQ(readStoreValue(kSection, kKey), QStringLiteral("/"));
    }
    {
        // A drive that cannot be read gives way to the second entry of the list.
        auto d = options::makeForm(f);
        d->Drive1->insertItem(0, QStringLiteral("/unplugged"),
                              QStringLiteral("/unplugged-drive-of-the-test"));
        d->Drive1->setCurrentIndex(0);
        d->Drive1_Change();
        EXPECT_EQ(d->Drive1->currentIndex(), 1);
        EXPECT_EQ(d->Dir1->path(), d->Drive1->itemData(1).toString());
    }
    {
        // A chosen folder that is gone, or has become a file, by the time of OK.
        QTemporaryDir other;
        const QString folder = other.filePath(QStringLiteral("plugins"));
        ASSERT_TRUE(QDir().mkdir(folder));
        auto d = options::makeForm(f);
        ASSERT_TRUE(d->Dir1->setPath(folder));
        d->Check3->setChecked(false);
        ASSERT_TRUE(QDir(folder).removeRecursively());
        d->Command4->click();
        ASSERT_TRUE(writeAll(folder, "not a folder"));
        d->Command4->click();
        ASSERT_EQ(prompter_.records().size(), 2u);
        EXPECT_EQ(prompter_.records()[0].text,
                  QStringLiteral("SusiePluginの有る場所に選んだフォルダが見つかりません。\r\n") + folder);
        EXPECT_EQ(prompter_.records()[1].text,
                  QStringLiteral("SusiePluginの有る場所にはフォルダを選んでください。\r\n") + folder);
        EXPECT_EQ(d->result(), 0);
        EXPECT_TRUE(f.isChecked(Command::MunuASet));
        EXPECT_EQ(readStoreValue(kSection, kKey), QStringLiteral("/"));
        prompter_.clear();
    }
    // The next start reads the stored folder.
    end();
    EXPECT_EQ(start().state().pluginFolder, QStringLiteral("/"));
}

// A folder named relative to wherever the program was started, or one any
// user can write, would run whatever code was put there.
TEST_F(OptionsTest, PluginFoldersThatWouldLoadOtherPeoplesCodeAreNotTaken) {
    writeStoreValue(kSection, kKey, QStringLiteral("."));
    Form1& f = start();
    EXPECT_EQ(f.state().pluginFolder, folders::join(folders::programFolder(), QStringLiteral("susie")));

    QTemporaryDir other;
    const QString shared = other.filePath(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_TRUE(QFile::setPermissions(shared, QFile::permissions(shared) | QFile::WriteOther));
    auto d = options::makeForm(f);
    ASSERT_TRUE(d->Dir1->setPath(shared));
    d->Command4->click();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text,
              QStringLiteral(
                  "SusiePluginの有る場所に選んだフォルダは他のユーザーも書き込めるため使えません。\r\n") +
                  shared);
    EXPECT_EQ(d->result(), 0);
    EXPECT_EQ(readStoreValue(kSection, kKey), QStringLiteral("."));
    prompter_.clear();
}

TEST_F(OptionsTest, CtrlOOpensTheDialogModalAndCentred) {
    Form1& f = start();
    QAction* option = f.action(Command::OptionS);
    ASSERT_TRUE(option->isEnabled());
    EXPECT_EQ(option->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    bool seen = false;
    QTimer::singleShot(0, &f, [&] {
        auto* d = qobject_cast<OptionForm*>(QApplication::activeModalWidget());
        if (!d) return;
        seen = true;
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(d->frameGeometry().topLeft(),
                  screen.topLeft() + centredOrigin(screen.size(), d->frameGeometry().size()));
        d->Command1->click();
        EXPECT_TRUE(d->Check3->isChecked() && d->Check4->isChecked() && d->Check5->isChecked());
        d->Command2->click();
        EXPECT_TRUE(d->Check3->isChecked());
        EXPECT_FALSE(d->Check4->isChecked() || d->Check5->isChecked());
        d->Check4->setChecked(true);
        d->Command5->click();
    });
    option->trigger();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(f.isChecked(Command::Hiddemset)); // cancelled
}

} // namespace
} // namespace orbet::test
