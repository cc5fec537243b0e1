#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <QFuture>
#include <QImage>
#include <QString>
#include <QStringList>

#include "plugins/host/HostPool.h"
#include "plugins/host/HostProcess.h"
#include "plugins/host/HostSetup.h"
#include "plugins/host/PluginCache.h"
#include "plugins/host/PluginKind.h"
#include "plugins/host/PluginSlots.h"

namespace orbet {

// Receives each progress text of the plug-in loading; each replaces the
// previous one on the splash window's progress line.
using ProgressText = std::function<void(const QString&)>;

class DecodeRequest;

// The program's import plug-ins: the slot table (PluginSlots), the hosts
// that run them (HostPool) and the pictures decoded through them
// (DecodeRequest). Filled once at start-up, released at the confirmed end.
// Used from one thread; nothing here runs a nested event loop.
class PluginRegistry {
  public:
    static constexpr int Slots = PluginSlots::Count;

    // What the plug-in information window shows of one loaded plug-in.
    struct SlotInfo {
        QString path;
        QString description;
        QString masks; // the plug-in's mask text as it went into the suffix
    };

    explicit PluginRegistry(HostSetup setup = HostSetup::standard());
    ~PluginRegistry();
    PluginRegistry(const PluginRegistry&) = delete;
    PluginRegistry& operator=(const PluginRegistry&) = delete;

    // The files of folder that are candidates: "*.spi" and "*.sph" in any
    // case, whose names begin with "IF" in any case, sorted by name ignoring
    // case. Which host runs one is told from its content, not its name.
    static QStringList candidates(const QString& folder);

    // LoadPlugins: loads every candidate of folder into the next free slot
    // and builds the mask list and the plug-in pattern suffix, reporting each
    // step through progress. A candidate that cannot be loaded is reported
    // ("...を取得できません") and skipped; once all slots are in use the
    // remaining candidates are skipped without being opened. Meant to run
    // once, on an empty registry. Waits for hosts within their limits; the
    // caller paints the progress.
    void loadPlugins(const QString& folder, const ProgressText& progress = {});

    // Decodes path through the first plug-in that takes it, without
    // waiting: the future finishes on this thread, from its event loop, with
    // the picture, or a null one for an empty or unreadable file, a file no
    // plug-in accepts, a failed decode or a bitmap dibToPicture refuses, a
    // plug-in that crashed or did not answer in time (its host is gone; the
    // next request starts another). A newer decode overtakes an older one
    // still under way, whose future then finishes with a null picture;
    // cancelling the future does the same.
    QFuture<QImage> decodeAsync(const QString& path);
    // DecodeWithPlugins: the same, waited for on the hosts' pipes within
    // their limits, without running events. For workers and tests.
    QImage decodeWithPlugins(const QString& path);

    // Whether native plug-ins leave their formats' own turning transforms
    // unapplied (the user's choice to see pictures as stored; see
    // HostWire.h). A change ends a running native host: the next picture
    // starts it anew with the setting.
    void setPicturesAsStored(bool stored);

    // Starts the hosts of the loaded plug-ins without waiting for them, and
    // has them load their plug-ins meanwhile, so the first decode does not
    // wait for Wine's cold start.
    void startHosts();

    // Windows plug-ins left waiting by loadPlugins() for Wine's new prefix.
    int waitingCount() const { return int(waiting_.size()); }
    // Starts the hosts the waiting plug-ins need and, for each host that has
    // greeted, loads its waiting plug-ins into their places in name order:
    // the plug-ins behind them move up a slot (past the last slot they are
    // released), and the mask list and suffix follow. Never waits for a host
    // to greet; a host that cannot start or misses firstStartLimit leaves its
    // plug-ins unloaded. True when the loaded plug-ins changed. Does nothing
    // while a decode is under way.
    bool loadWaiting();

    // FreePlugins: ends a decode under way and releases the plug-ins in
    // slot order, each host given a bounded time. The mask list and suffix
    // stay.
    void freePlugins();

    int loadedCount() const;
    // The path of the plug-in in slot; empty for an empty or out-of-range
    // slot.
    QString slotPath(int slot) const;
    PluginKind slotKind(int slot) const;

    // The Windows plug-ins that could not be loaded because Wine is not
    // installed, by file name.
    const QStringList& needingWine() const { return needingWine_; }
    // How many host processes have been started, of every kind.
    int hostStarts() const { return pool_.hostStarts(); }
    // The running host of a kind, or null.
    HostProcess* runningHost(PluginKind kind) const { return pool_.runningHost(kind); }

    // Empty, or ";" and the masks of all loaded plug-ins separated by ";".
    const QString& patternSuffix() const { return slots_.suffix(); }
    // The masks as shown in the final progress text (the suffix without ";").
    const QString& maskList() const { return slots_.maskList(); }

    // The information window's lists: info 1 of each loaded plug-in in slot
    // order, and the non-empty pieces of the suffix split at ";".
    QStringList descriptions() const;
    QStringList suffixMasks() const;
    std::vector<SlotInfo> slotInfos() const;

  private:
    using Slot = PluginSlots::Slot;

    // A candidate waiting for Wine's new prefix.
    struct Waiting {
        int order = 0;
        QString name;
        QString path;
        PluginCache::Entry entry;
    };
    void loadWaitingOne(HostProcess& onHost, const Waiting& waiting, std::vector<Slot>& added);
    void placeSlots(std::vector<Slot> added);
    // Ends the decode under way, if any; its request goes once no signal of
    // its own runs.
    void endDecode();
    bool decoding() const;

    HostSetup setup_;
    PluginSlots slots_;
    HostPool pool_{setup_};
    QStringList needingWine_;
    std::vector<Waiting> waiting_;
    std::unique_ptr<PluginCache> waitingCache_; // the loading's cache, kept for the waiting plug-ins
    std::chrono::steady_clock::time_point waitingSince_;
    std::unique_ptr<DecodeRequest> decode_;
    bool watching_ = false;
};

} // namespace orbet
