#include <cstring>
#include <iterator>
#include <vector>

#include <lcms2.h>

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

// Only a short cut: a picture in sRGB converted to sRGB stays as it is.
bool isSrgb(const JxlColorEncoding& c) {
    return (c.color_space == JXL_COLOR_SPACE_RGB || c.color_space == JXL_COLOR_SPACE_GRAY) &&
           c.white_point == JXL_WHITE_POINT_D65 &&
           (c.color_space == JXL_COLOR_SPACE_GRAY || c.primaries == JXL_PRIMARIES_SRGB) &&
           c.transfer_function == JXL_TRANSFER_FUNCTION_SRGB;
}

void silent(cmsContext, cmsUInt32Number, const char*) {}

// The decoded pixels converted from the profile they are in to sRGB. A
// profile LittleCMS cannot use leaves them as they are.
void convertToSrgb(const std::vector<std::uint8_t>& icc, spi::Bitmap& bitmap, int channels) {
    cmsSetLogErrorHandler(silent);
    cmsHPROFILE source = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    // Marked version 2 as the sRGB profiles systems ship are, as the
    // program's own conversions do: no black point compensation.
    if (srgb) cmsSetProfileVersion(srgb, 2.1);
    cmsHTRANSFORM transform = nullptr;
    if (source && srgb && cmsGetColorSpace(source) == cmsSigRgbData) {
        const cmsUInt32Number type = channels == 4 ? TYPE_RGBA_8 : TYPE_RGB_8;
        transform = cmsCreateTransform(source, type, srgb, type, INTENT_PERCEPTUAL,
                                       channels == 4 ? cmsFLAGS_COPY_ALPHA : 0);
    }
    if (transform) {
        for (std::int64_t y = 0; y < bitmap.height(); ++y)
            cmsDoTransform(transform, bitmap.row(y), bitmap.row(y), cmsUInt32Number(bitmap.width()));
        cmsDeleteTransform(transform);
    }
    if (source) cmsCloseProfile(source);
    if (srgb) cmsCloseProfile(srgb);
}

int decode(const spi::Input& input, spi::Bitmap& bitmap, const spi::Progress& progress) {
    JxlDecoderPtr decoder = JxlDecoderMake(nullptr);
    if (!decoder) return SPI_NO_MEMORY;
    JxlThreadParallelRunnerPtr runner =
        JxlThreadParallelRunnerMake(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads());
    if (runner &&
        JxlDecoderSetParallelRunner(decoder.get(), JxlThreadParallelRunner, runner.get()) != JXL_DEC_SUCCESS)
        return SPI_INTERNAL_ERROR;
    if (JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING |
                                                     JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetKeepOrientation(decoder.get(), spi::keepsStoredOrientation()) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(decoder.get(), input.data, input.size) != JXL_DEC_SUCCESS)
        return SPI_INTERNAL_ERROR;
    JxlDecoderCloseInput(decoder.get());
    JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 4};
    JxlBasicInfo info{};
    // The profile the pixels come in when the decoder cannot give sRGB.
    std::vector<std::uint8_t> icc;
    for (;;) {
        switch (next(decoder.get())) {
        case JXL_DEC_BASIC_INFO: {
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
        case JXL_DEC_COLOR_ENCODING: {
            // Pictures in another colour space than sRGB (a profile, or one
            // given by its primaries and transfer) are shown in sRGB. One
            // the decoder keeps in its own colour space (lossy) it gives in
            // sRGB itself; the others come in their own and are converted.
            JxlColorEncoding encoding;
            if (JxlDecoderGetColorAsEncodedProfile(decoder.get(), nullptr, JXL_COLOR_PROFILE_TARGET_ORIGINAL,
                                                   &encoding) == JXL_DEC_SUCCESS &&
                isSrgb(encoding))
                break;
            if (!info.uses_original_profile) {
                JxlColorEncoding srgb{};
                srgb.color_space = info.num_color_channels == 1 ? JXL_COLOR_SPACE_GRAY : JXL_COLOR_SPACE_RGB;
                srgb.white_point = JXL_WHITE_POINT_D65;
                srgb.primaries = JXL_PRIMARIES_SRGB;
                srgb.transfer_function = JXL_TRANSFER_FUNCTION_SRGB;
                srgb.rendering_intent = JXL_RENDERING_INTENT_PERCEPTUAL;
                if (JxlDecoderSetPreferredColorProfile(decoder.get(), &srgb) == JXL_DEC_SUCCESS) break;
            }
            std::size_t size = 0;
            if (JxlDecoderGetICCProfileSize(decoder.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) ==
                    JXL_DEC_SUCCESS &&
                size > 0 && size < (std::size_t(1) << 24)) {
                icc.resize(size);
                if (JxlDecoderGetColorAsICCProfile(decoder.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                                   icc.data(), size) != JXL_DEC_SUCCESS)
                    icc.clear();
            }
            break;
        }
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER:
            if (!bitmap.pixels() || JxlDecoderSetImageOutBuffer(decoder.get(), &format, bitmap.pixels(),
                                                                bitmap.pixelBytes()) != JXL_DEC_SUCCESS)
                return SPI_BROKEN_DATA;
            break;
        case JXL_DEC_FULL_IMAGE:
            // The first frame is the picture; an animation shows it.
            if (!icc.empty()) convertToSrgb(icc, bitmap, format.num_channels);
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
    if (next(decoder.get()) != JXL_DEC_BASIC_INFO ||
        JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS || info.xsize > INT32_MAX ||
        info.ysize > INT32_MAX)
        return SPI_BROKEN_DATA;
    picture.width = std::int32_t(info.xsize);
    picture.height = std::int32_t(info.ysize);
    picture.colorDepth = std::int16_t(info.alpha_bits > 0 ? 32 : 24);
    return SPI_SUCCESS;
}

} // namespace

const spi::Format spi::plugin{Texts, int(std::size(Texts)), isJxl, decode, readInfo};
