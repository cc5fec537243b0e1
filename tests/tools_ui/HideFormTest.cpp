#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "platform/ProgramState.h"
#include "platform/ScriptedPrompter.h"
#include "platform/Shell.h"
#include "platform/ui/ElidingLabel.h"
#include "support/TestSupport.h"
#include "tools/FolderSearch.h"
#include "tools/SearchModel.h"
#include "tools/ui/HideForm.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace orbet {
namespace {

class HideFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        HideForm::Hooks hooks;
        hooks.sendToMain = [this](const QString& folder) { sentToMain_ << folder; };
        form_ = new HideForm(prompter_, state_, hooks);
        form_->show();
        setDesktopOpener([this](const QUrl& url) {
            opened_ << url;
            return true;
        });
    }
    void TearDown() override {
        setDesktopOpener({});
        delete form_.data();
    }

    void makeTree(const QStringList& files) {
        for (const QString& f : files) {
            QDir(tmp_.path()).mkpath(QFileInfo(tmp_.filePath(f)).path());
            test::writeAll(tmp_.filePath(f), "x");
        }
    }
    void makeWideTree(int folders, int filesEach) {
        for (int f = 0; f < folders; ++f) {
            const QString d = tmp_.filePath(QStringLiteral("d%1").arg(f));
            QDir().mkpath(d);
            for (int i = 0; i < filesEach; ++i)
                QFile(d + QStringLiteral("/f%1").arg(i)).open(QIODevice::WriteOnly);
        }
    }
    bool searchAndWait() {
        QSignalSpy ended(form_.data(), &HideForm::searchEnded);
        QTest::mouseClick(form_->Command1, Qt::LeftButton);
        return ended.wait(20000);
    }
    QStringList lines() const {
        QStringList out;
        for (int row = 0; row < form_->model()->rowCount(); ++row)
            out << form_->model()->data(form_->model()->index(row)).toString();
        return out;
    }
    int selected() const {
        const QModelIndexList rows = form_->List1->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    }

    QTemporaryDir tmp_;
    ScriptedPrompter prompter_;
    ProgramState state_;
    QPointer<HideForm> form_;
    QStringList sentToMain_;
    QList<QUrl> opened_;
};

TEST_F(HideFormTest, OpensWithItsCaptionsAndFirstChoices) {
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("フォルダ/ファイル検索ﾂｰﾙ"));
    EXPECT_FALSE(form_->isModal());
    const std::pair<QAbstractButton*, const char*> captions[] = {
        {form_->Option1, "ディレクトリ"}, {form_->Option2, "ファイル"},
        {form_->Option3, "両方"},         {form_->Check1, "下層ディレクトリ検索"},
        {form_->Option4, "名前"},         {form_->Option5, "Ｄ＞Ｆ"},
        {form_->Option6, "Ｆ＞Ｄ"},       {form_->Check2, "高速処理(リストボックスを隠す)"},
        {form_->Command1, "検索開始"},    {form_->Command2, "反映"},
        {form_->Command3, "開く"}};
    for (const auto& [button, caption] : captions) {
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
        EXPECT_EQ(form_->findChild<QAbstractButton*>(button->objectName()), button);
    }
    EXPECT_EQ(form_->Frame1->title(), QStringLiteral("検索対象"));
    EXPECT_EQ(form_->Frame2->title(), QStringLiteral("ソート"));
    EXPECT_EQ(form_->Label2->text(), QStringLiteral("出力先"));
    ASSERT_EQ(form_->Combo1->count(), 3);
    EXPECT_EQ(form_->Combo1->currentText(), QStringLiteral("親フォーム"));
    EXPECT_EQ(form_->Combo1->itemText(1), QStringLiteral("フォルダーフォーム"));
    EXPECT_EQ(form_->Combo1->itemText(2), QStringLiteral("フォルダ検索ツール"));
    EXPECT_EQ(form_->Label1->text(),
              QDir::currentPath() == "/" ? QStringLiteral("/") : QDir::currentPath() + u'/');
    EXPECT_TRUE(form_->Option1->isChecked());
    EXPECT_TRUE(form_->Option4->isChecked());
    EXPECT_FALSE(form_->Check1->isChecked());
    EXPECT_FALSE(form_->Check2->isChecked());
    EXPECT_FALSE(form_->Check2->isEnabled());
    // Files only never descends.
    form_->Option2->click();
    EXPECT_FALSE(form_->Check1->isEnabled());
    form_->Option3->click();
    EXPECT_TRUE(form_->Check1->isEnabled());
    // The window keeps to its minimum size.
    form_->resize(50, 50);
    QApplication::processEvents();
    EXPECT_GE(form_->width(), 5700 * form_->logicalDpiX() / 1440 - 1);
}

