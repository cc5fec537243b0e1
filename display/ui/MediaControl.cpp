#include "display/ui/MediaControl.h"

#include <QAudioOutput>
#include <QEvent>
#include <QMediaPlayer>
#include <QPainter>
#include <QUrl>
#include <QVideoSink>

#include "platform/NativePath.h"

namespace orbet {

VideoSurface::VideoSurface(QWidget* parent) : QWidget(parent), sink_(new QVideoSink(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(sink_, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
        frame_ = frame;
        if (isVisible()) update();
    });
}

void VideoSurface::clear() {
    frame_ = QVideoFrame();
    update();
}

void VideoSurface::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!frame_.isValid()) return;
    QVideoFrame::PaintOptions options;
    options.aspectRatioMode = Qt::KeepAspectRatio;
    frame_.paint(&painter, rect(), options);
}

MediaControl::MediaControl(QWidget* videoParent, QWidget* panel, QObject* parent)
    : QObject(parent), videoParent_(videoParent), panel_(panel) {
    if (panel_) panel_->installEventFilter(this);
}

MediaControl::~MediaControl() { release(); }

void MediaControl::release() {
    if (!player_) return;
    player_->stop();
    player_->setVideoSink(nullptr);
    player_->setSource(QUrl());
    open_ = false;
}

void MediaControl::ensurePlayer() {
    if (player_) return;
    player_ = new QMediaPlayer(this);
    audio_ = new QAudioOutput(this);
    player_->setAudioOutput(audio_);
    if (videoParent_) {
        video_ = new VideoSurface(videoParent_);
        video_->setObjectName(QStringLiteral("MMCVideo"));
        video_->hide();
        player_->setVideoSink(video_->sink());
    }
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::EndOfMedia) emit completed();
        // A file opened again need not change whether there is video, so the
        // surface follows every load too.
        if (s == QMediaPlayer::LoadedMedia) {
            hasVideo_ = player_->hasVideo();
            updateVideo();
        }
    });
    connect(player_, &QMediaPlayer::hasVideoChanged, this, [this](bool video) {
        hasVideo_ = video;
        updateVideo();
        emit videoAvailable(video);
    });
}

void MediaControl::updateVideo() {
    if (!video_) return;
    // Sound alone leaves the display area as it is.
    const bool shown = open_ && hasVideo_ && !fileName_.isEmpty() && !(panel_ && panel_->isHidden());
    if (shown) {
        video_->show();
        video_->raise();
    } else {
        video_->hide();
    }
}

bool MediaControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_ && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        updateVideo();
    return QObject::eventFilter(watched, event);
}

void MediaControl::setFileName(const QString& file) {
    fileName_ = file;
    if (file.isEmpty() && video_) video_->clear();
    updateVideo();
}

bool MediaControl::isPlaying() const {
    return player_ && player_->playbackState() == QMediaPlayer::PlayingState;
}

bool MediaControl::command(const QString& word) {
    if (word == QLatin1String("open")) {
        if (!pathFacts(fileName_).isFile) return false;
        ensurePlayer();
        player_->setSource(nativeFileUrl(fileName_));
        open_ = player_->error() == QMediaPlayer::NoError;
        // Re-opening the same file need not signal the picture track again.
        hasVideo_ = player_->hasVideo();
        updateVideo();
        return open_;
    }
    if (word == QLatin1String("play")) {
        if (!open_) return false;
        player_->play();
        return true;
    }
    if (word == QLatin1String("stop")) {
        if (!open_) return false;
        // Stopping rewinds, so the next play starts from the beginning.
        player_->stop();
        return true;
    }
    if (word == QLatin1String("close")) {
        if (!player_) return false;
        player_->stop();
        player_->setSource(QUrl());
        open_ = false;
        if (video_) video_->clear();
        updateVideo();
        return true;
    }
    return false;
}

}  // namespace orbet
