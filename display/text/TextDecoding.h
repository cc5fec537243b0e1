#pragma once

#include <QByteArray>
#include <QString>

#include "display/text/CodePages.h"

namespace orbet {

struct DecodedText {
    QString text;
    // "UTF-16LE", "UTF-16BE", "UTF-8", "ISO-2022-JP", "EUC-JP", "windows-31j"
    // (code page 932) or "windows-1252".
    QByteArray encodingName;
};

// Reads the bytes of a plain text file the way the text pane shows it. The
// encoding is, in this order: UTF-16 or UTF-8 with a byte order mark; UTF-16
// without a mark when the zero bytes make it evident; ISO-2022-JP when 7-bit
// with its escape sequences; UTF-8 when valid; else whichever of UTF-8, code
// page 932 and EUC-JP fits the multi-byte patterns with the fewest errors
// (Japanese needs kana or Japanese punctuation as evidence); else
// Windows-1252. A byte order mark is not part of the text. CR LF, CR and LF
// all become "\n". Invalid sequences become U+FFFD; no input fails.
DecodedText decodeText(const QByteArray& bytes);

// A text control lays out a paragraph whole: a line of megabytes (a binary
// or sparse file shown as text above all) would hold the window for minutes,
// and a paragraph per short line makes the document itself slow to build
// (seconds for the hundreds of thousands of lines of 16 MB).
constexpr qsizetype kLongestDisplayLine = 4096;
// Controls lay out many times slower than letters (the font has no glyph
// for them, and a picture of each, U+2400 on, sends every run to a fallback
// font); a middle dot, as hex viewers show them, is in every font.
constexpr char16_t kControlShown = 0x00B7;

// Decoded text as the text pane shows it: each control character other than
// tab and line break as a middle dot; lines longer than kLongestDisplayLine
// cut into display lines of that length; and lines gathered into paragraphs
// of about that length, joined by line separators (U+2028), which the
// document gives back as line breaks. Paragraph breaks are "\n".
QString textForDisplay(const QString& text);

// Plain text as UTF-8 without a byte order mark. Paragraph and line separators
// (U+2029, U+2028, as a text document holds them) become "\n".
QByteArray encodeUtf8(const QString& text);

// Writes text as UTF-8 to path, replacing the file only when the whole text
// was written. On failure returns false and, when error is given, the reason.
bool savePlainText(const QString& path, const QString& text, QString* error = nullptr);

} // namespace orbet