TEST_F(HideFormTest, SearchesSortsAndFindsAsThePartSays) {
    makeTree({"a/1.txt", "b/2.txt"});
    form_->setFolder(tmp_.path());
    const QString r = tmp_.path() + u'/';
    EXPECT_EQ(form_->Label1->text(), r);
    form_->Option3->click();
    form_->Check1->click();
    ASSERT_TRUE(searchAndWait());
    EXPECT_EQ(lines(),
              (QStringList{r + "<D>", r + "a/<D>", r + "a/1.txt/<F>", r + "b/<D>", r + "b/2.txt/<F>"}));
    EXPECT_EQ(form_->Label3->text(), QStringLiteral("検索完了 5のオブジェクト 内ディレクトリ3  ファイル2"));
    EXPECT_EQ(selected(), 0);
    EXPECT_TRUE(form_->Check2->isEnabled());
    EXPECT_TRUE(form_->Command1->isEnabled());
    EXPECT_FALSE(form_->Command4->isEnabled());

    // The sort buttons re-order what is there: a new file is not searched for.
    makeTree({"c.txt"});
    form_->Option6->click();
    EXPECT_EQ(lines(),
              (QStringList{r + "a/1.txt/<F>", r + "b/2.txt/<F>", r + "<D>", r + "a/<D>", r + "b/<D>"}));
    form_->Option5->click();
    EXPECT_EQ(lines(),
              (QStringList{r + "<D>", r + "a/<D>", r + "b/<D>", r + "a/1.txt/<F>", r + "b/2.txt/<F>"}));
    EXPECT_EQ(form_->Label3->text(), QStringLiteral("検索完了 5のオブジェクト 内ディレクトリ3  ファイル2"));

    QTest::keyClicks(form_->Text1, r.toUpper() + "B/2");
    EXPECT_EQ(selected(), 4);
    QTest::keyClicks(form_->Text1, "x");
    EXPECT_EQ(selected(), -1);

    // Files only, and subfolders off.
    form_->Option2->click();
    ASSERT_TRUE(searchAndWait());
    EXPECT_EQ(lines(), (QStringList{r + "<D>", r + "c.txt/<F>"}));
    EXPECT_EQ(form_->Label3->text(), QStringLiteral("検索完了 2のオブジェクト 内ディレクトリ1  ファイル1"));
    EXPECT_TRUE(form_->Check1->isEnabled()); // the search's last step enables it, whatever was listed
    form_->Option3->click();
    form_->Check1->click();
    form_->Option4->click();
    ASSERT_TRUE(searchAndWait());
    EXPECT_EQ(lines(), (QStringList{r + "<D>", r + "a/<D>", r + "b/<D>", r + "c.txt/<F>"}));
}

