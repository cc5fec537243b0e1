#include <cstdio>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "XDriver.h"
#include "support/TestSupport.h"

// The real program under the X server that scripts/test starts, driven by
// xdotool the way a user drives it: keys, clicks, the confirmation dialog.
namespace orbet::test {
namespace {

// The colour the X screen shows at a point, as "r g b".
QString screenPixel(int x, int y) {
    return QString::fromUtf8(runProgram(buildDir() + QStringLiteral("/tests/orbet_screen_pixel"),
                                        {QString::number(x), QString::number(y)}))
        .trimmed();
}

// Waits until the point shows the colour; returns what it showed last.
QString waitForPixel(int x, int y, const QString& rgb, int timeoutMs = 10000) {
    QElapsedTimer t;
    t.start();
    QString seen = screenPixel(x, y);
    while (seen != rgb && t.elapsed() < timeoutMs) {
        QThread::msleep(200);
        seen = screenPixel(x, y);
    }
    return seen;
}

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            GTEST_SKIP() << "needs an X server (scripts/test runs xvfb-run)";
        ASSERT_TRUE(home_.isValid());
        env_ = QProcessEnvironment::systemEnvironment();
        env_.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env_.insert(QStringLiteral("ORBET_HOME"), home_.path());
        // The per-user store lands in the test's own folder, never in $HOME.
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("config")));
        env_.insert(QStringLiteral("XDG_DATA_HOME"), home_.filePath(QStringLiteral("data")));
    }

    void TearDown() override {
        if (HasFailure()) {
            // The test sleeps without an event loop, so a program that has
            // already ended is noticed only here.
            program_.waitForFinished(1000);
            std::fprintf(stderr, "program state %d, exit status %d, code %d, output:\n%s\n",
                         int(program_.state()), int(program_.exitStatus()), program_.exitCode(),
                         program_.readAll().constData());
        }
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished();
        }
    }

    void start(const QStringList& args = {}) {
        program_.setProcessEnvironment(env_);
        program_.setProcessChannelMode(QProcess::MergedChannels);
        program_.start(buildDir() + QStringLiteral("/orbet"), args);
        ASSERT_TRUE(program_.waitForStarted());
    }

    // Opens and closes the File menu, the one click that changes nothing, so
    // the window becomes active and holds the keyboard; then types.
    void keysTo(const QString& window, const QString& keys) {
        xdotool({"mousemove", "--window", window, "20", "10", "click", "1"});
        QThread::msleep(400);
        xdotool({"key", "Escape"});
        QThread::msleep(200);
        xdotool({"key", keys});
    }

    QString ini() const { return home_.filePath(QStringLiteral("picsys.ini")); }

    QTemporaryDir home_;
    QProcessEnvironment env_;
    QProcess program_;
};

TEST_F(EndToEnd, ConfirmedEndWritesEverySetting) {
    const QString folder = QDir::cleanPath(testData(QStringLiteral("pictures/jpeg")));
    ASSERT_TRUE(writeAll(ini(), "LastFilter=3\r\nLastPath=" + folder.toUtf8() + "\r\n"));
    start();
    const QString main = waitForWindow(
        QStringLiteral("^Orbet - ") + QRegularExpression::escape(folder) + u'$', 60000, &program_);
    ASSERT_FALSE(main.isEmpty()) << "the main window did not open on the restored folder";

    keysTo(main, QStringLiteral("ctrl+x"));
    const QString question = waitForWindow(QStringLiteral("^Orbet$"));
    ASSERT_FALSE(question.isEmpty()) << "no confirmation";
    // No keeps the program running.
    xdotool({"key", "n"});
    QThread::msleep(500);
    EXPECT_EQ(program_.state(), QProcess::Running);

    keysTo(main, QStringLiteral("ctrl+x"));
    ASSERT_FALSE(waitForWindow(QStringLiteral("^Orbet$")).isEmpty());
    xdotool({"key", "Return"}); // Yes is the default
    ASSERT_TRUE(program_.waitForFinished(15000));
    EXPECT_EQ(program_.exitCode(), 0);

    const QStringList lines =
        QString::fromUtf8(readAll(ini())).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 31);
    EXPECT_EQ(lines[0], QStringLiteral("LastPath=") + folder);
    EXPECT_EQ(lines[7], QStringLiteral("LastFilter=3"));
    EXPECT_EQ(lines[6], QStringLiteral("LastFileList=0"));
    EXPECT_EQ(lines[30], QStringLiteral("HideDirectory=0"));
    EXPECT_EQ(readAll(home_.filePath(QStringLiteral("Vae011.vaf"))), QByteArray(3000, ','));
    EXPECT_TRUE(readAll(home_.filePath(QStringLiteral("config/Orbet/Orbet.conf"))).contains("Task=0"));
}

