#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QString>

#include "display/text/TextDecoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const orbet::DecodedText decoded = orbet::decodeText(bytes);
    if (decoded.text.contains(QLatin1Char('\r')) || decoded.encodingName.isEmpty()) __builtin_trap();

    static const int kCodePages[] = {932,  936,  949,  950,  874,  1250,  1251,  1252, 1253,
                                     1254, 1255, 1256, 1257, 1258, 65001, 20932, 50220};
    const int codePage = size ? kCodePages[data[0] % std::size(kCodePages)] : 932;
    const QString text = orbet::decodeCodePage(bytes, codePage);

    // Whatever encodes must decode back to the same text.
    if (const auto encoded = orbet::encodeCodePage(text, codePage)) {
        if (orbet::decodeCodePage(*encoded, codePage) != text) __builtin_trap();
    }
    (void)orbet::encodeUtf8(decoded.text);
    return 0;
}