TEST_F(HideFormTest, ApplyAndOpenTheSelectedEntry) {
    makeTree({"a/1.txt"});
    form_->setFolder(tmp_.path());
    const QString r = tmp_.path() + u'/';
    // Nothing listed, nothing selected.
    form_->Command2->click();
    form_->Command3->click();
    ASSERT_EQ(prompter_.records().size(), 2u);
    for (const auto& rec : prompter_.records()) {
        EXPECT_EQ(rec.text, QStringLiteral("選択されていません"));
        EXPECT_EQ(rec.title, QStringLiteral("Orbet"));
        EXPECT_EQ(rec.buttons, Buttons::Ok);
    }
    form_->Option3->click();
    form_->Check1->click();
    ASSERT_TRUE(searchAndWait());
    form_->List1->setCurrentIndex(form_->model()->index(1)); // a/
    form_->Command2->click();
    EXPECT_EQ(sentToMain_, QStringList{r + "a/"});
    form_->Combo1->setCurrentIndex(1);
    form_->Command2->click();
    EXPECT_EQ(sentToMain_.size(), 1);
    form_->Combo1->setCurrentIndex(2);
    form_->Command2->click();
    EXPECT_EQ(form_->Label1->text(), r + "a/");
    form_->Command3->click();
    form_->List1->setCurrentIndex(form_->model()->index(2)); // a/1.txt
    form_->Command3->click();
    EXPECT_EQ(opened_, (QList<QUrl>{QUrl::fromLocalFile(r + "a/"), QUrl::fromLocalFile(r + "a/1.txt")}));
    EXPECT_EQ(prompter_.records().size(), 2u);

    form_->Label1->setText(QString());
    form_->Command1_Click();
    ASSERT_EQ(prompter_.records().size(), 3u);
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("選択してください"));
}

TEST_F(HideFormTest, CancelStopsAtOnceAndClosingMidSearchIsSafe) {
    makeWideTree(300, 60); // 18,301 entries
    form_->setFolder(tmp_.path());
    form_->beforeListing = [](const QByteArray&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
    };
    form_->Option3->click();
    form_->Check1->click();
    QSignalSpy ended(form_.data(), &HideForm::searchEnded);
    form_->Command1->click();
    EXPECT_FALSE(form_->Command1->isEnabled());
    EXPECT_TRUE(form_->Command4->isEnabled());
    EXPECT_FALSE(form_->Option4->isEnabled());
    form_->Check2->click(); // fast mode may be switched during the search
    EXPECT_FALSE(form_->List1->isVisible());
    QElapsedTimer t;
    t.start();
    while (form_->model()->rowCount() == 0 && t.elapsed() < 5000)
        QApplication::processEvents();
    ASSERT_GT(form_->model()->rowCount(), 0);
    form_->Command4->click();
    ASSERT_EQ(ended.size(), 1);
    const int rows = form_->model()->rowCount();
    EXPECT_LT(rows, 18301);
    EXPECT_TRUE(form_->Label3->text().startsWith(QStringLiteral("検索中止 ") + QString::number(rows) +
                                                 "のオブジェクト"));
    EXPECT_TRUE(form_->List1->isVisible());
    EXPECT_TRUE(form_->Command1->isEnabled());
    QTest::qWait(100);
    EXPECT_EQ(form_->model()->rowCount(), rows);
    // Every entry's folder was listed before it.
    const SearchEntries& e = form_->model()->entries();
    for (std::uint32_t i = 1; i < e.size(); ++i)
        ASSERT_TRUE(e.record(i).parent < i && e.isFolder(e.record(i).parent));

    // A sort button sorts the partial list, which stays a stopped search's.
    form_->Option4->click();
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(lines().first(), tmp_.path() + "/<D>");
    EXPECT_TRUE(form_->Label3->text().startsWith(QStringLiteral("検索中止 ") + QString::number(rows) +
                                                 "のオブジェクト"))
        << form_->Label3->text().toStdString();
    form_->Option5->click();
    EXPECT_TRUE(form_->Label3->text().startsWith(QStringLiteral("検索中止 ")))
        << form_->Label3->text().toStdString();

    // Started twice in a row: only the second search's entries, once each.
    form_->beforeListing = {};
    form_->Command1_Click();
    form_->Command1_Click();
    ASSERT_TRUE(ended.wait(20000));
    QTest::qWait(50);
    EXPECT_EQ(form_->model()->rowCount(), 1 + 300 + 300 * 60);
    EXPECT_EQ(form_->Label3->text(),
              QStringLiteral("検索完了 18301のオブジェクト 内ディレクトリ301  ファイル18000"));

    // Closed mid-search: the window goes, the worker with it.
    form_->Command1_Click();
    form_->close();
    QTest::qWait(50);
    EXPECT_TRUE(form_.isNull());
}

