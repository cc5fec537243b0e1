#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <QByteArray>
#include <QColor>
#include <QString>

#include "display/text/CodePages.h"
#include "display/text/RtfKeywords.h"
#include "display/text/RtfTokenizer.h"

namespace orbet {

enum class RtfDestination : std::uint8_t {
    Body,
    Skip,
    FontTable,
    ColorTable,
    Picture,
    NestTableProps,
    ShapeInstance, // shape properties: only its picture and its text box show
    ShapeName,     // \sn: the name of the shape property that follows
};

enum class RtfAlignment : std::uint8_t { Left, Center, Right, Justify };

// Character properties; part of each group's state, restored at its end.
struct RtfCharState {
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    int foreground = 0; // colour table index; 0 is the automatic colour
    int background = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    std::int8_t vertical = 0; // -1 subscript, 1 superscript
    bool operator==(const RtfCharState&) const = default;
};

// Paragraph properties, in twips, applied when the paragraph ends.
struct RtfParaState {
    RtfAlignment alignment = RtfAlignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    bool pageBreakBefore = false;
    bool operator==(const RtfParaState&) const = default;
};

// Apply a character or paragraph formatting word to the properties; false
// when the word is not one of theirs.
bool applyCharacterWord(RtfCharState& chars, RtfKeyword keyword, const RtfToken& word);
bool applyParagraphWord(RtfParaState& para, RtfKeyword keyword, const RtfToken& word);

struct RtfGroupState {
    RtfCharState chars;
    RtfParaState para;
    RtfDestination dest = RtfDestination::Body;
    int unicodeSkip = 1;      // \ucN: bytes standing for each \uN
    bool ownsPicture = false; // the \pict group: its end finishes the picture
};

struct RtfFont {
    QString family;
    int codePage = 0; // 0: the document's code page
};

// Open decoders, one per code page met, reused for every run of bytes.
class RtfDecoders {
  public:
    CodePageDecoder& forCodePage(int codePage);

  private:
    std::deque<CodePageDecoder> decoders_;
};

// The font table as it is read: an entry is numbered by \fN, takes \fcharset,
// \cpg and name bytes, and is committed at ';' or at the end of its group.
class RtfFontTable {
  public:
    void beginEntry(int number);
    void setCharset(int charset);
    void setCodePage(int codePage);
    void addNameBytes(std::string_view bytes);
    void commitEntry(int documentCodePage, RtfDecoders& decoders);

    const RtfFont* find(int number) const;

  private:
    std::unordered_map<int, RtfFont> fonts_;
    std::optional<int> number_;
    int charset_ = -1;
    int codePage_ = 0;
    QByteArray name_;
};

// The colour table; entries without components (usually the first) are the
// automatic colour.
class RtfColorTable {
  public:
    void setComponent(char which, int value);
    void commitEntry();
    std::optional<QColor> find(int index) const;

  private:
    std::vector<std::optional<QColor>> colours_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool any_ = false;
};

} // namespace orbet
