#pragma once

#include <string_view>

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

#include "display/text/RtfState.h"

class QTextDocument;

namespace orbet {

// Builds the document from runs of text. Text is gathered while the character
// properties stay the same and goes into the document in one insertion when
// they change, so the cost follows the number of runs, not of characters.
// Bytes are decoded in the code page of the run's font (else the document's)
// only when the run ends, so a double-byte character split over two \'xx
// escapes, or UTF-8 over several, decodes whole.
class RtfDocumentBuilder {
  public:
    RtfDocumentBuilder(QTextDocument& doc, const RtfFontTable& fonts, const RtfColorTable& colours,
                       RtfDecoders& decoders);

    void setDocumentCodePage(int codePage) { documentCodePage_ = codePage; }
    // The font of text whose properties name none (\deffN).
    void setDefaultFont(int font) {
        defaultFont_ = font;
        fontsChanged();
    }
    // The font table took an entry: formats made before may name other fonts.
    void fontsChanged() { formatCached_ = false; }
    int documentCodePage() const { return documentCodePage_; }
    // The code page text in these properties is decoded in.
    int codePageFor(const RtfCharState& chars) const;

    // Hidden text (\v) is dropped here.
    void appendBytes(std::string_view bytes, const RtfCharState& chars);
    void appendChar(char16_t unit, const RtfCharState& chars);

    void endParagraph(const RtfParaState& para, const RtfCharState& chars);
    // The paragraph being built starts on a new page.
    void breakPage() { blockBreaksBefore_ = true; }
    void insertImage(const QImage& image, QSizeF size, const RtfCharState& chars);
    // Gives the last paragraph its properties; the builder is done.
    void finish(const RtfParaState& para, const RtfCharState& chars);

  private:
    void startRun(const RtfCharState& chars);
    void decodePendingBytes();
    void flush();
    QTextCharFormat charFormat(const RtfCharState& chars);
    void applyBlockFormat(const RtfParaState& para, const RtfCharState& chars);
    const RtfFont* fontOf(const RtfCharState& chars) const;

    QTextDocument& doc_;
    QTextCursor cursor_;
    const RtfFontTable& fonts_;
    const RtfColorTable& colours_;
    RtfDecoders& decoders_;
    int documentCodePage_ = kCodePageWestern;
    int defaultFont_ = -1;

    bool runOpen_ = false;
    RtfCharState runChars_;
    QString runText_;
    QByteArray runBytes_;
    int runCodePage_ = 0;

    bool formatCached_ = false;
    RtfCharState cachedChars_;
    QTextCharFormat cachedFormat_;

    bool blockBreaksBefore_ = false;
    int imageCount_ = 0;
};

} // namespace orbet
