#include "plugins/host/HostPool.h"

#include <cerrno>
#include <csignal>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"
#include "plugins/host/HostWire.h"

namespace orbet {

namespace {

QString userFolder(QStandardPaths::StandardLocation location, const QString& below) {
    const QString home = qEnvironmentVariable("ORBET_HOME");
    if (!home.isEmpty()) return folders::join(home, below);
    return folders::join(folders::join(QStandardPaths::writableLocation(location), QStringLiteral("Orbet")),
                         below.section(QLatin1Char('/'), -1));
}

std::optional<HostSetup>& testingSetup() {
    static std::optional<HostSetup> setup;
    return setup;
}

QStringList nativeEnvironment(bool picturesAsStored) {
    if (!picturesAsStored) return {};
    return {QStringLiteral(ORBET_SPI_ORIENTATION_VARIABLE "=" ORBET_SPI_ORIENTATION_STORED)};
}

const QByteArray kExchangePrefix = "orbet-";

// A folder only this user can write: nothing another user plants there
// reaches this program.
bool ownPrivateFolder(const QByteArray& path) {
    struct stat facts {};
    return lstat(path.constData(), &facts) == 0 && S_ISDIR(facts.st_mode) && facts.st_uid == getuid() &&
           (facts.st_mode & 077) == 0;
}

// Where this user's exchange folders go within base: base itself when only
// this user can write it ($XDG_RUNTIME_DIR), else a folder of the user's
// own inside it (/dev/shm/orbet-<uid>). Empty when neither is there, as
// when another user has taken that name.
QByteArray privateBase(const QString& base) {
    const QByteArray bytes = toNative(base);
    struct stat facts {};
    if (lstat(bytes.constData(), &facts) != 0 || !S_ISDIR(facts.st_mode)) return {};
    if (facts.st_uid == getuid() && (facts.st_mode & 022) == 0) return bytes;
    const QByteArray own = bytes + "/" + kExchangePrefix + QByteArray::number(getuid());
    mkdir(own.constData(), 0700);
    return ownPrivateFolder(own) ? own : QByteArray();
}

// A program that was killed or crashed leaves its exchange folder, pictures
// and all, in memory until the machine restarts: the next one to start
// removes the folders of this user's programs that no longer run. The
// folder's name carries its program's process number. Only a folder no
// other user can write is looked through.
void removeAbandonedExchanges(const QByteArray& base) {
    const QString folder = fromNative(base);
    const QFileInfoList entries =
        QDir(folder).entryInfoList({QString::fromLatin1(kExchangePrefix) + QStringLiteral("*-*")},
                                   QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        bool number = false;
        const qint64 pid = entry.fileName().section(QLatin1Char('-'), 1, 1).toLongLong(&number);
        number = number && pid > 0; // 0 and below would name process groups
        struct stat facts {};
        // A link is not followed: it may lead to anything of the user's.
        if (!number || pid == getpid() || lstat(toNative(entry.filePath()).constData(), &facts) != 0 ||
            !S_ISDIR(facts.st_mode) || facts.st_uid != getuid())
            continue;
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) QDir(entry.filePath()).removeRecursively();
    }
}

} // namespace

void HostSetup::setStandardForTesting(const HostSetup* setup) {
    if (setup)
        testingSetup() = *setup;
    else
        testingSetup().reset();
}

HostSetup HostSetup::standard() {
    if (testingSetup()) return *testingSetup();
    HostSetup setup;
    setup.hostFolder = folders::programFolder();
    setup.winePrefix = userFolder(QStandardPaths::GenericDataLocation, QStringLiteral("wine"));
    setup.cacheFile = userFolder(QStandardPaths::GenericCacheLocation, QStringLiteral("cache/plugins.cache"));
    setup.deferNewPrefix = true;
    return setup;
}

HostPool::HostPool(const HostSetup& setup) : setup_(setup) {}

HostPool::~HostPool() {
    for (auto& host : hosts_)
        host.reset();
    const QString exchange = setup_.exchangeFolder.isEmpty() ? ownExchange_ : setup_.exchangeFolder;
    if (!exchange.isEmpty())
        for (const PluginKind kind : {PluginKind::Native, PluginKind::Win32, PluginKind::Win64}) {
            for (const char* way : {"in", "out"})
                unlink(toNative(exchangeFile(way, kind)).constData());
            unlink(toNative(cancelFile(kind)).constData());
        }
    if (!ownExchange_.isEmpty()) QDir(ownExchange_).removeRecursively();
}

int HostPool::indexOf(PluginKind kind) {
    switch (kind) {
    case PluginKind::Native:
        return 0;
    case PluginKind::Win32:
        return 1;
    case PluginKind::Win64:
        return 2;
    case PluginKind::Unknown:
        break;
    }
    return -1;
}

void HostPool::findWine() {
    wine_ = setup_.wine.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("wine")) : setup_.wine;
}

bool HostPool::prefixReady() const {
    return QFileInfo::exists(setup_.winePrefix + QStringLiteral("/system.reg"));
}

HostProcess* HostPool::runningHost(PluginKind kind) const {
    const int index = indexOf(kind);
    if (index < 0 || !hosts_[index] || !hosts_[index]->running()) return nullptr;
    return hosts_[index].get();
}

int HostPool::hostStarts() const {
    int starts = 0;
    for (const auto& host : hosts_)
        if (host) starts += host->starts();
    return starts;
}

void HostPool::setPicturesAsStored(bool stored) {
    if (stored == picturesAsStored_) return;
    picturesAsStored_ = stored;
    if (auto& native = hosts_[indexOf(PluginKind::Native)]) {
        native->setEnvironment(nativeEnvironment(stored));
        native->kill();
    }
}

