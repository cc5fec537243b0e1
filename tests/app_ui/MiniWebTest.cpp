#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "Form1Fixture.h"
#include "platform/Twips.h"
#include "support/TestSupport.h"
#include "viewers/MiniWebBrowser.h"

namespace orbet::test {
namespace {

TEST(MinWebLayoutRule, SnapsToTheMinimumThenFills) {
    EXPECT_TRUE(layoutMinWeb(1500, 5000, 300, 600).resizeFirst);
    EXPECT_EQ(layoutMinWeb(1500, 5000, 300, 600).width, 1600);
    EXPECT_EQ(layoutMinWeb(3000, 1000, 300, 600).height, 1200);
    const MinWebLayout l = layoutMinWeb(6000, 4000, 300, 600);
    EXPECT_FALSE(l.resizeFirst);
    EXPECT_EQ(l.web, (TwipsRect{0, 300, 5820, 3400}));
    EXPECT_EQ(l.textWidth, 5400);
}

TEST_F(Form1Test, MiniBrowserGoesWhereItIsToldAndFollowsLinks) {
    const QString second = QDir(data_.path()).filePath(QStringLiteral("second.html"));
    writeAll(second, "<html><body>second</body></html>");
    const QString first = QDir(data_.path()).filePath(QStringLiteral("first.html"));
    writeAll(first, ("<html><body><a id='l' href='second.html'>go</a>"
                     "<script>setTimeout(function(){document.getElementById('l').click();}, 50);</script>"
                     "</body></html>"));
    Form1& f = start();
    f.action(Command::MiniWebGo)->trigger();
    MinWeb* web = f.miniWeb();
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(web->windowTitle(), QStringLiteral("ミニマムWebブラウザー"));
    web->showMinimized();
    f.action(Command::minwebs)->trigger();
    EXPECT_EQ(f.miniWeb(), web); // the same window comes back
    EXPECT_FALSE(web->isMinimized());

    // The browser fills the window to its right and bottom edges.
    web->resize(700, 500);
    EXPECT_EQ(web->Web->geometry().right(), web->width() - 1);
    EXPECT_EQ(web->Web->geometry().bottom(), web->height() - 1);
    EXPECT_EQ(web->Web->y(), web->Text1->height());
    web->resize(40, 500); // below the minimum: snaps back to it
    EXPECT_GE(twips::fromPixels(web->width()) + kMinWebFrameWidth, 1600);
    EXPECT_LT(twips::fromPixels(web->width() - 1) + kMinWebFrameWidth, 1600);

    QSignalSpy arrived(web->Text1, &QLineEdit::textChanged);
    web->Text1->setText(first);
    QTest::keyClick(web->Text1, Qt::Key_Return);
    for (int i = 0; i < 100 && !web->Text1->text().endsWith(QLatin1String("second.html")); ++i)
        arrived.wait(200);
    EXPECT_TRUE(web->Text1->text().endsWith(QLatin1String("second.html")))
        << web->Text1->text().toStdString();
}

} // namespace
} // namespace orbet::test
