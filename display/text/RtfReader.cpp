#include "display/text/RtfReader.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <QTextDocument>

#include "display/text/RtfDocumentBuilder.h"
#include "display/text/RtfKeywords.h"
#include "display/text/RtfPictures.h"
#include "display/text/RtfState.h"
#include "display/text/RtfTokenizer.h"

namespace orbet {

namespace {

// Writers nest a few dozen groups at most; beyond this the reader counts
// braces instead of keeping state, so hostile nesting costs no memory.
constexpr std::size_t kMaxDepth = 1000;
constexpr qint64 kImageBudgetBase = 64LL * 1024 * 1024;
constexpr qint64 kImageBudgetPerInputByte = 32;
// Only short property names ("pib") matter; longer ones are kept short.
constexpr qsizetype kMaxShapeNameBytes = 16;

class RtfParser {
  public:
    RtfParser(std::string_view input, QTextDocument& doc, const RtfReadOptions& options)
        : tokenizer_(input), options_(options), builder_(doc, fonts_, colours_, decoders_),
          imageBudget_(kImageBudgetBase + kImageBudgetPerInputByte * qint64(input.size())) {}

    void run();

  private:
    RtfGroupState& top() { return stack_.back(); }
    RtfDestination dest() const { return overflowSkipFrom_ > 0 ? RtfDestination::Skip : stack_.back().dest; }
    bool setDestination(RtfDestination d);

    void openGroup();
    bool closeGroup();
    void finishDocument();

    void onControlWord(const RtfToken& t, RtfKeywordInfo info, bool starred);
    void onBodyWord(const RtfToken& t, RtfKeywordInfo info);
    void onPictureWord(const RtfToken& t, RtfKeyword keyword);
    void onShapeWord(RtfKeyword keyword);
    void onControlSymbol(char symbol);
    void onText(std::string_view text);
    void onHexByte(unsigned char byte);
    void onBinary(std::string_view data);

    void bodyText(std::string_view text);
    void emitChar(char16_t unit);
    void flushCellSeparator();
    void endParagraph();
    void beginPicture();
    void finishPicture(const RtfCharState& chars);

    RtfTokenizer tokenizer_;
    const RtfReadOptions& options_;
    RtfFontTable fonts_;
    RtfColorTable colours_;
    RtfDecoders decoders_;
    RtfDocumentBuilder builder_;

