#include "display/CmykJpeg.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "display/ColourProfile.h"

namespace orbet {

namespace {

struct Errors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1);
}
void silent(j_common_ptr, int) {}

// Everything the decoding allocates lives outside the setjmp frame.
struct State {
    jpeg_decompress_struct info{};
    Errors errors{};
    QImage image;
    std::vector<uchar> row;
    ~State() { jpeg_destroy_decompress(&info); }
};

bool run(State& s, const QByteArray& bytes, const ColourConversion& cmyk, qint64 allocationLimitBytes) {
    if (setjmp(s.errors.jump)) return false;
    jpeg_create_decompress(&s.info);
    jpeg_mem_src(&s.info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&s.info, TRUE);
    if (s.info.jpeg_color_space != JCS_CMYK && s.info.jpeg_color_space != JCS_YCCK) return false;
    if (qint64(s.info.image_width) * s.info.image_height * 4 > allocationLimitBytes) return false;
    s.info.out_color_space = JCS_CMYK;
    jpeg_start_decompress(&s.info);
    s.image = QImage(int(s.info.output_width), int(s.info.output_height), QImage::Format_RGB32);
    if (s.image.isNull()) return false;
    s.row.resize(std::size_t(s.info.output_width) * 4);
    while (s.info.output_scanline < s.info.output_height) {
        const int y = int(s.info.output_scanline);
        JSAMPROW row = s.row.data();
        if (jpeg_read_scanlines(&s.info, &row, 1) != 1) return false;
        cmyk.convertCmykRow(s.row.data(), s.image.scanLine(y), s.image.width());
    }
    return true;
}

} // namespace

QImage decodeCmykJpeg(const QByteArray& bytes, const ColourConversion& cmyk, qint64 allocationLimitBytes) {
    State s;
    s.info.err = jpeg_std_error(&s.errors.base);
    s.errors.base.error_exit = jumpBack;
    s.errors.base.emit_message = silent;
    if (!run(s, bytes, cmyk, allocationLimitBytes)) return {};
    return s.image;
}

} // namespace orbet
