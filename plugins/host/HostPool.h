#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include <QString>

#include "plugins/host/HostProcess.h"
#include "plugins/host/HostSetup.h"
#include "plugins/host/PluginKind.h"

namespace orbet {

// The host processes of one registry, one per kind of plug-in, started when
// first needed and again after one is lost, and the private folder the
// pictures pass through on their way to and from them.
class HostPool {
  public:
    explicit HostPool(const HostSetup& setup);
    ~HostPool();
    HostPool(const HostPool&) = delete;
    HostPool& operator=(const HostPool&) = delete;

    // Looks the wine program up (at loading).
    void findWine();
    const QString& wine() const { return wine_; }
    // Whether Wine's prefix has been made.
    bool prefixReady() const;

    // The host of kind, started if need be; with wait, also greeted within
    // its limit (killed when it misses it). Null when it cannot start or
    // did not greet.
    HostProcess* host(PluginKind kind, bool wait);
    HostProcess* runningHost(PluginKind kind) const;
    // Whether the running host of kind has greeted, taking a greeting that
    // has arrived; never waits.
    bool greeted(PluginKind kind);
    // How long a host of kind may take to greet: longer while Wine makes a
    // new prefix.
    std::chrono::milliseconds greetingLimit(PluginKind kind) const;
    // For the plug-ins waiting for Wine's new prefix: the host of kind once
    // it has greeted, started if need be, without waiting; null meanwhile.
    // Sets failed when it cannot start, died twice without greeting or
    // missed the first start's limit counted from since.
    HostProcess* greetedHost(PluginKind kind, bool& failed, std::chrono::steady_clock::time_point since);

    int hostStarts() const;
    // A change ends a running native host: the next picture starts it anew
    // with the setting.
    void setPicturesAsStored(bool stored);
    // Has onActivity run from the event loop whenever a host, of now or
    // later, says something or ends.
    void watch(std::function<void()> onActivity);
    // Closes every host's input and kills those still running after limit.
    void stopAll(std::chrono::milliseconds limit);

    // The private exchange folder, made on first use; empty when none can
    // be made.
    QString exchangeFolder();
    // The file of the exchange folder a host's pictures pass through, one
    // way ("in" or "out").
    QString exchangeFile(const char* way, PluginKind kind);
    // The file whose presence tells a host's plug-in to give up its picture.
    QString cancelFile(PluginKind kind);

    static int indexOf(PluginKind kind);

  private:
    const HostSetup& setup_;
    QString wine_;
    std::unique_ptr<HostProcess> hosts_[3];
    quint64 greetedRun_[3] = {0, 0, 0};
    int waitingStarts_[3] = {0, 0, 0};
    bool picturesAsStored_ = false;
    std::function<void()> onActivity_;
    QString ownExchange_;
};

} // namespace orbet
