#include <cstring>
#include <iterator>

#include <jxl/decode.h>
#include <jxl/decode_cxx.h>
#include <jxl/thread_parallel_runner.h>
#include <jxl/thread_parallel_runner_cxx.h>

#include "plugins/spi/common/SpiSupport.h"

namespace {

const char* const Texts[] = {"JPEG XL decoder (libjxl)", "*.jxl", "JPEG XL"};

bool isJxl(const std::uint8_t* head, std::size_t size) {
    if (!head) return false;
    const JxlSignature s = JxlSignatureCheck(head, size);
    return s == JXL_SIG_CODESTREAM || s == JXL_SIG_CONTAINER;
}

// Runs the decoder until it stops at one of the subscribed events, an
// error, or the end of its input (a cut file: broken).
JxlDecoderStatus next(JxlDecoder* decoder) {
    return JxlDecoderProcessInput(decoder);
}

int decode(const spi::Input& input, spi::Bitmap& bitmap, const spi::Progress& progress) {
    JxlDecoderPtr decoder = JxlDecoderMake(nullptr);
    if (!decoder) return SPI_NO_MEMORY;
    JxlThreadParallelRunnerPtr runner =
        JxlThreadParallelRunnerMake(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads());
    if (runner && JxlDecoderSetParallelRunner(decoder.get(), JxlThreadParallelRunner, runner.get()) !=
                      JXL_DEC_SUCCESS)
        return SPI_INTERNAL_ERROR;
    if (JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetKeepOrientation(decoder.get(), spi::keepsStoredOrientation()) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(decoder.get(), input.data, input.size) != JXL_DEC_SUCCESS)
        return SPI_INTERNAL_ERROR;
    JxlDecoderCloseInput(decoder.get());
    JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 4};
    for (;;) {
        switch (next(decoder.get())) {
        case JXL_DEC_BASIC_INFO: {
            JxlBasicInfo info;
            if (JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS) return SPI_BROKEN_DATA;
            // The size given is that of the picture as the decoder gives it:
            // turned upright, unless kept as stored.
            format.num_channels = info.alpha_bits > 0 ? 4 : 3;
            if (const int s = bitmap.allocate(info.xsize, info.ysize, format.num_channels * 8, 0, true);
                s != SPI_SUCCESS)
                return s;
            if (progress.cancelled(10, 100)) return SPI_CANCELLED;
            break;
        }
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER:
            if (!bitmap.pixels() ||
                JxlDecoderSetImageOutBuffer(decoder.get(), &format, bitmap.pixels(), bitmap.pixelBytes()) !=
                    JXL_DEC_SUCCESS)
                return SPI_BROKEN_DATA;
            break;
        case JXL_DEC_FULL_IMAGE:
            // The first frame is the picture; an animation shows it.
            spi::swapRedBlue(bitmap);
            return SPI_SUCCESS;
        case JXL_DEC_NEED_MORE_INPUT:
        case JXL_DEC_ERROR:
        default:
            return SPI_BROKEN_DATA;
        }
    }
}

int readInfo(const spi::Input& input, PictureInfo& picture) {
    JxlDecoderPtr decoder = JxlDecoderMake(nullptr);
    if (!decoder) return SPI_NO_MEMORY;
    if (JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO) != JXL_DEC_SUCCESS ||
        JxlDecoderSetKeepOrientation(decoder.get(), spi::keepsStoredOrientation()) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(decoder.get(), input.data, input.size) != JXL_DEC_SUCCESS)
        return SPI_INTERNAL_ERROR;
    JxlDecoderCloseInput(decoder.get());
    JxlBasicInfo info;
    if (next(decoder.get()) != JXL_DEC_BASIC_INFO || JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS ||
        info.xsize > INT32_MAX || info.ysize > INT32_MAX)
        return SPI_BROKEN_DATA;
    picture.width = std::int32_t(info.xsize);
    picture.height = std::int32_t(info.ysize);
    picture.colorDepth = std::int16_t(info.alpha_bits > 0 ? 32 : 24);
    return SPI_SUCCESS;
}

} // namespace

const spi::Format spi::plugin{Texts, int(std::size(Texts)), isJxl, decode, readInfo};
