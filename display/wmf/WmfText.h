#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// Text of metafile records: bytes in the character set of the selected font.
namespace orbet::wmf {

enum Charset {
    AnsiCharset = 0,
    DefaultCharset = 1,
    SymbolCharset = 2,
    MacCharset = 77,
    ShiftJisCharset = 128,
    HangulCharset = 129,
    JohabCharset = 130,
    Gb2312Charset = 134,
    ChineseBig5Charset = 136,
    GreekCharset = 161,
    TurkishCharset = 162,
    VietnameseCharset = 163,
    HebrewCharset = 177,
    ArabicCharset = 178,
    BalticCharset = 186,
    RussianCharset = 204,
    ThaiCharset = 222,
    EastEuropeCharset = 238,
    OemCharset = 255,
};

// The Windows code page of a font character set: 932 for Shift_JIS, 1252 for
// ANSI, DEFAULT and any set without a code page of its own, and so on
// (decodeText looks at DEFAULT text's bytes as well).
int codePageForCharset(int charset);

struct DecodedText {
    QString text;
    // For each UTF-16 unit of text, the index of the first byte it came from;
    // lets per-byte advance arrays be summed per character.
    QList<int> sourceByte;
};

// Decodes through ICU's converter for the charset's code page (windows-31j for
// Shift_JIS). DEFAULT_CHARSET text reads as code page 932 when its bytes are
// valid there and hold a double-byte character, else as 1252. Symbol-charset text in the "Symbol" face is
// mapped to the Unicode characters that face draws (Greek letters, mathematical signs); other symbol faces
// keep the byte values as Latin-1. Malformed multi-byte sequences become U+FFFD.
DecodedText decodeText(QByteArrayView bytes, int charset, const QString& faceName = {});

QString decodeFaceName(const QByteArray& bytes, int charset);

// True when decodeText maps the text of this font to ordinary Unicode
// characters, so it is to be drawn in an ordinary font rather than the face
// named (which may not exist, or map the bytes differently, on this system).
bool isMappedSymbolFace(int charset, const QString& faceName);

} // namespace orbet::wmf
