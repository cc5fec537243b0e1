#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/Startup.h"
#include "app/ui/ViewerCommands.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/FolderTree.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"
#include "viewers/ui/AllWindow.h"
#include "viewers/ui/ImageView.h"

namespace orbet::test {
namespace {

constexpr int kFiles = 100000;

QString nameOf(int i) {
    return QString::asprintf("p%06d.jpg", i);
}

// A camera dump: a hundred thousand pictures, every one listed by the
// picture filter. Only the one the tests show is a real picture; the list
// never opens the others.
class LargeFolderTest : public Form1Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = new QTemporaryDir;
        const QByteArray base = QFile::encodeName(folder_->path()) + '/';
        for (int i = 0; i < kFiles; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "p%06d.jpg", i);
            const int fd = ::open((base + name).constData(), O_CREAT | O_WRONLY, 0644);
            ASSERT_GE(fd, 0);
            ::close(fd);
        }
        const QDir jpegs(testData(QStringLiteral("pictures/jpeg")));
        const QStringList small =
            jpegs.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Size | QDir::Reversed);
        ASSERT_FALSE(small.isEmpty());
        picture_ = jpegs.filePath(small.first());
        for (int i : {0, 1, 50000, kFiles - 3, kFiles - 2, kFiles - 1}) {
            QFile::remove(path(nameOf(i)));
            ASSERT_TRUE(QFile::copy(picture_, path(nameOf(i))));
        }
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static QString path(const QString& name) { return folder_->filePath(name); }

    Form1& startOn(int shown) {
        Form1& f = start(path(nameOf(shown)));
        f.show();
        return f;
    }
    bool listed(Form1& f) {
        return QTest::qWaitFor([&] { return !f.File1->isListing(); }, 20000);
    }

    static QTemporaryDir* folder_;
    static QString picture_;
};

QTemporaryDir* LargeFolderTest::folder_ = nullptr;
QString LargeFolderTest::picture_;

TEST_F(LargeFolderTest, TheNamedPictureComesFirstAndTheWholeListFollowsWithItSelected) {
    Form1& f = startOn(50000);
    // On screen before the list is complete, and not shown again once it is.
    ASSERT_FALSE(f.MP->isEmpty());
    EXPECT_EQ(f.state().currentFilePath, path(nameOf(50000)));
    const qint64 shown = f.MP->picture().cacheKey();
    ASSERT_TRUE(listed(f));
    EXPECT_EQ(f.File1->listCount(), kFiles);
    EXPECT_EQ(f.File1->listIndex(), 50000);
    EXPECT_EQ(f.File1->fileName(), nameOf(50000));
    EXPECT_EQ(f.File1->entry(0), nameOf(0));
    EXPECT_EQ(f.File1->entry(kFiles - 1), nameOf(kFiles - 1));
    EXPECT_EQ(f.File1->entryText(12345), nameOf(12345));
    EXPECT_EQ(f.MP->picture().cacheKey(), shown);
    EXPECT_TRUE(f.statusText().contains(QStringLiteral("内100000のオブジェクト")))
        << f.statusText().toStdString();
}

