#include "display/wmf/WmfText.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include <unicode/ucnv.h>

#include "display/text/CodePages.h"

namespace orbet::wmf {

namespace {

// Adobe's Symbol encoding for 0xA0..0xFE; 0 where the face has no glyph.
constexpr char16_t kSymbolHigh[95] = {
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194,
    0x2190, 0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118,
    0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4,
    0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA, 0,      0x232A, 0x222B, 0x2320,
    0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD,
};

// Letters 'A'..'Z' and 'a'..'z' of the Symbol face.
constexpr char16_t kSymbolUpper[26] = {0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399,
                                       0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1,
                                       0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
constexpr char16_t kSymbolLower[26] = {0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9,
                                       0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1,
                                       0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};

char16_t symbolToUnicode(quint8 b) {
    switch (b) {
    case 0x22:
        return 0x2200;
    case 0x24:
        return 0x2203;
    case 0x27:
        return 0x220B;
    case 0x2A:
        return 0x2217;
    case 0x2D:
        return 0x2212;
    case 0x40:
        return 0x2245;
    case 0x5C:
        return 0x2234;
    case 0x5E:
        return 0x22A5;
    case 0x60:
        return 0x203E;
    case 0x7E:
        return 0x223C;
    default:
        break;
    }
    if (b >= 'A' && b <= 'Z') return kSymbolUpper[b - 'A'];
    if (b >= 'a' && b <= 'z') return kSymbolLower[b - 'a'];
    if (b >= 0xA0 && b <= 0xFE && kSymbolHigh[b - 0xA0]) return kSymbolHigh[b - 0xA0];
    return b;
}

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};

// Opening a converter costs far more than a short string, and one picture
// may hold thousands of strings; each thread keeps its own since a converter
// carries state.
UConverter* converterFor(int codePage) {
    thread_local std::map<int, std::unique_ptr<UConverter, ConverterCloser>> cache;
    auto it = cache.find(codePage);
    if (it == cache.end()) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* c = ucnv_open(icuConverterName(codePage), &status);
        if (U_FAILURE(status)) c = nullptr;
        it = cache.emplace(codePage, std::unique_ptr<UConverter, ConverterCloser>(c)).first;
    }
    return it->second.get();
}

// Japanese Windows programs write their text with DEFAULT_CHARSET and leave
// the code page to the system. Text of Western systems seldom forms valid
// code page 932 with a double-byte character in it, so such bytes are read
// as Japanese, and everything else as Western.
bool readsAsCodePage932(QByteArrayView bytes) {
    const bool leadByte = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        const quint8 b = quint8(c);
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    });
    if (!leadByte) return false;
    thread_local std::unique_ptr<UConverter, ConverterCloser> strict = [] {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* c = ucnv_open(icuConverterName(932), &status);
        if (U_FAILURE(status)) return std::unique_ptr<UConverter, ConverterCloser>();
        ucnv_setToUCallBack(c, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        return std::unique_ptr<UConverter, ConverterCloser>(c);
    }();
    if (!strict) return false;
    ucnv_reset(strict.get());
    std::vector<UChar> buffer(static_cast<size_t>(bytes.size()) + 2);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUChars(strict.get(), buffer.data(), int32_t(buffer.size()), bytes.data(), int32_t(bytes.size()),
                  &status);
    return U_SUCCESS(status);
}

DecodedText latin1(QByteArrayView bytes, bool symbol) {
    DecodedText out;
    out.text.reserve(bytes.size());
    out.sourceByte.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const quint8 b = quint8(bytes[i]);
        out.text.append(QChar(symbol ? symbolToUnicode(b) : char16_t(b)));
        out.sourceByte.append(int(i));
    }
    return out;
}

} // namespace

int codePageForCharset(int charset) {
    switch (charset) {
    case MacCharset:
        return 10000;
    case ShiftJisCharset:
        return 932;
    case HangulCharset:
        return 949;
    case Gb2312Charset:
        return 936;
    case ChineseBig5Charset:
        return 950;
    case GreekCharset:
        return 1253;
    case TurkishCharset:
        return 1254;
    case VietnameseCharset:
        return 1258;
    case HebrewCharset:
        return 1255;
    case ArabicCharset:
        return 1256;
    case BalticCharset:
        return 1257;
    case RussianCharset:
        return 1251;
    case ThaiCharset:
        return 874;
    case EastEuropeCharset:
        return 1250;
    case OemCharset:
        return 437;
    default:
        return 1252;
    }
}

DecodedText decodeText(QByteArrayView bytes, int charset, const QString& faceName) {
    if (charset == SymbolCharset) return latin1(bytes, isMappedSymbolFace(charset, faceName));
    if (bytes.size() > (1 << 24)) return latin1(bytes, false);
    const bool japanese = charset == DefaultCharset && readsAsCodePage932(bytes);
    UConverter* conv = converterFor(japanese ? 932 : codePageForCharset(charset));
    if (!conv) return latin1(bytes, false);
    ucnv_reset(conv);
    const qsizetype capacity = bytes.size() * 2 + 2;
    std::vector<UChar> buffer(static_cast<size_t>(capacity));
    std::vector<int32_t> offsets(static_cast<size_t>(capacity));
    UChar* target = buffer.data();
    const char* source = bytes.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(conv, &target, buffer.data() + capacity, &source, bytes.data() + bytes.size(),
                   offsets.data(), true, &status);
    if (U_FAILURE(status)) return latin1(bytes, false);
    const qsizetype n = target - buffer.data();
    DecodedText out;
    out.text = QString(reinterpret_cast<const QChar*>(buffer.data()), n);
    out.sourceByte.reserve(n);
    int last = 0;
    for (qsizetype i = 0; i < n; ++i) {
        // ICU gives -1 for units it produced without a source byte of their own.
        last = offsets[size_t(i)] >= 0 ? offsets[size_t(i)] : last;
        out.sourceByte.append(last);
    }
    return out;
}

bool isMappedSymbolFace(int charset, const QString& faceName) {
    return charset == SymbolCharset && faceName.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
}

QString decodeFaceName(const QByteArray& bytes, int charset) {
    if (charset == SymbolCharset) return QString::fromLatin1(bytes);
    return decodeText(bytes, charset).text;
}

} // namespace orbet::wmf
