#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include <QImage>
#include <QString>
#include <QStringList>

#include "plugins/host/HostProcess.h"
#include "plugins/host/PluginCache.h"
#include "plugins/host/PluginKind.h"

namespace orbet {

// Receives each progress text of the plug-in loading; each replaces the
// previous one on the splash window's progress line.
using ProgressText = std::function<void(const QString&)>;

// Where the plug-in hosts and what they need are found. The defaults serve
// the program; tests point every folder into their own temporary folder.
struct HostSetup {
    QString hostFolder;     // orbet-spihost, orbet-spihost32.exe, orbet-spihost64.exe
    QString wine;           // the wine program; empty: looked up in PATH at loading
    QString winePrefix;     // a private prefix, never ~/.wine
    QString cacheFile;      // the plug-ins' descriptions and masks; empty: no cache
    QString exchangeFolder; // pictures in and out; empty: a private folder in exchangeBase
    QString exchangeBase;   // where the private folder goes; empty: /dev/shm, or the temporary folder
    std::chrono::milliseconds callLimit{10000};        // a request a plug-in does not answer in time
    std::chrono::milliseconds startLimit{30000};       // a host's greeting (Wine's cold start)
    std::chrono::milliseconds firstStartLimit{180000}; // the same while Wine makes a new prefix
    // Windows plug-ins not in the cache while Wine has no prefix yet wait for
    // loadWaiting() instead of holding up the loading for the quarter of a
    // minute Wine takes to make one. The program's own setup does so.
    bool deferNewPrefix = false;
    // The hosts open the picture file this program holds, by its
    // descriptor's name. Off, they get it as where the system offers no such
    // name: the native host by the file's own name, a Windows host a copy.
    bool lendOpenFiles = true;

    // The program's own: the hosts in the program folder, the prefix in the
    // user's data folder, the cache in the user's cache folder.
    static HostSetup standard();
    // Tests give every registry the program makes a setup of their own (a
    // shared Wine prefix in their temporary folder); null goes back.
    static void setStandardForTesting(const HostSetup* setup);
};

// The program-wide table of loaded import plug-ins: 101 slots filled from 0
// upward without gaps, the first empty slot ending every walk. Filled once at
// start-up, released at the confirmed end.
class PluginRegistry {
  public:
    static constexpr int Slots = 101;

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

    // What runs wherever pending events are let run (once per mask read, per
    // slot asked while decoding, per plug-in released). By default
    // QCoreApplication::processEvents when an application exists, which is
    // also what runs while a host is waited for.
    void setEventPump(std::function<void()> pump);

    // The files of folder that are candidates: "*.spi" and "*.sph" in any
    // case, whose names begin with "IF" in any case, sorted by name ignoring
    // case. Which host runs one is told from its content, not its name.
    static QStringList candidates(const QString& folder);

    // LoadPlugins: loads every candidate of folder into the next free slot
    // and builds the mask list and the plug-in pattern suffix, reporting each
    // step through progress. A candidate that cannot be loaded is reported
    // ("...を取得できません") and skipped; once all slots are in use the
    // remaining candidates are skipped without being opened. Meant to run
    // once, on an empty registry.
    void loadPlugins(const QString& folder, const ProgressText& progress = {});

    // DecodeWithPlugins: reads the whole file once, asks the slots in order
    // with that one copy and decodes with the first that accepts it. Null for
    // an empty or unreadable file, a file no plug-in accepts, a failed decode
    // or a bitmap dibToPicture refuses, a plug-in that crashed or did not
    // answer in time (its host is gone; the next request starts another),
    // and a decode overtaken by a newer one started while events ran.
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
    // while a decode, the loading or the release is under way.
    bool loadWaiting();

    // FreePlugins: releases the plug-ins in slot order, letting pending
    // events run before each. The mask list and suffix stay.
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
    int hostStarts() const;
    // The running host of a kind, or null.
    HostProcess* runningHost(PluginKind kind) const;

    // Empty, or ";" and the masks of all loaded plug-ins separated by ";".
    const QString& patternSuffix() const { return suffix_; }
    // The masks as shown in the final progress text (the suffix without ";").
    const QString& maskList() const { return maskList_; }

    // The information window's lists: info 1 of each loaded plug-in in slot
    // order, and the non-empty pieces of the suffix split at ";".
    QStringList descriptions() const;
    QStringList suffixMasks() const;
    std::vector<SlotInfo> slotInfos() const;

  private:
    struct Slot {
        int order = 0; // among the folder's candidates
        QString path;
        PluginKind kind = PluginKind::Unknown;
        QString description;
        QString masks;
        // Where the plug-in is loaded: the host run and its id there, or a
        // load request still outstanding.
        quint64 hostRun = 0;
        std::int32_t hostId = 0;
        HostProcess::Ticket loading;
    };

    // A candidate waiting for Wine's new prefix.
    struct Waiting {
        int order = 0;
        QString name;
        QString path;
        PluginCache::Entry entry;
    };
    // Marks the registry busy for loadWaiting() while it lives.
    struct Busy {
        explicit Busy(int& count) : count_(count) { ++count_; }
        ~Busy() { --count_; }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
        int& count_;
    };

    void pumpEvents() const;
    bool prefixReady() const;
    void rebuildMasks();
    // The host of kind once it has greeted, started if need be; null while
    // it has not. Sets failed when it cannot start, died twice without
    // greeting or missed the first start's limit.
    HostProcess* greetedHost(PluginKind kind, bool& failed);
    void loadWaitingOne(HostProcess& onHost, const Waiting& waiting, std::vector<Slot>& added);
    void placeSlots(std::vector<Slot> added);
    bool loadUncached(const QString& path, PluginKind kind, PluginCache::Entry& entry,
                      const std::function<void()>& maskStep);
    HostProcess* host(PluginKind kind, bool wait);
    std::int32_t hostIdOf(Slot& slot);
    QString exchangeFolder();
    void cancelInFlight();

    HostSetup setup_;
    std::array<Slot, Slots> slots_;
    QString suffix_;
    QString maskList_;
    QStringList needingWine_;
    QString wine_;
    std::function<void()> pump_;
    std::unique_ptr<HostProcess> hosts_[3];
    quint64 greetedRun_[3] = {0, 0, 0};
    bool picturesAsStored_ = false;
    std::vector<Waiting> waiting_;
    std::unique_ptr<PluginCache> waitingCache_; // the loading's cache, kept for the waiting plug-ins
    std::chrono::steady_clock::time_point waitingSince_;
    int waitingStarts_[3] = {0, 0, 0};
    int busy_ = 0;
    quint64 releases_ = 0; // freePlugins() calls
    QString ownExchange_;
    quint64 decodes_ = 0;
    // The picture request now with a host, to be cancelled by a newer one.
    HostProcess* inFlightHost_ = nullptr;
    HostProcess::Ticket inFlight_;
    QString inFlightCancel_;
};

} // namespace orbet
