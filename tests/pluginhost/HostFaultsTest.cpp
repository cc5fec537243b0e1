// Plug-ins that crash, abort, hang or are killed from outside take only
// their host with them; the next decode starts a new one. The native host
// shows it quickly; WindowsPluginsTest does the same under Wine.

#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "pluginhost/HostsTestSupport.h"
#include "plugins/host/HostWire.h"
#include "plugins/host/PluginKind.h"
#include "plugins/host/PluginRegistry.h"

namespace orbet::test {
namespace {

class HostFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"IFncrash.spi", "IFnloop.spi", "IFnabort.spi", "IFotpn.spi"})
            ASSERT_TRUE(
                copyPlugin(testPlugin(QString::fromLatin1(name)), plugins.path(), QString::fromLatin1(name)));
        HostSetup setup = hostSetup(work.path());
        setup.callLimit = std::chrono::milliseconds(1500);
        registry = std::make_unique<PluginRegistry>(setup);
        registry->loadPlugins(plugins.path());
        ASSERT_EQ(registry->loadedCount(), 4);
    }
    QString picture(const char* magic, int width = 40, int height = 30) {
        const QString path = pictures.filePath(QString::fromLatin1(magic));
        EXPECT_TRUE(writeAll(path, testPicture(magic, width, height)));
        return path;
    }
    // The good plug-in still decodes, in a host started anew when the last
    // one was lost.
    void expectGoodDecode() {
        const QImage image = registry->decodeWithPlugins(picture("OTPN"));
        ASSERT_EQ(image.size(), QSize(40, 30));
        EXPECT_EQ(patternMismatch(image), QString());
    }

    QTemporaryDir plugins, pictures, work;
    std::unique_ptr<PluginRegistry> registry;
};

TEST_F(HostFaults, CrashAbortAndHangLoseOnlyTheHost) {
    expectGoodDecode();
    EXPECT_EQ(registry->hostStarts(), 1);
    for (const char* magic : {"NCRS", "NABT", "NLOP"}) {
        EXPECT_TRUE(registry->decodeWithPlugins(picture(magic)).isNull()) << magic;
        EXPECT_EQ(registry->runningHost(PluginKind::Native), nullptr) << magic;
        expectGoodDecode();
    }
    EXPECT_EQ(registry->hostStarts(), 4);
}

TEST_F(HostFaults, AHostKilledMidDecodeGivesNothing) {
    bool killed = false;
    QTimer::singleShot(200, [&] {
        if (HostProcess* host = registry->runningHost(PluginKind::Native))
            killed = ::kill(host->pid(), SIGKILL) == 0;
    });
    EXPECT_TRUE(settle(registry->decodeAsync(picture("NLOP"))).isNull());
    EXPECT_TRUE(killed);
    expectGoodDecode();
}

TEST_F(HostFaults, ANewerDecodeOvertakesOneStillWithTheHost) {
    const QFuture<QImage> older = registry->decodeAsync(picture("NLOP"));
    QImage newer;
    QTimer::singleShot(200, [&] {
        EXPECT_FALSE(older.isFinished()) << "the looping plug-in holds it";
        newer = registry->decodeWithPlugins(picture("OTPN"));
        EXPECT_TRUE(older.isFinished());
    });
    // The looping plug-in ignores the cancel; the newer decode does not wait
    // for the time limit but for the cancel's grace.
    EXPECT_TRUE(settle(older).isNull());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !newer.isNull(); }, 20000));
    ASSERT_EQ(newer.size(), QSize(40, 30));
    EXPECT_EQ(patternMismatch(newer), QString());
}

// The plug-in asked first by the newer decode is the one whose question
// waited behind the ignored cancel: it is asked again on the new host, not
// passed over.
TEST_F(HostFaults, ThePluginAskedWhileTheCancelWasIgnoredIsAskedAgain) {
    QTemporaryDir two;
    ASSERT_TRUE(copyPlugin(testPlugin(QStringLiteral("IFotpn.spi")), two.path(), QStringLiteral("IFa.spi")));
    ASSERT_TRUE(copyPlugin(testPlugin(QStringLiteral("IFnloop.spi")), two.path(), QStringLiteral("IFb.spi")));
    HostSetup setup = hostSetup(work.path());
    setup.callLimit = std::chrono::milliseconds(20000);
    PluginRegistry own(setup);
    own.loadPlugins(two.path());
    ASSERT_EQ(own.loadedCount(), 2);
    const QFuture<QImage> older = own.decodeAsync(picture("NLOP"));
    QImage newer;
    QTimer::singleShot(2000, [&] { newer = own.decodeWithPlugins(picture("OTPN")); });
    EXPECT_TRUE(settle(older).isNull());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !newer.isNull(); }, 20000));
    EXPECT_EQ(patternMismatch(newer), QString());
    EXPECT_EQ(own.hostStarts(), 2);
}

