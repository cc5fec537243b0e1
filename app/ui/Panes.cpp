#include "app/ui/Panes.h"

#include <algorithm>
#include <memory>

#include <QCheckBox>
#include <QFile>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include "app/core/ShowController.h"
#include "app/ui/MainParts.h"
#include "display/GifAnimation.h"
#include "display/JpegTiles.h"
#include "display/PictureLoader.h"
#include "display/ReadLimits.h"
#include "display/text/RtfReader.h"
#include "display/text/TextDecoding.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "display/ui/WebPane.h"
#include "display/wmf/WmfPlayer.h"
#include "platform/NativePath.h"
#include "platform/Twips.h"

namespace orbet {

bool Panes::working() const {
    return shows_.busy();
}

void Panes::clearPicture() {
    // Whatever was on its way to a pane is no longer wanted.
    shows_.begin();
    f_.MP->clear();
    f_.MP->move(0, 0);
}

void Panes::clearAll() {
    clearPicture();
    f_.RT->clear();
    f_.MMC->command(QStringLiteral("stop"));
    f_.MMC->setFileName(QString());
    hideVideo();
    f_.WB1->navigate(QString());
}

void Panes::hideVideo() {
    // A stopped video keeps its last frame on its surface, which lies over the
    // picture box; only the media open sequence shows it again.
    if (QWidget* video = f_.MMC->video()) video->hide();
}

void Panes::arrange(DisplayGroup group) {
    auto show = [](QWidget* w, bool on) { w->setVisible(on); };
    switch (group) {
    case DisplayGroup::Picture:
        clearPicture();
        hideVideo();
        show(f_.WB1, false), show(f_.RT, false), show(f_.MCC, false);
        show(f_.TS, true), show(f_.YS, true), show(f_.BP, true);
        break;
    case DisplayGroup::Text:
        f_.RT->clear();
        show(f_.WB1, false), show(f_.BP, false), show(f_.TS, false), show(f_.YS, false), show(f_.MCC, false);
        show(f_.RT, true);
        break;
    case DisplayGroup::Web:
        show(f_.RT, false), show(f_.BP, false), show(f_.TS, false), show(f_.YS, false), show(f_.MCC, false);
        show(f_.WB1, true);
        break;
    case DisplayGroup::Media:
        show(f_.WB1, false), show(f_.RT, false), show(f_.TS, false), show(f_.YS, false);
        // Video plays in the picture frame, under the media panel.
        show(f_.BP, true), show(f_.MCC, true);
        f_.MCC->raise();
        break;
    case DisplayGroup::None:
        break;
    }
}

QSize Panes::cornerSize() const {
    // The corner covers the picture frame, which lies below the splitter bar
    // in the window.
    return QSize(f_.window().width(), f_.window().height() - twips::toPixels(f_.barTop()));
}

bool Panes::loadPicture(const QString& path) {
    clearPicture();
    // A photo too large to hold whole shows the part on screen, decoded as
    // tiles when it comes into sight.
    if (auto tiles = JpegTiles::open(path)) {
        f_.MP->setTiles(std::move(tiles));
        return true;
    }
    std::optional<ReadAhead::Decoding> ahead =
        readAhead ? readAhead(path) : shows_.readAhead().takeDecoding(path);
    std::optional<QFuture<QImage>> decoding;
    if (ahead) decoding = ahead->future;
    if (isMetafileName(path)) {
        // A metafile may draw for its whole work budget: on a worker, the
        // window answering, and cancelled by the next show. The picture
        // frame takes it when it is drawn.
        const std::shared_ptr<std::atomic<bool>> cancel = shows_.current().cancel;
        shows_.whenReady<QImage>(decoding ? *decoding : QtConcurrent::run([path, cancel] {
                                     return loadMetafile(path, cancel.get());
                                 }),
                                 [this](QImage drawn) {
                                     if (drawn.isNull()) return;
                                     f_.MP->setPicture(std::move(drawn));
                                     f_.layoutDisplay();
                                 });
        return true;
    }
    if (!decoding || !decoding->isFinished()) {
        // A large photo not decoded yet shows its top-left corner at once,
        // and the whole picture when it is ready. The window may still grow
        // to the screen before the rest arrives, which then shows the
        // background a moment longer.
        const QSize corner = cornerSize();
        QSize whole;
        // The whole picture's decoding hands its corner over as soon as that
        // is decoded, wherever it lies in the file: decoding it here as well
        // would take a processor from the whole picture. A decoding ahead
        // that hands none over leaves the corner to be decoded here, as
        // does the start.
        const bool cornerHanded = ahead ? bool(ahead->corner) : firstCorner == FirstCorner::FromDecoding;
        QImage shown = loadJpegCorner(path, cornerHanded ? QSize() : corner, &whole);
        auto load = [path] { return loadBuiltInPicture(path); };
        if (!shown.isNull()) {
            f_.MP->setPicture(std::move(shown), whole, decoding ? *decoding : QtConcurrent::run(load), load,
                              nullptr);
            return true;
        }
        if (whole.isValid()) {
            // The decoding ahead hands it over, or one started here.
            std::shared_ptr<JpegCornerHandOff> handOff = ahead ? ahead->corner : nullptr;
            if (!decoding) {
                handOff = std::make_shared<JpegCornerHandOff>(corner, true);
                decoding = QtConcurrent::run([path, handOff] {
                    return loadBuiltInPicture(path, decodedPictureLimitMb(), handOff.get());
                });
            }
            shown = handOff ? handOff->wait(std::chrono::seconds(10)) : QImage();
            if (!shown.isNull()) {
                f_.MP->setPicture(std::move(shown), whole, *decoding, load, handOff);
                return true;
            }
        }
    }
    QImage image;
    int turn = 1; // what a decoding ahead left to the pane
    if (decoding) {
        decoding->waitForFinished();
        if (!decoding->isCanceled()) image = decoding->result();
        if (!image.isNull() && ahead && ahead->corner) turn = ahead->corner->wholeTurn();
    }
    if (image.isNull()) image = loadBuiltInPicture(path);
    if (image.isNull()) return false;
    f_.MP->setPicture(std::move(image), turn);
    if (auto animation = GifAnimation::open(path)) f_.MP->animate(std::move(animation));
    return true;
}

bool Panes::loadText(const QString& path, bool rich) {
    QTextCharFormat plain;
    plain.setFontPointSize(9);
    plain.setForeground(Qt::black);
    f_.RT->setCurrentCharFormat(plain);
    textCut_ = false;
    const std::optional<BoundedText> read = readBoundedText(path);
    if (!read) return false;
    const QByteArray& bytes = read->bytes;
    textCut_ = read->cut;
    if (rich) {
        // Read on a worker, the window answering: the pictures in a document
        // may draw for their whole work budget. The document moves to the
        // window's thread when it is done.
        const std::shared_ptr<std::atomic<bool>> cancel = shows_.current().cancel;
        QThread* const window = f_.window().thread();
        QFuture<QTextDocument*> reading = QtConcurrent::run([bytes, cancel, window]() -> QTextDocument* {
            auto doc = std::make_unique<QTextDocument>();
            WmfBudget budget;
            budget.cancel = cancel.get();
            RtfReadOptions options;
            options.decodeWmf = metafileDecoder(&budget);
            if (!readRtf(bytes, *doc, options)) return nullptr;
            doc->moveToThread(window);
            return doc.release();
        });
        // The pane takes the document when it is read; one that does not
        // read as rich text shows as plain text then.
        shows_.whenReady<QTextDocument*>(
            reading,
            [this, bytes](QTextDocument* read) {
                std::unique_ptr<QTextDocument> doc(read);
                if (!doc) {
                    showPlain(bytes);
                    return;
                }
                setWrapFor(doc->toPlainText());
                // The pane takes the finished document in one step, so it lays
                // it out once instead of after every insertion.
                // The pane's own first document goes with the switch; one of ours
                // from an earlier load is deleted here.
                QTextDocument* previous = f_.RT->document();
                const bool ours = previous && previous->parent() == f_.RT;
                doc->setParent(f_.RT);
                f_.RT->setDocument(doc.release());
                if (ours) delete previous;
            },
            // Overtaken: a document read meanwhile is nobody's.
            [](QTextDocument* read) { delete read; });
        return true;
    }
    showPlain(bytes);
    return true;
}

void Panes::showPlain(const QByteArray& bytes) {
    // Its lines are cut short enough to wrap at the pane's width.
    f_.RT->setLineWrapMode(QTextEdit::WidgetWidth);
    f_.RT->setPlainText(textForDisplay(decodeText(bytes).text));
}

void Panes::setWrapFor(const QString& text) {
    f_.RT->setLineWrapMode(wrapsWell(text) ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

bool Panes::navigateWeb(const QString& path) {
    const PathFacts facts = pathFacts(path);
    if (facts.exists && !facts.isFile) return false;
    f_.WB1->navigate(path);
    return true;
}

} // namespace orbet
