#pragma once

#include <chrono>
#include <memory>

#include <QFile>
#include <QFuture>
#include <QImage>
#include <QObject>
#include <QPromise>
#include <QString>

#include "plugins/host/HostPool.h"
#include "plugins/host/HostSetup.h"
#include "plugins/host/PluginSlots.h"

class QTimer;

namespace orbet {

// One picture decoded through the plug-ins: the slots are asked in order
// whether they take the file, and the first that does decodes it. Every step
// is a request to a host and a wait for its reply; nothing here blocks but
// wait(), and that only on the host's pipe. The picture, or a null one for a
// file no plug-in takes, a failed decode, a host lost or out of time, or a
// request overtaken, completes the future on the thread that runs it.
class DecodeRequest : public QObject {
  public:
    DecodeRequest(PluginSlots& table, HostPool& pool, const HostSetup& setup, const QString& path);
    ~DecodeRequest() override;

    QFuture<QImage> future() { return promise_.future(); }
    // Opens the file and asks the first slot. Watched, a timer on this
    // thread's event loop keeps the time limits; the replies themselves come
    // through the pool's watch.
    void start(bool watched);
    // Goes on with whatever the hosts have said; called on their activity.
    void advance();
    // Runs the request to its end, waiting on the hosts' pipes only.
    QImage wait();
    // A newer request takes over: a plug-in decoding for this one is told to
    // give up, and the future finishes with a null picture.
    void overtake();
    bool finished() const { return finished_; }

  private:
    using Clock = std::chrono::steady_clock;
    enum class Stage { Greeting, Loading, Asking, Decoding };

    void askSlot();
    void awaitReply(HostProcess* host, HostProcess::Ticket ticket, std::chrono::milliseconds limit,
                    Stage stage);
    void replied(const HostProcess::Reply& reply);
    void nextSlot();
    void sendPicture();
    QImage picture(const HostProcess::Reply& reply);
    void finish(const QImage& picture);

    PluginSlots& slots_;
    HostPool& pool_;
    const HostSetup& setup_;
    const QString path_;
    const quint64 generation_;
    QFile file_;
    qint64 fileBytes_ = 0;
    QByteArray asked_; // the file's beginning, then its name
    QStringList dropFiles_;
    int slot_ = 0;
    bool retried_ = false;
    Stage stage_ = Stage::Greeting;
    HostProcess* host_ = nullptr;
    HostProcess::Ticket ticket_;
    Clock::time_point deadline_;
    QPromise<QImage> promise_;
    std::unique_ptr<QTimer> timer_;
    bool finished_ = false;
    QImage result_;
};

} // namespace orbet
