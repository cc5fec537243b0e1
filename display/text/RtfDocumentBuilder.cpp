#include "display/text/RtfDocumentBuilder.h"

#include <algorithm>

#include <QTextBlockFormat>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace orbet {

namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr int kMaxIndentTwips = 31680;

double pixels(int twips) {
    return std::clamp(twips, -kMaxIndentTwips, kMaxIndentTwips) / kTwipsPerPixel;
}

// Characters the document would read as structure (paragraph and frame
// marks, object placeholders) or that no text holds are kept out of runs.
void sanitise(QString& text) {
    QChar* d = text.data();
    const qsizetype n = text.size();
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = d[i].unicode();
        if (u < 0x20 && u != '\t') {
            if (u == '\n' || u == '\r') d[w++] = QChar(QChar::LineSeparator);
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < n && d[i + 1].isLowSurrogate()) {
            d[w++] = d[i];
            d[w++] = d[i + 1];
            ++i;
            continue;
        }
        if (QChar::isSurrogate(u) || u == QChar::ObjectReplacementCharacter || u == 0xFDD0 || u == 0xFDD1 ||
            u == 0xFFFE || u == 0xFFFF)
            d[w++] = QChar(QChar::ReplacementCharacter);
        else if (u == QChar::ParagraphSeparator)
            d[w++] = QChar(QChar::LineSeparator);
        else
            d[w++] = d[i];
    }
    text.truncate(w);
}

} // namespace

RtfDocumentBuilder::RtfDocumentBuilder(QTextDocument& doc, const RtfFontTable& fonts,
                                       const RtfColorTable& colours, RtfDecoders& decoders)
    : doc_(doc), cursor_(&doc), fonts_(fonts), colours_(colours), decoders_(decoders) {
    // One edit block: a view attached to the document lays it out once, at the end.
    cursor_.beginEditBlock();
}

const RtfFont* RtfDocumentBuilder::fontOf(const RtfCharState& chars) const {
    return fonts_.find(chars.font >= 0 ? chars.font : defaultFont_);
}

int RtfDocumentBuilder::codePageFor(const RtfCharState& chars) const {
    if (const RtfFont* font = fontOf(chars); font && font->codePage > 0) return font->codePage;
    return documentCodePage_;
}

void RtfDocumentBuilder::startRun(const RtfCharState& chars) {
    if (runOpen_ && chars == runChars_) return;
    flush();
    runOpen_ = true;
    runChars_ = chars;
    runCodePage_ = codePageFor(chars);
}

void RtfDocumentBuilder::appendBytes(std::string_view bytes, const RtfCharState& chars) {
    if (chars.hidden || bytes.empty()) return;
    startRun(chars);
    runBytes_.append(bytes.data(), qsizetype(bytes.size()));
}

void RtfDocumentBuilder::appendChar(char16_t unit, const RtfCharState& chars) {
    if (chars.hidden) return;
    startRun(chars);
    decodePendingBytes();
    runText_.append(QChar(unit));
}

void RtfDocumentBuilder::decodePendingBytes() {
    if (runBytes_.isEmpty()) return;
    decoders_.forCodePage(runCodePage_).decode(runBytes_.constData(), runBytes_.size(), runText_);
    runBytes_.clear();
}

void RtfDocumentBuilder::flush() {
    if (!runOpen_) return;
    decodePendingBytes();
    if (!runText_.isEmpty()) {
        sanitise(runText_);
        cursor_.insertText(runText_, charFormat(runChars_));
        runText_.clear();
    }
    runOpen_ = false;
}

QTextCharFormat RtfDocumentBuilder::charFormat(const RtfCharState& chars) {
    if (formatCached_ && chars == cachedChars_) return cachedFormat_;
    QTextCharFormat f;
    const RtfFont* font = fontOf(chars);
    if (font && !font->family.isEmpty()) f.setFontFamilies(QStringList{font->family});
    f.setFontPointSize(chars.halfPoints / 2.0);
    if (chars.bold) f.setFontWeight(QFont::Bold);
    if (chars.italic) f.setFontItalic(true);
    if (chars.underline) f.setFontUnderline(true);
    if (chars.strike) f.setFontStrikeOut(true);
    if (const auto colour = colours_.find(chars.foreground)) f.setForeground(*colour);
    if (const auto colour = colours_.find(chars.background)) f.setBackground(*colour);
    if (chars.vertical != 0)
        f.setVerticalAlignment(chars.vertical > 0 ? QTextCharFormat::AlignSuperScript
                                                  : QTextCharFormat::AlignSubScript);
    formatCached_ = true;
    cachedChars_ = chars;
    cachedFormat_ = f;
    return f;
}

void RtfDocumentBuilder::applyBlockFormat(const RtfParaState& para, const RtfCharState& chars) {
    QTextBlockFormat f;
    switch (para.alignment) {
    case RtfAlignment::Left:
        f.setAlignment(Qt::AlignLeft);
        break;
    case RtfAlignment::Center:
        f.setAlignment(Qt::AlignHCenter);
        break;
    case RtfAlignment::Right:
        f.setAlignment(Qt::AlignRight);
        break;
    case RtfAlignment::Justify:
        f.setAlignment(Qt::AlignJustify);
        break;
    }
    f.setLeftMargin(pixels(para.leftIndent));
    f.setRightMargin(pixels(para.rightIndent));
    f.setTextIndent(pixels(para.firstIndent));
    f.setTopMargin(std::max(0.0, pixels(para.spaceBefore)));
    f.setBottomMargin(std::max(0.0, pixels(para.spaceAfter)));
    const bool breaks = blockBreaksBefore_ || para.pageBreakBefore;
    f.setPageBreakPolicy(breaks ? QTextFormat::PageBreak_AlwaysBefore : QTextFormat::PageBreak_Auto);
    cursor_.setBlockFormat(f);
    cursor_.setBlockCharFormat(charFormat(chars));
    blockBreaksBefore_ = false;
}

void RtfDocumentBuilder::endParagraph(const RtfParaState& para, const RtfCharState& chars) {
    flush();
    applyBlockFormat(para, chars);
    cursor_.insertBlock();
}

void RtfDocumentBuilder::insertImage(const QImage& image, QSizeF size, const RtfCharState& chars) {
    flush();
    const QString name = QStringLiteral("rtfpicture:%1").arg(++imageCount_);
    doc_.addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat f;
    f.merge(charFormat(chars));
    f.setName(name);
    f.setWidth(size.width());
    f.setHeight(size.height());
    cursor_.insertImage(f);
}

void RtfDocumentBuilder::finish(const RtfParaState& para, const RtfCharState& chars) {
    flush();
    applyBlockFormat(para, chars);
    cursor_.endEditBlock();
}

} // namespace orbet