TEST_F(EndToEnd, ImmediateExitWritesNothing) {
    ASSERT_TRUE(writeAll(ini(), "LastFilter=2\r\n"));
    start();
    const QString main = waitForWindow(QStringLiteral("^Orbet - "), 60000, &program_);
    ASSERT_FALSE(main.isEmpty());
    keysTo(main, QStringLiteral("shift+Delete"));
    ASSERT_TRUE(program_.waitForFinished(15000));
    EXPECT_EQ(readAll(ini()), QByteArray("LastFilter=2\r\n"));
    EXPECT_FALSE(QFile::exists(home_.filePath(QStringLiteral("Vae011.vaf"))));
}

TEST_F(EndToEnd, ResidentStartIsRememberedForTheNextStart) {
    start({QStringLiteral("/T")});
    // Without a notification area the window waits minimised instead of in the tray.
    const QString main = waitForWindow(QStringLiteral("^Orbet - "), 60000, &program_);
    ASSERT_FALSE(main.isEmpty());
    xdotool({"windowmap", main});
    keysTo(main, QStringLiteral("ctrl+x"));
    ASSERT_FALSE(waitForWindow(QStringLiteral("^Orbet$")).isEmpty());
    xdotool({"key", "Return"});
    ASSERT_TRUE(program_.waitForFinished(15000));
    EXPECT_TRUE(readAll(home_.filePath(QStringLiteral("config/Orbet/Orbet.conf"))).contains("Task=1"));
    EXPECT_EQ(QString::fromUtf8(readAll(ini())).count(QStringLiteral("\r\n")), 31);
}

TEST_F(EndToEnd, KeyboardShortcutsAndResizing) {
    const QString folder = QDir::cleanPath(testData(QStringLiteral("pictures/bmp")));
    ASSERT_TRUE(
        writeAll(ini(), "LastFilter=1\r\nLastPath=" + folder.toUtf8() + "\r\nWidth=9000\r\nHeight=7000\r\n"));
    start();
    const QString main = waitForWindow(QStringLiteral("^Orbet - "), 60000, &program_);
    ASSERT_FALSE(main.isEmpty());
    // Narrower than the minimum: the layout keeps working and the program too.
    xdotool({"windowsize", main, "200", "150"});
    QThread::msleep(300);
    xdotool({"windowsize", main, "900", "700"});
    keysTo(main, QStringLiteral("F5"));
    QThread::msleep(500);
    EXPECT_FALSE(waitForWindow(QStringLiteral("^Orbet - ") + QRegularExpression::escape(folder) + u'$', 5000)
                     .isEmpty());
    // F9 offers the shown file to its associated program; No leaves it be.
    xdotool({"key", "F9"});
    EXPECT_FALSE(waitForWindow(QStringLiteral("^Orbet$"), 10000).isEmpty()) << "no open-with question";
    xdotool({"key", "n"});
    QThread::msleep(500);
    keysTo(main, QStringLiteral("shift+Delete"));
    ASSERT_TRUE(program_.waitForFinished(15000));
    EXPECT_EQ(QString::fromUtf8(readAll(ini())).count(QStringLiteral("\r\n")), 4); // nothing saved
}

