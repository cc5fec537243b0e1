#include "plugins/host/SusieLibrary.h"

#include <cstdlib>
#include <cstring>
#include <functional>

#include <dlfcn.h>
#include <malloc.h>

#include <QFile>

#include "platform/NativePath.h"

namespace orbet {

namespace {

// Some plug-ins call the callback without testing it for null.
int neverCancel(int, int, intptr_t) {
    return 0;
}

void* symbol(void* handle, const char* name) {
    dlerror();
    return dlsym(handle, name);
}

// Drops a trailing UTF-8 sequence whose continuation bytes were cut off.
QByteArray withoutCutCharacter(QByteArray text) {
    qsizetype lead = text.size();
    int continuation = 0;
    while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80 && continuation < 3) {
        --lead;
        ++continuation;
    }
    if (lead == 0) return text;
    const auto first = static_cast<unsigned char>(text[lead - 1]);
    int expected = 0;
    if ((first & 0xE0) == 0xC0)
        expected = 1;
    else if ((first & 0xF0) == 0xE0)
        expected = 2;
    else if ((first & 0xF8) == 0xF0)
        expected = 3;
    else
        return text;
    if (continuation < expected) text.truncate(lead - 1);
    return text;
}

} // namespace

void FreeDeleter::operator()(void* block) const noexcept {
    std::free(block);
}

std::size_t blockSize(const void* block) {
    return block ? malloc_usable_size(const_cast<void*>(block)) : 0;
}

std::unique_ptr<SusieLibrary> SusieLibrary::load(const QString& path, QString* reason) {
    auto fail = [reason](const QString& why) {
        if (reason) *reason = why;
        return std::unique_ptr<SusieLibrary>();
    };
    dlerror();
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = dlerror();
        return fail(QString::fromLocal8Bit(error ? error : "dlopen failed"));
    }
    Entries entries;
    entries.getPluginInfo = reinterpret_cast<GetPluginInfoFunction>(symbol(handle, "GetPluginInfo"));
    entries.isSupported = reinterpret_cast<IsSupportedFunction>(symbol(handle, "IsSupported"));
    entries.getPictureInfo = reinterpret_cast<GetPictureInfoFunction>(symbol(handle, "GetPictureInfo"));
    entries.getPicture = reinterpret_cast<GetPictureFunction>(symbol(handle, "GetPicture"));
    entries.getPreview = reinterpret_cast<GetPictureFunction>(symbol(handle, "GetPreview"));
    if (!entries.getPluginInfo || !entries.isSupported || !entries.getPictureInfo || !entries.getPicture) {
        dlclose(handle);
        return fail(QStringLiteral("missing import-filter functions"));
    }
    std::unique_ptr<SusieLibrary> library(new SusieLibrary(handle, path, entries));
    if (library->infoBytes(0) != SPI_IMPORT_FILTER_TAG) return fail(QStringLiteral("not an import filter"));
    return library;
}

SusieLibrary::SusieLibrary(void* handle, const QString& path, const Entries& entries)
    : handle_(handle), path_(path), entries_(entries) {}

SusieLibrary::~SusieLibrary() {
    dlclose(handle_);
}

QByteArray SusieLibrary::infoBytes(int infoNo) const {
    // One spare byte stays NUL so a plug-in that forgets the terminator
    // cannot make us read past the buffer.
    char buffer[InfoBufferSize + 1] = {};
    entries_.getPluginInfo(infoNo, buffer, InfoBufferSize);
    buffer[InfoBufferSize] = '\0';
    return QByteArray(buffer, qsizetype(std::strlen(buffer)));
}

QString pluginText(const QByteArray& bytes) {
    return QString::fromUtf8(withoutCutCharacter(bytes));
}

QString SusieLibrary::info(int infoNo) const {
    return pluginText(infoBytes(infoNo));
}

bool SusieLibrary::isSupported(const QString& filePath, const void* head) const {
    return entries_.isSupported(toNative(filePath).constData(), head) != 0;
}

PictureBlocks SusieLibrary::getPicture(const QByteArray& contents) const {
    PictureBlocks blocks;
    void* header = nullptr;
    void* pixels = nullptr;
    blocks.result = entries_.getPicture(contents.constData(), intptr_t(contents.size()), SPI_INPUT_MEMORY,
                                        &header, &pixels, neverCancel, 0);
    // Only blocks the plug-in allocated itself may be freed: a block that
    // points into the file contents we lent it, or one block handed back
    // twice, would be freed by the wrong owner or freed twice.
    const char* lentBegin = contents.constData();
    const char* lentEnd = lentBegin + contents.size();
    auto lent = [&](const void* p) {
        const char* c = static_cast<const char*>(p);
        return p && std::less_equal<const char*>()(lentBegin, c) && std::less<const char*>()(c, lentEnd);
    };
    if (lent(header) || lent(pixels) || (header && header == pixels)) {
        if (!lent(header)) blocks.header.reset(header);
        blocks.result = SPI_MEMORY_ERROR;
        return blocks;
    }
    blocks.header.reset(header);
    blocks.pixels.reset(pixels);
    return blocks;
}

} // namespace orbet
