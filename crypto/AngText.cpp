#include "crypto/AngText.h"

#include <algorithm>
#include <optional>

#include <unicode/ucnv.h>

#include "platform/NativePath.h"

namespace orbet::ang {

namespace {

// ICU's windows-31j table swaps the controls 0x1A, 0x1C and 0x7F among
// themselves, where Windows maps every byte below 0x80 to itself. None of
// them is ever part of a double-byte code, so they pass around ICU.
bool isSwappedControl(char16_t c) {
    return c == 0x1A || c == 0x1C || c == 0x7F;
}

class Converter {
  public:
    Converter() {
        UErrorCode error = U_ZERO_ERROR;
        cnv_ = ucnv_open("windows-31j", &error);
        if (U_FAILURE(error)) cnv_ = nullptr;
    }
    ~Converter() {
        if (cnv_) ucnv_close(cnv_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // False when a character has no code in the code page.
    bool encode(QStringView piece, QByteArray& out) {
        if (piece.isEmpty()) return true;
        if (!cnv_) return false;
        UErrorCode error = U_ZERO_ERROR;
        ucnv_reset(cnv_);
        ucnv_setFromUCallBack(cnv_, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
        const qsizetype start = out.size();
        out.resize(start + 2 * piece.size() + 8);
        const int32_t n =
            ucnv_fromUChars(cnv_, out.data() + start, int32_t(out.size() - start),
                            reinterpret_cast<const UChar*>(piece.data()), int32_t(piece.size()), &error);
        if (U_FAILURE(error)) return false;
        out.truncate(start + n);
        return true;
    }

    // False when a byte sequence is not a code of the code page.
    bool decode(QByteArrayView piece, QString& out) {
        if (piece.isEmpty()) return true;
        if (!cnv_) return false;
        UErrorCode error = U_ZERO_ERROR;
        ucnv_reset(cnv_);
        ucnv_setToUCallBack(cnv_, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
        const qsizetype start = out.size();
        out.resize(start + piece.size() + 8);
        const int32_t n =
            ucnv_toUChars(cnv_, reinterpret_cast<UChar*>(out.data() + start), int32_t(out.size() - start),
                          piece.data(), int32_t(piece.size()), &error);
        if (U_FAILURE(error)) return false;
        out.truncate(start + n);
        return true;
    }

  private:
    UConverter* cnv_ = nullptr;
};

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

constexpr char kMark[] = "\xEF\xBB\xBF";

std::optional<QString> decodeCodePage932(const QByteArray& bytes) {
    Converter cnv;
    QString out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && !isSwappedControl(static_cast<unsigned char>(bytes[i]))) continue;
        if (!cnv.decode(QByteArrayView(bytes).sliced(start, i - start), out)) return std::nullopt;
        if (i < bytes.size()) out.append(QChar(static_cast<unsigned char>(bytes[i])));
        start = i + 1;
    }
    return out;
}

} // namespace

QByteArray encodeText(const QString& text) {
    if (isAscii(text)) return text.toLatin1();
    Converter cnv;
    QByteArray out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !isSwappedControl(text[i].unicode())) continue;
        if (!cnv.encode(QStringView(text).sliced(start, i - start), out)) return kMark + text.toUtf8();
        if (i < text.size()) out.append(char(text[i].unicode()));
        start = i + 1;
    }
    return out;
}

QString decodeText(const QByteArray& bytes) {
    if (bytes.startsWith(kMark)) return fromNative(bytes.sliced(3));
    if (std::optional<QString> text = decodeCodePage932(bytes)) return *text;
    // Valid UTF-8 reads as itself; any other byte is kept in its escaped form.
    return fromNative(bytes);
}

bool sameText(const QByteArray& stored, const QString& text) {
    return decodeText(stored) == text;
}

} // namespace orbet::ang
