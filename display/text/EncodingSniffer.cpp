#include "display/text/EncodingSniffer.h"

namespace orbet {

namespace {

inline bool inRange(unsigned char b, unsigned char low, unsigned char high) {
    return b >= low && b <= high;
}

inline bool isContinuation(unsigned char b) {
    return inRange(b, 0x80, 0xBF);
}

// Units that text hardly ever holds: C0 controls other than tab, line feed,
// form feed and carriage return, unpaired surrogates and the non-characters.
qsizetype implausibleUnits(const QByteArray& bytes, bool littleEndian) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype units = bytes.size() / 2;
    qsizetype bad = 0;
    auto unitAt = [&](qsizetype i) -> char16_t {
        const unsigned char a = p[2 * i], b = p[2 * i + 1];
        return littleEndian ? char16_t(a | (b << 8)) : char16_t((a << 8) | b);
    };
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t u = unitAt(i);
        if (u < 0x20) {
            if (u != '\t' && u != '\n' && u != '\f' && u != '\r') ++bad;
        } else if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) <= 0xDFFF)
                ++i;
            else
                ++bad;
        } else if ((u >= 0xDC00 && u <= 0xDFFF) || u == 0xFFFE || u == 0xFFFF) {
            ++bad;
        }
    }
    return bad;
}

} // namespace

MultiByteStats utf8Stats(const QByteArray& bytes) {
    MultiByteStats stats;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned char secondLow = 0x80, secondHigh = 0xBF;
        if (inRange(b, 0xC2, 0xDF)) {
            length = 2;
        } else if (inRange(b, 0xE0, 0xEF)) {
            length = 3;
            if (b == 0xE0) secondLow = 0xA0;
            if (b == 0xED) secondHigh = 0x9F;
        } else if (inRange(b, 0xF0, 0xF4)) {
            length = 4;
            if (b == 0xF0) secondLow = 0x90;
            if (b == 0xF4) secondHigh = 0x8F;
        }
        bool ok = length > 0 && i + length <= n && inRange(p[i + 1], secondLow, secondHigh);
        for (int k = 2; ok && k < length; ++k)
            ok = isContinuation(p[i + k]);
        if (!ok) {
            ++stats.errors;
            ++i;
            continue;
        }
        ++stats.sequences;
        if (length == 3 && (b == 0xE3 || b == 0xEF)) ++stats.evidence;
        i += length;
    }
    return stats;
}

MultiByteStats shiftJisStats(const QByteArray& bytes) {
    MultiByteStats stats;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
        } else if (inRange(b, 0xA1, 0xDF)) {
            ++stats.odd;
            ++i;
        } else if (inRange(b, 0x81, 0x9F) || inRange(b, 0xE0, 0xFC)) {
            const unsigned char t = i + 1 < n ? p[i + 1] : 0;
            if (!(inRange(t, 0x40, 0x7E) || inRange(t, 0x80, 0xFC))) {
                ++stats.errors;
                ++i;
                continue;
            }
            ++stats.sequences;
            if (b == 0x81 || (b == 0x82 && t >= 0x9F) || (b == 0x83 && t <= 0x96)) ++stats.evidence;
            if (inRange(b, 0xF0, 0xF9)) ++stats.odd;
            i += 2;
        } else {
            ++stats.errors;
            ++i;
        }
    }
    return stats;
}

MultiByteStats eucJpStats(const QByteArray& bytes) {
    MultiByteStats stats;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    auto high = [&](qsizetype k) { return k < n && inRange(p[k], 0xA1, 0xFE); };
    qsizetype i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
        } else if (b == 0x8E && i + 1 < n && inRange(p[i + 1], 0xA1, 0xDF)) {
            ++stats.odd;
            i += 2;
        } else if (b == 0x8F && high(i + 1) && high(i + 2)) {
            ++stats.sequences;
            i += 3;
        } else if (high(i) && high(i + 1)) {
            ++stats.sequences;
            if (b == 0xA1 || b == 0xA4 || b == 0xA5) ++stats.evidence;
            if (b >= 0xF5) ++stats.odd;
            i += 2;
        } else {
            ++stats.errors;
            ++i;
        }
    }
    return stats;
}

Utf16Guess guessUtf16(const QByteArray& bytes, int zeroShareDivisor) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size() & ~qsizetype(1);
    qsizetype zeroEven = 0, zeroOdd = 0;
    for (qsizetype i = 0; i < n; i += 2) {
        zeroEven += p[i] == 0;
        zeroOdd += p[i + 1] == 0;
    }
    const qsizetype units = n / 2;
    auto enough = [&](qsizetype zeros) { return zeros >= 2 && zeros * zeroShareDivisor >= units; };
    Utf16Guess guess = Utf16Guess::None;
    if (zeroOdd > 2 * zeroEven && enough(zeroOdd))
        guess = Utf16Guess::LittleEndian;
    else if (zeroEven > 2 * zeroOdd && enough(zeroEven))
        guess = Utf16Guess::BigEndian;
    if (guess == Utf16Guess::None) return guess;
    const qsizetype bad = implausibleUnits(bytes, guess == Utf16Guess::LittleEndian);
    return bad * 20 <= units ? guess : Utf16Guess::None;
}

bool looksLikeIso2022Jp(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    bool designated = false;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] >= 0x80) return false;
        if (p[i] == 0x1B && i + 2 < n && p[i + 1] == '$' &&
            (p[i + 2] == '@' || p[i + 2] == 'B' || p[i + 2] == '('))
            designated = true;
    }
    return designated;
}

} // namespace orbet
