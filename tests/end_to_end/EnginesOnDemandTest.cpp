// The web engine and the media framework are a module the program opens on
// first use: a start on pictures never maps them, the first web page does.
// Nor does a picture start load image readers it does not need.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace orbet::test {
namespace {

QByteArray mapsOf(qint64 pid) {
    return readAll(QStringLiteral("/proc/%1/maps").arg(pid));
}

// Waits until the process maps a file whose path matches; the maps text.
QByteArray waitForMapping(qint64 pid, const QByteArray& needle, int timeoutMs) {
    QByteArray maps = mapsOf(pid);
    for (int waited = 0; !maps.contains(needle) && waited < timeoutMs; waited += 100) {
        QThread::msleep(100);
        maps = mapsOf(pid);
    }
    return maps;
}

TEST(EnginesOnDemand, APictureStartMapsNoEngineAndTheFirstPageDoes) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X server (scripts/test runs xvfb-run)";
    QTemporaryDir home, data;
    ASSERT_TRUE(home.isValid() && data.isValid());
    const QString page = QDir(data.path()).filePath(QStringLiteral("page.html"));
    ASSERT_TRUE(writeAll(page, "<html><body>page</body></html>"));
    const QString picture = QDir(data.path()).filePath(QStringLiteral("a.jpg"));
    ASSERT_TRUE(QFile::copy(testData(QStringLiteral("pictures/jpeg/")) +
                                QDir(testData(QStringLiteral("pictures/jpeg")))
                                    .entryList({QStringLiteral("*.jpg")}, QDir::Files)
                                    .value(0),
                            picture));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("ORBET_HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("ORBET_STARTUP_TRACE"), QStringLiteral("1"));

    for (const QString& target : {picture, page}) {
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(buildDir() + QStringLiteral("/orbet"), {target});
        ASSERT_TRUE(program.waitForStarted());
        // The start is over once the window has shown.
        for (int waited = 0; !program.readAll().contains("window shown") && waited < 20000; waited += 100)
            program.waitForReadyRead(100);
        QByteArray maps;
        if (target == picture) {
            QThread::msleep(1500); // past the timer that finishes the start
            maps = mapsOf(program.processId());
            EXPECT_FALSE(maps.contains("orbet_engines")) << "a picture start opened the engine module";
            EXPECT_FALSE(maps.contains("WebEngine"));
            EXPECT_FALSE(maps.contains("Multimedia"));
            EXPECT_TRUE(maps.contains("libQt6Widgets")); // the maps were read at all
            // Nor did it load the toolkit's other image readers (and their
            // libraries) to ask each whether it knows a file: the JPEG reader
            // is the one image plug-in a JPEG start needs.
            for (const char* other :
                 {"libqtiff", "libqwebp", "libqmng", "libqsvg.so", "libqtga", "libqicns", "libqgif"})
                EXPECT_FALSE(maps.contains(other)) << other;
        } else {
            maps = waitForMapping(program.processId(), "libQt6WebEngineCore", 20000);
            EXPECT_TRUE(maps.contains("orbet_engines"));
            EXPECT_TRUE(maps.contains("libQt6WebEngineCore"));
        }
        program.kill();
        program.waitForFinished();
    }
}

} // namespace
} // namespace orbet::test
