#include "plugins/host/PluginRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/CodeFolders.h"
#include "platform/NativePath.h"
#include "platform/Numbers.h"
#include "plugins/host/DecodeRequest.h"
#include "plugins/host/HostWire.h"
#include "plugins/host/SusieLibrary.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PluginRegistry)
};
} // namespace

namespace {

// A plug-in answering every info number with a mask would keep the mask loop
// going for ever.
constexpr int MaxMaskReads = 1000;

QString progressHead() {
    return Texts::tr("Susieプラグイン読み込み");
}

QString progressCounts(int loaded, int total) {
    return progressHead() + QLatin1Char('(') + num::signedText(loaded) + QLatin1Char('/') +
           num::signedText(total) + QLatin1Char(')');
}

} // namespace

PluginRegistry::PluginRegistry(HostSetup setup) : setup_(std::move(setup)) {}

PluginRegistry::~PluginRegistry() {
    decode_.reset();
}

void PluginRegistry::setPicturesAsStored(bool stored) {
    pool_.setPicturesAsStored(stored);
}

bool PluginRegistry::decoding() const {
    return decode_ && !decode_->finished();
}

void PluginRegistry::endDecode() {
    if (!decode_) return;
    decode_->overtake();
    // Its own timer or a host's notifier may be what runs now.
    if (QCoreApplication::instance())
        decode_.release()->deleteLater();
    else
        decode_.reset();
}

QFuture<QImage> PluginRegistry::decodeAsync(const QString& path) {
    endDecode();
    if (!watching_) {
        watching_ = true;
        pool_.watch([this] {
            if (decode_) decode_->advance();
        });
    }
    decode_ = std::make_unique<DecodeRequest>(slots_, pool_, setup_, path);
    QFuture<QImage> future = decode_->future();
    decode_->start(true);
    return future;
}

QImage PluginRegistry::decodeWithPlugins(const QString& path) {
    endDecode();
    DecodeRequest request(slots_, pool_, setup_, path);
    request.start(false);
    return request.wait();
}

void PluginRegistry::startHosts() {
    for (int i = 0; i < Slots; ++i) {
        Slot& slot = slots_[i];
        if (slot.path.isEmpty()) break;
        if (!isWindowsKind(slot.kind)) continue;
        HostProcess* onHost = pool_.host(slot.kind, false);
        if (!onHost || slot.hostRun == onHost->run() || slot.loading.run == onHost->run()) continue;
        slot.loading = onHost->send(WIRE_LOAD, 0, toNative(slot.path));
    }
}

QStringList PluginRegistry::candidates(const QString& folder) {
    if (folder.isEmpty()) return {};
    const QDir dir(folder);
    const QStringList pluginFiles = dir.entryList({QStringLiteral("*.spi"), QStringLiteral("*.sph")},
                                                  QDir::Files, QDir::Name | QDir::IgnoreCase);
    QStringList result;
    for (const QString& name : pluginFiles)
        if (name.left(2).toUpper() == QLatin1String("IF")) result << name;
    return result;
}

