// The engine module: the web view and the media player the panes and the
// mini browser use, built over Qt WebEngine and Qt Multimedia. The program
// opens this module at run time (display/ui/Engines.h); it links Qt only.
#include <QAudioOutput>
#include <QMediaPlayer>
#include <QPainter>
#include <QPointer>
#include <QVideoFrame>
#include <QVideoSink>
#include <QWidget>

#include "display/ui/Engines.h"
#include "display/ui/engines/PageRules.h"
#include "display/ui/engines/WebPages.h"

namespace orbet {
namespace {

// The picture of a playing video, painted as an ordinary widget: it stacks
// under its sibling controls like any other child, shows in grabs of the
// window, and lives through the window changing its surface when the web
// engine joins it. (A video widget built on an embedded native window does
// none of these: the window's re-creation deletes the embedded window and the
// next move of the frame dereferences it.)
class VideoSurface final : public QWidget {
  public:
    explicit VideoSurface(QWidget* parent) : QWidget(parent), sink_(new QVideoSink(this)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        connect(sink_, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
            frame_ = frame;
            if (isVisible()) update();
        });
    }
    QVideoSink* sink() const { return sink_; }
    void clear() {
        frame_ = QVideoFrame();
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (!frame_.isValid()) return;
        QVideoFrame::PaintOptions options;
        options.aspectRatioMode = Qt::KeepAspectRatio;
        frame_.paint(&painter, rect(), options);
    }

  private:
    QVideoSink* sink_;
    QVideoFrame frame_;
};

class Player final : public QObject, public MediaPlayer {
  public:
    Player(QObject* owner, QWidget* videoParent)
        : QObject(owner), player_(new QMediaPlayer(this)), audio_(new QAudioOutput(this)) {
        player_->setAudioOutput(audio_);
        if (videoParent) {
            video_ = new VideoSurface(videoParent);
            video_->hide();
            player_->setVideoSink(video_->sink());
            // The surface goes with its window, which may be before the
            // player goes: the player must not keep feeding a deleted sink.
            // (destroyed() comes while the sink, a child, still exists.)
            // Emptying the source stops the decoding threads before the sink
            // goes. Quietly: the window going is no news for the media panel.
            connect(video_, &QObject::destroyed, player_, [this] {
                const QSignalBlocker quiet(player_);
                player_->setSource(QUrl());
                player_->setVideoSink(nullptr);
            });
        }
        connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
            if (!statusChanged) return;
            statusChanged(s == QMediaPlayer::EndOfMedia    ? Status::Ended
                          : s == QMediaPlayer::LoadedMedia ? Status::Loaded
                                                           : Status::Other);
        });
        connect(player_, &QMediaPlayer::hasVideoChanged, this, [this](bool video) {
            if (hasVideoChanged) hasVideoChanged(video);
        });
        connect(player_, &QMediaPlayer::errorOccurred, this,
                [this](QMediaPlayer::Error, const QString& text) {
                    if (errorOccurred) errorOccurred(text);
                });
    }
    ~Player() override {
        // Down in a fixed order, quietly: the decoding threads stop (an empty
        // source ends the pipeline) before the sink and the output they feed
        // go, and no late news reaches the control that is going.
        player_->blockSignals(true);
        player_->setSource(QUrl());
        player_->setVideoSink(nullptr);
        player_->setAudioOutput(nullptr);
        delete player_;
        delete audio_;
    }
    void setSource(const QUrl& url) override { player_->setSource(url); }
    bool failed() const override { return player_->error() != QMediaPlayer::NoError; }
    QString errorText() const override { return failed() ? player_->errorString() : QString(); }
    bool hasVideo() const override { return player_->hasVideo(); }
    bool isPlaying() const override { return player_->playbackState() == QMediaPlayer::PlayingState; }
    void play() override { player_->play(); }
    void stop() override { player_->stop(); }
    QWidget* video() override { return video_; }
    void release() override {
        player_->stop();
        player_->setVideoSink(nullptr);
        player_->setSource(QUrl());
    }
    void clearVideo() override {
        if (video_) video_->clear();
    }

  private:
    QMediaPlayer* player_;
    QAudioOutput* audio_;
    QPointer<VideoSurface> video_;
};

class QtEngines final : public Engines {
  public:
    WebView* createWebView(QWidget* parent, WebRole role) override { return makeWebView(parent, role); }
    MediaPlayer* createMediaPlayer(QObject* owner, QWidget* videoParent) override {
        return new Player(owner, videoParent);
    }
};

} // namespace
} // namespace orbet

extern "C" Q_DECL_EXPORT orbet::Engines* orbet_engines() {
    static orbet::QtEngines engines;
    // Both before the engine's first start, which the first view makes.
    static const bool registered = (orbet::keepRealTimeTrafficHome(), orbet::registerPageScheme(), true);
    (void)registered;
    return &engines;
}