    std::vector<RtfGroupState> stack_;
    std::size_t overflow_ = 0;         // open groups beyond kMaxDepth
    std::size_t overflowSkipFrom_ = 0; // overflow level of a destination being skipped there
    std::int64_t fallbackToSkip_ = 0;  // characters of a \uN fallback still to skip
    bool starPending_ = false;
    bool cellPending_ = false;
    std::optional<RtfPicture> picture_;
    qint64 imageBudget_;
    QByteArray shapePropertyName_;
    bool shapePicture_ = false; // the current shape showed its picture (property "pib")
    bool shapeText_ = false;    // the current shape showed its text box
    RtfGroupState lastRoot_;
};

void RtfParser::run() {
    for (;;) {
        const RtfToken t = tokenizer_.next();
        if (t.type == RtfTokenType::End) break;
        if (t.type == RtfTokenType::GroupOpen || t.type == RtfTokenType::GroupClose) {
            fallbackToSkip_ = 0;
            starPending_ = false;
            if (t.type == RtfTokenType::GroupOpen) {
                openGroup();
            } else if (!closeGroup()) {
                break;
            }
            continue;
        }
        if (stack_.empty()) continue;
        if (t.type == RtfTokenType::Text) {
            onText(t.text);
            continue;
        }
        const bool starred = std::exchange(starPending_, false);
        const RtfKeywordInfo info =
            t.type == RtfTokenType::ControlWord ? lookupKeyword(t.word) : RtfKeywordInfo{};
        const std::string_view binary = info.keyword == RtfKeyword::Binary
                                            ? tokenizer_.takeBinary(t.hasParameter ? t.parameter : 0)
                                            : std::string_view{};
        if (fallbackToSkip_ > 0) {
            --fallbackToSkip_;
            continue;
        }
        switch (t.type) {
        case RtfTokenType::ControlWord:
            if (info.keyword == RtfKeyword::Binary)
                onBinary(binary);
            else
                onControlWord(t, info, starred);
            break;
        case RtfTokenType::ControlSymbol:
            onControlSymbol(t.symbol);
            break;
        case RtfTokenType::HexByte:
            onHexByte(t.byte);
            break;
        default:
            break;
        }
    }
    finishDocument();
}

bool RtfParser::setDestination(RtfDestination d) {
    if (overflow_ > 0) {
        if (d != RtfDestination::Body && overflowSkipFrom_ == 0) overflowSkipFrom_ = overflow_;
        return false;
    }
    top().dest = d;
    return true;
}

void RtfParser::openGroup() {
    if (stack_.empty()) {
        stack_.emplace_back();
        return;
    }
    if (overflow_ > 0 || stack_.size() >= kMaxDepth) {
        ++overflow_;
        return;
    }
    RtfGroupState inner = top();
    inner.ownsPicture = false;
    stack_.push_back(inner);
}

bool RtfParser::closeGroup() {
    if (overflow_ > 0) {
        --overflow_;
        if (overflow_ < overflowSkipFrom_) overflowSkipFrom_ = 0;
        return true;
    }
    if (stack_.empty()) return true;
    RtfGroupState closed = stack_.back();
    stack_.pop_back();
    if (closed.ownsPicture) finishPicture(closed.chars);
    if (closed.dest == RtfDestination::FontTable) {
        fonts_.commitEntry(builder_.documentCodePage(), decoders_);
        builder_.fontsChanged();
    }
    if (stack_.empty()) {
        lastRoot_ = closed;
        return false;
    }
    return true;
}

void RtfParser::finishDocument() {
    const RtfGroupState& last = stack_.empty() ? lastRoot_ : stack_.back();
    if (picture_) finishPicture(last.chars);
    builder_.finish(last.para, last.chars);
}

void RtfParser::onControlWord(const RtfToken& t, RtfKeywordInfo info, bool starred) {
    const RtfDestination d = dest();
    if (d == RtfDestination::Skip) return;
    const RtfKeyword k = info.keyword;

    if (k == RtfKeyword::UnicodeSkip) {
        top().unicodeSkip = t.hasParameter ? std::max(0, t.parameter) : 1;
        return;
    }
    if (k == RtfKeyword::Unicode) {
        if (d == RtfDestination::Body && t.hasParameter) {
            const int value = t.parameter < 0 ? t.parameter + 65536 : t.parameter;
            emitChar(value >= 0 && value <= 0xFFFF ? char16_t(value) : char16_t(0xFFFD));
        }
        fallbackToSkip_ = top().unicodeSkip;
        return;
    }
    if (starred) {
        switch (k) {
        case RtfKeyword::ShapePicture:
            return;
        case RtfKeyword::NestTableProps:
            setDestination(RtfDestination::NestTableProps);
            return;
        case RtfKeyword::ShapeInstance:
        case RtfKeyword::FontTable:
        case RtfKeyword::ColorTable:
        case RtfKeyword::Picture:
            break;
        default:
            setDestination(RtfDestination::Skip);
            return;
        }
    }

    switch (d) {
    case RtfDestination::Body:
        onBodyWord(t, info);
        break;
    case RtfDestination::Picture:
        onPictureWord(t, k);
        break;
    case RtfDestination::FontTable:
        if (k == RtfKeyword::Font && t.hasParameter) fonts_.beginEntry(t.parameter);
        if (k == RtfKeyword::FontCharset) fonts_.setCharset(t.parameter);
        if (k == RtfKeyword::FontCodePage) fonts_.setCodePage(t.parameter);
        if (k == RtfKeyword::SkipDestination) setDestination(RtfDestination::Skip);
        break;
    case RtfDestination::ColorTable:
        if (k == RtfKeyword::Red) colours_.setComponent('r', t.parameter);
        if (k == RtfKeyword::Green) colours_.setComponent('g', t.parameter);
        if (k == RtfKeyword::Blue) colours_.setComponent('b', t.parameter);
        break;
    case RtfDestination::NestTableProps:
        if (k == RtfKeyword::Row) endParagraph();
        break;
    case RtfDestination::ShapeInstance:
        onShapeWord(k);
        break;
    case RtfDestination::ShapeName:
    case RtfDestination::Skip:
        break;
    }
}

void RtfParser::onShapeWord(RtfKeyword keyword) {
    switch (keyword) {
    case RtfKeyword::ShapePropertyName:
        if (setDestination(RtfDestination::ShapeName)) shapePropertyName_.clear();
        break;
    case RtfKeyword::ShapePropertyValue:
        if (shapePropertyName_.trimmed() == "pib" && setDestination(RtfDestination::Body))
            shapePicture_ = true;
        else
            setDestination(RtfDestination::Skip);
        break;
    case RtfKeyword::ShapeText:
        if (!shapePicture_ && setDestination(RtfDestination::Body))
            shapeText_ = true;
        else
            setDestination(RtfDestination::Skip);
        break;
    case RtfKeyword::SkipDestination:
        setDestination(RtfDestination::Skip);
        break;
    default:
        break;
    }
}

void RtfParser::onBodyWord(const RtfToken& t, RtfKeywordInfo info) {
    if (applyCharacterWord(top().chars, info.keyword, t) || applyParagraphWord(top().para, info.keyword, t))
        return;
    switch (info.keyword) {
    case RtfKeyword::SkipDestination:
        setDestination(RtfDestination::Skip);
        break;
    case RtfKeyword::FontTable:
        setDestination(RtfDestination::FontTable);
        break;
    case RtfKeyword::ColorTable:
        setDestination(RtfDestination::ColorTable);
        break;
    case RtfKeyword::Picture:
        beginPicture();
        break;
    case RtfKeyword::NestTableProps:
        setDestination(RtfDestination::NestTableProps);
        break;
    case RtfKeyword::Shape:
        shapePicture_ = shapeText_ = false;
        break;
    case RtfKeyword::ShapeInstance:
        setDestination(RtfDestination::ShapeInstance);
        break;
    case RtfKeyword::ShapeResult:
        if (shapePicture_ || shapeText_) setDestination(RtfDestination::Skip);
        break;
    case RtfKeyword::Ansi:
        builder_.setDocumentCodePage(1252);
        break;
    case RtfKeyword::Mac:
        builder_.setDocumentCodePage(10000);
        break;
    case RtfKeyword::Pc:
        builder_.setDocumentCodePage(437);
        break;
    case RtfKeyword::Pca:
        builder_.setDocumentCodePage(850);
        break;
    case RtfKeyword::AnsiCodePage:
        if (t.parameter > 0) builder_.setDocumentCodePage(t.parameter);
        break;
    case RtfKeyword::DefaultFont:
        builder_.setDefaultFont(t.parameter);
        break;
    case RtfKeyword::Par:
        endParagraph();
        break;
    case RtfKeyword::Line:
        emitChar(QChar::LineSeparator);
        break;
    case RtfKeyword::Page:
        endParagraph();
        builder_.breakPage();
        break;
    case RtfKeyword::Tab:
        emitChar(u'\t');
        break;
    case RtfKeyword::Cell:
        flushCellSeparator();
        cellPending_ = true;
        break;
    case RtfKeyword::Row:
        endParagraph();
        break;
    case RtfKeyword::Character:
        emitChar(info.character);
        break;
    default:
        break;
    }
}

void RtfParser::onPictureWord(const RtfToken& t, RtfKeyword keyword) {
    RtfPicture& p = *picture_;
    switch (keyword) {
    case RtfKeyword::PngBlip:
        p.kind = RtfPictureKind::Png;
        break;
    case RtfKeyword::JpegBlip:
        p.kind = RtfPictureKind::Jpeg;
        break;
    case RtfKeyword::WmfBlip:
        p.kind = RtfPictureKind::Wmf;
        break;
    case RtfKeyword::EmfBlip:
        p.kind = RtfPictureKind::Emf;
        break;
    case RtfKeyword::DibBlip:
        p.kind = RtfPictureKind::Dib;
        break;
    case RtfKeyword::OtherBlip:
        p.kind = RtfPictureKind::Unknown;
        break;
    case RtfKeyword::PicWidth:
        p.width = t.parameter;
        break;
    case RtfKeyword::PicHeight:
        p.height = t.parameter;
        break;
    case RtfKeyword::PicGoalWidth:
        p.goalWidth = t.parameter;
        break;
    case RtfKeyword::PicGoalHeight:
        p.goalHeight = t.parameter;
        break;
    case RtfKeyword::PicScaleX:
        p.scaleX = t.parameter;
        break;
    case RtfKeyword::PicScaleY:
        p.scaleY = t.parameter;
        break;
    case RtfKeyword::SkipDestination:
        setDestination(RtfDestination::Skip);
        break;
    default:
        break;
    }
}

void RtfParser::onControlSymbol(char symbol) {
    if (symbol == '*') {
        starPending_ = true;
        return;
    }
    if (dest() != RtfDestination::Body) return;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        bodyText(std::string_view(&symbol, 1));
        break;
    case '~':
        emitChar(0x00A0);
        break;
    case '-':
        emitChar(0x00AD);
        break;
    case '_':
        emitChar(0x2011);
        break;
    case '\n':
        endParagraph();
        break;
    default:
        break;
    }
}

void RtfParser::onText(std::string_view text) {
    starPending_ = false;
    while (fallbackToSkip_ > 0 && !text.empty()) {
        if (text.front() != '\r' && text.front() != '\n') --fallbackToSkip_;
        text.remove_prefix(1);
    }
    if (text.empty()) return;
    switch (dest()) {
    case RtfDestination::Body:
        bodyText(text);
        break;
    case RtfDestination::Picture:
        picture_->appendHex(text);
        break;
    case RtfDestination::FontTable: {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            const bool end = i == text.size();
            if (end || text[i] == ';' || text[i] == '\r' || text[i] == '\n') {
                fonts_.addNameBytes(text.substr(start, i - start));
                if (!end && text[i] == ';') fonts_.commitEntry(builder_.documentCodePage(), decoders_);
                start = i + 1;
            }
        }
        break;
    }
    case RtfDestination::ColorTable:
        for (const char c : text)
            if (c == ';') colours_.commitEntry();
        break;
    case RtfDestination::ShapeName:
        shapePropertyName_.append(
            text.data(), std::min(qsizetype(text.size()), kMaxShapeNameBytes - shapePropertyName_.size()));
        break;
    case RtfDestination::Skip:
    case RtfDestination::NestTableProps:
    case RtfDestination::ShapeInstance:
        break;
    }
}

