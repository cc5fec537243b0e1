// The registry's side of the plug-in host processes: which host runs which
// plug-in, starting them, and decoding through them.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/AtomicWrite.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"
#include "plugins/host/DibImage.h"
#include "plugins/host/HostWire.h"
#include "plugins/host/PluginRegistry.h"

namespace orbet {

namespace {

int hostIndex(PluginKind kind) {
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

// The decoded blocks as the host wrote them, mapped rather than read.
class MappedFile {
  public:
    explicit MappedFile(const QString& path) {
        const int fd = open(toNative(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat facts {};
        if (fstat(fd, &facts) == 0 && S_ISREG(facts.st_mode) && facts.st_size > 0) {
            // Every page is read once, right away: faulting them in together
            // costs less than one fault per page.
            void* mapped =
                mmap(nullptr, std::size_t(facts.st_size), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (mapped != MAP_FAILED) {
                data_ = static_cast<const unsigned char*>(mapped);
                size_ = std::uint64_t(facts.st_size);
            }
        }
        close(fd);
    }
    ~MappedFile() {
        if (data_) munmap(const_cast<unsigned char*>(data_), std::size_t(size_));
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    const unsigned char* data() const { return data_; }
    std::uint64_t size() const { return size_; }

  private:
    const unsigned char* data_ = nullptr;
    std::uint64_t size_ = 0;
};

QString userFolder(QStandardPaths::StandardLocation location, const QString& below) {
    const QString home = qEnvironmentVariable("ORBET_HOME");
    if (!home.isEmpty()) return folders::join(home, below);
    return folders::join(folders::join(QStandardPaths::writableLocation(location), QStringLiteral("Orbet")),
                         below.section(QLatin1Char('/'), -1));
}

QStringList nativeEnvironment(bool picturesAsStored) {
    if (!picturesAsStored) return {};
    return {QStringLiteral(ORBET_SPI_ORIENTATION_VARIABLE "=" ORBET_SPI_ORIENTATION_STORED)};
}

// Each host's pictures pass through the same two files of the private
// exchange folder, written over in place: the memory behind a file already
// as large as the picture is reused, where a new file would have every page
// allocated and cleared again. These are the program's shared memory with
// its hosts, never a file of the user's. Nothing still reads them when they
// are written over: a host answers in order, and the chosen host has just
// answered whether it takes the picture, so an overtaken decode on it is
// over. One far larger than most pictures is not kept once read.
QString exchangeFile(const QString& exchange, const char* way, int hostIndex) {
    return folders::join(exchange,
                         QStringLiteral("%1-%2-%3")
                             .arg(QLatin1String(way), QString::number(getpid()), QString::number(hostIndex)));
}
constexpr std::uint64_t kLargestKeptExchange = 64ULL * 1024 * 1024;

// A program that was killed or crashed leaves its exchange folder, pictures
// and all, in memory until the machine restarts: the next one to start
// removes the folders of this user's programs that no longer run. The
// folder's name carries its program's process number.
const QByteArray kExchangePrefix = "orbet-";
void removeAbandonedExchanges(const QString& base) {
    const QFileInfoList folders =
        QDir(base).entryInfoList({QString::fromLatin1(kExchangePrefix) + QStringLiteral("*-*")},
                                 QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& folder : folders) {
        bool number = false;
        const qint64 pid = folder.fileName().section(QLatin1Char('-'), 1, 1).toLongLong(&number);
        number = number && pid > 0; // 0 and below would name process groups
        struct stat facts {};
        if (!number || pid == getpid() || lstat(toNative(folder.filePath()).constData(), &facts) != 0 ||
            !S_ISDIR(facts.st_mode) || facts.st_uid != getuid())
            continue;
        if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH) QDir(folder.filePath()).removeRecursively();
    }
}

// A name under which another process opens exactly the regular file behind
// `fd`, whatever has happened to its own name since; empty when the system
// offers none.
QByteArray heldFileName(int fd) {
    struct stat facts {};
    if (fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) return {};
    const QByteArray name = "/proc/" + QByteArray::number(getpid()) + "/fd/" + QByteArray::number(fd);
    return access(name.constData(), R_OK) == 0 ? name : QByteArray();
}

// The picture file's contents, at most `limit` bytes, copied within the
// kernel into the exchange file `to`. Returns the bytes copied; 0 when the
// source is not a regular file or anything fails.
std::uint64_t copyContents(int from, const QString& to, std::uint64_t limit) {
    struct stat facts {};
    if (fstat(from, &facts) != 0 || !S_ISREG(facts.st_mode)) return 0;
    const std::uint64_t wanted = std::min<std::uint64_t>(std::uint64_t(facts.st_size), limit);
    const int out = open(toNative(to).constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (out < 0) return 0;
    off_t offset = 0;
    bool ok = true;
    // Regular files are never interrupted; none sent means the file shrank
    // since it was looked at.
    while (ok && std::uint64_t(offset) < wanted)
        ok = sendfile(out, from, &offset, std::size_t(wanted - std::uint64_t(offset))) > 0;
    ok = ok && ftruncate(out, offset) == 0;
    close(out);
    return ok ? std::uint64_t(offset) : 0;
}

std::optional<HostSetup>& testingSetup() {
    static std::optional<HostSetup> setup;
    return setup;
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

PluginRegistry::~PluginRegistry() {
    for (auto& host : hosts_)
        host.reset();
    const QString exchange = setup_.exchangeFolder.isEmpty() ? ownExchange_ : setup_.exchangeFolder;
    if (!exchange.isEmpty())
        for (const PluginKind kind : {PluginKind::Native, PluginKind::Win32, PluginKind::Win64})
            for (const char* way : {"in", "out"})
                unlink(toNative(exchangeFile(exchange, way, hostIndex(kind))).constData());
    if (!ownExchange_.isEmpty()) QDir(ownExchange_).removeRecursively();
}

HostProcess* PluginRegistry::runningHost(PluginKind kind) const {
    const int index = hostIndex(kind);
    if (index < 0 || !hosts_[index] || !hosts_[index]->running()) return nullptr;
    return hosts_[index].get();
}

int PluginRegistry::hostStarts() const {
    int starts = 0;
    for (const auto& host : hosts_)
        if (host) starts += host->starts();
    return starts;
}

void PluginRegistry::setPicturesAsStored(bool stored) {
    if (stored == picturesAsStored_) return;
    picturesAsStored_ = stored;
    if (auto& native = hosts_[hostIndex(PluginKind::Native)]) {
        native->setEnvironment(nativeEnvironment(stored));
        native->kill();
    }
}

HostProcess* PluginRegistry::host(PluginKind kind, bool wait) {
    const int index = hostIndex(kind);
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
            // when the prefix is made.
            launch.environment << QStringLiteral("WINEPREFIX=") + setup_.winePrefix
                               << QStringLiteral("WINEDEBUG=-all")
                               << QStringLiteral("WINEDLLOVERRIDES=mscoree,mshtml=");
        }
        host = std::make_unique<HostProcess>(launch);
        // Waiting on a host lets events run too, so the window stays usable
        // whatever a plug-in does; this is not one of the registry's own
        // pump points.
        host->setEventPump([] {
            if (QCoreApplication::instance()) QCoreApplication::processEvents();
        });
    }
    if (!host->running()) {
        if (isWindowsKind(kind)) QDir().mkpath(QFileInfo(setup_.winePrefix).absolutePath());
        if (!host->start()) return nullptr;
    }
    if (wait && greetedRun_[index] != host->run()) {
        const bool newPrefix = isWindowsKind(kind) && !prefixReady();
        const HostProcess::Reply hello = host->hello(newPrefix ? setup_.firstStartLimit : setup_.startLimit);
        if (!hello.ok) {
            host->kill();
            return nullptr;
        }
        greetedRun_[index] = host->run();
    }
    return host.get();
}

bool PluginRegistry::prefixReady() const {
    return QFileInfo::exists(setup_.winePrefix + QStringLiteral("/system.reg"));
}

HostProcess* PluginRegistry::greetedHost(PluginKind kind, bool& failed) {
    const int index = hostIndex(kind);
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
    // The greeting is there, so host() takes no time.
    if (greetedRun_[index] == onHost->run() || (onHost->answered({onHost->run(), 0}) && host(kind, true))) {
        waitingStarts_[index] = 0; // a plug-in that takes this one down costs only itself
        return onHost;
    }
    if (!onHost->running()) return nullptr; // started again next time
    if (std::chrono::steady_clock::now() - waitingSince_ > setup_.firstStartLimit) {
        onHost->kill();
        failed = true;
    }
    return nullptr;
}

std::int32_t PluginRegistry::hostIdOf(Slot& slot) {
    HostProcess* onHost = host(slot.kind, true);
    if (!onHost) return 0;
    if (slot.hostRun == onHost->run() && slot.hostId > 0) return slot.hostId;
    const HostProcess::Reply reply = slot.loading.run == onHost->run()
                                         ? onHost->await(slot.loading, setup_.callLimit)
                                         : onHost->call(WIRE_LOAD, 0, toNative(slot.path), setup_.callLimit);
    slot.loading = {};
    if (!reply.ok || reply.value <= 0) return 0;
    slot.hostRun = onHost->run();
    slot.hostId = reply.value;
    return slot.hostId;
}

void PluginRegistry::startHosts() {
    for (Slot& slot : slots_) {
        if (slot.path.isEmpty()) break;
        if (!isWindowsKind(slot.kind)) continue;
        HostProcess* onHost = host(slot.kind, false);
        if (!onHost || slot.hostRun == onHost->run() || slot.loading.run == onHost->run()) continue;
        slot.loading = onHost->send(WIRE_LOAD, 0, toNative(slot.path));
    }
}

QString PluginRegistry::exchangeFolder() {
    if (!setup_.exchangeFolder.isEmpty()) return setup_.exchangeFolder;
    if (ownExchange_.isEmpty()) {
        // Memory-backed where there is such a folder: the pictures pass
        // through it.
        QString base = setup_.exchangeBase;
        if (base.isEmpty())
            base = QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                      : QDir::tempPath();
        removeAbandonedExchanges(base);
        QByteArray pattern =
            toNative(base) + "/" + kExchangePrefix + QByteArray::number(getpid()) + "-XXXXXX";
        if (mkdtemp(pattern.data())) ownExchange_ = fromNative(pattern);
    }
    return ownExchange_;
}

void PluginRegistry::cancelInFlight() {
    if (!inFlightHost_) return;
    if (inFlightHost_->outstanding(inFlight_)) {
        AtomicWriter marker(inFlightCancel_);
        if (marker.open()) marker.commit();
        inFlightHost_->cancel(inFlight_);
    }
    inFlightHost_ = nullptr;
}

QImage PluginRegistry::decodeWithPlugins(const QString& path) {
    const Busy busy(busy_);
    // A newer show overtakes whatever decode is still with a host.
    const quint64 serial = ++decodes_;
    cancelInFlight();
    auto overtaken = [&] { return serial != decodes_; };

    // The whole file goes to the plug-in: only a regular file, and none
    // larger than any picture worth decoding, is read.
    constexpr qint64 kLargestInput = 512LL * 1024 * 1024;
    const PathFacts facts = pathFacts(path);
    if (!facts.isRegular || facts.size > kLargestInput) return {};
    QFile file;
    if (!openNative(file, path)) return {};
    // Only the beginning is needed to choose a plug-in; the rest is read
    // when a host that cannot open the file itself needs a copy.
    QByteArray asked = file.read(ORBET_WIRE_HEAD_SIZE);
    if (asked.isEmpty()) return {};
    asked.append(QByteArray(ORBET_WIRE_HEAD_SIZE - asked.size(), '\0'));
    asked += toNative(path);

    Slot* chosen = nullptr;
    for (Slot& slot : slots_) {
        pumpEvents();
        if (overtaken() || slot.path.isEmpty()) return {};
        const std::int32_t id = hostIdOf(slot);
        if (overtaken()) return {};
        if (id == 0) continue;
        const HostProcess::Reply reply =
            runningHost(slot.kind) ? runningHost(slot.kind)->call(WIRE_SUPPORTED, id, asked, setup_.callLimit)
                                   : HostProcess::Reply();
        if (overtaken()) return {};
        if (reply.ok && reply.value != 0) {
            chosen = &slot;
            break;
        }
    }
    HostProcess* onHost = chosen ? runningHost(chosen->kind) : nullptr;
    const QString exchange = exchangeFolder();
    if (!onHost || chosen->hostRun != onHost->run() || exchange.isEmpty()) return {};

    const QString name = QString::number(getpid()) + QLatin1Char('-') + QString::number(serial);
    const QString output = exchangeFile(exchange, "out", hostIndex(chosen->kind));
    const QString cancel = folders::join(exchange, QStringLiteral("cancel-") + name);
    struct Cleanup {
        QStringList files;
        ~Cleanup() {
            for (const QString& file : files)
                unlink(toNative(file).constData());
        }
    } cleanup{{cancel}};
    // The host maps the very file this program holds open, through its
    // descriptor's name, bounded by the size seen here: nothing swapped in
    // under the file's name since (a pipe would hang Wine's server) reaches
    // a plug-in, and no name needs a Windows form. Where the system offers
    // no such name, the native host opens the name itself and refuses
    // anything but a regular file, and a Windows host gets a copy under a
    // plain name.
    QByteArray input = setup_.lendOpenFiles ? heldFileName(file.handle()) : QByteArray();
    std::uint64_t inputBytes = std::uint64_t(facts.size);
    if (input.isEmpty() && chosen->kind == PluginKind::Native) input = toNative(path);
    if (input.isEmpty()) {
        const QString copy = exchangeFile(exchange, "in", hostIndex(chosen->kind));
        inputBytes = copyContents(file.handle(), copy, kLargestInput);
        if (inputBytes > kLargestKeptExchange) cleanup.files << copy;
        if (inputBytes == 0) return {};
        input = toNative(copy);
    }

    const WirePictureRequest request{inputBytes};
    QByteArray payload(reinterpret_cast<const char*>(&request), sizeof request);
    payload += input + '\0' + toNative(output) + '\0' + toNative(cancel) + '\0';
    const HostProcess::Ticket ticket = onHost->send(WIRE_PICTURE, chosen->hostId, payload);
    inFlightHost_ = onHost;
    inFlight_ = ticket;
    inFlightCancel_ = cancel;
    const HostProcess::Reply reply = onHost->await(ticket, setup_.callLimit);
    file.close();
    if (inFlightHost_ == onHost && inFlight_.run == ticket.run && inFlight_.sequence == ticket.sequence)
        inFlightHost_ = nullptr;
    if (overtaken() || !reply.ok || reply.payload.size() != qsizetype(sizeof(WirePictureReply))) return {};

    // The return value is not checked: whatever blocks came back are used.
    WirePictureReply blocks;
    std::memcpy(&blocks, reply.payload.constData(), sizeof blocks);
    if (blocks.headerBytes == 0 || blocks.pixelBytes == 0) return {};
    const MappedFile mapped(output);
    if (mapped.size() > kLargestKeptExchange) cleanup.files << output;
    if (!mapped.data() || blocks.headerBytes > mapped.size() ||
        blocks.pixelBytes > mapped.size() - blocks.headerBytes)
        return {};
    return dibToPicture(mapped.data(), std::size_t(blocks.headerBytes), mapped.data() + blocks.headerBytes,
                        std::size_t(blocks.pixelBytes));
}

} // namespace orbet