TEST_F(EndToEnd, OptionsDialogChangesThePictureBackground) {
    QTemporaryDir empty; // no picture covers the pane's background
    ASSERT_TRUE(writeAll(ini(), "LastPath=" + empty.path().toUtf8() + "\r\nWidth=9000\r\nHeight=7000\r\n"));
    start();
    const QString main = waitForWindow(QStringLiteral("^Orbet - "), 60000, &program_);
    ASSERT_FALSE(main.isEmpty());
    xdotool({"windowmove", main, "0", "0"});
    QThread::msleep(500);
    // A point in the display area, below the splitter bar.
    int x = 0, y = 0, w = 0, h = 0;
    for (const QString& line : xdotool({"getwindowgeometry", "--shell", main}).split(u'\n')) {
        const QString value = line.section(u'=', 1);
        if (line.startsWith(QLatin1String("X="))) x = value.toInt();
        if (line.startsWith(QLatin1String("Y="))) y = value.toInt();
        if (line.startsWith(QLatin1String("WIDTH="))) w = value.toInt();
        if (line.startsWith(QLatin1String("HEIGHT="))) h = value.toInt();
    }
    ASSERT_GT(w, 0);
    const int px = x + w / 2, py = y + h * 3 / 4;
    ASSERT_EQ(waitForPixel(px, py, QStringLiteral("255 255 255")), QStringLiteral("255 255 255"))
        << "the pane does not start white";

    keysTo(main, QStringLiteral("ctrl+o"));
    const QString dialog = waitForWindow(QStringLiteral("^Orbet-Option$"));
    ASSERT_FALSE(dialog.isEmpty()) << "Ctrl+O opened no options dialog";
    QThread::msleep(500);
    xdotool({"key", "Home"});   // the red slider, which has the focus, to 0
    xdotool({"key", "Return"}); // OK
    EXPECT_EQ(waitForPixel(px, py, QStringLiteral("0 255 255")), QStringLiteral("0 255 255"));

    keysTo(main, QStringLiteral("ctrl+x"));
    ASSERT_FALSE(waitForWindow(QStringLiteral("^Orbet$")).isEmpty());
    xdotool({"key", "Return"});
    ASSERT_TRUE(program_.waitForFinished(15000));
    EXPECT_TRUE(readAll(ini()).contains("\r\nBackcolorR= 0 \r\nBackcolorG= 255 \r\n"));
}

TEST_F(EndToEnd, TheWindowManagerIsToldTheMinimumSize) {
    const QString folder = QDir::cleanPath(testData(QStringLiteral("pictures/bmp")));
    ASSERT_TRUE(
        writeAll(ini(), "LastFilter=1\r\nLastPath=" + folder.toUtf8() + "\r\nWidth=9000\r\nHeight=7000\r\n"));
    start();
    const QString main = waitForWindow(QStringLiteral("^Orbet - "), 60000, &program_);
    ASSERT_FALSE(main.isEmpty());
    // What a window manager reads to refuse a smaller size: 5190 twips wide
    // (346 pixels at the 96 dots per inch of the test display).
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), main, QStringLiteral("WM_NORMAL_HINTS")});
    ASSERT_TRUE(xprop.waitForFinished(10000));
    const QString hints = QString::fromUtf8(xprop.readAllStandardOutput());
    const QRegularExpression minimum(QStringLiteral("minimum size: (\\d+) by (\\d+)"));
    const QRegularExpressionMatch m = minimum.match(hints);
    ASSERT_TRUE(m.hasMatch()) << hints.toStdString();
    EXPECT_EQ(m.captured(1).toInt(), 346);
    EXPECT_GT(m.captured(2).toInt(), 200);
    keysTo(main, QStringLiteral("shift+Delete"));
    ASSERT_TRUE(program_.waitForFinished(15000));
}

} // namespace
} // namespace orbet::test
