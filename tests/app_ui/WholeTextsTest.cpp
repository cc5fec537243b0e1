#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTest>

#include "Form1Fixture.h"
#include "app/core/StartupRules.h"
#include "app/ui/ExternalPrograms.h"
#include "app/ui/Navigator.h"
#include "navigation/ui/ListControls.h"
#include "platform/Twips.h"
#include "platform/ui/ElidingLabel.h"
#include "support/TestSupport.h"

// Every text is whole: a label's own measure of what its text needs (its
// size hint, from its font's metrics) fits the room it is given. ctest runs
// these at the normal scale and again at QT_SCALE_FACTOR=2.
namespace orbet::test {
namespace {

void expectWhole(const QLabel* label, bool widthToo) {
    const QSize needed = label->sizeHint();
    EXPECT_LE(needed.height(), label->height())
        << label->objectName().toStdString() << ": " << label->text().toStdString();
    if (widthToo) {
        EXPECT_LE(needed.width(), label->width())
            << label->objectName().toStdString() << ": " << label->text().toStdString();
    }
}

TEST_F(Form1Test, LabelsUnderTheFileListKeepWholeLinesAtTheMinimumSize) {
    writeAll(QDir(data_.path()).filePath("big.txt"), QByteArray(1234567, 'x'));
    Form1& f = start();
    f.resize(twips::toPixels(kMinWindowWidth), 300);
    f.show();
    f.navigator().OpenFolder(data_.path());
    f.Combo1->setCurrentIndex(8); // "TXT,RTF,INI,BATファイル"
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("big.txt"));
    ASSERT_FALSE(f.Bytes->text().isEmpty());
    ASSERT_EQ(f.Info->text().count(u'\n'), 1); // two lines
    expectWhole(f.Bytes, true);
    // The second line carries the whole path; the label's tool tip holds it
    // when the list is narrower, so only the lines' height is measured.
    expectWhole(f.Info, false);
    // Nothing lies under the file list's labels but the splitter bar.
    EXPECT_LE(f.Info->geometry().bottom(), f.Bar->geometry().bottom());
    EXPECT_LE(f.File1->geometry().bottom(), f.Bytes->geometry().top());
}

TEST_F(Form1Test, TheInformationLabelShortensALongPathVisibly) {
    const QString deep =
        QDir(data_.path()).filePath(QStringLiteral("a rather long folder name/").repeated(6) + "end");
    ASSERT_TRUE(QDir().mkpath(deep));
    Form1& f = start();
    f.resize(twips::toPixels(kMinWindowWidth), 500);
    f.show();
    f.navigator().OpenFolder(deep);
    auto* info = dynamic_cast<ElidingLabel*>(f.Info);
    ASSERT_NE(info, nullptr);
    const QStringList shown = info->shownLines();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].contains(QChar(0x2026))) << shown[1].toStdString();
    EXPECT_TRUE(shown[1].endsWith(QStringLiteral("内0のオブジェクト"))) << shown[1].toStdString();
    for (const QString& line : shown)
        EXPECT_LE(info->fontMetrics().horizontalAdvance(line), info->contentsRect().width());
    EXPECT_TRUE(f.Info->toolTip().contains(deep)); // the whole text stays at hand
}

TEST_F(Form1Test, AboutTextsStandWholeBesideThePicture) {
    start();
    VrForm about(nullptr);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QImage picture(QDir(buildDir()).filePath("pd1/ti.tex"));
    ASSERT_FALSE(picture.isNull());
    const QRect pictureArea((about.width() - picture.width()) / 2, 0, picture.width(), picture.height());
    for (QLabel* label : {about.Label2, about.Label3, about.Label4, about.Label5}) {
        expectWhole(label, true);
        EXPECT_FALSE(label->geometry().intersects(pictureArea)) << label->text().toStdString();
        EXPECT_TRUE(about.rect().contains(label->geometry())) << label->text().toStdString();
    }
}

} // namespace
} // namespace orbet::test
