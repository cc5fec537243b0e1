#include <sys/stat.h>
#include <sys/types.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "Form1Fixture.h"
#include "app/core/MainLayout.h"
#include "app/ui/ExternalPrograms.h"
#include "app/ui/Navigator.h"
#include "app/ui/ShowDispatch.h"
#include "app/ui/Startup.h"
#include "app/ui/Tray.h"
#include "display/ui/PictureBox.h"
#include "navigation/ui/ListControls.h"
#include "platform/Twips.h"
#include "support/TestSupport.h"
#include "viewers/MiniWebBrowser.h"

// What a first real use of the main window showed, each as the user meets it.
namespace orbet::test {
namespace {

class FirstUseTest : public Form1Test {
  protected:
    QString put(const QString& name, const QString& source) {
        const QString path = QDir(data_.path()).filePath(name);
        EXPECT_TRUE(QFile::copy(testData(source), path)) << source.toStdString();
        return path;
    }
    // Three distinct pictures of known sizes: 128 x 128, 127 x 64, 320 x 240.
    void threePictures() {
        put(QStringLiteral("a.jpg"), QStringLiteral("pictures/jpeg/hopper.jpg"));
        put(QStringLiteral("b.bmp"), QStringLiteral("pictures/bmp/pal8.bmp"));
        put(QStringLiteral("c.gif"), QStringLiteral("pictures/gif/chi.gif"));
    }
    void iniOnData(int filter) {
        writeIni("LastFilter=" + QByteArray::number(filter) + "\r\nLastPath=" + data_.path().toUtf8() +
                 "\r\n");
    }
    // Runs the one-shot timer by its own ticks until it has done its work.
    void letTimerFinish(Form1& f) {
        f.Timer1->setInterval(20);
        f.Timer1->start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !f.Timer1->isActive(); }, 5000));
    }
};

TEST_F(FirstUseTest, TheTimerKeepsTheFileTheUserOpened) {
    threePictures();
    iniOnData(0);
    Form1& f = start(QDir(data_.path()).filePath(QStringLiteral("c.gif")));
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("c.gif"));
    letTimerFinish(f);
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("c.gif"));
    EXPECT_EQ(f.MP->size(), QSize(320, 240));
    EXPECT_EQ(f.state().currentFilePath, QDir(data_.path()).filePath(QStringLiteral("c.gif")));

    // A restored entry that is gone by the time the timer ticks gives the first one.
    form_.reset();
    writeIni("LastFilter=0\r\nLastPath=" + data_.path().toUtf8() + "\r\nLastFileList=1\r\n");
    Form1& g = start();
    ASSERT_EQ(g.File1->fileName(), QStringLiteral("b.bmp"));
    letTimerFinish(g);
    EXPECT_EQ(g.File1->fileName(), QStringLiteral("b.bmp"));
    ASSERT_TRUE(QFile::remove(QDir(data_.path()).filePath(QStringLiteral("b.bmp"))));
    g.Timer1->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !g.Timer1->isActive(); }, 5000));
    EXPECT_EQ(g.File1->fileName(), QStringLiteral("a.jpg"));
    EXPECT_EQ(g.MP->size(), QSize(128, 128));
}

TEST_F(FirstUseTest, ARelativePathIsTakenFromTheWorkingFolder) {
    threePictures();
    writeIni("LastFilter=0\r\nLastPath=/\r\n");
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(data_.path()));
    Form1& f = start(QStringLiteral("b.bmp"));
    QDir::setCurrent(before);
    EXPECT_EQ(f.Dir1->path(), data_.path());
    EXPECT_EQ(f.File1->fileName(), QStringLiteral("b.bmp"));
    EXPECT_EQ(f.MP->size(), QSize(127, 64));
}

TEST_F(FirstUseTest, TheWindowRefusesToBeSmallerThanItsMinimum) {
    Form1& f = start();
    f.show();
    const int least = twips::toPixels(5190);
    const int fileList = f.File1->height();
    f.resize(100, 80);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.width(), least);
    EXPECT_EQ(f.minimumWidth(), least);
    // As high as the file list plus 3200 twips, but never more than the screen holds.
    const int high = std::min(twips::toPixels(twips::fromPixels(fileList) + 3200),
                              f.screen()->availableGeometry().height());
    EXPECT_LE(std::abs(f.minimumHeight() - high), 1);
    EXPECT_EQ(f.height(), f.minimumHeight());
    EXPECT_EQ(minimumWindowSize(2115), (TwipsSize{5190, 5315}));
}

