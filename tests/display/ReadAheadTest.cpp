#include <sys/stat.h>

#include <atomic>
#include <mutex>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "display/Orientation.h"
#include "display/ReadAhead.h"
#include "platform/NativePath.h"
#include "support/TestSupport.h"

namespace orbet::test {
namespace {

TEST(ReadAheadTravel, StepsWrapAndJumpsAreJumps) {
    EXPECT_EQ(travelBetween(-1, 0, 5), Travel::Forward);
    EXPECT_EQ(travelBetween(1, 2, 5), Travel::Forward);
    EXPECT_EQ(travelBetween(4, 0, 5), Travel::Forward);
    EXPECT_EQ(travelBetween(0, 4, 5), Travel::Backward);
    EXPECT_EQ(travelBetween(3, 2, 5), Travel::Backward);
    EXPECT_EQ(travelBetween(2, 2, 5), Travel::Same);
    EXPECT_EQ(travelBetween(0, 3, 5), Travel::Jump);
}

class ReadAheadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 6; ++i) {
            paths_ << dir_.filePath(QStringLiteral("p%1.bmp").arg(i));
            ASSERT_TRUE(writeAll(paths_.last(), QByteArray(10 + i, 'x')));
        }
    }
    // A decoder that records what it decoded and tells pictures apart by width.
    ReadAhead::Decoder decoder() {
        return [this](const QString& path, JpegCornerHandOff* corner, const std::atomic<bool>*) {
            {
                std::lock_guard lock(mutex_);
                decoded_ << path;
                corners_ << (corner ? corner->cornerSize() : QSize());
            }
            return QImage(10 + paths_.indexOf(path), 1, QImage::Format_RGB32);
        };
    }
    void show(ReadAhead& r, int i) {
        r.shown(dir_.path(), i, int(paths_.size()), [this](int k) { return paths_[k]; });
    }
    QStringList decoded() {
        std::lock_guard lock(mutex_);
        return decoded_;
    }

    QTemporaryDir dir_;
    QStringList paths_;
    std::mutex mutex_;
    QStringList decoded_;
    QList<QSize> corners_;
};

TEST_F(ReadAheadTest, TheNextPictureInTheDirectionOfTravelIsWaiting) {
    ReadAhead r(decoder());
    show(r, 0);
    EXPECT_EQ(r.guesses(), QStringList{paths_[1]});
    const QImage next = r.take(paths_[1]);
    EXPECT_EQ(next.width(), 11);
    EXPECT_TRUE(r.take(paths_[1]).isNull()); // taken once: it is the shown one now
    show(r, 1);
    EXPECT_EQ(r.guesses(), QStringList{paths_[2]});
    EXPECT_LE(r.held(), 2);
    // A step the other way drops the guess and guesses behind.
    show(r, 0);
    EXPECT_EQ(r.guesses(), QStringList{paths_[5]});
    // A jump drops it and guesses nothing.
    show(r, 3);
    EXPECT_TRUE(r.guesses().isEmpty());
    EXPECT_TRUE(r.take(paths_[5]).isNull());
}

// A guess hands over the corner of the size the pane asks for at the time,
// through the hand-off that goes with the taken decoding.
TEST_F(ReadAheadTest, AGuessHandsItsCornerToWhoeverTakesIt) {
    QSize pane(800, 500);
    ReadAhead r(
        [this](const QString& path, JpegCornerHandOff* corner, const std::atomic<bool>* dropped) {
            if (corner) corner->hand(QImage(corner->cornerSize(), QImage::Format_RGB32));
            return decoder()(path, corner, dropped);
        },
        2, [&] { return pane; });
    show(r, 0);
    pane = QSize(640, 480);
    show(r, 1);
    const std::optional<ReadAhead::Decoding> first = r.takeDecoding(paths_[1]);
    ASSERT_TRUE(first && first->corner);
    EXPECT_EQ(first->corner->wait(std::chrono::seconds(5)).size(), QSize(800, 500));
    EXPECT_EQ(first->future.result().width(), 11);
    const std::optional<ReadAhead::Decoding> second = r.takeDecoding(paths_[2]);
    ASSERT_TRUE(second && second->corner);
    EXPECT_EQ(second->corner->wait(std::chrono::seconds(5)).size(), QSize(640, 480));

    // Without a corner size, guesses hand nothing over.
    ReadAhead plain(decoder());
    show(plain, 3);
    std::optional<ReadAhead::Decoding> third = plain.takeDecoding(paths_[4]);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->corner, nullptr);
    third->future.waitForFinished();
    EXPECT_EQ(corners_.last(), QSize());
}

// A picture taken whole is upright: what a guess left as stored is turned by
// the turn its hand-off tells, and a guess without a hand-off comes as
// decoded.
TEST_F(ReadAheadTest, APictureTakenWholeIsUpright) {
    QImage stored(3, 2, QImage::Format_RGB32);
    for (int i = 0; i < 6; ++i)
        stored.setPixel(i % 3, i / 3, qRgb(40 * i, 0, 0));
    auto decode = [&](const QString&, JpegCornerHandOff* corner, const std::atomic<bool>*) {
        if (corner) corner->setWholeTurn(6);
        return stored;
    };
    ReadAhead turning(decode, 2, [] { return QSize(10, 10); });
    show(turning, 0);
    EXPECT_EQ(turning.take(paths_[1]), orientedImage(stored, 6));
    ReadAhead asDecoded(decode);
    show(asDecoded, 0);
    EXPECT_EQ(asDecoded.take(paths_[1]), stored);
}

