#pragma once

#include <memory>

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;
class QVideoWidget;
class QWidget;

namespace orbet {

// The media control the program drives by command words: a file name and
// "open", "play", "stop", "close". The player is built on the first command
// that needs it. Commands that fail are not reported; completion of playback
// is signalled.
class MediaControl : public QObject {
    Q_OBJECT
public:
    explicit MediaControl(QWidget* videoParent, QObject* parent = nullptr);
    ~MediaControl() override;

    void setFileName(const QString& file) { fileName_ = file; }
    const QString& fileName() const { return fileName_; }

    // One of the four words; anything else is ignored. Returns false when
    // the command could not be carried out.
    bool command(const QString& word);

    bool isOpen() const { return open_; }
    bool isPlaying() const;
    bool hasPlayer() const { return player_ != nullptr; }
    QVideoWidget* video() const { return video_; }

signals:
    // Playback reached the end of the media.
    void completed();
    void videoAvailable(bool available);

private:
    void ensurePlayer();
    void showVideoIfAny();

    QWidget* videoParent_;
    QString fileName_;
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* audio_ = nullptr;
    QVideoWidget* video_ = nullptr;
    bool open_ = false;
};

}  // namespace orbet
