#pragma once

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <optional>

#include <QDateTime>
#include <QFuture>
#include <QImage>
#include <QString>
#include <QThreadPool>

#include "display/JpegDecoder.h"

namespace orbet {

// Which way the user moved through a list between two shows.
enum class Travel { Forward, Backward, Same, Jump };
// previous = -1 (nothing shown yet in this list) counts as forward; the
// first and last entries are neighbours (steps wrap).
Travel travelBetween(int previous, int current, int count);

// Decodes the next picture in the direction of travel on a worker thread
// while the current one is on screen. At most `capacity` decoded (or
// decoding) pictures are held besides the shown one; a step the other way
// or a jump drops the guess.
class ReadAhead {
  public:
    // Decodes a file; a large photo hands its upright corner to the
    // hand-off on the way (see loadBuiltInPicture), which may be null, and a
    // quarter-turned one may come as stored (the hand-off then tells its
    // turn). The decoding may give up once the flag is set: the guess was
    // dropped.
    using Decoder = std::function<QImage(const QString&, JpegCornerHandOff*, const std::atomic<bool>*)>;
    // The corner a pane would show first, asked when a guess starts; empty
    // or none: guesses hand over no corner.
    using CornerSize = std::function<QSize()>;
    explicit ReadAhead(Decoder decode, int capacity = 2, CornerSize cornerSize = {});
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The picture decoded ahead for this file, waiting for its decoding when
    // it is under way; a null image when there is none or the file changed
    // or vanished since (the caller then decodes it itself). The picture
    // leaves the cache: it becomes the shown one. Always upright.
    QImage take(const QString& path);
    // A guess's decoding, finished or under way, with the hand-off its
    // corner and the turn its picture still needs come through (null when
    // it hands none over).
    struct Decoding {
        QFuture<QImage> future;
        std::shared_ptr<JpegCornerHandOff> corner;
    };
    // The same without waiting: the guess's decoding, or nothing (no guess,
    // or the file changed since).
    std::optional<Decoding> takeDecoding(const QString& path);

    // The entry `index` of a list of `count` entries in `folder` is shown.
    // pathAt gives the file of an entry, or an empty text for an entry not
    // worth decoding ahead.
    void shown(const QString& folder, int index, int count, const std::function<QString(int)>& pathAt);
    // Decodes this file now, before anything is shown: the start-up knows
    // the file it is asked to open before its window is built.
    void expect(const QString& path) { guess(path); }
    // Drops the guess for this file, if any is still held.
    void forget(const QString& path);
    // Drops every guess.
    void cancel();

    // Pictures held, decoded or under way (cancelled ones still running count too).
    int held();
    // True when the guess for this file has finished decoding.
    bool isDecoded(const QString& path) const;
    // Paths of the current guesses, oldest first.
    QStringList guesses() const;

  private:
    struct Entry {
        QString path;
        qint64 size = -1;
        qint64 modifiedMs = 0;
        QFuture<QImage> future;
        std::shared_ptr<JpegCornerHandOff> corner;
        std::shared_ptr<std::atomic<bool>> dropped = std::make_shared<std::atomic<bool>>(false);
    };
    void purge();
    // A guess nobody will take: it never starts, or stops where it is.
    void drop(Entry& e);
    void guess(const QString& path);

    Decoder decode_;
    int capacity_;
    CornerSize cornerSize_;
    QThreadPool pool_;
    std::list<Entry> entries_;
    std::list<QFuture<QImage>> draining_;
    QString folder_;
    int lastIndex_ = -1;
    int direction_ = 1;
};

} // namespace orbet
