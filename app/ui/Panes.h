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

class MainParts;
class ShowController;

enum class DisplayGroup { None, Picture, Text, Web, Media };

// The four display panes of the main window behind one small interface:
// the picture box, the text pane, the browser and the media control.
class Panes {
  public:
    Panes(MainParts& form, ShowController& shows) : f_(form), shows_(shows) {}

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

    // Where the decoding ahead of a file comes from in place of the show
    // controller's read-ahead (tests hand their own); none by default.
    std::function<std::optional<ReadAhead::Decoding>(const QString&)> readAhead;

    // True while a metafile or a rich text is read on a worker for the panes.
    bool working() const;

  private:
    void setWrapFor(const QString& text);
    void hideVideo();
    void showPlain(const QByteArray& bytes);

    MainParts& f_;
    ShowController& shows_;
    bool textCut_ = false;
};

} // namespace orbet