void PluginRegistry::loadPlugins(const QString& folder, const ProgressText& progress) {
    endDecode();
    auto show = [&progress](const QString& text) {
        if (progress) progress(text);
    };
    auto cache = std::make_unique<PluginCache>(setup_.cacheFile);
    cache->read();
    pool_.findWine();
    needingWine_.clear();
    const bool deferWindows = setup_.deferNewPrefix && !pool_.prefixReady();

    const QStringList names = candidates(folder);
    const int total = int(names.size());
    int loaded = 0;
    for (int order = 0; order < total; ++order) {
        if (loaded == Slots) break;
        const QString& name = names.at(order);
        const QString path = QDir(folder).filePath(name);
        const PathFacts facts = pathFacts(path);
        const PluginCache::Entry* cached = cache->find(path, facts.size, facts.modifiedMs);
        PluginCache::Entry entry;
        if (cached) entry = *cached;
        entry.size = facts.size;
        entry.modifiedMs = facts.modifiedMs;
        if (!cached) entry.kind = facts.isRegular ? pluginKindOfFile(path) : PluginKind::Unknown;
        const bool withoutWine = isWindowsKind(entry.kind) && pool_.wine().isEmpty();
        // Code from a folder or file another user can write is never run.
        const bool safe = isSafeCodePath(path);
        if (deferWindows && safe && !cached && !withoutWine && isWindowsKind(entry.kind)) {
            if (waiting_.empty())
                show(QCoreApplication::translate("PluginRegistry", "Windows用プラグインの準備中…"));
            waiting_.push_back({order, name, path, entry});
            continue;
        }

        Slot& slot = slots_[loaded];
        bool usable = false;
        HostProcess* onHost = nullptr;
        if (!safe) {
            // Left unusable, whatever the cache remembers of it.
        } else if (withoutWine) {
            needingWine_ << name;
        } else if (cached) {
            usable = cached->loaded;
        } else if (entry.kind != PluginKind::Unknown && (onHost = pool_.host(entry.kind, true))) {
            const HostProcess::Reply reply = onHost->call(WIRE_LOAD, 0, toNative(path), setup_.callLimit);
            usable = reply.ok && reply.value > 0;
            if (usable) {
                slot.hostRun = onHost->run();
                slot.hostId = reply.value;
            }
        }
        // What the plug-in says: from the cache, or asked of its host.
        auto info = [&](int number) -> QString {
            if (cached) {
                if (number == 1) return cached->description;
                const qsizetype index = number - 2;
                return index < cached->maskTexts.size() ? cached->maskTexts.at(index) : QString();
            }
            if (!onHost || !onHost->running() || onHost->run() != slot.hostRun) return {};
            std::int32_t asked = number;
            const HostProcess::Reply reply = onHost->call(
                WIRE_INFO, slot.hostId, QByteArray(reinterpret_cast<const char*>(&asked), sizeof asked),
                setup_.callLimit);
            return reply.ok ? pluginText(reply.payload) : QString();
        };
        if (usable) {
            ++loaded;
            slot.order = order;
            slot.path = path;
            slot.kind = entry.kind;
            slot.description = info(1);
            show(progressCounts(loaded, total) + QStringLiteral("->"));

            QString masks;
            QStringList maskTexts;
            for (int k = 2; k < 2 + MaxMaskReads; ++k) {
                show(progressCounts(loaded, total) + Texts::tr("->拡張子読み出し"));
                const QString text = info(k);
                if (!text.startsWith(QLatin1Char('*'))) break;
                masks += text;
                maskTexts << text;
            }
            // A plug-in whose host died while it was asked is no plug-in.
            if (onHost && !onHost->running()) {
                usable = false;
                --loaded;
            } else {
                slot.masks = masks;
                entry.description = slot.description;
                entry.maskTexts = maskTexts;
            }
        }
        if (!usable) {
            slot = Slot();
            show(progressCounts(loaded, total) + Texts::tr("->%1を取得できません").arg(name));
        }
        // Whether Wine is there is no property of the plug-in.
        if (!withoutWine) {
            entry.loaded = usable;
            cache->put(path, entry);
        } else if (cached) {
            cache->put(path, *cached);
        }
    }
    cache->write();
    if (!waiting_.empty()) waitingCache_ = std::move(cache);

    slots_.changed();
    slots_.rebuildMasks();
    show(progressHead() + Texts::tr("->終了->") + slots_.maskList());
}

void PluginRegistry::freePlugins() {
    endDecode();
    waiting_.clear();
    waitingCache_.reset();
    // Every release is sent at once; the hosts answer in order, so one wait
    // per host covers its plug-ins.
    HostProcess::Ticket last[3];
    for (int i = 0; i < Slots; ++i) {
        const Slot& slot = slots_[i];
        if (slot.path.isEmpty()) break;
        HostProcess* onHost = pool_.runningHost(slot.kind);
        if (onHost && slot.hostRun == onHost->run() && slot.hostId > 0)
            last[HostPool::indexOf(slot.kind)] = onHost->send(WIRE_FREE, slot.hostId, {});
    }
    for (const PluginKind kind : {PluginKind::Native, PluginKind::Win32, PluginKind::Win64})
        if (HostProcess* onHost = pool_.runningHost(kind); onHost && last[HostPool::indexOf(kind)].run != 0)
            onHost->await(last[HostPool::indexOf(kind)], std::chrono::milliseconds(2000));
    slots_.clear();
    pool_.stopAll(std::chrono::milliseconds(1000));
}

int PluginRegistry::loadedCount() const {
    return slots_.loadedCount();
}

QString PluginRegistry::slotPath(int slot) const {
    if (slot < 0 || slot >= Slots) return {};
    return slots_[slot].path;
}

PluginKind PluginRegistry::slotKind(int slot) const {
    if (slot < 0 || slot >= Slots) return PluginKind::Unknown;
    return slots_[slot].kind;
}

QStringList PluginRegistry::descriptions() const {
    return slots_.descriptions();
}

QStringList PluginRegistry::suffixMasks() const {
    return slots_.suffix().split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

std::vector<PluginRegistry::SlotInfo> PluginRegistry::slotInfos() const {
    std::vector<SlotInfo> infos;
    for (int i = 0; i < Slots; ++i) {
        const Slot& slot = slots_[i];
        if (slot.path.isEmpty()) break;
        infos.push_back({slot.path, slot.description, slot.masks});
    }
    return infos;
}

} // namespace orbet
