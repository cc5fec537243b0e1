#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "display/PictureLoader.h"
#include "display/ReadLimits.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

void put16(QByteArray& b, int v) {
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

// A GIF of one colour whose index 0 is transparent, written with 9-bit codes
// only (a clear code before the table would need a tenth bit): no
// compression at all, as a writer may do.
QByteArray plainGif(int width, int height) {
    QByteArray out("GIF89a");
    put16(out, width);
    put16(out, height);
    out.append(char(0xF7)).append(char(0)).append(char(0));
    for (int i = 0; i < 256; ++i)
        out.append(char(i)).append(char(255 - i)).append(char(i / 2));
    out.append("\x21\xF9\x04\x01\x00\x00\x00\x00", 8); // index 0 transparent
    out.append(char(0x2C));
    put16(out, 0), put16(out, 0), put16(out, width), put16(out, height);
    out.append(char(0)).append(char(8));
    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    const auto code = [&](int c) {
        bits |= quint32(c) << count;
        count += 9;
        while (count >= 8) {
            data.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    const qint64 pixels = qint64(width) * height;
    for (qint64 i = 0; i < pixels; ++i) {
        if (i % 250 == 0) code(256);
        code(i < width ? 0 : 7); // the first row transparent
    }
    code(257);
    if (count > 0) data.append(char(bits & 0xFF));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(char(block.size())).append(block);
    }
    return out.append(char(0)).append(char(0x3B));
}

// What the process has held at most since the last reset, in bytes; -1 where
// the kernel will not say.
qint64 peakSinceReset(bool reset) {
    if (reset) {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) return -1;
    }
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
}

TEST(GifClaims, AFewBytesClaimingAHugePictureAreRefusedBeforeAnyAllocation) {
    QTemporaryDir tmp;
    // 35 bytes: a header of 7000 x 7000 (under the decode limit) and an
    // image of almost no data, in either version of the format.
    const auto claiming = [](const char* version, int side) {
        QByteArray bomb(version);
        put16(bomb, side), put16(bomb, side);
        bomb.append("\x80\x00\x00\x00\x00\x00\xff\xff\xff", 9);
        bomb.append(char(0x2C));
        put16(bomb, 0), put16(bomb, 0), put16(bomb, side), put16(bomb, side);
        return bomb.append("\x00\x02\x02\x4c\x01\x00\x3b", 7);
    };
    for (const char* version : {"GIF89a", "GIF87a"}) {
        EXPECT_TRUE(gifClaimsMoreThanItHolds(claiming(version, 16000), 35)) << version;
        const QByteArray bomb = claiming(version, 7000);
        ASSERT_EQ(bomb.size(), 35);
        const QString path = QDir(tmp.path()).filePath(QLatin1String(version) + QStringLiteral(".gif"));
        ASSERT_TRUE(test::writeAll(path, bomb));

        EXPECT_TRUE(gifClaimsMoreThanItHolds(bomb, bomb.size())) << version;
        const qint64 before = peakSinceReset(true);
        EXPECT_TRUE(loadBuiltInPicture(path).isNull()) << version;
        if (before < 0) GTEST_SKIP() << "the kernel gives no peak memory here";
        EXPECT_LT(peakSinceReset(false) - before, 16LL << 20) << version;
    }
}

TEST(GifClaims, TheBoundSitsAtWhatTheDataCanHold) {
    QByteArray head("GIF89a");
    put16(head, 4096), put16(head, 3); // 12288 pixels
    head.append(QByteArray(3, '\0'));
    // Past the 13 bytes of header, one byte holds two whole 3-bit codes,
    // 8192 pixels at most: too few. Two bytes hold five, 20480 pixels.
    EXPECT_TRUE(gifClaimsMoreThanItHolds(head, 13 + 1));
    EXPECT_FALSE(gifClaimsMoreThanItHolds(head, 13 + 2));
    EXPECT_FALSE(gifClaimsMoreThanItHolds("GIF87a", 6)); // too short to claim anything
    EXPECT_FALSE(gifClaimsMoreThanItHolds(QByteArray("BM") + QByteArray(20, '\xff'), 22));
}

TEST(GifClaims, ALargeRealGifIsHeldOnceWhileItDecodes) {
    QTemporaryDir tmp;
    const QString path = QDir(tmp.path()).filePath(QStringLiteral("large.gif"));
    constexpr int kSide = 3000;
    ASSERT_TRUE(test::writeAll(path, plainGif(kSide, kSide)));
    const qint64 decoded = qint64(kSide) * kSide * 4;

    const qint64 before = peakSinceReset(true);
    const QImage image = loadBuiltInPicture(path);
    const qint64 peak = peakSinceReset(false);
    ASSERT_EQ(image.size(), QSize(kSide, kSide));
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(qAlpha(image.pixel(10, 0)), 0);
    EXPECT_EQ(image.pixel(10, 10), qRgb(7, 248, 3));
    if (before < 0) GTEST_SKIP() << "the kernel gives no peak memory here";
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's allocator keeps freed blocks back a while and pads
    // every one: its peak says nothing of the program's.
    GTEST_SKIP() << "peak memory is not the program's under the address sanitizer";
#endif
    EXPECT_LE(peak - before, decoded * 6 / 5) << "peak " << (peak - before) / 1024 << " KB";
}

} // namespace
} // namespace orbet
