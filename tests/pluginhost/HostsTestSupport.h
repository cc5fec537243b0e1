#pragma once

#include <cstdint>
#include <functional>

#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include <QByteArray>
#include <QColor>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFuture>
#include <QImage>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "pluginhost/PluginTestSupport.h"
#include "support/TestSupport.h"

namespace orbet::test {

// A test plug-in built from tests/pluginhost/fixtures/TestDecoder.c.
inline QString testPlugin(const QString& name) {
    return QStringLiteral(ORBET_TEST_PLUGINS "/") + name;
}

// The colour the test decoder's pictures have at (x, y).
inline QRgb testPixel(int x, int y) {
    return qRgb((x + y) & 255, (y * 3) & 255, (x * 7) & 255);
}

// A picture in the test decoder's format: magic, width, height, then the
// rows top-down, each byte the difference from the byte a pixel before.
inline QByteArray testPicture(const char* magic, int width, int height) {
    QByteArray bytes(magic, 4);
    auto put32 = [&bytes](std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes.append(char((value >> (8 * i)) & 255));
    };
    put32(std::uint32_t(width));
    put32(std::uint32_t(height));
    bytes.reserve(12 + width * height * 3);
    for (int y = 0; y < height; ++y) {
        unsigned char previous[3] = {0, 0, 0};
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = testPixel(x, y);
            const unsigned char bgr[3] = {static_cast<unsigned char>(qBlue(pixel)),
                                          static_cast<unsigned char>(qGreen(pixel)),
                                          static_cast<unsigned char>(qRed(pixel))};
            for (int c = 0; c < 3; ++c) {
                bytes.append(char(bgr[c] - previous[c]));
                previous[c] = bgr[c];
            }
        }
    }
    return bytes;
}

// The first pixel that differs from the test pattern, or an empty text.
inline QString patternMismatch(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != (testPixel(x, y) & 0xFFFFFF))
                return QStringLiteral("pixel %1,%2").arg(x).arg(y);
    return {};
}

// The file goes away and a pipe takes its name: a host that opened the name
// would wait for a writer for ever.
inline void swapForPipe(const QString& path) {
    EXPECT_TRUE(QFile::rename(path, path + QStringLiteral(".away")));
    EXPECT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

// The picture an asynchronous decode ends with, running events until then
// (a generous limit: the decode's own limits end it long before).
inline QImage settle(QFuture<QImage> future) {
    const QDeadlineTimer limit(60000);
    while (!future.isFinished() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(future.isFinished());
    return future.isFinished() && future.resultCount() > 0 ? future.result() : QImage();
}

// The names in the folder the hosts exchange pictures through.
inline QStringList exchangeEntries(const HostSetup& setup) {
    return QDir(setup.exchangeFolder).entryList(QDir::Files | QDir::System | QDir::Hidden);
}

// Hosts from the build, Wine from PATH with the shared prefix.
inline HostSetup wineSetup(const QString& folder) {
    HostSetup setup = hostSetup(folder);
    setup.winePrefix = sharedWinePrefix();
    return setup;
}

inline bool wineInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty();
}

} // namespace orbet::test
