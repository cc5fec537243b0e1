#include <iterator>
#include <thread>

#include <avif/avif.h>

#include "plugins/spi/common/IsoMedia.h"
#include "plugins/spi/common/SpiSupport.h"

namespace {

const char* const Texts[] = {"AVIF decoder (libavif)", "*.avif", "AVIF"};

bool isAvif(const std::uint8_t* head, std::size_t size) {
    return spi::hasBrand(head, size, {"avif", "avis"});
}

struct Decoder {
    avifDecoder* decoder = avifDecoderCreate();
    ~Decoder() {
        if (decoder) avifDecoderDestroy(decoder);
    }
};

int statusCode(avifResult result) {
    return result == AVIF_RESULT_OUT_OF_MEMORY ? SPI_NO_MEMORY : SPI_BROKEN_DATA;
}

int open(const spi::Input& input, Decoder& d) {
    if (!d.decoder) return SPI_NO_MEMORY;
    d.decoder->maxThreads = int(std::thread::hardware_concurrency());
    // Metadata is of no use here; XMP and EXIF are skipped unread.
    d.decoder->ignoreExif = AVIF_TRUE;
    d.decoder->ignoreXMP = AVIF_TRUE;
    if (const avifResult r = avifDecoderSetIOMemory(d.decoder, input.data, input.size); r != AVIF_RESULT_OK)
        return statusCode(r);
    if (const avifResult r = avifDecoderParse(d.decoder); r != AVIF_RESULT_OK) return statusCode(r);
    return SPI_SUCCESS;
}

int decode(const spi::Input& input, spi::Bitmap& bitmap, const spi::Progress& progress) {
    Decoder d;
    if (const int status = open(input, d); status != SPI_SUCCESS) return status;
    if (progress.cancelled(10, 100)) return SPI_CANCELLED;
    if (const avifResult r = avifDecoderNextImage(d.decoder); r != AVIF_RESULT_OK) return statusCode(r);
    if (progress.cancelled(70, 100)) return SPI_CANCELLED;
    const avifImage* image = d.decoder->image;
    const bool alpha = image->alphaPlane != nullptr;
    if (const int status = bitmap.allocate(image->width, image->height, alpha ? 32 : 24, 0, true);
        status != SPI_SUCCESS)
        return status;
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, image);
    rgb.format = alpha ? AVIF_RGB_FORMAT_BGRA : AVIF_RGB_FORMAT_BGR;
    rgb.depth = 8;
    rgb.pixels = bitmap.pixels();
    rgb.rowBytes = std::uint32_t(bitmap.stride());
    if (const avifResult r = avifImageYUVToRGB(image, &rgb); r != AVIF_RESULT_OK) return statusCode(r);
    if (spi::keepsStoredOrientation()) return SPI_SUCCESS;
    const int angle = (image->transformFlags & AVIF_TRANSFORM_IROT) ? image->irot.angle : 0;
    const int mirror = (image->transformFlags & AVIF_TRANSFORM_IMIR) ? image->imir.mode : -1;
    return spi::orient(bitmap, spi::orientationOfTransforms(angle, mirror));
}

int readInfo(const spi::Input& input, PictureInfo& info) {
    Decoder d;
    if (const int status = open(input, d); status != SPI_SUCCESS) return status;
    const avifImage* image = d.decoder->image;
    const bool turned = !spi::keepsStoredOrientation() && (image->transformFlags & AVIF_TRANSFORM_IROT) &&
                        (image->irot.angle & 1);
    info.width = std::int32_t(turned ? image->height : image->width);
    info.height = std::int32_t(turned ? image->width : image->height);
    info.colorDepth = std::int16_t(d.decoder->alphaPresent ? 32 : 24);
    return SPI_SUCCESS;
}

} // namespace

const spi::Format spi::plugin{Texts, int(std::size(Texts)), isAvif, decode, readInfo};
