#include <sys/stat.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTextEdit>

#include "Form1Fixture.h"
#include "app/ui/Shutdown.h"
#include "app/ui/TextPane.h"
#include "display/FileKinds.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

TEST_F(Form1Test, SettingsFilesThatAreNotRegularFilesStartWithTheDefaults) {
    // A FIFO would block the read for good, a link to a device would never end.
    ASSERT_EQ(::mkfifo(QFile::encodeName(home(QStringLiteral("picsys.ini"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), home(QStringLiteral("Vae011.vaf"))));
    Form1& f = start();
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.Combo1->currentIndex(), 0);
    EXPECT_EQ(f.Combo1->count(), kBuiltInFilterCount);
}

TEST_F(Form1Test, AFullDiskKeepsTheSettingsFileWholeAndSaysSo) {
    SmallFileSystem fs(64);
    if (!fs.valid()) GTEST_SKIP() << fs.reason().toStdString();
    qputenv("ORBET_HOME", QFile::encodeName(fs.path()));
    const QByteArray old = "LastPath=/\r\nLastFilter=3\r\nDirPath 0=/tmp\r\n";
    ASSERT_TRUE(writeAll(fs.path() + QStringLiteral("/picsys.ini"), old));
    Form1& f = start();
    fs.fill();

    prompter_.answer(Answer::Yes);
    EXPECT_TRUE(f.shutdown().confirmClose());
    ASSERT_GE(prompter_.records().size(), 2u);
    EXPECT_TRUE(prompter_.records()[1].text.startsWith(QStringLiteral("設定を保存できませんでした。")));
    EXPECT_EQ(readAll(fs.path() + QStringLiteral("/picsys.ini")), old);
    form_.reset();
}

TEST_F(Form1Test, AFullDiskKeepsASavedTextWholeAndSaysSo) {
    SmallFileSystem fs(64);
    if (!fs.valid()) GTEST_SKIP() << fs.reason().toStdString();
    const QString target = fs.path() + QStringLiteral("/memo.txt");
    ASSERT_TRUE(writeAll(target, "the old memo"));
    Form1& f = start();
    f.RT->setPlainText(QString(20000, QLatin1Char('x')));
    fs.fill();

    prompter_.reply(target);
    f.textPane().rtfsa_Click();
    ASSERT_EQ(prompter_.records().size(), 2u);
    EXPECT_EQ(prompter_.records()[1].text, target + QStringLiteral(" に保存できませんでした。"));
    EXPECT_EQ(readAll(target), "the old memo");
}

TEST_F(Form1Test, TheWindowGoesWithEventsStillArrivingAtFilteredControls) {
    // The splitter bar, the text pane and the path box filter their events
    // through objects that reach into the operations; closing the window
    // sends them events after those are gone. The sanitizer build sees any
    // touch of freed memory here.
    Form1& f = start();
    QWidget* bar = f.findChild<QWidget*>(QStringLiteral("Bar"));
    ASSERT_TRUE(bar);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &release);
    f.Combo2->lineEdit()->setFocus();
    f.RT->show();
    form_.reset();
}

} // namespace
} // namespace orbet::test
