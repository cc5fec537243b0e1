#include "display/text/RtfState.h"

#include <algorithm>

namespace orbet {

namespace {

// Far more colours than any writer emits; keeps a hostile table small.
constexpr std::size_t kMaxColours = 4096;
constexpr qsizetype kMaxFontNameBytes = 256;
constexpr int kMaxHalfPoints = 3276;
constexpr int kDefaultHalfPoints = 24;

// A toggle word without a parameter, or with one other than 0, turns on.
bool on(const RtfToken& word) {
    return !word.hasParameter || word.parameter != 0;
}

} // namespace

bool applyCharacterWord(RtfCharState& chars, RtfKeyword keyword, const RtfToken& word) {
    switch (keyword) {
    case RtfKeyword::Font:
        chars.font = word.parameter;
        break;
    case RtfKeyword::FontSize:
        chars.halfPoints = word.parameter > 0 ? std::min(word.parameter, kMaxHalfPoints) : kDefaultHalfPoints;
        break;
    case RtfKeyword::Plain:
        chars = RtfCharState{};
        break;
    case RtfKeyword::Bold:
        chars.bold = on(word);
        break;
    case RtfKeyword::Italic:
        chars.italic = on(word);
        break;
    case RtfKeyword::Underline:
        chars.underline = on(word);
        break;
    case RtfKeyword::UnderlineNone:
        chars.underline = false;
        break;
    case RtfKeyword::Strike:
        chars.strike = on(word);
        break;
    case RtfKeyword::Hidden:
        chars.hidden = on(word);
        break;
    case RtfKeyword::Foreground:
        chars.foreground = word.parameter;
        break;
    case RtfKeyword::Background:
        chars.background = word.parameter;
        break;
    case RtfKeyword::Superscript:
        chars.vertical = 1;
        break;
    case RtfKeyword::Subscript:
        chars.vertical = -1;
        break;
    case RtfKeyword::NoSuperSub:
        chars.vertical = 0;
        break;
    default:
        return false;
    }
    return true;
}

bool applyParagraphWord(RtfParaState& para, RtfKeyword keyword, const RtfToken& word) {
    switch (keyword) {
    case RtfKeyword::Pard:
        para = RtfParaState{};
        break;
    case RtfKeyword::AlignLeft:
        para.alignment = RtfAlignment::Left;
        break;
    case RtfKeyword::AlignCenter:
        para.alignment = RtfAlignment::Center;
        break;
    case RtfKeyword::AlignRight:
        para.alignment = RtfAlignment::Right;
        break;
    case RtfKeyword::AlignJustify:
        para.alignment = RtfAlignment::Justify;
        break;
    case RtfKeyword::LeftIndent:
        para.leftIndent = word.parameter;
        break;
    case RtfKeyword::RightIndent:
        para.rightIndent = word.parameter;
        break;
    case RtfKeyword::FirstIndent:
        para.firstIndent = word.parameter;
        break;
    case RtfKeyword::SpaceBefore:
        para.spaceBefore = word.parameter;
        break;
    case RtfKeyword::SpaceAfter:
        para.spaceAfter = word.parameter;
        break;
    case RtfKeyword::PageBreakBefore:
        para.pageBreakBefore = on(word);
        break;
    default:
        return false;
    }
    return true;
}

CodePageDecoder& RtfDecoders::forCodePage(int codePage) {
    const int supported = supportedCodePage(codePage);
    for (CodePageDecoder& d : decoders_)
        if (d.codePage() == supported) return d;
    return decoders_.emplace_back(supported);
}

void RtfFontTable::beginEntry(int number) {
    number_ = number;
    charset_ = -1;
    codePage_ = 0;
    name_.clear();
}

void RtfFontTable::setCharset(int charset) {
    charset_ = charset;
}

void RtfFontTable::setCodePage(int codePage) {
    codePage_ = codePage;
}

void RtfFontTable::addNameBytes(std::string_view bytes) {
    if (!number_) return;
    const qsizetype room = kMaxFontNameBytes - name_.size();
    name_.append(bytes.data(), std::min<qsizetype>(room, qsizetype(bytes.size())));
}

void RtfFontTable::commitEntry(int documentCodePage, RtfDecoders& decoders) {
    if (!number_) return;
    RtfFont font;
    font.codePage = codePage_ > 0 ? codePage_ : codePageForCharset(charset_);
    const int nameCodePage = font.codePage > 0 ? font.codePage : documentCodePage;
    font.family = decoders.forCodePage(nameCodePage).decode(name_).trimmed();
    fonts_[*number_] = std::move(font);
    number_.reset();
    name_.clear();
}

const RtfFont* RtfFontTable::find(int number) const {
    const auto it = fonts_.find(number);
    return it == fonts_.end() ? nullptr : &it->second;
}

void RtfColorTable::setComponent(char which, int value) {
    const int v = std::clamp(value, 0, 255);
    if (which == 'r') red_ = v;
    if (which == 'g') green_ = v;
    if (which == 'b') blue_ = v;
    any_ = true;
}

void RtfColorTable::commitEntry() {
    if (colours_.size() < kMaxColours) {
        if (any_)
            colours_.emplace_back(QColor(red_, green_, blue_));
        else
            colours_.emplace_back(std::nullopt);
    }
    red_ = green_ = blue_ = 0;
    any_ = false;
}

std::optional<QColor> RtfColorTable::find(int index) const {
    if (index < 0 || std::size_t(index) >= colours_.size()) return std::nullopt;
    return colours_[std::size_t(index)];
}

} // namespace orbet