// At the size the window opens with, every caption is whole, and the status
// line, which holds whole paths, is shortened visibly rather than cut off.
TEST_F(HideFormTest, TextsStandWholeOrVisiblyShortenedAtTheOpeningSize) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.data()));
    for (QWidget* w : {static_cast<QWidget*>(form_->Combo1), static_cast<QWidget*>(form_->Label2)}) {
        EXPECT_GE(w->width(), w->sizeHint().width()) << w->objectName().toStdString();
        EXPECT_GE(w->height(), w->fontMetrics().height()) << w->objectName().toStdString();
    }
    form_->Combo1->setCurrentIndex(2); // "フォルダ検索ツール", the longest
    EXPECT_GE(form_->Combo1->width(), form_->Combo1->sizeHint().width());
    EXPECT_GE(form_->Label3->height(), form_->Label3->fontMetrics().height());

    auto* status = dynamic_cast<ElidingLabel*>(form_->Label3);
    ASSERT_NE(status, nullptr);
    const QString deep = QStringLiteral("/very/deep").repeated(40) + QStringLiteral("/end");
    status->setText(walkingText(deep, QStringLiteral("name.txt"), false));
    const QStringList shown = status->shownLines();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QChar(0x2026))) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("directory/")));
    EXPECT_TRUE(shown[0].endsWith(QStringLiteral("file!!")));
    EXPECT_LE(status->fontMetrics().horizontalAdvance(shown[0]), status->contentsRect().width());
    status->setText(completionText(5, 3, 2));
    EXPECT_EQ(status->shownLines(), QStringList{completionText(5, 3, 2)}); // a short line stands as it is
}

// A folder read that never returns (a dead network or FUSE mount) is
// simulated by a walk held at one folder until the test lets it go, or ten
// seconds pass: a window that waited for its worker would come back only then.
struct HeldRead {
    std::atomic<bool> entered{false}, release{false}, left{false};
    void hold() {
        entered = true;
        for (int i = 0; i < 1000 && !release; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        left = true;
    }
};

TEST_F(HideFormTest, AFolderReadThatHangsNeverHoldsTheWindow) {
    makeTree({"a/1.txt", "b/2.txt"});
    form_->setFolder(tmp_.path());
    const QString r = tmp_.path() + u'/';
    form_->Option3->click();
    form_->Check1->click();
    auto held = std::make_shared<HeldRead>();
    form_->beforeListing = [held](const QByteArray& folder) {
        if (folder.endsWith("/a/")) held->hold();
    };
    QSignalSpy ended(form_.data(), &HideForm::searchEnded);
    QTest::mouseClick(form_->Command1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return held->entered.load(); }, 5000));
    QTest::mouseClick(form_->Command4, Qt::LeftButton);
    EXPECT_FALSE(held->left); // "中止" came back while the read still hung
    ASSERT_EQ(ended.size(), 1);
    EXPECT_TRUE(form_->Label3->text().startsWith(QStringLiteral("検索中止 ")))
        << form_->Label3->text().toStdString();
    EXPECT_TRUE(form_->Command1->isEnabled());

    // A new search runs beside the hung worker, and what that one still finds is dropped.
    form_->beforeListing = {};
    ASSERT_TRUE(searchAndWait());
    EXPECT_FALSE(held->left);
    const QStringList whole{r + "<D>", r + "a/<D>", r + "a/1.txt/<F>", r + "b/<D>", r + "b/2.txt/<F>"};
    EXPECT_EQ(lines(), whole);
    held->release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return held->left.load(); }, 5000));
    QTest::qWait(50);
    EXPECT_EQ(lines(), whole);
    EXPECT_EQ(form_->Label3->text(), QStringLiteral("検索完了 5のオブジェクト 内ディレクトリ3  ファイル2"));

    // Closed while the read hangs: the window goes at once.
    auto again = std::make_shared<HeldRead>();
    form_->beforeListing = [again](const QByteArray& folder) {
        if (folder.endsWith("/a/")) again->hold();
    };
    QTest::mouseClick(form_->Command1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return again->entered.load(); }, 5000));
    form_->close();
    QTest::qWait(20);
    EXPECT_TRUE(form_.isNull());
    EXPECT_FALSE(again->left);
    again->release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return again->left.load(); }, 5000));
}

} // namespace
} // namespace orbet
