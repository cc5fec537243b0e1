#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTextEdit>

#include "Form1Fixture.h"
#include "app/ui/Panes.h"
#include "app/ui/Startup.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "display/ui/WebPane.h"
#include "navigation/ui/ListControls.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

class OpenDroppedTest : public Form1Test {
  protected:
    QString make(const char* name, const QByteArray& bytes = "hello") {
        const QString path = QDir(data_.path()).filePath(QString::fromLatin1(name));
        writeAll(path, bytes);
        return path;
    }
};

TEST_F(OpenDroppedTest, EachClassSelectsItsFilterAndEntry) {
    Form1& f = start();
    const QString doc = make("x.doc", "plain words");
    make("a.wma");
    const QString wma = make("x.wma");
    const QString txt = make("readme.TXT", "text file");
    const QString html = make("page.html", "<p>hi</p>");

    f.startup().ComB(doc);
    EXPECT_EQ(f.Combo1->currentIndex(), 13);
    EXPECT_EQ(f.RT->toPlainText(), QStringLiteral("plain words"));

    f.startup().ComB(wma);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.panes().working(); }));
    EXPECT_EQ(f.Combo1->currentIndex(), 10);
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("x.wma"));
    EXPECT_EQ(f.MMC->fileName(), wma);
    EXPECT_EQ(f.OPM->text(), wma);
    EXPECT_EQ(f.NoeP->text(), QStringLiteral("停止"));

    f.startup().ComB(txt);
    EXPECT_EQ(f.Combo1->currentIndex(), 8);
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("readme.TXT"));
    EXPECT_EQ(f.RT->toPlainText(), QStringLiteral("text file"));

    f.startup().ComB(html);
    EXPECT_EQ(f.Combo1->currentIndex(), 9);
    EXPECT_EQ(f.WB1->address(), html);
    EXPECT_TRUE(prompter_.records().empty());
}

TEST_F(OpenDroppedTest, PictureIsLoadedAndSelected) {
    Form1& f = start();
    ASSERT_TRUE(QFile::copy(testData(QStringLiteral("pictures/bmp/hopper.bmp")),
                            QDir(data_.path()).filePath("hopper.bmp")));
    f.startup().ComB(QDir(data_.path()).filePath("hopper.bmp"));
    EXPECT_EQ(f.Combo1->currentIndex(), 0);
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("hopper.bmp"));
    EXPECT_FALSE(f.MP->isEmpty());
    EXPECT_EQ(f.MP->size(), QSize(128, 128));
}

TEST_F(OpenDroppedTest, FailuresShowOneMessage) {
    Form1& f = start();
    f.startup().ComB(QString());
    EXPECT_TRUE(prompter_.records().empty());
    f.startup().ComB(QStringLiteral("/no/such/folder/x.jpg"));
    const QString broken = make("broken.jpg", "not a picture");
    f.startup().ComB(broken);
    ASSERT_EQ(prompter_.records().size(), 2u);
    for (const auto& r : prompter_.records())
        EXPECT_EQ(r.text, QStringLiteral("Command Line Error!"));
}

} // namespace
} // namespace orbet::test
