// The exported functions every shipped plug-in has, once. Each plug-in
// links this file and defines spi::plugin: its texts, recogniser and
// decoder; everything the interface's contract asks around those is here.
#include "plugins/spi/common/SpiSupport.h"

extern "C" {

SUSIE_EXPORT int GetPluginInfo(int infono, char* buf, int buflen) {
    return spi::pluginInfo(spi::plugin.texts, spi::plugin.textCount, infono, buf, buflen);
}

SUSIE_EXPORT int IsSupported(const char*, const void* head) {
    return head && spi::plugin.recognise(static_cast<const std::uint8_t*>(head), SPI_HEAD_SIZE) ? 1 : 0;
}

SUSIE_EXPORT int GetPictureInfo(const char* buf, intptr_t len, unsigned flag, PictureInfo* info) {
    return spi::getPictureInfo(spi::plugin, buf, len, flag, info);
}

SUSIE_EXPORT int GetPicture(const char* buf, intptr_t len, unsigned flag, void** infoBlock, void** bitsBlock,
                            SusieProgressCallback progress, intptr_t data) {
    return spi::getPicture(spi::plugin, buf, len, flag, infoBlock, bitsBlock, progress, data);
}

SUSIE_EXPORT int GetPreview(const char*, intptr_t, unsigned, void** infoBlock, void** bitsBlock,
                            SusieProgressCallback, intptr_t) {
    spi::clearOutputs(infoBlock, bitsBlock);
    return SPI_NOT_IMPLEMENTED;
}
}
