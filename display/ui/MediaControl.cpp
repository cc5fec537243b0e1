#include "display/ui/MediaControl.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QUrl>
#include <QVideoWidget>

#include "platform/NativePath.h"

namespace orbet {

MediaControl::MediaControl(QWidget* videoParent, QObject* parent) : QObject(parent), videoParent_(videoParent) {}

MediaControl::~MediaControl() = default;

void MediaControl::ensurePlayer() {
    if (player_) return;
    player_ = new QMediaPlayer(this);
    audio_ = new QAudioOutput(this);
    player_->setAudioOutput(audio_);
    if (videoParent_) {
        video_ = new QVideoWidget(videoParent_);
        video_->setObjectName(QStringLiteral("MMCVideo"));
        video_->hide();
        player_->setVideoOutput(video_);
    }
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::EndOfMedia) emit completed();
        // A file opened again need not change whether there is video, so the
        // surface follows every load too.
        if (s == QMediaPlayer::LoadedMedia) showVideoIfAny();
    });
    connect(player_, &QMediaPlayer::hasVideoChanged, this, [this](bool video) {
        showVideoIfAny();
        emit videoAvailable(video);
    });
}

void MediaControl::showVideoIfAny() {
    // Video plays in the display area; sound alone leaves it as it is. A file
    // given up before its video was found (the name is emptied when another
    // file is shown) never brings the surface back.
    if (video_) video_->setVisible(open_ && player_->hasVideo() && !fileName_.isEmpty());
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
        if (video_) video_->hide();
        player_->stop();
        player_->setSource(QUrl());
        open_ = false;
        return true;
    }
    return false;
}

}  // namespace orbet
