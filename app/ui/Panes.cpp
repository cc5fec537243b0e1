#include "app/ui/Panes.h"

#include <algorithm>
#include <memory>

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QScrollBar>
#include <QtConcurrent/QtConcurrentRun>
#include <QTextDocument>
#include <QTextEdit>

#include "app/ui/Form1.h"
#include "display/GifAnimation.h"
#include "display/PictureLoader.h"
#include "display/ReadLimits.h"
#include "display/text/RtfReader.h"
#include "display/text/TextDecoding.h"
#include "display/wmf/WmfPlayer.h"
#include "display/ui/MediaControl.h"
#include "display/ui/PictureBox.h"
#include "display/ui/WebPane.h"
#include "platform/NativePath.h"
#include "platform/Twips.h"

namespace orbet {

void Panes::clearPicture() {
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
    case DisplayGroup::None: break;
    }
}

bool Panes::loadPicture(const QString& path) {
    clearPicture();
    std::optional<QFuture<QImage>> decoding = readAhead ? readAhead(path) : std::nullopt;
    if (!decoding || !decoding->isFinished()) {
        // A large photo not decoded yet shows its top-left corner at once,
        // and the whole picture when it is ready. The corner covers the
        // picture frame, which lies below the splitter bar in the window;
        // the window may still grow to the screen before the rest arrives,
        // which then shows the background a moment longer.
        const QSize corner(f_.width(), f_.height() - twips::toPixels(f_.barTop()));
        QSize whole;
        QImage shown = loadJpegCorner(path, corner, &whole);
        if (!shown.isNull()) {
            auto load = [path] { return loadBuiltInPicture(path); };
            f_.MP->setPicture(std::move(shown), whole, decoding ? *decoding : QtConcurrent::run(load), load);
            return true;
        }
    }
    QImage image;
    if (decoding) {
        decoding->waitForFinished();
        if (!decoding->isCanceled()) image = decoding->result();
    }
    if (image.isNull()) image = loadBuiltInPicture(path);
    if (image.isNull()) return false;
    f_.MP->setPicture(std::move(image));
    if (auto animation = GifAnimation::open(path)) f_.MP->animate(std::move(animation));
    return true;
}

bool Panes::loadText(const QString& path, bool rich) {
    QTextCharFormat plain;
    plain.setFontPointSize(9);
    plain.setForeground(Qt::black);
    f_.RT->setCurrentCharFormat(plain);
    textCut_ = false;
    // A pipe or a device never ends (or never starts): only regular files are read.
    if (!pathFacts(path).isRegular) return false;
    QFile file;
    if (!openNative(file, path)) return false;
    const QByteArray bytes = file.read(kTextReadLimit);
    textCut_ = !file.atEnd();
    if (rich) {
        auto doc = std::make_unique<QTextDocument>();
        RtfReadOptions options;
        options.decodeWmf = [](const QByteArray& wmf) { return renderWmf(wmf); };
        if (readRtf(bytes, *doc, options)) {
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
            return true;
        }
    }
    const DecodedText decoded = decodeText(bytes);
    setWrapFor(decoded.text);
    f_.RT->setPlainText(decoded.text);
    return true;
}

void Panes::setWrapFor(const QString& text) {
    // Wrapping a line of megabytes costs minutes; such text (binary files
    // shown as text above all) is shown unwrapped instead.
    qsizetype longest = 0, start = 0;
    for (qsizetype i = 0; i <= text.size() && longest <= kLongestWrappedLine; ++i) {
        if (i == text.size() || text[i] == u'\n' || text[i] == QChar::ParagraphSeparator) {
            longest = std::max(longest, i - start);
            start = i + 1;
        }
    }
    f_.RT->setLineWrapMode(longest > kLongestWrappedLine ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
}

bool Panes::navigateWeb(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) return false;
    f_.WB1->navigate(path);
    return true;
}

}  // namespace orbet
