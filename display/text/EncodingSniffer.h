#pragma once

#include <QByteArray>

namespace orbet {

// Counts of one pass over bytes read as a multi-byte encoding.
struct MultiByteStats {
    qsizetype sequences = 0; // well-formed multi-byte characters
    qsizetype evidence = 0;  // of those, ones typical of the language (kana, CJK punctuation)
    qsizetype odd = 0;       // well-formed but rare in real text (half-width kana, user-defined area)
    qsizetype errors = 0;    // bytes that start no well-formed character
};

// Structural passes: they check lead and trail byte ranges only, not whether
// the code is assigned, so they cost one cheap loop each.
MultiByteStats utf8Stats(const QByteArray& bytes);
MultiByteStats shiftJisStats(const QByteArray& bytes);
MultiByteStats eucJpStats(const QByteArray& bytes);

enum class Utf16Guess { None, LittleEndian, BigEndian };

// UTF-16 without a byte order mark: the zero bytes fall mostly on one side of
// each unit, at least one unit in zeroShareDivisor has one, and the units read
// that way are plausible text. Latin text has a zero in nearly every unit;
// Japanese text only in its line ends and ASCII.
Utf16Guess guessUtf16(const QByteArray& bytes, int zeroShareDivisor);

// Only 7-bit bytes, with an escape sequence that designates a JIS double-byte set.
bool looksLikeIso2022Jp(const QByteArray& bytes);

} // namespace orbet
