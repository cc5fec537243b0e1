#include "display/text/CodePages.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

namespace orbet {

namespace {

constexpr int kCodePageIso2022Jp = 50220;

// ICU's own substitution gives U+001A for some single bytes; the viewer shows
// every bad sequence the same way and needs to know how many there were.
void substituteAndCount(const void* context, UConverterToUnicodeArgs* args, const char*, int32_t,
                        UConverterCallbackReason reason, UErrorCode* error) {
    if (reason != UCNV_UNASSIGNED && reason != UCNV_ILLEGAL && reason != UCNV_IRREGULAR) return;
    ++*static_cast<int*>(const_cast<void*>(context));
    *error = U_ZERO_ERROR;
    const UChar replacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, error);
}

// ICU's tables for these IBM-descended code pages swap the controls 0x1A,
// 0x1C and 0x7F among themselves; Windows maps every byte below 0x80 to
// itself. None of the three is ever a trail byte, so they are taken out
// before ICU sees the rest.
bool swapsControls(int codePage) {
    return codePage == 932 || codePage == 437 || codePage == 850;
}

inline bool isSwappedControl(char16_t c) {
    return c == 0x1A || c == 0x1C || c == 0x7F;
}

bool isAscii(const char* data, qsizetype size) {
    return std::all_of(data, data + size, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

const char* icuConverterName(int codePage) {
    switch (codePage) {
    case 932:
        return "windows-31j";
    case 936:
        return "windows-936-2000";
    case 949:
        return "windows-949-2000";
    case 950:
        return "windows-950-2000";
    case 874:
        return "windows-874-2000";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 437:
        return "ibm-437";
    case 850:
        return "ibm-850";
    case 10000:
        return "macintosh";
    case 20932:
    case 51932:
        return "EUC-JP";
    case kCodePageIso2022Jp:
        return "ISO-2022-JP";
    case kCodePageUtf8:
        return "UTF-8";
    default:
        return "windows-1252";
    }
}

CodePageDecoder::CodePageDecoder(int codePage) : codePage_(supportedCodePage(codePage)) {
    UErrorCode error = U_ZERO_ERROR;
    converter_ = ucnv_open(icuConverterName(codePage_), &error);
    if (U_FAILURE(error)) converter_ = nullptr;
}

CodePageDecoder::~CodePageDecoder() {
    if (converter_) ucnv_close(converter_);
}

CodePageDecoder::CodePageDecoder(CodePageDecoder&& other) noexcept
    : codePage_(other.codePage_), converter_(std::exchange(other.converter_, nullptr)) {}

CodePageDecoder& CodePageDecoder::operator=(CodePageDecoder&& other) noexcept {
    if (this != &other) {
        if (converter_) ucnv_close(converter_);
        codePage_ = other.codePage_;
        converter_ = std::exchange(other.converter_, nullptr);
    }
    return *this;
}

int CodePageDecoder::decode(const char* data, qsizetype size, QString& out) {
    if (size <= 0) return 0;
    if (codePage_ != kCodePageIso2022Jp && isAscii(data, size)) {
        out.append(QLatin1StringView(data, size));
        return 0;
    }
    if (!converter_) {
        out.append(QLatin1StringView(data, size));
        return 0;
    }
    if (!swapsControls(codePage_)) return convert(data, size, out);
    int errors = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (!isSwappedControl(static_cast<unsigned char>(data[i]))) continue;
        errors += convert(data + start, i - start, out);
        out.append(QChar(static_cast<unsigned char>(data[i])));
        start = i + 1;
    }
    return errors + convert(data + start, size - start, out);
}

int CodePageDecoder::convert(const char* data, qsizetype size, QString& out) {
    if (size <= 0) return 0;
    int errors = 0;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_reset(converter_);
    ucnv_setToUCallBack(converter_, substituteAndCount, &errors, nullptr, nullptr, &error);

    const qsizetype start = out.size();
    qsizetype room = size + 16;
    auto grow = [&out](qsizetype needed) {
        if (out.capacity() < needed) out.reserve(std::max(needed, out.capacity() * 2));
        out.resize(needed);
    };
    grow(start + room);
    UChar* target = reinterpret_cast<UChar*>(out.data()) + start;
    const char* source = data;
    const char* const sourceLimit = data + size;
    for (;;) {
        error = U_ZERO_ERROR;
        UChar* const limit = reinterpret_cast<UChar*>(out.data()) + out.size();
        ucnv_toUnicode(converter_, &target, limit, &source, sourceLimit, nullptr, true, &error);
        if (error != U_BUFFER_OVERFLOW_ERROR) break;
        const qsizetype written = target - reinterpret_cast<UChar*>(out.data());
        room *= 2;
        grow(start + room);
        target = reinterpret_cast<UChar*>(out.data()) + written;
    }
    out.resize(target - reinterpret_cast<UChar*>(out.data()));
    return errors;
}

QString CodePageDecoder::decode(const QByteArray& bytes) {
    QString out;
    decode(bytes.constData(), bytes.size(), out);
    return out;
}

int supportedCodePage(int codePage) {
    return std::string_view(icuConverterName(codePage)) == "windows-1252" ? kCodePageWestern : codePage;
}

QString decodeCodePage(const QByteArray& bytes, int codePage) {
    return CodePageDecoder(codePage).decode(bytes);
}

std::optional<QByteArray> encodeCodePage(const QString& text, int codePage) {
    if (supportedCodePage(codePage) == kCodePageUtf8) return text.toUtf8();
    if (text.size() > std::numeric_limits<int32_t>::max() / 8) return std::nullopt;
    UErrorCode error = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(icuConverterName(codePage), &error);
    if (U_FAILURE(error)) return std::nullopt;
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    const qsizetype maxCharSize = ucnv_getMaxCharSize(converter);
    QByteArray out;
    auto encode = [&](QStringView piece) {
        if (piece.isEmpty() || U_FAILURE(error)) return;
        const qsizetype start = out.size();
        out.resize(start + maxCharSize * (piece.size() + 1) + 8);
        const int32_t length = ucnv_fromUChars(
            converter, out.data() + start, static_cast<int32_t>(out.size() - start),
            reinterpret_cast<const UChar*>(piece.data()), static_cast<int32_t>(piece.size()), &error);
        out.truncate(start + (U_FAILURE(error) ? 0 : length));
    };
    qsizetype start = 0;
    if (swapsControls(supportedCodePage(codePage))) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!isSwappedControl(text[i].unicode())) continue;
            encode(QStringView(text).sliced(start, i - start));
            out.append(static_cast<char>(text[i].unicode()));
            start = i + 1;
        }
    }
    encode(QStringView(text).sliced(start));
    ucnv_close(converter);
    if (U_FAILURE(error)) return std::nullopt;
    return out;
}

int codePageForCharset(int charset) {
    switch (charset) {
    case 0:
    case 2:
        return 1252;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    default:
        return 0;
    }
}

} // namespace orbet
