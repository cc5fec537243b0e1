#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

class QSocketNotifier;

namespace orbet {

// One plug-in host process and the wire to it (HostWire.h). Requests may be
// sent ahead (the host answers in order); each is awaited by its ticket with
// a time limit on the pipe alone, or watched through the owning thread's
// event loop (watch()). A host that dies, says something that is not a
// reply, or misses a time limit is killed; its outstanding tickets then
// fail, and the next start() runs a new one.
class HostProcess {
  public:
    struct Launch {
        QString program;
        QStringList arguments;
        QStringList environment; // KEY=VALUE set on top of the program's own; a bare KEY is removed
        QString folder;          // the working folder; empty: the program's own
    };
    struct Reply {
        bool ok = false;
        std::int32_t value = 0;
        QByteArray payload;
    };
    // Identifies one request of one host run.
    struct Ticket {
        quint64 run = 0;
        quint64 sequence = 0;
    };

    explicit HostProcess(Launch launch);
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    // Spawns the host unless one runs; does not wait for it. False when the
    // program cannot be started at all.
    bool start();
    bool running() const { return pid_ > 0; }
    // Counts every host spawned by this object.
    int starts() const { return starts_; }
    quint64 run() const { return run_; }
    pid_t pid() const { return pid_; }

    // The host's greeting (its pointer size), awaited within limit.
    Reply hello(std::chrono::milliseconds limit);

    Ticket send(std::uint32_t type, std::int32_t value, const QByteArray& payload);
    // The reply to ticket, within limit from now. A cancelled ticket (see
    // cancel()) still ahead of this one in the queue gets graceAfterCancel
    // to answer before the host is killed.
    Reply await(Ticket ticket, std::chrono::milliseconds limit);
    Reply call(std::uint32_t type, std::int32_t value, const QByteArray& payload,
               std::chrono::milliseconds limit) {
        return await(send(type, value, payload), limit);
    }
    // Whether the reply to ticket has arrived, reading what the host said so
    // far without waiting; the reply stays for await().
    bool answered(Ticket ticket);
    // Marks an outstanding ticket as no longer wanted.
    void cancel(Ticket ticket);
    // Whether ticket has been sent and not yet answered.
    bool outstanding(Ticket ticket) const;
    // Whether a reply to ticket can still come: it is outstanding or its
    // reply is waiting to be taken.
    bool awaitable(Ticket ticket) const;
    // Kills the host when the oldest unanswered request was cancelled more
    // than the grace ago: a plug-in that ignores being cancelled holds up
    // every newer request. True when it did.
    bool endOverdueCancel();
    // Waits at most limit for the host to say something, without reading it.
    void waitReadable(std::chrono::milliseconds limit) const;

    // Has onActivity run on this thread's event loop whenever the host says
    // something or ends (what it said is read first). Replaces an earlier
    // one; hosts started later are watched too.
    void watch(std::function<void()> onActivity);

    // What the hosts started from now on run with.
    void setEnvironment(QStringList environment) { launch_.environment = std::move(environment); }
    const Launch& launch() const { return launch_; }
    void setLaunch(Launch launch) { launch_ = std::move(launch); }

    void setCancelGrace(std::chrono::milliseconds grace) { cancelGrace_ = grace; }

    // Ends the host at once.
    void kill();
    // Closes the host's input so it ends by itself; kills it if it has not
    // within limit.
    void stop(std::chrono::milliseconds limit);

  private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        std::uint32_t type = 0;
        bool cancelled = false;
        Clock::time_point cancelledAt;
    };

    bool writeAll(const char* data, std::size_t size, Clock::time_point deadline);
    // Reads what has arrived; false when the host is gone or spoke garbage.
    bool readAvailable();
    bool parseReplies();
    void reap(bool force);
    void startWatching();
    void stopWatching();
    void activity();

    Launch launch_;
    std::function<void()> onActivity_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::chrono::milliseconds cancelGrace_{1000};
    pid_t pid_ = -1;
    int toHost_ = -1;
    int fromHost_ = -1;
    int starts_ = 0;
    quint64 run_ = 0;
    quint64 nextSequence_ = 0;     // of the next request sent
    quint64 answeredSequence_ = 0; // replies received so far
    std::deque<Pending> pending_;  // front: the oldest unanswered request
    std::map<quint64, Reply> stash_;
    QByteArray inbox_;
};

} // namespace orbet
