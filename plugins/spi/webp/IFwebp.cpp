#include <cstring>
#include <iterator>

#include <webp/decode.h>
#include <webp/demux.h>

#include "plugins/spi/common/SpiSupport.h"

namespace {

const char* const Texts[] = {"WebP decoder (libwebp)", "*.webp", "WebP"};

bool isWebp(const std::uint8_t* bytes, std::size_t size) {
    return bytes && size >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 &&
           std::memcmp(bytes + 8, "WEBP", 4) == 0;
}

int statusCode(VP8StatusCode status) {
    switch (status) {
    case VP8_STATUS_OK:
        return SPI_SUCCESS;
    case VP8_STATUS_OUT_OF_MEMORY:
        return SPI_NO_MEMORY;
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        return SPI_UNKNOWN_FORMAT;
    default:
        return SPI_BROKEN_DATA;
    }
}

// Animations show their first frame as composed on the canvas, so frames
// that only update part of it still give the whole picture.
int decodeFirstFrame(const spi::Input& input, spi::Bitmap& bitmap) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return SPI_INTERNAL_ERROR;
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    const WebPData data{input.data, input.size};
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder) return SPI_BROKEN_DATA;
    int status = SPI_BROKEN_DATA;
    WebPAnimInfo info;
    std::uint8_t* canvas = nullptr;
    int timestamp = 0;
    if (WebPAnimDecoderGetInfo(decoder, &info) && WebPAnimDecoderGetNext(decoder, &canvas, &timestamp)) {
        status = bitmap.allocate(info.canvas_width, info.canvas_height, 32, 0);
        if (status == SPI_SUCCESS) {
            const std::size_t rowBytes = std::size_t(info.canvas_width) * 4;
            for (std::uint32_t y = 0; y < info.canvas_height; ++y)
                std::memcpy(bitmap.row(y), canvas + y * rowBytes, rowBytes);
        }
    }
    WebPAnimDecoderDelete(decoder);
    return status;
}

int decodeStill(const spi::Input& input, const WebPBitstreamFeatures& features, spi::Bitmap& bitmap) {
    const int bits = features.has_alpha ? 32 : 24;
    if (const int status = bitmap.allocate(features.width, features.height, bits, 0); status != SPI_SUCCESS)
        return status;
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) return SPI_INTERNAL_ERROR;
    config.output.colorspace = features.has_alpha ? MODE_BGRA : MODE_BGR;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = bitmap.pixels();
    config.output.u.RGBA.stride = int(bitmap.stride());
    config.output.u.RGBA.size = bitmap.pixelBytes();
    // Writing the rows bottom-up straight into the block saves a copy.
    config.options.flip = 1;
    const VP8StatusCode status = WebPDecode(input.data, input.size, &config);
    WebPFreeDecBuffer(&config.output);
    return statusCode(status);
}

int decode(const spi::Input& input, spi::Bitmap& bitmap, const spi::Progress&) {
    WebPBitstreamFeatures features;
    if (const VP8StatusCode status = WebPGetFeatures(input.data, input.size, &features);
        status != VP8_STATUS_OK)
        return statusCode(status);
    return features.has_animation ? decodeFirstFrame(input, bitmap) : decodeStill(input, features, bitmap);
}

int readInfo(const spi::Input& input, PictureInfo& info) {
    WebPBitstreamFeatures features;
    if (const VP8StatusCode status = WebPGetFeatures(input.data, input.size, &features);
        status != VP8_STATUS_OK)
        return statusCode(status);
    const bool alpha = features.has_alpha || features.has_animation;
    info.width = features.width;
    info.height = features.height;
    info.colorDepth = std::int16_t(alpha ? 32 : 24);
    return SPI_SUCCESS;
}

} // namespace

const spi::Format spi::plugin{Texts, int(std::size(Texts)), isWebp, decode, readInfo};