void RtfParser::onHexByte(unsigned char byte) {
    const char c = static_cast<char>(byte);
    if (dest() == RtfDestination::Body) {
        flushCellSeparator();
        builder_.appendBytes(std::string_view(&c, 1), top().chars);
    } else if (dest() == RtfDestination::FontTable) {
        fonts_.addNameBytes(std::string_view(&c, 1));
    }
}

void RtfParser::onBinary(std::string_view data) {
    if (dest() == RtfDestination::Picture) picture_->appendBinary(data);
}

void RtfParser::bodyText(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        if (!end && static_cast<unsigned char>(text[i]) >= 0x20) continue;
        if (i > start) {
            flushCellSeparator();
            builder_.appendBytes(text.substr(start, i - start), top().chars);
        }
        if (!end && text[i] == '\t') emitChar(u'\t');
        start = i + 1;
    }
}

void RtfParser::emitChar(char16_t unit) {
    flushCellSeparator();
    builder_.appendChar(unit, top().chars);
}

void RtfParser::flushCellSeparator() {
    if (!cellPending_) return;
    cellPending_ = false;
    RtfCharState visible = top().chars;
    visible.hidden = false;
    builder_.appendChar(u'\t', visible);
}

void RtfParser::endParagraph() {
    cellPending_ = false;
    builder_.endParagraph(top().para, top().chars);
}

