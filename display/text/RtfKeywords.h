#pragma once

#include <cstdint>
#include <string_view>

namespace orbet {

enum class RtfKeyword : std::uint8_t {
    Unknown,
    // Destinations: groups whose text is not body text.
    SkipDestination,
    FontTable,
    ColorTable,
    Picture,
    ShapePicture,   // \*\shppict: the picture a reader that knows shapes shows
    NestTableProps, // \*\nesttableprops: holds the \nestrow that ends a nested row
    Shape,
    ShapeInstance,
    ShapeResult, // what a reader that does not know shapes shows instead
    ShapePropertyName,
    ShapePropertyValue,
    ShapeText,
    // Document.
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    UnicodeSkip,
    Unicode,
    Binary,
    // Font table entries and character formatting.
    Font,
    FontCharset,
    FontCodePage,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    FontSize,
    Foreground,
    Background,
    Hidden,
    Superscript,
    Subscript,
    NoSuperSub,
    // Paragraphs and breaks.
    Pard,
    Par,
    Line,
    Page,
    Tab,
    Cell,
    Row,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    LeftIndent,
    RightIndent,
    FirstIndent,
    SpaceBefore,
    SpaceAfter,
    PageBreakBefore,
    // Colour table entries.
    Red,
    Green,
    Blue,
    // A word that stands for one character (\emdash, \bullet, ...).
    Character,
    // Picture kinds and sizes.
    PngBlip,
    JpegBlip,
    WmfBlip,
    EmfBlip,
    DibBlip,
    OtherBlip,
    PicWidth,
    PicHeight,
    PicGoalWidth,
    PicGoalHeight,
    PicScaleX,
    PicScaleY,
};

struct RtfKeywordInfo {
    RtfKeyword keyword = RtfKeyword::Unknown;
    char16_t character = 0; // for RtfKeyword::Character
};

// The meaning of a control word; Unknown for the many words the reader
// ignores. Destinations the viewer does not show (headers, footnotes, the
// style sheet, document information, fields' instructions, ...) are
// SkipDestination even without \*.
RtfKeywordInfo lookupKeyword(std::string_view word);

} // namespace orbet
