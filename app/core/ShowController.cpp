#include "app/core/ShowController.h"

#include <QTimer>

namespace orbet {

ShowController::ShowController(CommandLineTarget commandLine, ReadAhead::Decoder decode,
                               ReadAhead::CornerSize cornerSize, QObject* parent)
    : QObject(parent), commandLine_(std::move(commandLine)),
      readAhead_(std::make_unique<ReadAhead>(std::move(decode), 2, std::move(cornerSize))) {
    current_.cancel = std::make_shared<std::atomic<bool>>(false);
}

ShowController::~ShowController() {
    current_.cancel->store(true);
}

const ShowController::Request& ShowController::begin() {
    current_.cancel->store(true);
    std::vector<std::function<void()>> cancelling;
    cancelling.swap(cancelWork_);
    for (auto& cancel : cancelling)
        cancel();
    current_ = {current_.id + 1, std::make_shared<std::atomic<bool>>(false)};
    // The older request's work still finishes, but is no longer waited for;
    // whoever waits for the show to settle waits for this one instead.
    pending_ = 0;
    // Those waiting learn of the newer request once its show has started
    // whatever work it needs, even when it needs none.
    if (!settled_.empty()) afterPendingEvents([] {});
    return current_;
}

void ShowController::afterPendingEvents(std::function<void()> step) {
    const quint64 id = current_.id;
    started();
    QTimer::singleShot(0, this, [this, id, step = std::move(step)] {
        if (isCurrent(id)) step();
        finished(id);
    });
}

void ShowController::whenSettled(std::function<void()> then) {
    if (!busy()) {
        then();
        return;
    }
    settled_.push_back(std::move(then));
}

void ShowController::finished(quint64 id) {
    if (!isCurrent(id) || pending_ == 0) return;
    if (--pending_ > 0) return;
    cancelWork_.clear();
    // A waiting step may begin a request of its own, which waits anew.
    std::vector<std::function<void()>> waiting;
    waiting.swap(settled_);
    for (auto& then : waiting)
        then();
}

} // namespace orbet
