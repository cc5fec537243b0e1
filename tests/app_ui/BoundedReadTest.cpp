#include <sys/stat.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPromise>
#include <QTest>
#include <QTextEdit>

#include "Form1Fixture.h"
#include "app/ui/Navigator.h"
#include "app/ui/Panes.h"
#include "app/ui/ShowDispatch.h"
#include "display/FileKinds.h"
#include "display/PictureLoader.h"
#include "display/ReadLimits.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class BoundedReadTest : public Form1Test {
  protected:
    QString sparse(const QString& name, const QByteArray& head, qint64 size) {
        const QString path = QDir(data_.path()).filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(head);
        EXPECT_TRUE(f.resize(size));
        return path;
    }
    void showIn(int filter, const QString& name) {
        Form1& f = *form_;
        f.navigator().OpenFolder(data_.path());
        f.Combo1->setCurrentIndex(filter);
        for (int i = 0; i < f.File1->listCount(); ++i) {
            if (f.File1->entry(i) != name) continue;
            f.File1->setListIndex(i);
            return;
        }
        ADD_FAILURE() << name.toStdString() << " is not listed";
    }
};

TEST_F(BoundedReadTest, FilesLargerThanMemoryAreShownInPartOrRefusedAtOnce) {
    // 64 GB that take no disk space; read whole, any of them ends the program.
    constexpr qint64 kHuge = 64LL << 30;
    // Its first 20 MB are lines of text, the rest holes.
    QByteArray lines;
    while (lines.size() < 20 * 1024 * 1024)
        lines += "a line of the text file that goes on and on\r\n";
    const QString text = sparse(QStringLiteral("huge.txt"), "the first line\r\n" + lines, kHuge);
    writeAll(QDir(data_.path()).filePath(QStringLiteral("a.txt")), "small");
    writeAll(QDir(data_.path()).filePath(QStringLiteral("a.jpg")), "not a picture");
    const QString jpeg = sparse(QStringLiteral("huge.jpg"), QByteArray("\xff\xd8\xff\xe0", 4), kHuge);
    // A real JPEG whose frame header is changed to claim 60000 x 60000
    // pixels: 14 GB once decoded.
    QByteArray bomb = readAll(testData(QStringLiteral("pictures/jpeg/hopper.jpg")));
    const qsizetype sof = bomb.indexOf(QByteArray("\xff\xc0", 2));
    ASSERT_GT(sof, 0);
    bomb[sof + 5] = char(0xea), bomb[sof + 6] = char(0x60), bomb[sof + 7] = char(0xea),
               bomb[sof + 8] = char(0x60);
    writeAll(QDir(data_.path()).filePath(QStringLiteral("claims.jpg")), bomb);

    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(loadBuiltInPicture(jpeg).isNull());
    EXPECT_TRUE(loadBuiltInPicture(QDir(data_.path()).filePath(QStringLiteral("claims.jpg"))).isNull());
    EXPECT_TRUE(pictureTooLarge(jpeg));

    Form1& f = start();
    showIn(kTextFilter, QStringLiteral("huge.txt"));
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text,
              QStringLiteral("ファイルが大きいため、先頭の16MBだけを表示しています"));
    EXPECT_TRUE(f.RT->toPlainText().startsWith(QStringLiteral("the first line")));
    EXPECT_LE(f.RT->toPlainText().size(), kTextReadLimit);

    prompter_.clear();
    showIn(3, QStringLiteral("huge.jpg")); // the JPEG filter, built-in loader
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_TRUE(
        prompter_.records()[0].text.startsWith(QStringLiteral("画像が大きすぎるため表示できません (")));
    EXPECT_TRUE(f.MP->picture().isNull());

    prompter_.clear();
    showIn(kPictureFilter, QStringLiteral("claims.jpg"));
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_TRUE(
        prompter_.records()[0].text.startsWith(QStringLiteral("画像が大きすぎるため表示できません (")));
    EXPECT_TRUE(f.MP->picture().isNull());
    // "At once": far from the minutes a whole read would take.
    EXPECT_LT(clock.elapsed(), 60000);
}

TEST_F(BoundedReadTest, ADecodeThatFinishesAfterANewerShowNeverReachesThePane) {
    const QString older = testData(QStringLiteral("pictures/png/basn2c16.png"));
    const QString newer = testData(QStringLiteral("pictures/png/basn0g01.png"));
    ASSERT_TRUE(QFileInfo::exists(older) && QFileInfo::exists(newer));
    Form1& f = start();
    f.navigator().OpenFolder(QFileInfo(older).absolutePath());
    f.Combo1->setCurrentIndex(kPictureFilter);
    const QImage olderPicture(QSize(7, 7), QImage::Format_RGB32);
    QImage newerPicture(QSize(5, 3), QImage::Format_RGB32);
    newerPicture.fill(Qt::green);

    // The user's next choice comes while the plug-ins still decode the
    // first, whose picture arrives last.
    int calls = 0;
    QPromise<QImage> olderDecoding;
    f.display().decodeWithPlugins = [&](const QString& path) {
        ++calls;
        return path == older ? olderDecoding.future() : QtFuture::makeReadyFuture(newerPicture);
    };
    f.state().showEnabled = true;
    f.display().ShowFile(older);
    f.display().ShowFile(newer);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.MP->picture().size() == QSize(5, 3); }));
    olderDecoding.start();
    olderDecoding.addResult(olderPicture);
    olderDecoding.finish();
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(f.MP->picture().size(), QSize(5, 3));
    EXPECT_FALSE(f.panes().working());
}

} // namespace
} // namespace orbet::test
