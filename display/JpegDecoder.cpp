#include "display/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>
#include <thread>

#include <jpeglib.h>

namespace orbet {

namespace {

// Smaller pictures decode fast enough on one thread that a second one only
// adds its start-up.
constexpr qint64 kParallelPixels = 2'000'000;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void quiet(j_common_ptr, int) {}

// One decompressor over the whole file in memory that produces the rows
// [first, last) of the picture into image. Returns false on any error.
bool decodeRows(const QByteArray& bytes, QImage& image, JDIMENSION first, JDIMENSION last) {
    jpeg_decompress_struct info {};
    ErrorManager errors {};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = quiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    if (info.output_width != JDIMENSION(image.width()) || info.output_height != JDIMENSION(image.height())) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    if (first > 0) jpeg_skip_scanlines(&info, first);
    while (info.output_scanline < last) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1) break;
    }
    const bool complete = info.output_scanline >= last;
    jpeg_abort_decompress(&info);
    jpeg_destroy_decompress(&info);
    return complete;
}

}  // namespace

QImage decodeJpegInParallel(const QByteArray& bytes, qint64 allocationLimitBytes) {
    jpeg_decompress_struct info {};
    ErrorManager errors {};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = quiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    const bool suitable = !info.progressive_mode && info.num_components == 3 &&
                          (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB) &&
                          qint64(info.image_width) * info.image_height >= kParallelPixels &&
                          qint64(info.image_width) * info.image_height * 4 <= allocationLimitBytes;
    const int width = int(info.image_width), height = int(info.image_height);
    jpeg_destroy_decompress(&info);
    if (!suitable) return {};

    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    // The bottom part also pays for reading past the top one, so the top
    // part is made a little larger.
    const JDIMENSION split = JDIMENSION(height * 0.56);
    bool bottomOk = false;
    std::thread bottom([&] { bottomOk = decodeRows(bytes, image, split, JDIMENSION(height)); });
    const bool topOk = decodeRows(bytes, image, 0, split);
    bottom.join();
    if (!topOk || !bottomOk) return {};
    return image;
}

}  // namespace orbet
