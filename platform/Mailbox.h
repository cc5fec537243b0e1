#pragma once

#include <memory>
#include <mutex>

#include <QMetaObject>
#include <QObject>

namespace orbet {

// How a worker thread that nobody waits for hands its results to an object
// on the window's thread. A folder read may hang for good on a dead mount,
// so the window never joins such a worker: it closes the mailbox as the
// receiver goes, and whatever the worker posts afterwards is dropped.
// Posting holds the lock that closing takes, so nothing is posted to an
// object being destroyed; what was posted before goes with the object.
class Mailbox {
  public:
    explicit Mailbox(QObject* receiver) : receiver_(receiver) {}

    static std::shared_ptr<Mailbox> to(QObject* receiver) { return std::make_shared<Mailbox>(receiver); }

    // Runs `deliver` on the receiver's thread; false when it is gone.
    template <typename F> bool post(F deliver) {
        const std::lock_guard<std::mutex> hold(lock_);
        if (!receiver_) return false;
        QMetaObject::invokeMethod(receiver_, std::move(deliver), Qt::QueuedConnection);
        return true;
    }

    // Called by the receiver before it goes.
    void close() {
        const std::lock_guard<std::mutex> hold(lock_);
        receiver_ = nullptr;
    }

  private:
    std::mutex lock_;
    QObject* receiver_;
};

} // namespace orbet