// A guess dropped while it decodes is told so, and stops: the worker is
// free for the next guess at once. Each way of dropping one tells it.
TEST_F(ReadAheadTest, ADroppedGuessIsToldToStop) {
    std::atomic<int> told{0}, started{0};
    ReadAhead r([&](const QString&, JpegCornerHandOff*, const std::atomic<bool>* dropped) {
        ++started;
        // Without being told, this decoding would hold the worker a minute.
        for (int i = 0; i < 6000 && !dropped->load(); ++i)
            QThread::msleep(10);
        if (dropped->load()) ++told;
        return QImage(1, 1, QImage::Format_RGB32);
    });
    // A guess still queued never starts at all: each is dropped once under way.
    auto waitStarted = [&](int count) {
        for (int i = 0; i < 1000 && started.load() < count; ++i)
            QThread::msleep(10);
        return started.load();
    };
    auto waitIdle = [&] {
        for (int i = 0; i < 1000 && r.held() > 0; ++i)
            QThread::msleep(10);
        return r.held();
    };
    show(r, 0);
    ASSERT_EQ(waitStarted(1), 1);
    show(r, 3); // a jump drops the guess
    EXPECT_EQ(waitIdle(), 0);
    EXPECT_EQ(told.load(), 1);
    show(r, 4);
    ASSERT_EQ(waitStarted(2), 2);
    r.forget(paths_[5]);
    EXPECT_EQ(waitIdle(), 0);
    EXPECT_EQ(told.load(), 2);
    show(r, 5);
    ASSERT_EQ(waitStarted(3), 3);
    ASSERT_TRUE(writeAll(paths_[0], QByteArray(77, 'z'))); // changed while decoding ahead
    EXPECT_FALSE(r.takeDecoding(paths_[0]).has_value());
    EXPECT_EQ(waitIdle(), 0);
    EXPECT_EQ(told.load(), 3);
}

TEST_F(ReadAheadTest, AFileThatChangedOrVanishedIsNotServedStale) {
    ReadAhead r(decoder());
    show(r, 0);
    show(r, 1);
    r.take(paths_[1]);
    // paths_[2] is being decoded ahead; then it is replaced by a longer file.
    ASSERT_TRUE(writeAll(paths_[2], QByteArray(500, 'y')));
    EXPECT_TRUE(r.take(paths_[2]).isNull());
    show(r, 2);
    ASSERT_TRUE(QFile::remove(paths_[3]));
    EXPECT_TRUE(r.take(paths_[3]).isNull());
    EXPECT_TRUE(r.guesses().isEmpty());
}

TEST_F(ReadAheadTest, NeverHoldsMoreThanItsCapacity) {
    std::atomic<int> running{0}, most{0};
    ReadAhead r([&](const QString&, JpegCornerHandOff*, const std::atomic<bool>*) {
        const int now = ++running;
        most = std::max(most.load(), now);
        QThread::msleep(30);
        --running;
        return QImage(4000, 10, QImage::Format_RGB32);
    });
    // Quick steps one way and the other: every guess is dropped before it is used.
    for (int i = 0; i < 20; ++i) {
        show(r, i % 2 == 0 ? 1 : 2);
        EXPECT_LE(r.held(), 2);
    }
    EXPECT_LE(most.load(), 1);
}

TEST(ReadAheadNames, ANameThatIsNotUtf8IsDecodedAheadAndAPipeNever) {
    ByteNamedFolder dir;
    const QByteArray name("\x93\xfa\x96\x7b.bmp"); // 日本.bmp in code page 932
    ASSERT_TRUE(dir.writeNative("a.bmp", "x"));
    ASSERT_TRUE(dir.writeNative(name, "xx"));
    ASSERT_EQ(::mkfifo((dir.nativePath() + "pipe.bmp").constData(), 0600), 0);
    const QStringList paths{fromNative(dir.nativePath() + "a.bmp"), fromNative(dir.nativePath() + name),
                            fromNative(dir.nativePath() + "pipe.bmp")};
    std::atomic<int> decodings = 0;
    ReadAhead r([&](const QString& path, JpegCornerHandOff*, const std::atomic<bool>*) {
        ++decodings;
        return QImage(7 + int(paths.indexOf(path)), 1, QImage::Format_RGB32);
    });
    r.shown(dir.path(), 0, 3, [&](int k) { return paths[k]; });
    EXPECT_EQ(r.guesses(), QStringList{paths[1]});
    EXPECT_EQ(r.take(paths[1]).width(), 8);
    EXPECT_EQ(decodings, 1);
    // Reading a pipe would hold the worker until something writes to it.
    r.shown(dir.path(), 1, 3, [&](int k) { return paths[k]; });
    EXPECT_TRUE(r.guesses().isEmpty());
    EXPECT_EQ(decodings, 1);
}

} // namespace
} // namespace orbet::test
