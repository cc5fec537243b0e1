#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include <QFuture>
#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>

#include "app/core/StartupRules.h"
#include "display/ReadAhead.h"

namespace orbet {

// What is on its way to the panes. Showing a file is one request: the work
// it starts on workers (a decoding, a drawing, a document read) hands its
// result back here, on the window's thread, and the pane takes it only if no
// newer request began meanwhile. A newer request cancels the older at once:
// its work stops at its next step. Nothing here waits or lets events run.
class ShowController : public QObject {
    Q_OBJECT
  public:
    // What the command line names, told once by the program's start;
    // decode and cornerSize serve the read-ahead.
    ShowController(CommandLineTarget commandLine, ReadAhead::Decoder decode, ReadAhead::CornerSize cornerSize,
                   QObject* parent = nullptr);
    ~ShowController() override;

    const CommandLineTarget& commandLine() const { return commandLine_; }
    // The file the command line names; empty when it names none.
    QString commandLineFile() const { return targetFile(commandLine_); }
    ReadAhead& readAhead() { return *readAhead_; }

    // One request: its number and the flag its work watches.
    struct Request {
        quint64 id = 0;
        std::shared_ptr<std::atomic<bool>> cancel;
    };
    // Begins a request, cancelling the one before and the work it started.
    const Request& begin();
    const Request& current() const { return current_; }
    bool isCurrent(quint64 id) const { return id == current_.id; }

    // Hands the work's result to take, on this object's thread, while the
    // request that started it is still the current one; a result overtaken
    // goes to drop instead (a document nobody will show is deleted there).
    // Work already finished is taken before this returns.
    template <typename T>
    void whenReady(QFuture<T> work, std::function<void(T)> take, std::function<void(T)> drop = {});
    // Cancels the work's future when a newer request begins: for work that
    // stops that way (a plug-in's decoding). A worker's run watches the
    // request's flag instead, and still hands its result to drop.
    template <typename T> void stopWhenOvertaken(QFuture<T> work) {
        cancelWork_.push_back([work]() mutable { work.cancel(); });
    }
    // Runs step once the events already waiting have run, while the
    // request is still the current one: the way to let pending events run
    // without a nested loop.
    void afterPendingEvents(std::function<void()> step);

    // True while the current request has work under way.
    bool busy() const { return pending_ > 0; }
    // Runs then once the current request has no work left: at once when
    // it has none (a show that needed no worker is complete when it
    // returns). A request begun meanwhile is waited for instead.
    void whenSettled(std::function<void()> then);

  private:
    void started() { ++pending_; }
    void finished(quint64 id);

    CommandLineTarget commandLine_;
    std::unique_ptr<ReadAhead> readAhead_;
    Request current_;
    int pending_ = 0;
    std::vector<std::function<void()>> settled_;
    std::vector<std::function<void()>> cancelWork_;
};

template <typename T>
void ShowController::whenReady(QFuture<T> work, std::function<void(T)> take, std::function<void(T)> drop) {
    // Work already done (a plug-in that answered at once, a picture decoded
    // ahead) reaches the pane at once.
    if (work.isFinished()) {
        if (!work.isCanceled() && work.resultCount() > 0) take(work.result());
        return;
    }
    const quint64 id = current_.id;
    started();
    auto* watcher = new QFutureWatcher<T>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, id, take = std::move(take), drop = std::move(drop)] {
                watcher->deleteLater();
                const QFuture<T> done = watcher->future();
                // A cancelled run may still have made its result.
                if (done.resultCount() > 0) {
                    if (!done.isCanceled() && isCurrent(id))
                        take(done.result());
                    else if (drop)
                        drop(done.result());
                }
                finished(id);
            });
    watcher->setFuture(std::move(work));
}

} // namespace orbet
