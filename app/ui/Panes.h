#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include <QFuture>
#include <QImage>
#include <QString>

#include "display/ReadAhead.h"

namespace orbet {

class Form1;

enum class DisplayGroup { None, Picture, Text, Web, Media };

// The four display panes of the main window behind one small interface:
// the picture box, the text pane, the browser and the media control.
class Panes {
  public:
    explicit Panes(Form1& form) : f_(form) {}

    // Empties every pane: no picture, no text, the media stopped and
    // forgotten, the browser on the empty address.
    void clearAll();
    void clearPicture();
    // Shows and hides the panes for a group of filters.
    void arrange(DisplayGroup group);

    // The built-in loader; false leaves the picture box empty.
    bool loadPicture(const QString& path);
    // Where a large photo's first corner comes from when nothing decodes it
    // ahead: its whole decoding, started at once, or a decoding of the
    // corner alone here, with the whole decoding started after it. The
    // start asks for the second while it runs.
    enum class FirstCorner { FromDecoding, DecodedHere };
    FirstCorner firstCorner = FirstCorner::FromDecoding;
    // Resets the insertion format, then loads rich or plain text: at most
    // kTextReadLimit bytes of it; textCut() tells whether the rest was left.
    bool loadText(const QString& path, bool rich);
    bool textCut() const { return textCut_; }
    bool navigateWeb(const QString& path);
    // The top-left part of a large photo the picture frame shows first.
    QSize cornerSize() const;

    // The decoding ahead of the file (finished or under way), if any; none
    // by default.
    std::function<std::optional<ReadAhead::Decoding>(const QString&)> readAhead;
    // Starts decoding a picture that is about to be shown (start), or drops
    // one started so that was not taken. None by default.
    std::function<void(const QString& path, bool start)> expectPicture;
    // Drops every picture decoded ahead (they were decoded by older rules).
    std::function<void()> dropReadAhead;

    // True while a metafile or a rich text is read on a worker for the panes.
    bool working() const { return working_ > 0; }

  private:
    void setWrapFor(const QString& text);
    void hideVideo();
    // Stops the work under way for the panes (a newer show has begun): it
    // ends at its next step and what it made never reaches a pane.
    void cancelWork();
    template <typename T> std::optional<T> awaitWork(QFuture<T> work);

    Form1& f_;
    bool textCut_ = false;
    quint64 generation_ = 0;
    int working_ = 0;
    std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace orbet