TEST_F(HostFaults, TheAsynchronousDecodeAnswersOnTheEventLoopAndTheNewestWins) {
    // Nothing is waited for on the caller's side: the future is still open
    // when decodeAsync returns, and completes from the event loop.
    const QFuture<QImage> first = registry->decodeAsync(picture("OTPN", 30, 20));
    EXPECT_FALSE(first.isFinished());
    const QFuture<QImage> second = registry->decodeAsync(picture("OTPN", 50, 40));
    EXPECT_TRUE(first.isFinished()) << "overtaken at once";
    ASSERT_EQ(first.resultCount(), 1);
    EXPECT_TRUE(first.result().isNull());
    const QImage shown = settle(second);
    ASSERT_EQ(shown.size(), QSize(50, 40));
    EXPECT_EQ(patternMismatch(shown), QString());
    // The caller's own cancel ends it too, and the host lives on.
    QFuture<QImage> dropped = registry->decodeAsync(picture("NLOP"));
    dropped.cancel();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dropped.isFinished(); }, 20000));
    expectGoodDecode();
    EXPECT_TRUE(settle(registry->decodeAsync(picture("NONE"))).isNull());
}

TEST_F(HostFaults, PicturesOfEverySizePassThroughOneExchangeFileThatGoesWithTheRegistry) {
    HostSetup setup = hostSetup(work.path());
    auto own = std::make_unique<PluginRegistry>(setup);
    own->loadPlugins(plugins.path());
    for (const QSize size : {QSize(300, 200), QSize(7, 5), QSize(300, 200)}) {
        const QString path = picture("OTPN", size.width(), size.height());
        const QImage image = own->decodeWithPlugins(path);
        ASSERT_EQ(image.size(), size);
        EXPECT_EQ(patternMismatch(image), QString());
        EXPECT_EQ(QFile(path).size(), 12 + size.width() * size.height() * 3)
            << "the picture file stays as it was";
        const QStringList entries = exchangeEntries(setup);
        ASSERT_EQ(entries.size(), 1) << entries.join(QLatin1Char(' ')).toStdString();
        // The file shrinks to each picture: no earlier, larger one keeps
        // its memory.
        EXPECT_LT(QFileInfo(QDir(setup.exchangeFolder).filePath(entries.first())).size(),
                  256 + size.width() * size.height() * 4);
    }
    EXPECT_EQ(own->hostStarts(), 1);
    // A picture far larger than most does not keep its memory once read.
    EXPECT_EQ(own->decodeWithPlugins(picture("OTPN", 4800, 4700)).size(), QSize(4800, 4700));
    EXPECT_EQ(exchangeEntries(setup), QStringList());
    own->decodeWithPlugins(picture("OTPN", 9, 9));
    own.reset();
    EXPECT_EQ(exchangeEntries(setup), QStringList());
}

