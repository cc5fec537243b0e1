#pragma once

#include <memory>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace orbet {

class PendingBusyPointer;
class MediaPlayer;

// The media control the program drives by command words: a file name and
// "open", "play", "stop", "close". The player is built on the first command
// that needs it, from the engine module (display/ui/Engines.h), which the
// first media file opens; the pointer shows busy until that file is loaded. A command that fails
// returns false; the media engine's reason is kept, and one that comes later
// (a file found broken while loading, no sound output) is signalled;
// completion of playback is signalled.
//
// A video plays on a surface inside videoParent, shown only while a file with
// a picture track is open, a file name is set and the media panel (when one
// is given) is not hidden: emptying the file name or hiding the panel takes
// the picture away. Where the surface sits is the caller's (the layout's).
class MediaControl : public QObject {
    Q_OBJECT
  public:
    explicit MediaControl(QWidget* videoParent, QWidget* panel = nullptr, QObject* parent = nullptr);
    ~MediaControl() override;

    void setFileName(const QString& file);
    const QString& fileName() const { return fileName_; }

    // One of the four words; anything else is ignored. Returns false when
    // the command could not be carried out.
    bool command(const QString& word);

    bool isOpen() const { return open_; }
    bool isPlaying() const;
    bool hasPlayer() const { return player_ != nullptr; }
    // Why the media last failed, in the engine's words; empty when it has not
    // since it was opened (or when there is no engine to say).
    const QString& error() const { return error_; }
    // The video surface; null until the player exists or without a parent.
    QWidget* video() const { return video_; }
    // Stops the player and takes it off the video surface, whose frames it
    // would otherwise go on writing from its own thread after the surface is
    // gone. The window calls it before it destroys its controls.
    void release();

  signals:
    // Playback reached the end of the media.
    void completed();
    void videoAvailable(bool available);
    // The engine found that the media cannot be opened or played.
    void failed(const QString& reason);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool ensurePlayer();
    void updateVideo();

    QPointer<QWidget> videoParent_;
    QPointer<QWidget> panel_;
    QString fileName_;
    QString error_;
    MediaPlayer* player_ = nullptr; // a child of this object
    QPointer<QWidget> video_;
    std::unique_ptr<PendingBusyPointer> busy_;
    bool open_ = false;
    bool hasVideo_ = false;
};

} // namespace orbet
