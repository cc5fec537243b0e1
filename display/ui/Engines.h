#pragma once

#include <functional>

#include <QString>
#include <QUrl>

class QObject;
class QWidget;

namespace orbet {

// The web engine and the media framework are large: linked into the
// program they would be loaded and relocated on every start. They live in
// a module (orbet_engines) that is opened the first time a page, a media
// file or the mini browser needs them, behind these small interfaces. The
// module links only Qt; nothing of the program's own libraries crosses.

// What a web view is for. A preview (the web pane) shows pages the user
// did not necessarily write: such a page shows itself and the pictures,
// styles, scripts and frames it names in its own folder or below, and
// reaches nothing else: no other file, no network (no peer connection, no
// look-up of a name), no permission, no window, no download, no dialog. A
// browser (the mini web browser) browses the network, but a local file
// opened in it is under the preview's rules, and its downloads are asked
// about. Neither ever gets camera, microphone, location, notifications,
// screen capture, clipboard reading, full screen or a new window.
enum class WebRole { Preview, Browser };

// A browser view. widget() is a child of the parent it was made for and
// owns this object: it goes when the widget goes.
class WebView {
  public:
    virtual ~WebView() = default;
    virtual QWidget* widget() = 0;
    virtual void setUrl(const QUrl& url) = 0;
    virtual QUrl url() const = 0;
    virtual QString title() const = 0;

    std::function<void(bool ok)> loadFinished;
    std::function<void(const QUrl&)> urlChanged;
    // A browser's page wants to save a download under the name it suggests:
    // the answer is the full path to write, or empty to refuse. Unset, every
    // download is refused.
    std::function<QString(const QString& suggestedName)> downloadAsked;
    // A browser's page asks for a file to upload: the answer is its full
    // path, or empty for none. Unset, or in a preview, no file is given.
    std::function<QString()> fileAsked;
};

// A media player, a child of the owner it was made for (tests find the
// framework's player among the owner's children). Its pictures paint on a
// plain widget inside the video parent, hidden until shown.
class MediaPlayer {
  public:
    enum class Status { Other, Loaded, Ended };
    virtual ~MediaPlayer() = default;
    virtual void setSource(const QUrl& url) = 0;
    virtual bool failed() const = 0;
    // The framework's own words for the last failure; empty without one.
    virtual QString errorText() const = 0;
    virtual bool hasVideo() const = 0;
    virtual bool isPlaying() const = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    // The video surface; null without a video parent.
    virtual QWidget* video() = 0;
    // Forgets the last picture, so a stale one never shows again.
    virtual void clearVideo() = 0;
    // Stops, takes the player off its video surface and empties its source,
    // so its threads write no more frames (the window calls it before its
    // controls go).
    virtual void release() = 0;

    std::function<void(Status)> statusChanged;
    std::function<void(bool)> hasVideoChanged;
    // The media cannot be opened or played (no decoder, no sound output, a
    // broken file), in the framework's words.
    std::function<void(const QString&)> errorOccurred;
};

class Engines {
  public:
    virtual ~Engines() = default;
    virtual WebView* createWebView(QWidget* parent, WebRole role) = 0;
    virtual MediaPlayer* createMediaPlayer(QObject* owner, QWidget* videoParent) = 0;
};

// Opens the module on the first call (the pointer shows busy meanwhile)
// and keeps it; null when it cannot be found or opened. It is looked for in
// $ORBET_ENGINE_DIR when set (the tests' build folder), then in the
// program folder (the build folder) and its engines/ (lib/orbet/engines
// when installed).
Engines* engines();
// A web view from the module (null without it). The first one also sets up
// the graphics context the engine shares with the toolkit, which media files
// never need; always make web views through here.
WebView* createWebView(QWidget* parent, WebRole role);
// True once the module is open: a start that shows no page or media file
// never opens it.
bool enginesLoaded();

// Shows the busy pointer from now until the first time its done() runs
// (or it goes); for the first page or media file, which pays for the
// engine's start.
class PendingBusyPointer {
  public:
    PendingBusyPointer();
    ~PendingBusyPointer();
    void done();

  private:
    bool on_ = false;
};

} // namespace orbet
