#include "display/text/TextDecoding.h"

#include <algorithm>
#include <optional>

#include "display/text/EncodingSniffer.h"
#include "platform/AtomicWrite.h"

namespace orbet {

namespace {

constexpr int kCodePageEucJp = 20932;
constexpr int kCodePageIso2022Jp = 50220;

QString decodeUtf16(const QByteArray& bytes, qsizetype offset, bool littleEndian) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData()) + offset;
    const qsizetype size = bytes.size() - offset;
    const qsizetype units = size / 2;
    QString out(units + (size % 2), Qt::Uninitialized);
    QChar* d = out.data();
    auto unitAt = [&](qsizetype i) -> char16_t {
        const unsigned char a = p[2 * i], b = p[2 * i + 1];
        return littleEndian ? char16_t(a | (b << 8)) : char16_t((a << 8) | b);
    };
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t u = unitAt(i);
        if (QChar::isHighSurrogate(u) && i + 1 < units && QChar::isLowSurrogate(unitAt(i + 1))) {
            d[i] = QChar(u);
            d[i + 1] = QChar(unitAt(i + 1));
            ++i;
        } else {
            d[i] = QChar::isSurrogate(u) ? QChar(QChar::ReplacementCharacter) : QChar(u);
        }
    }
    if (size % 2) d[units] = QChar(QChar::ReplacementCharacter);
    return out;
}

void normaliseLineEnds(QString& text) {
    if (!text.contains(QLatin1Char('\r'))) return;
    QChar* d = text.data();
    const qsizetype n = text.size();
    qsizetype w = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (d[i] == QLatin1Char('\r')) {
            d[w++] = QLatin1Char('\n');
            if (i + 1 < n && d[i + 1] == QLatin1Char('\n')) ++i;
        } else {
            d[w++] = d[i];
        }
    }
    text.truncate(w);
}

DecodedText finish(QString text, const char* name) {
    normaliseLineEnds(text);
    return {std::move(text), QByteArray(name)};
}

// One unit in 8 with a zero byte, as Latin text has, is evident UTF-16; one in
// 64, as text in CJK scripts with only its line ends in ASCII has, is not.
constexpr int kEvidentZeroShare = 8;
constexpr int kWeakZeroShare = 64;

std::optional<DecodedText> decodeUtf16WithoutMark(const QByteArray& bytes, int zeroShareDivisor) {
    switch (guessUtf16(bytes, zeroShareDivisor)) {
    case Utf16Guess::LittleEndian:
        return finish(decodeUtf16(bytes, 0, true), "UTF-16LE");
    case Utf16Guess::BigEndian:
        return finish(decodeUtf16(bytes, 0, false), "UTF-16BE");
    case Utf16Guess::None:
        break;
    }
    return std::nullopt;
}

// Errors per well-formed character, scaled to compare candidates in integers.
qsizetype errorRate(const MultiByteStats& s) {
    return s.errors * 1024 / (s.sequences + s.errors);
}

bool acceptableUtf8(const MultiByteStats& s) {
    return s.sequences > 0 && s.errors * 4 <= s.sequences;
}

// Japanese needs positive evidence: 8-bit Western text can pass as pairs of
// kanji, but hardly ever as kana or Japanese punctuation.
bool acceptableJapanese(const MultiByteStats& s) {
    return s.evidence > 0 && s.errors * 16 <= s.sequences && s.odd <= s.sequences;
}

} // namespace

DecodedText decodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xFF\xFE")) return finish(decodeUtf16(bytes, 2, true), "UTF-16LE");
    if (bytes.startsWith("\xFE\xFF")) return finish(decodeUtf16(bytes, 2, false), "UTF-16BE");
    if (bytes.startsWith("\xEF\xBB\xBF")) return finish(QString::fromUtf8(bytes.mid(3)), "UTF-8");
    if (auto utf16 = decodeUtf16WithoutMark(bytes, kEvidentZeroShare)) return std::move(*utf16);
    if (looksLikeIso2022Jp(bytes)) return finish(decodeCodePage(bytes, kCodePageIso2022Jp), "ISO-2022-JP");

    const MultiByteStats utf8 = utf8Stats(bytes);
    if (utf8.errors == 0) return finish(QString::fromUtf8(bytes), "UTF-8");

    const MultiByteStats sjis = shiftJisStats(bytes);
    const MultiByteStats euc = eucJpStats(bytes);
    struct Candidate {
        const MultiByteStats* stats;
        bool acceptable;
        int codePage;
        const char* name;
    };
    const Candidate candidates[] = {
        {&utf8, acceptableUtf8(utf8), kCodePageUtf8, "UTF-8"},
        {&sjis, acceptableJapanese(sjis), kCodePageShiftJis, "windows-31j"},
        {&euc, acceptableJapanese(euc), kCodePageEucJp, "EUC-JP"},
    };
    const Candidate* best = nullptr;
    for (const Candidate& c : candidates) {
        if (!c.acceptable) continue;
        if (!best || errorRate(*c.stats) < errorRate(*best->stats) ||
            (errorRate(*c.stats) == errorRate(*best->stats) && c.stats->evidence > best->stats->evidence))
            best = &c;
    }
    if (best) return finish(decodeCodePage(bytes, best->codePage), best->name);
    // Zeros that fit nothing else are weaker evidence of UTF-16 than Western text is.
    if (auto utf16 = decodeUtf16WithoutMark(bytes, kWeakZeroShare)) return std::move(*utf16);
    return finish(decodeCodePage(bytes, kCodePageWestern), "windows-1252");
}

QString textForDisplay(const QString& text) {
    const qsizetype n = text.size();
    QString out(n + n / kLongestDisplayLine + 1, Qt::Uninitialized);
    QChar* o = out.data();
    const QChar* in = text.constData();
    qsizetype block = 0, line = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i].unicode();
        if (c == u'\n' || c == QChar::ParagraphSeparator) {
            // Short lines share a block, each ended by a line separator,
            // until the block is long enough to be laid out on its own.
            const bool paragraphEnds = block >= kLongestDisplayLine;
            *o++ = paragraphEnds ? QChar(u'\n') : QChar(QChar::LineSeparator);
            block = paragraphEnds ? 0 : block + 1;
            line = 0;
            continue;
        }
        if (line >= kLongestDisplayLine && !QChar::isLowSurrogate(c)) {
            *o++ = QChar(u'\n');
            block = line = 0;
        }
        *o++ = (c < 0x20 && c != u'\t') || c == 0x7F ? QChar(kControlShown) : in[i];
        ++block, ++line;
    }
    out.truncate(o - out.constData());
    return out;
}

QByteArray encodeUtf8(const QString& text) {
    QString plain = text;
    plain.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    plain.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return plain.toUtf8();
}

bool savePlainText(const QString& path, const QString& text, QString* error) {
    return writeFileAtomically(path, encodeUtf8(text), error);
}

} // namespace orbet
