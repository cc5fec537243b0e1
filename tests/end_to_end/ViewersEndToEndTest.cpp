#include <bit>

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>

#include <gtest/gtest.h>

#include "XDriver.h"
#include "support/TestSupport.h"

// The full-screen window of the real program under the X server, driven by
// keys as a user drives it, and checked on the screen itself.
namespace orbet::test {
namespace {

// One pixel of the whole screen, read from an xwd dump (ZPixmap, 24 or 32 bits).
QRgb screenPixel(int x, int y) {
    const QByteArray d = runProgram(QStringLiteral("xwd"), {"-root", "-silent"});
    if (d.size() < 100) return 0;
    auto field = [&](int i) { return qFromBigEndian<quint32>(d.constData() + 4 * i); };
    const quint32 headerSize = field(0), byteOrder = field(7), bitsPerPixel = field(11),
                  bytesPerLine = field(12);
    const quint32 masks[3] = {field(14), field(15), field(16)};
    const qsizetype offset = headerSize + field(19) * 12 + y * bytesPerLine + x * (bitsPerPixel / 8);
    if (bitsPerPixel != 32 || offset + 4 > d.size()) return 0;
    const quint32 v = byteOrder == 0 ? qFromLittleEndian<quint32>(d.constData() + offset)
                                     : qFromBigEndian<quint32>(d.constData() + offset);
    int channel[3];
    for (int c = 0; c < 3; ++c) {
        const int shift = std::countr_zero(masks[c]);
        channel[c] = int((v & masks[c]) >> shift);
    }
    return qRgb(channel[0], channel[1], channel[2]);
}

bool screenBecomes(QPoint at, QRgb colour) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 15000) {
        if (screenPixel(at.x(), at.y()) == colour) return true;
        QThread::msleep(200);
    }
    return false;
}

TEST(ViewersEndToEnd, FullScreenStepsWithTheArrowKeyAndClosesWithX) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (scripts/test runs xvfb-run)";
    if (QStandardPaths::findExecutable(QStringLiteral("xwd")).isEmpty())
        GTEST_SKIP() << "needs xwd (x11-apps)";
    QTemporaryDir home, pictures;
    ASSERT_TRUE(home.isValid() && pictures.isValid());
    QImage red(400, 300, QImage::Format_RGB32), blue(400, 300, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    blue.fill(qRgb(0, 0, 255));
    ASSERT_TRUE(red.save(pictures.filePath(QStringLiteral("a.bmp"))));
    ASSERT_TRUE(blue.save(pictures.filePath(QStringLiteral("b.bmp"))));
    const QString folder = QDir::cleanPath(pictures.path());
    // The BMP filter on the folder; pictures stretched over the screen.
    ASSERT_TRUE(writeAll(home.filePath(QStringLiteral("picsys.ini")),
                         "LastFilter=1\r\nLastPath=" + folder.toUtf8() + "\r\nAutoMode=1\r\nSetAutoH=0\r\n"));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("ORBET_HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(buildDir() + QStringLiteral("/orbet"), {});
    ASSERT_TRUE(program.waitForStarted());
    struct Ender {
        QProcess& p;
        ~Ender() {
            if (p.state() != QProcess::NotRunning) {
                p.kill();
                p.waitForFinished();
            }
        }
    } ender{program};

    const QString main =
        waitForWindow(QStringLiteral("^Orbet - ") + QRegularExpression::escape(folder) + u'$');
    ASSERT_FALSE(main.isEmpty()) << "the main window did not open on the folder";
    // The start-up's one-shot timer reopens the folder a second after the start; let it pass.
    QThread::msleep(1500);
    // The window takes the keyboard: open and close the File menu, then F8.
    xdotool({"mousemove", "--window", main, "20", "10", "click", "1"});
    QThread::msleep(400);
    xdotool({"key", "Escape"});
    QThread::msleep(300);
    xdotool({"key", "F8"});
    // A corner of the screen far from the main window shows the first picture.
    const QPoint corner(1270, 1010), centre(640, 512);
    ASSERT_TRUE(screenBecomes(corner, qRgb(255, 0, 0))) << "no full-screen picture";
    EXPECT_EQ(screenPixel(centre.x(), centre.y()), qRgb(255, 0, 0));

    // The full-screen window took the keyboard when it opened; keep the keys going to it.
    const QString full = xdotool({"getwindowfocus"});
    xdotool({"key", "Right"});
    EXPECT_TRUE(screenBecomes(corner, qRgb(0, 0, 255))) << "Right did not bring the next picture";
    EXPECT_EQ(screenPixel(centre.x(), centre.y()), qRgb(0, 0, 255));

    if (!full.isEmpty()) xdotool({"windowfocus", "--sync", full});
    xdotool({"key", "x"});
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000 && screenPixel(corner.x(), corner.y()) == qRgb(0, 0, 255))
        QThread::msleep(200);
    EXPECT_NE(screenPixel(corner.x(), corner.y()), qRgb(0, 0, 255))
        << "X did not close the full-screen window";
    EXPECT_EQ(program.state(), QProcess::Running);

    // The main window followed the step: its list selection is saved at the end.
    xdotool({"mousemove", "--window", main, "20", "10", "click", "1"});
    QThread::msleep(400);
    xdotool({"key", "Escape"});
    QThread::msleep(300);
    xdotool({"key", "ctrl+x"});
    ASSERT_FALSE(waitForWindow(QStringLiteral("^Orbet$")).isEmpty());
    xdotool({"key", "Return"});
    ASSERT_TRUE(program.waitForFinished(15000));
    const QByteArray ini = readAll(home.filePath(QStringLiteral("picsys.ini")));
    EXPECT_TRUE(ini.contains("LastFileList=1\r\n")) << ini.constData();
}

} // namespace
} // namespace orbet::test