TEST_F(LargeFolderTest, TimerRereadsChangeOnlyTheRowsThatDifferAndKeepTheShownPicture) {
    Form1& f = startOn(50000);
    ASSERT_TRUE(listed(f));
    f.File1->scrollTo(f.File1->model()->index(49990, 0), QAbstractItemView::PositionAtTop);
    QCoreApplication::processEvents();
    int scrolled = f.File1->verticalScrollBar()->value();
    qint64 shown = f.MP->picture().cacheKey();
    QSignalSpy resets(f.File1->model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(f.File1->model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(f.File1->model(), &QAbstractItemModel::rowsRemoved);

    // Two pictures arrive near the top and one goes, all before the shown one.
    for (const char* name : {"p000000a.jpg", "p000000b.jpg"})
        QFile(path(QLatin1String(name))).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::remove(path(nameOf(3))));
    f.Timer1->start();
    f.startup().Timer1_Timer(); // the tick after a start that showed a file only rearms
    f.startup().Timer1_Timer();
    ASSERT_TRUE(listed(f));
    EXPECT_EQ(f.File1->listCount(), kFiles + 1);
    EXPECT_EQ(f.File1->entry(1), QStringLiteral("p000000a.jpg"));
    EXPECT_EQ(f.File1->entry(3), nameOf(1));
    EXPECT_EQ(f.File1->entry(5), nameOf(4));
    EXPECT_EQ(f.File1->fileName(), nameOf(50000));
    EXPECT_EQ(f.File1->listIndex(), 50001);
    EXPECT_EQ(f.File1->verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(f.MP->picture().cacheKey(), shown);
    EXPECT_EQ(resets.size(), 0);
    EXPECT_EQ(inserted.size(), 1);
    EXPECT_EQ(removed.size(), 1);

    // Past a hundred thousand rows the view lays them out a slice per turn;
    // a row chosen before its slice is laid out is still brought into view.
    f.File1->setListIndex(kFiles);
    EXPECT_EQ(f.File1->fileName(), nameOf(kFiles - 1));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return f.File1->viewport()->rect().intersects(f.File1->visualRect(f.File1->currentIndex())); },
        5000));
    f.File1->setListIndex(50001);
    f.File1->scrollTo(f.File1->model()->index(49990, 0), QAbstractItemView::PositionAtTop);
    QCoreApplication::processEvents();
    scrolled = f.File1->verticalScrollBar()->value();
    shown = f.MP->picture().cacheKey();

    // Read again with nothing changed: not one row moves.
    inserted.clear();
    removed.clear();
    f.File1->refresh();
    ASSERT_TRUE(listed(f));
    EXPECT_EQ(resets.size() + inserted.size() + removed.size(), 0);
    EXPECT_EQ(f.MP->picture().cacheKey(), shown);
    EXPECT_EQ(f.File1->verticalScrollBar()->value(), scrolled);

    // The shown file goes: the folder is opened afresh on the first entry.
    for (const char* name : {"p000000a.jpg", "p000000b.jpg"})
        QFile::remove(path(QLatin1String(name)));
    const int fd = ::open(QFile::encodeName(path(nameOf(3))).constData(), O_CREAT | O_WRONLY, 0644);
    ::close(fd);
    ASSERT_TRUE(QFile::rename(path(nameOf(50000)), path(QStringLiteral("moved.tmp"))));
    f.Timer1->start();
    f.startup().Timer1_Timer();
    ASSERT_TRUE(listed(f));
    ASSERT_TRUE(QFile::rename(path(QStringLiteral("moved.tmp")), path(nameOf(50000))));
    EXPECT_EQ(f.File1->listCount(), kFiles - 1);
    EXPECT_EQ(f.File1->listIndex(), 0);
    EXPECT_EQ(f.state().currentFilePath, path(nameOf(0)));
}

TEST_F(LargeFolderTest, KeysAndTheViewerStepAcrossTheWholeList) {
    Form1& f = startOn(kFiles - 1);
    f.Timer1->stop(); // no re-read of the folder between the steps
    ASSERT_TRUE(listed(f));
    ASSERT_EQ(f.File1->listIndex(), kFiles - 1);
    f.File1->setListIndex(kFiles - 3);
    f.File1->setFocus();
    QTest::keyClick(f.File1, Qt::Key_Down);
    QTest::keyClick(f.File1, Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.File1->listIndex(), kFiles - 1);
    EXPECT_EQ(f.state().currentFilePath, path(nameOf(kFiles - 1)));
    EXPECT_FALSE(f.MP->isEmpty());

    f.File1->clearFocus(); // the full-screen window takes the keys, as it does on a desktop
    f.action(Command::ZenBit)->trigger();
    ViewerCommands& viewers = *f.findChild<ViewerCommands*>();
    ASSERT_TRUE(viewers.allWindow());
    AllWindow& w = *viewers.allWindow();
    QTest::keyClick(&w, Qt::Key_Right); // past the last entry to the first
    EXPECT_EQ(f.File1->listIndex(), 0);
    EXPECT_EQ(f.state().currentFilePath, path(nameOf(0)));
    EXPECT_EQ(w.Picture1->picture().cacheKey(), f.MP->picture().cacheKey());
    QTest::keyClick(&w, Qt::Key_Left);
    EXPECT_EQ(f.File1->listIndex(), kFiles - 1);
    EXPECT_EQ(f.state().currentFilePath, path(nameOf(kFiles - 1)));
}