// The exchange folder of a program that was killed is removed by the next
// one; a running program's, and anything not named as the program names its
// own, stays.
TEST_F(HostFaults, AKilledProgramsExchangeFolderGoesWithTheNextStart) {
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    // A program started after it still runs; its folder comes after the
    // abandoned one in the listing.
    const pid_t alive = fork();
    if (alive == 0) {
        pause();
        _exit(0);
    }
    ASSERT_GT(alive, 0);
    struct End {
        pid_t pid;
        ~End() {
            ::kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    } end{alive};
    QTemporaryDir base;
    const QString abandoned = base.filePath(QStringLiteral("orbet-%1-AbCdEf").arg(gone));
    const QString running = base.filePath(QStringLiteral("orbet-%1-GhIjKl").arg(alive));
    const QString other = base.filePath(QStringLiteral("orbet-MnOpQr"));
    // Another user's, where the test may give it away.
    const QString someoneElses = base.filePath(QStringLiteral("orbet-%1-StUvWx").arg(gone));
    QStringList staying{running, other};
    for (const QString& folder : {abandoned, running, other, someoneElses}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_TRUE(writeAll(folder + QStringLiteral("/out-1-0"), QByteArray(4096, 'p')));
    }
    if (chown(QFile::encodeName(someoneElses).constData(), 65534, 65534) == 0) staying << someoneElses;
    // A link named as an abandoned folder leads to a folder of the user's:
    // the link may go, what it leads to stays.
    QTemporaryDir users;
    ASSERT_TRUE(writeAll(users.filePath(QStringLiteral("keep.txt")), "mine"));
    const QString link = base.filePath(QStringLiteral("orbet-%1-x").arg(gone));
    ASSERT_TRUE(QFile::link(users.path(), link));
    HostSetup setup = hostSetup(work.path());
    setup.exchangeFolder.clear();
    setup.exchangeBase = base.path();
    auto own = std::make_unique<PluginRegistry>(setup);
    own->loadPlugins(plugins.path());
    EXPECT_EQ(own->decodeWithPlugins(picture("OTPN")).size(), QSize(40, 30));
    const QStringList entries = QDir(base.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_FALSE(entries.contains(QFileInfo(abandoned).fileName()));
    for (const QString& folder : staying)
        EXPECT_TRUE(entries.contains(QFileInfo(folder).fileName())) << folder.toStdString();
    EXPECT_TRUE(QFile::exists(users.filePath(QStringLiteral("keep.txt"))));
    QFile::remove(link);
    const QStringList left = QDir(base.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(left.size(), staying.size() + 1) << left.join(QLatin1Char(' ')).toStdString(); // with its own
    own.reset();
    EXPECT_EQ(QDir(base.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), staying.size());
}

// A folder every user may write (/dev/shm) is never looked through: another
// user's hundred thousand entries there would hold the first picture up.
// The exchange goes into a folder of the user's own inside it, or into
// $XDG_RUNTIME_DIR, which is the user's alone.
TEST_F(HostFaults, TheExchangeStaysOutOfFoldersOthersWrite) {
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(waitpid(gone, nullptr, 0), gone);
    QTemporaryDir shared;
    ASSERT_EQ(chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    const QString planted = shared.filePath(QStringLiteral("orbet-%1-AbCdEf").arg(gone));
    ASSERT_TRUE(QDir().mkpath(planted));
    for (int i = 0; i < 2000; ++i)
        ASSERT_TRUE(writeAll(shared.filePath(QStringLiteral("orbet-%1-%2").arg(gone).arg(i)), {}));

    HostSetup setup = hostSetup(work.path());
    setup.exchangeFolder.clear();
    setup.exchangeBase = shared.path();
    {
        PluginRegistry own(setup);
        own.loadPlugins(plugins.path());
        EXPECT_EQ(own.decodeWithPlugins(picture("OTPN")).size(), QSize(40, 30));
        EXPECT_TRUE(QFileInfo::exists(planted)) << "the shared folder was looked through";
        const QString mine = shared.filePath(QStringLiteral("orbet-%1").arg(getuid()));
        struct stat facts {};
        ASSERT_EQ(lstat(QFile::encodeName(mine).constData(), &facts), 0);
        EXPECT_EQ(facts.st_mode & 0777, 0700u);
        EXPECT_EQ(QDir(mine).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    }

    // Without a base named: the user's runtime folder.
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    setup.exchangeBase.clear();
    {
        PluginRegistry own(setup);
        own.loadPlugins(plugins.path());
        EXPECT_EQ(own.decodeWithPlugins(picture("OTPN")).size(), QSize(40, 30));
        const QStringList made = QDir(runtime.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        ASSERT_EQ(made.size(), 1);
        EXPECT_TRUE(made.first().startsWith(QStringLiteral("orbet-%1-").arg(getpid())));
    }
    saved.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", saved);
}

// Whatever a host does to its output file reaches only the picture: one
// that claims more than the file holds, or cuts it short while the program
// reads it, gives an empty picture or the whole one, never a fault.
TEST_F(HostFaults, AHostThatCutsItsOutputShortCostsOnlyThePicture) {
    QTemporaryDir standInFolder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(ORBET_STAND_IN_HOST),
                            standInFolder.filePath(QStringLiteral("orbet-spihost"))));
    QTemporaryDir onePlugin;
    ASSERT_TRUE(
        copyPlugin(testPlugin(QStringLiteral("IFotpn.spi")), onePlugin.path(), QStringLiteral("IFstd.spi")));
    HostSetup setup = hostSetup(work.path());
    setup.hostFolder = standInFolder.path();
    struct Behaviour {
        explicit Behaviour(const char* chosen) { qputenv("ORBET_STAND_IN", chosen); }
        ~Behaviour() { qunsetenv("ORBET_STAND_IN"); }
    };
    {
        const Behaviour overclaim("overclaim");
        PluginRegistry fooled(setup);
        fooled.loadPlugins(onePlugin.path());
        ASSERT_EQ(fooled.loadedCount(), 1);
        EXPECT_TRUE(fooled.decodeWithPlugins(picture("OTPN")).isNull());
    }
    const Behaviour shrink("shrink");
    PluginRegistry fooled(setup);
    fooled.loadPlugins(onePlugin.path());
    ASSERT_EQ(fooled.loadedCount(), 1);
    for (int i = 0; i < 6; ++i) {
        const QImage image = fooled.decodeWithPlugins(picture("OTPN"));
        if (!image.isNull()) EXPECT_EQ(image.size(), QSize(2048, 2048));
    }
}

TEST_F(HostFaults, APipePutUnderThePictureNameMeanwhileNeverHoldsTheHost) {
    for (const bool lend : {true, false}) {
        SCOPED_TRACE(lend ? "the open file lent" : "by name");
        HostSetup setup = hostSetup(work.path());
        setup.callLimit = std::chrono::milliseconds(1500);
        setup.lendOpenFiles = lend;
        PluginRegistry own(setup);
        own.loadPlugins(plugins.path());
        const QString path = picture("OTPN", 40, 30);
        const QFuture<QImage> decoding = own.decodeAsync(path);
        swapForPipe(path);
        const QImage image = settle(decoding);
        if (lend) {
            // The file held open is the one decoded.
            ASSERT_EQ(image.size(), QSize(40, 30));
            EXPECT_EQ(patternMismatch(image), QString());
        } else {
            EXPECT_TRUE(image.isNull());
        }
        QFile::remove(path);
        QFile::remove(path + QStringLiteral(".away"));
        EXPECT_EQ(own.decodeWithPlugins(picture("OTPN", 9, 8)).size(), QSize(9, 8));
        EXPECT_EQ(own.hostStarts(), 1) << "the host answered at once and lived on";
    }
}

TEST_F(HostFaults, AHostThatSaysGarbageIsDropped) {
    // A stand-in host that greets and then answers with noise.
    QTemporaryDir fakeHostFolder;
    const QString fake = fakeHostFolder.filePath(QStringLiteral("orbet-spihost"));
    ASSERT_TRUE(writeAll(
        fake, "#!/bin/sh\nprintf '1BRO\\001\\000\\000\\000\\000\\000\\000\\000\\010\\000\\000\\000'\n"
              "head -c 16 >/dev/null\nprintf 'this is no reply at all'\nexec sleep 30\n"));
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    HostSetup setup = hostSetup(work.path());
    setup.hostFolder = fakeHostFolder.path();
    PluginRegistry fooled(setup);
    fooled.loadPlugins(plugins.path());
    EXPECT_EQ(fooled.loadedCount(), 0);
    EXPECT_EQ(fooled.runningHost(PluginKind::Native), nullptr);
}

TEST(PluginKinds, AreToldFromContent) {
    auto kindOf = [](const QString& path) { return pluginKindOfFile(path); };
    EXPECT_EQ(kindOf(testPlugin(QStringLiteral("IFotpn.spi"))), PluginKind::Native);
    EXPECT_EQ(kindOf(testPlugin(QStringLiteral("IFotp3.spi"))), PluginKind::Win32);
    EXPECT_EQ(kindOf(testPlugin(QStringLiteral("IFotp6.sph"))), PluginKind::Win64);

    QFile native(testPlugin(QStringLiteral("IFotpn.spi")));
    ASSERT_TRUE(native.open(QIODevice::ReadOnly));
    const QByteArray elf = native.read(4096);
    QByteArray arm = elf;
    arm[18] = char(40); // EM_ARM
    arm[19] = 0;
    EXPECT_EQ(pluginKindOf(arm), PluginKind::Unknown);
    QByteArray executable = elf;
    executable[16] = 2; // ET_EXEC
    EXPECT_EQ(pluginKindOf(executable), PluginKind::Unknown);

    QFile windows(testPlugin(QStringLiteral("IFotp3.spi")));
    ASSERT_TRUE(windows.open(QIODevice::ReadOnly));
    const QByteArray pe = windows.read(4096);
    QByteArray arm64 = pe;
    const int peOffset = int(static_cast<unsigned char>(pe[0x3C])) | int(static_cast<unsigned char>(pe[0x3D]))
                                                                         << 8;
    arm64[peOffset + 4] = char(0x64);
    arm64[peOffset + 5] = char(0xAA);
    EXPECT_EQ(pluginKindOf(arm64), PluginKind::Unknown);
    EXPECT_EQ(pluginKindOf(pe.left(peOffset + 2)), PluginKind::Unknown); // cut inside the header
    EXPECT_EQ(pluginKindOf(QByteArray("MZ this is text")), PluginKind::Unknown);
    EXPECT_EQ(pluginKindOf(QByteArray("plain text\n")), PluginKind::Unknown);
}

} // namespace
} // namespace orbet::test

namespace orbet::test {
namespace {

TEST(HostWire, ATicketNeverSentIsNeitherOutstandingNorWaitedFor) {
    HostProcess host({QStringLiteral(ORBET_BUILD_DIR "/orbet-spihost"), {}, {}});
    ASSERT_TRUE(host.start());
    const HostProcess::Reply hello = host.hello(std::chrono::seconds(10));
    ASSERT_TRUE(hello.ok);
    EXPECT_EQ(hello.value, int(sizeof(void*)));
    const HostProcess::Ticket unsent{host.run(), 1};
    EXPECT_FALSE(host.outstanding(unsent));
    // Waiting for it would only run into the limit and cost the host.
    EXPECT_FALSE(host.await(unsent, std::chrono::seconds(5)).ok);
    EXPECT_TRUE(host.running());

    std::int32_t number = 1;
    const HostProcess::Ticket sent =
        host.send(WIRE_INFO, 99, QByteArray(reinterpret_cast<const char*>(&number), sizeof number));
    EXPECT_TRUE(host.outstanding(sent));
    const HostProcess::Reply reply = host.await(sent, std::chrono::seconds(10));
    EXPECT_TRUE(reply.ok); // an unknown plug-in id is answered, with nothing
    EXPECT_TRUE(reply.payload.isEmpty());
    EXPECT_FALSE(host.outstanding(sent));
}

// Whether ready() turns true within ten seconds, looking every 10 ms.
template <typename Ready> bool soon(Ready ready) {
    for (int i = 0; i < 1000; ++i) {
        if (ready()) return true;
        usleep(10000);
    }
    return false;
}

TEST(HostWire, AnsweredLooksWithoutWaitingAndKnowsOnlyTheCurrentRun) {
    HostProcess host({QStringLiteral(ORBET_BUILD_DIR "/orbet-spihost"), {}, {}});
    ASSERT_TRUE(host.start());
    const HostProcess::Ticket greeting{host.run(), 0};
    ASSERT_TRUE(soon([&] { return host.answered(greeting); }));
    EXPECT_TRUE(host.answered(greeting)) << "looking leaves the reply for await";
    EXPECT_TRUE(host.hello(std::chrono::milliseconds(0)).ok);
    EXPECT_FALSE(host.answered(greeting)) << "awaited once, gone";

    // A greeting of the next run does not answer the first run's ticket.
    host.kill();
    ASSERT_TRUE(host.start());
    ASSERT_TRUE(soon([&] { return host.answered({host.run(), 0}); }));
    EXPECT_FALSE(host.answered(greeting));
}

// The event loop hears the host: what it says is read when it says it, and
// its end is seen too, without anyone asking.
TEST(HostWire, AWatchedHostIsHeardFromTheEventLoop) {
    HostProcess host({QStringLiteral(ORBET_BUILD_DIR "/orbet-spihost"), {}, {}});
    int heard = 0;
    host.watch([&heard] { ++heard; });
    ASSERT_TRUE(host.start());
    const HostProcess::Ticket greeting{host.run(), 0};
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard > 0; }, 20000));
    EXPECT_TRUE(host.answered(greeting));
    std::int32_t number = 1;
    const HostProcess::Ticket asked =
        host.send(WIRE_INFO, 99, QByteArray(reinterpret_cast<const char*>(&number), sizeof number));
    const int before = heard;
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard > before; }, 20000));
    EXPECT_TRUE(host.answered(asked));
    ::kill(host.pid(), SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.running(); }, 20000)) << "its end seen";
}

} // namespace
} // namespace orbet::test
