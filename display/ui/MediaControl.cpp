#include "display/ui/MediaControl.h"

#include <QEvent>
#include <QTimer>
#include <QUrl>

#include "display/ui/Engines.h"
#include "platform/NativePath.h"
#include "platform/StartupTrace.h"

namespace orbet {

MediaControl::MediaControl(QWidget* videoParent, QWidget* panel, QObject* parent)
    : QObject(parent), videoParent_(videoParent), panel_(panel) {
    if (panel_) panel_->installEventFilter(this);
}

MediaControl::~MediaControl() {
    release();
    // The player goes first, so its last news never reaches a half-gone control.
    if (!player_) return;
    player_->statusChanged = nullptr;
    player_->hasVideoChanged = nullptr;
    player_->errorOccurred = nullptr;
    delete player_;
}

void MediaControl::release() {
    if (!player_) return;
    player_->release();
    open_ = false;
}

bool MediaControl::ensurePlayer() {
    if (player_) return true;
    // The first media file pays for the framework's start: busy until it is
    // loaded (or, failing that, for a few seconds at most).
    busy_ = std::make_unique<PendingBusyPointer>();
    QTimer::singleShot(5000, this, [this] { busy_.reset(); });
    Engines* e = engines();
    if (!e) {
        busy_.reset();
        return false;
    }
    player_ = e->createMediaPlayer(this, videoParent_);
    video_ = player_->video();
    if (video_) video_->setObjectName(QStringLiteral("MMCVideo"));
    player_->statusChanged = [this](MediaPlayer::Status s) {
        if (s != MediaPlayer::Status::Other && busy_) {
            traceStartupStep("first media loaded");
            busy_.reset();
        }
        if (s == MediaPlayer::Status::Ended) emit completed();
        // A file opened again need not change whether there is video, so the
        // surface follows every load too.
        if (s == MediaPlayer::Status::Loaded) {
            hasVideo_ = player_->hasVideo();
            updateVideo();
        }
    };
    player_->errorOccurred = [this](const QString& reason) {
        error_ = reason;
        busy_.reset();
        emit failed(reason);
    };
    player_->hasVideoChanged = [this](bool video) {
        hasVideo_ = video;
        updateVideo();
        emit videoAvailable(video);
    };
    return true;
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
    if (file.isEmpty() && player_) player_->clearVideo();
    updateVideo();
}

bool MediaControl::isPlaying() const {
    return player_ && player_->isPlaying();
}

bool MediaControl::command(const QString& word) {
    if (word == QLatin1String("open")) {
        if (!pathFacts(fileName_).isFile) return false;
        error_.clear();
        if (!ensurePlayer()) return false;
        player_->setSource(nativeFileUrl(fileName_));
        open_ = !player_->failed();
        if (!open_) {
            busy_.reset();
            error_ = player_->errorText();
        }
        // Re-opening the same file need not signal the picture track again.
        hasVideo_ = player_->hasVideo();
        updateVideo();
        return open_;
    }
    if (word == QLatin1String("play")) {
        if (!open_) return false;
        // Broken news that came after the open.
        if (player_->failed()) {
            if (error_.isEmpty()) error_ = player_->errorText();
            return false;
        }
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
        player_->clearVideo();
        updateVideo();
        return true;
    }
    return false;
}

} // namespace orbet
