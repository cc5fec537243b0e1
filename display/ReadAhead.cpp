#include "display/ReadAhead.h"

#include <QtConcurrent/QtConcurrentRun>

#include "display/Orientation.h"
#include "platform/NativePath.h"

namespace orbet {

Travel travelBetween(int previous, int current, int count) {
    if (previous < 0) return Travel::Forward;
    if (current == previous) return Travel::Same;
    if (count > 1) {
        if (current == (previous + 1) % count) return Travel::Forward;
        if (current == (previous + count - 1) % count) return Travel::Backward;
    }
    return Travel::Jump;
}

ReadAhead::ReadAhead(Decoder decode, int capacity, CornerSize cornerSize)
    : decode_(std::move(decode)), capacity_(capacity), cornerSize_(std::move(cornerSize)) {
    // One worker: guesses are decoded one after the other, and the decoder
    // itself may use more threads for a large picture.
    pool_.setMaxThreadCount(1);
}

ReadAhead::~ReadAhead() {
    cancel();
    pool_.waitForDone();
}

void ReadAhead::purge() {
    draining_.remove_if([](const QFuture<QImage>& f) { return f.isFinished(); });
}

int ReadAhead::held() {
    purge();
    return int(entries_.size() + draining_.size());
}

bool ReadAhead::isDecoded(const QString& path) const {
    for (const Entry& e : entries_)
        if (e.path == path) return e.future.isFinished();
    return false;
}

QStringList ReadAhead::guesses() const {
    QStringList paths;
    for (const Entry& e : entries_)
        paths << e.path;
    return paths;
}

void ReadAhead::drop(Entry& e) {
    e.dropped->store(true);
    e.future.cancel(); // a guess still queued never starts
    if (!e.future.isFinished()) draining_.push_back(e.future);
}

void ReadAhead::cancel() {
    for (Entry& e : entries_)
        drop(e);
    entries_.clear();
    purge();
}

void ReadAhead::forget(const QString& path) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path != path) continue;
        drop(*it);
        entries_.erase(it);
        return;
    }
}

std::optional<ReadAhead::Decoding> ReadAhead::takeDecoding(const QString& path) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->path != path) continue;
        Entry e = std::move(*it);
        entries_.erase(it);
        const PathFacts now = pathFacts(path);
        if (!now.isRegular || now.size != e.size || now.modifiedMs != e.modifiedMs) {
            drop(e);
            return std::nullopt;
        }
        return Decoding{e.future, e.corner};
    }
    return std::nullopt;
}

QImage ReadAhead::take(const QString& path) {
    std::optional<Decoding> decoding = takeDecoding(path);
    if (!decoding) return {};
    // Its decoding is under way: waiting costs less than starting again.
    decoding->future.waitForFinished();
    if (decoding->future.isCanceled()) return {};
    return orientedImage(decoding->future.result(), decoding->corner ? decoding->corner->wholeTurn() : 1);
}

void ReadAhead::shown(const QString& folder, int index, int count,
                      const std::function<QString(int)>& pathAt) {
    Travel travel = folder == folder_ ? travelBetween(lastIndex_, index, count) : Travel::Forward;
    if (folder != folder_) cancel();
    folder_ = folder;
    lastIndex_ = index;
    if (index < 0 || count < 2) return;
    switch (travel) {
    case Travel::Same:
        return;
    case Travel::Jump:
        cancel();
        return;
    case Travel::Forward:
    case Travel::Backward: {
        const int direction = travel == Travel::Forward ? 1 : -1;
        if (direction != direction_) cancel();
        direction_ = direction;
        const QString next = pathAt((index + direction + count) % count);
        if (!next.isEmpty()) guess(next);
        return;
    }
    }
}

void ReadAhead::guess(const QString& path) {
    for (const Entry& e : entries_)
        if (e.path == path) return;
    purge();
    // Make room by forgetting the oldest guess; never hold more than allowed.
    while (!entries_.empty() && int(entries_.size() + draining_.size()) >= capacity_) {
        drop(entries_.front());
        entries_.pop_front();
    }
    if (int(entries_.size() + draining_.size()) >= capacity_) return;
    // By the path's bytes: a name that is not UTF-8 is decoded ahead too.
    const PathFacts facts = pathFacts(path);
    if (!facts.isRegular) return;
    Entry e;
    e.path = path;
    e.size = facts.size;
    e.modifiedMs = facts.modifiedMs;
    // A photo taken from a guess still decoding shows its corner first
    // all the same: the guess hands it over as the decoding reaches it.
    const QSize corner = cornerSize_ ? cornerSize_() : QSize();
    if (!corner.isEmpty()) e.corner = std::make_shared<JpegCornerHandOff>(corner, true);
    e.future = QtConcurrent::run(&pool_, [decode = decode_, path, corner = e.corner, dropped = e.dropped] {
        return decode(path, corner.get(), dropped.get());
    });
    entries_.push_back(std::move(e));
}

} // namespace orbet
