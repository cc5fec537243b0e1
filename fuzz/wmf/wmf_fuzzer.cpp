#include <cstdint>
#include <cstdlib>

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include "display/wmf/WmfPlayer.h"

// Text drawing needs fonts, and fonts need a GUI application; the offscreen
// platform gives one without a display.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QImage image = orbet::renderWmf(bytes);
    if (!image.isNull() &&
        (image.width() > orbet::kMaxPictureSide || image.height() > orbet::kMaxPictureSide))
        abort();
    return 0;
}