TEST_F(FirstUseTest, TheProgramHasItsIconInTheWindowTheTrayAndTheAboutWindow) {
    Form1& f = start();
    auto drawn = [](const QIcon& icon) {
        const QImage image = icon.pixmap(48, 48).toImage();
        int opaque = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255;
        return image.width() == 48 && opaque > 48 * 48 / 2;
    };
    EXPECT_TRUE(drawn(f.windowIcon()));
    // The same drawing scales to the sizes a desktop asks for.
    EXPECT_EQ(f.windowIcon().pixmap(256, 256).size(), QSize(256, 256));

    f.show();
    f.action(Command::taskTin)->trigger();
    EXPECT_TRUE(f.state().resident);
    EXPECT_FALSE(f.isVisible() && !f.isMinimized());
    // The tray entry takes the window's icon; where the desktop has a tray it is there.
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        const auto* icon = f.findChild<QSystemTrayIcon*>(QStringLiteral("nICO"));
        ASSERT_NE(icon, nullptr);
        EXPECT_TRUE(drawn(icon->icon()));
        EXPECT_EQ(icon->toolTip(), Tray::tipFor(f.windowTitle()));
    }
    // The double-click brings the window back and keeps the flag; "元の大きさに戻す" clears it.
    f.tray().showFromIcon();
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.state().resident);
    EXPECT_FALSE(f.tray().iconVisible());
    f.action(Command::taskTin)->trigger();
    f.action(Command::Re)->trigger();
    EXPECT_TRUE(f.isVisible() && !f.isMinimized());
    EXPECT_FALSE(f.state().resident);

    VrForm about(&f);
    ASSERT_FALSE(about.Image1->pixmap().isNull());
    EXPECT_GT(about.Image1->pixmap().width(), 16);
}

