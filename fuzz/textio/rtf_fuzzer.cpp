#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>

#include "display/text/RtfReader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // Most mutations would otherwise stop at the signature check.
    if (!bytes.startsWith("{\\rtf")) bytes.prepend("{\\rtf1 ");

    orbet::RtfReadOptions options;
    options.decodeWmf = [](const QByteArray& metafile, qint64, qint64*) {
        return metafile.size() % 2 ? QImage(3, 2, QImage::Format_RGB32) : QImage();
    };
    QTextDocument doc;
    if (!orbet::readRtf(bytes, doc, options)) __builtin_trap();
    // Every character of the result sits in a well-formed fragment of a block.
    qsizetype characters = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it)
            characters += it.fragment().length();
        ++characters;
    }
    if (characters != doc.characterCount()) __builtin_trap();
    return 0;
}