void RtfParser::beginPicture() {
    if (picture_) {
        setDestination(RtfDestination::Skip);
        return;
    }
    if (!setDestination(RtfDestination::Picture)) return;
    picture_.emplace();
    top().ownsPicture = true;
}

void RtfParser::finishPicture(const RtfCharState& chars) {
    const RtfPicture picture = std::move(*picture_);
    picture_.reset();
    if (chars.hidden) return;
    const QImage image = decodePicture(picture, options_.decodeWmf, imageBudget_);
    if (image.isNull()) return;
    flushCellSeparator();
    builder_.insertImage(image, pictureDisplaySize(picture, image.size()), chars);
}

bool startsAsRtf(const QByteArray& bytes) {
    qsizetype i = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return QByteArrayView(bytes).sliced(i).startsWith("{\\rtf");
}

} // namespace

bool readRtf(const QByteArray& bytes, QTextDocument& doc, const RtfReadOptions& options, QString* error) {
    doc.clear();
    if (!startsAsRtf(bytes)) {
        if (error) *error = QStringLiteral("not an RTF document");
        return false;
    }
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    {
        const qsizetype start = bytes.indexOf('{');
        RtfParser parser(std::string_view(bytes.constData() + start, std::size_t(bytes.size() - start)), doc,
                         options);
        parser.run();
    }
    doc.setUndoRedoEnabled(undo);
    if (error) error->clear();
    return true;
}

bool readRtf(const QByteArray& bytes, QTextDocument& doc, QString* error) {
    return readRtf(bytes, doc, RtfReadOptions{}, error);
}

} // namespace orbet