TEST_F(FirstUseTest, MenuKeysBelongToTheMainWindowOnly) {
    Form1& f = start();
    f.show();
    QSignalSpy refresh(f.action(Command::ReViewS), &QAction::triggered);
    // The test platform has no window manager to move the activation on a click.
    QApplication::setActiveWindow(&f);
    ASSERT_EQ(QApplication::activeWindow(), &f);
    QTest::keyClick(&f, Qt::Key_F5);
    EXPECT_EQ(refresh.count(), 1);

    f.action(Command::MiniWebGo)->trigger();
    MinWeb* web = f.miniWeb();
    ASSERT_NE(web, nullptr);
    QApplication::setActiveWindow(web);
    ASSERT_EQ(QApplication::activeWindow(), web);
    QTest::keyClick(web, Qt::Key_F5);
    QTest::keyClick(web, Qt::Key_F9);
    QTest::keyClick(web, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(refresh.count(), 1);
    EXPECT_EQ(quits_, 0); // Shift+Del did not end the program
    EXPECT_TRUE(prompter_.records().empty());
    web->close();
}

TEST_F(FirstUseTest, TheStatusTextStaysWhileThePointerCrossesTheMenus) {
    threePictures();
    iniOnData(0);
    Form1& f = start();
    f.show();
    const QString status = f.statusText();
    ASSERT_TRUE(status.contains(data_.path()));
    QMenu* view = f.menu("MVisu");
    view->popup(f.mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    for (QAction* item : view->actions()) {
        if (item->isSeparator()) continue;
        view->setActiveAction(item);
        item->showStatusText(f.menuBar()); // what the menu does for the item under the pointer
    }
    view->hide();
    EXPECT_EQ(f.STB->currentMessage(), status);
}

TEST_F(FirstUseTest, OpenWithFirstTestsThatTheFileExists) {
    threePictures();
    iniOnData(0);
    Form1& f = start();
    f.Combo1->setCurrentIndex(4); // ICO: nothing matches, the current path is the folder
    ASSERT_EQ(f.File1->listCount(), 0);
    f.action(Command::OPPR)->trigger();
    ASSERT_EQ(prompter_.records().size(), 1u);
    EXPECT_EQ(prompter_.records()[0].text, QStringLiteral("ファイルが指定されていません"));
    EXPECT_EQ(prompter_.records()[0].buttons, Buttons::Ok);
    f.state().currentFilePath.clear();
    f.action(Command::OPPR)->trigger();
    EXPECT_EQ(prompter_.records().back().text, QStringLiteral("ファイルが指定されていません"));
}

TEST_F(FirstUseTest, SpecialFilesAreNeverListedNorRead) {
    const QDir dir(data_.path());
    writeAll(dir.filePath(QStringLiteral("plain.txt")), "words");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.txt"))).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("zero.txt"))));
    ASSERT_TRUE(
        QFile::link(dir.filePath(QStringLiteral("plain.txt")), dir.filePath(QStringLiteral("y-link.txt"))));
    iniOnData(14);
    Form1& f = start();
    ASSERT_EQ(f.Combo1->currentIndex(), 14);
    EXPECT_EQ(f.File1->listCount(), 2);
    EXPECT_EQ(f.File1->entry(0), QStringLiteral("plain.txt"));
    EXPECT_EQ(f.File1->entry(1), QStringLiteral("y-link.txt"));
    EXPECT_EQ(f.RT->toPlainText(), QStringLiteral("words"));
    // Even when such a path reaches the dispatch, nothing reads it (a read would never return).
    for (const char* special : {"pipe.txt", "zero.txt"}) {
        for (int filter : {14, 6, 9, 1}) {
            f.Combo1->setCurrentIndex(filter);
            f.state().currentFilePath = dir.filePath(QString::fromLatin1(special));
            f.display().ShowFile(f.state().currentFilePath);
            EXPECT_TRUE(f.RT->toPlainText().isEmpty()) << special;
            EXPECT_TRUE(f.MP->isEmpty()) << special;
        }
    }
}

TEST_F(FirstUseTest, HugeGeometryInTheSettingsIsHeldWithinTheControls) {
    for (const char* bar : {"1e30", "5e9"}) {
        form_.reset();
        writeIni(QByteArray("Bar=") + bar + "\r\nWidth=5e9\r\nHeight=1e30\r\nLeft=-1e30\r\n");
        Form1& f = start();
        EXPECT_EQ(f.barTop(), 16777215) << bar;
        EXPECT_GE(f.TV->height(), 0);
        EXPECT_GE(f.BP->height(), 0);
        EXPECT_GE(f.File1->height(), 0);
        EXPECT_LE(f.width(), f.screen()->geometry().width());
        EXPECT_LE(f.height(), f.screen()->geometry().height());
    }
}

TEST_F(FirstUseTest, TheBuiltInRouteReadsOnlyItsOwnKinds) {
    put(QStringLiteral("disguised.bmp"), QStringLiteral("pictures/png/hopper.png"));
    put(QStringLiteral("real.bmp"), QStringLiteral("pictures/bmp/pal8.bmp"));
    put(QStringLiteral("photo.png"), QStringLiteral("pictures/png/hopper.png"));
    put(QStringLiteral("scan.tif"), QStringLiteral("pictures/tiff/hopper.tif"));
    put(QStringLiteral("DSC0001.JPG"), QStringLiteral("pictures/jpeg/hopper.jpg"));
    ASSERT_TRUE(writeAll(home(QStringLiteral("Vae011.vaf")),
                         "\"Own\",\"*.png;*.tif;*.bmp\",0," + QByteArray(2997, ',')));
    iniOnData(1);
    Form1& f = start();
    ASSERT_EQ(f.File1->fileName(), QStringLiteral("disguised.bmp"));
    EXPECT_TRUE(f.MP->isEmpty()); // a PNG inside, whatever the name says
    f.File1->setListIndex(1);
    EXPECT_EQ(f.MP->size(), QSize(127, 64));

    // A user filter reading built-in pictures: PNG and TIFF are not among them.
    int asked = 0;
    f.display().decodeWithPlugins = [&](const QString&) {
        ++asked;
        return QtFuture::makeReadyFuture(QImage());
    };
    f.Combo1->setCurrentIndex(15);
    ASSERT_EQ(f.File1->listCount(), 4);
    for (int i = 0; i < f.File1->listCount(); ++i) {
        f.File1->setListIndex(i);
        const bool bitmap = f.File1->fileName() == QLatin1String("real.bmp");
        EXPECT_EQ(f.MP->isEmpty(), !bitmap) << f.File1->fileName().toStdString();
    }
    EXPECT_EQ(asked, 0);

    // A camera's capital letters: listed by the picture filter, shown by the built-in loader.
    f.Combo1->setCurrentIndex(0);
    const int camera = f.File1->rowOf(QStringLiteral("DSC0001.JPG"));
    ASSERT_GE(camera, 0);
    f.File1->setListIndex(camera);
    EXPECT_EQ(f.MP->size(), QSize(128, 128));
    EXPECT_EQ(asked, 0);
}

TEST_F(FirstUseTest, PrintingIsRefusedInTheWebMediaAndProgramDisplays) {
    put(QStringLiteral("a.jpg"), QStringLiteral("pictures/jpeg/hopper.jpg"));
    put(QStringLiteral("tone.wav"), QStringLiteral("media/kde_click.wav"));
    writeAll(QDir(data_.path()).filePath(QStringLiteral("page.html")), "<p>x</p>");
    iniOnData(0);
    Form1& f = start();
    ASSERT_FALSE(f.MP->isEmpty());
    for (int filter : {10, 12, 9, 13}) {
        f.Combo1->setCurrentIndex(filter);
        prompter_.clear();
        f.action(Command::pri)->trigger();
        ASSERT_EQ(prompter_.records().size(), 1u) << filter;
        EXPECT_EQ(prompter_.records()[0].text,
                  QStringLiteral("error そのタイプは、印刷コマンドの実行はできません"));
        EXPECT_EQ(prompter_.records()[0].title, QStringLiteral("Orbet"));
    }
}

} // namespace
} // namespace orbet::test