TEST_F(LargeFolderTest, AnotherFilterListsOnTheWorkerAndSelectsItsFirstFile) {
    Form1& f = startOn(50000);
    ASSERT_TRUE(listed(f));
    f.Combo1->setCurrentIndex(6); // text files: none here
    ASSERT_TRUE(listed(f));
    EXPECT_EQ(f.File1->listCount(), 0);
    EXPECT_EQ(f.File1->listIndex(), -1);
    f.Combo1->setCurrentIndex(0);
    ASSERT_TRUE(listed(f));
    EXPECT_EQ(f.File1->listCount(), kFiles);
    EXPECT_EQ(f.File1->listIndex(), 0);
    EXPECT_EQ(f.state().currentFilePath, path(nameOf(0)));
    EXPECT_FALSE(f.MP->isEmpty());
    // The export and the tools take the whole list even while it is made.
    f.File1->refresh();
    f.Combo1->setCurrentIndex(14);
    f.File1->finishListing();
    EXPECT_FALSE(f.File1->isListing());
    EXPECT_EQ(f.File1->listCount(), kFiles);
}

TEST_F(LargeFolderTest, ATreeNodeOfThousandsOfSubfoldersGetsItsNodesASlicePerTurn) {
    QTemporaryDir root;
    const QString parent = root.filePath(QStringLiteral("many"));
    for (int i = 0; i < 2500; ++i)
        ASSERT_TRUE(QDir().mkpath(parent + QString::asprintf("/d%04d", i)));
    ASSERT_TRUE(QDir().mkpath(parent + QStringLiteral("/d2499/inner")));
    Form1& f = start();
    FolderTree& tree = f.navigator().tree();
    f.Timer1->stop();
    f.navigator().OpenTreePath(root.path());
    QTreeWidgetItem* top = tree.findKey(QDir::cleanPath(root.path()));
    ASSERT_TRUE(top);
    top->setExpanded(true);
    QTreeWidgetItem* node = tree.findKey(parent);
    ASSERT_TRUE(node);
    node->setExpanded(true);
    EXPECT_EQ(node->childCount(), 1000); // the first slice; the rest follow turn by turn
    EXPECT_TRUE(QTest::qWaitFor([&] { return node->childCount() == 2500; }, 10000));
    EXPECT_EQ(FolderTree::keyOf(node->child(2499)), parent + QStringLiteral("/d2499"));
    tree.settleProbes();
    EXPECT_EQ(node->child(2499)->childCount(), 1); // it has a subfolder: the "+" stays
    EXPECT_EQ(node->child(0)->childCount(), 0);

    // Closed before its nodes are all there: the rest never arrive.
    node->setExpanded(false);
    node->setExpanded(true);
    node->setExpanded(false);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(node->childCount(), 1);

    // A walk to a folder beyond the first slice finds it at once.
    f.navigator().OpenTreePath(parent + QStringLiteral("/d2499/inner"));
    EXPECT_EQ(FolderTree::keyOf(tree.highlighted()), parent + QStringLiteral("/d2499/inner"));
    EXPECT_EQ(f.Dir1->path(), parent + QStringLiteral("/d2499/inner"));
}

} // namespace
} // namespace orbet::test