void HostPool::watch(std::function<void()> onActivity) {
    onActivity_ = std::move(onActivity);
    for (auto& host : hosts_)
        if (host) host->watch(onActivity_);
}

void HostPool::stopAll(std::chrono::milliseconds limit) {
    for (auto& host : hosts_)
        if (host) host->stop(limit);
}

std::chrono::milliseconds HostPool::greetingLimit(PluginKind kind) const {
    return isWindowsKind(kind) && !prefixReady() ? setup_.firstStartLimit : setup_.startLimit;
}

HostProcess* HostPool::host(PluginKind kind, bool wait) {
    const int index = indexOf(kind);
    if (index < 0) return nullptr;
    auto& host = hosts_[index];
    if (!host) {
        HostProcess::Launch launch;
        if (kind == PluginKind::Native) {
            launch.program = folders::join(setup_.hostFolder, QStringLiteral("orbet-spihost"));
            launch.environment = nativeEnvironment(picturesAsStored_);
        } else {
            if (wine_.isEmpty()) return nullptr;
            launch.program = wine_;
            launch.arguments << folders::join(setup_.hostFolder, kind == PluginKind::Win32
                                                                     ? QStringLiteral("orbet-spihost32.exe")
                                                                     : QStringLiteral("orbet-spihost64.exe"));
            // Mono's and Gecko's installers would otherwise offer themselves
            // when the prefix is made. Without a display Wine shows nothing
            // of its own, not even the window saying it makes the prefix:
            // the program's progress line says so.
            launch.environment << QStringLiteral("WINEPREFIX=") + setup_.winePrefix
                               << QStringLiteral("WINEDEBUG=-all")
                               << QStringLiteral("WINEDLLOVERRIDES=mscoree,mshtml=")
                               << QStringLiteral("DISPLAY") << QStringLiteral("WAYLAND_DISPLAY");
        }
        host = std::make_unique<HostProcess>(launch);
        if (onActivity_) host->watch(onActivity_);
    }
    if (!host->running()) {
        if (isWindowsKind(kind)) QDir().mkpath(QFileInfo(setup_.winePrefix).absolutePath());
        // A folder of their own, where nobody puts anything: a library a
        // plug-in asks for is never found in whatever folder the program
        // was started from.
        HostProcess::Launch launch = host->launch();
        launch.folder = exchangeFolder();
        host->setLaunch(launch);
        if (launch.folder.isEmpty() || !host->start()) return nullptr;
    }
    if (wait && greetedRun_[index] != host->run()) {
        const HostProcess::Reply hello = host->hello(greetingLimit(kind));
        if (!hello.ok) {
            host->kill();
            return nullptr;
        }
        greetedRun_[index] = host->run();
    }
    return host.get();
}

bool HostPool::greeted(PluginKind kind) {
    const int index = indexOf(kind);
    HostProcess* onHost = runningHost(kind);
    if (!onHost) return false;
    if (greetedRun_[index] == onHost->run()) return true;
    if (!onHost->answered({onHost->run(), 0})) return false;
    // The greeting is there, so this takes no time.
    return host(kind, true) != nullptr;
}

HostProcess* HostPool::greetedHost(PluginKind kind, bool& failed,
                                   std::chrono::steady_clock::time_point since) {
    const int index = indexOf(kind);
    if (index < 0) {
        failed = true;
        return nullptr;
    }
    HostProcess* onHost = runningHost(kind);
    if (!onHost) {
        // Once more after a host that died before greeting, not for ever.
        if (waitingStarts_[index] >= 2 || !(onHost = host(kind, false))) {
            failed = true;
            return nullptr;
        }
        ++waitingStarts_[index];
    }
    if (greeted(kind)) {
        waitingStarts_[index] = 0; // a plug-in that takes this one down costs only itself
        return runningHost(kind);
    }
    if (!onHost->running()) return nullptr; // started again next time
    if (std::chrono::steady_clock::now() - since > setup_.firstStartLimit) {
        onHost->kill();
        failed = true;
    }
    return nullptr;
}

QString HostPool::exchangeFolder() {
    if (!setup_.exchangeFolder.isEmpty()) return setup_.exchangeFolder;
    if (!ownExchange_.isEmpty()) return ownExchange_;
    // Memory-backed where there is such a folder: the pictures pass through
    // it.
    QStringList bases;
    if (!setup_.exchangeBase.isEmpty()) {
        bases << setup_.exchangeBase;
    } else {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (runtime.startsWith(QLatin1Char('/'))) bases << runtime;
        bases << QStringLiteral("/dev/shm") << QDir::tempPath();
    }
    for (const QString& base : bases) {
        const QByteArray own = privateBase(base);
        if (own.isEmpty()) continue;
        removeAbandonedExchanges(own);
        QByteArray pattern = own + "/" + kExchangePrefix + QByteArray::number(getpid()) + "-XXXXXX";
        if (mkdtemp(pattern.data())) {
            ownExchange_ = fromNative(pattern);
            break;
        }
    }
    return ownExchange_;
}

// Each host's pictures pass through the same two files of the private
// exchange folder, written over in place: the memory behind a file already
// as large as the picture is reused, where a new file would have every page
// allocated and cleared again.
QString HostPool::exchangeFile(const char* way, PluginKind kind) {
    const QString folder = setup_.exchangeFolder.isEmpty() ? ownExchange_ : setup_.exchangeFolder;
    return folders::join(
        folder, QStringLiteral("%1-%2-%3")
                    .arg(QLatin1String(way), QString::number(getpid()), QString::number(indexOf(kind))));
}

QString HostPool::cancelFile(PluginKind kind) {
    return exchangeFile("cancel", kind);
}

} // namespace orbet
