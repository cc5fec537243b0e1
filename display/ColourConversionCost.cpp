#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <mutex>
#include <vector>

#include <jpeglib.h>

#include "display/ColourProfile.h"

// What a conversion costs beside the decoding it follows, measured on this
// machine rather than assumed: the same small picture is decoded and
// converted a few times, and the fastest of each is taken, so a moment of
// load on a shared machine counts for little.

namespace orbet {

namespace {

constexpr int kWidth = 256, kHeight = 64, kRuns = 5;
// The decoder converts a band of rows of a photo's width at a time, which
// sits in the second-level cache rather than the first.
constexpr int kBandWidth = 4096, kBandRows = 16;

// A photograph's kind of picture: smooth gradients with some detail, BGRX.
std::vector<uchar> calibrationPixels() {
    std::vector<uchar> pixels(std::size_t(kWidth) * kHeight * 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uchar* p = &pixels[(std::size_t(y) * kWidth + std::size_t(x)) * 4];
            p[0] = uchar((x * 3 + y * 5) & 0xff);
            p[1] = uchar((x + (x * y) / 7) & 0xff);
            p[2] = uchar((255 - x + ((x ^ y) & 15)) & 0xff);
            p[3] = 0xff;
        }
    return pixels;
}

struct Errors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void jumpOut(j_common_ptr info) {
    std::longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1);
}

// The picture as the camera would store it (4:2:0, quality 90); empty on
// failure.
std::vector<uchar> encoded(const std::vector<uchar>& pixels) {
    jpeg_compress_struct info{};
    Errors errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpOut;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    std::vector<uchar> bytes;
    if (setjmp(errors.jump) == 0) {
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &out, &size);
        info.image_width = kWidth;
        info.image_height = kHeight;
        info.input_components = 4;
        info.in_color_space = JCS_EXT_BGRX;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 90, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height) {
            auto* row = const_cast<uchar*>(&pixels[std::size_t(info.next_scanline) * kWidth * 4]);
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        bytes.assign(out, out + size);
    }
    jpeg_destroy_compress(&info);
    std::free(out);
    return bytes;
}

// Decodes the picture, or with `skipOnly` only reads past its rows (the
// entropy decoding alone, which goes with the compressed bytes).
bool decode(const std::vector<uchar>& bytes, std::vector<uchar>& pixels, bool skipOnly = false) {
    jpeg_decompress_struct info{};
    Errors errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = jumpOut;
    bool ok = false;
    if (setjmp(errors.jump) == 0) {
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_EXT_BGRX;
        jpeg_start_decompress(&info);
        if (skipOnly) jpeg_skip_scanlines(&info, info.output_height);
        while (info.output_scanline < info.output_height) {
            uchar* row = &pixels[std::size_t(info.output_scanline) * kWidth * 4];
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        ok = true;
    }
    jpeg_destroy_decompress(&info);
    return ok;
}

template <typename Work> double fastestNanoseconds(Work work) {
    double best = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const double took = double(
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start)
                .count());
        if (run == 0 || took < best) best = took;
    }
    return std::max(best, 1.0);
}

// The decoder's time for the pixels of the picture, beyond reading past
// its rows: the share of a row's decoding that goes with its width, which
// a conversion adds to. Once a process.
double decodingNanoseconds() {
    static std::once_flag once;
    static double nanoseconds = 0;
    std::call_once(once, [] {
        const std::vector<uchar> bytes = encoded(calibrationPixels());
        std::vector<uchar> out(std::size_t(kWidth) * kHeight * 4);
        if (bytes.empty() || !decode(bytes, out) || !decode(bytes, out, true)) return;
        const double whole = fastestNanoseconds([&] { decode(bytes, out); });
        const double skipped = fastestNanoseconds([&] { decode(bytes, out, true); });
        // A moment of load on one side cannot make the pixels' work vanish.
        nanoseconds = std::max(whole - skipped, whole / 4);
    });
    return nanoseconds;
}

} // namespace

double ColourConversion::pixelCost() const {
    std::call_once(costOnce_, [this] {
        const double decoding = decodingNanoseconds();
        if (decoding <= 0) return;
        const std::vector<uchar> picture = calibrationPixels();
        std::vector<uchar> band(std::size_t(kBandWidth) * kBandRows * 4), out(band.size());
        for (std::size_t at = 0; at < band.size(); at += picture.size())
            std::copy(picture.begin(),
                      picture.begin() + std::ptrdiff_t(std::min(picture.size(), band.size() - at)),
                      band.begin() + std::ptrdiff_t(at));
        const double converting = fastestNanoseconds([&] {
            if (input_ == Input::InvertedCmyk) {
                for (int y = 0; y < kBandRows; ++y)
                    convertCmykRow(&band[std::size_t(y) * kBandWidth * 4],
                                   &out[std::size_t(y) * kBandWidth * 4], kBandWidth);
            } else {
                // Converted again in place: what a conversion costs does not
                // depend on the colours it meets.
                convertRows(band.data(), kBandWidth * 4, kBandWidth, kBandRows);
            }
        });
        // Both by the pixel.
        cost_ = (converting / (double(kBandWidth) * kBandRows)) / (decoding / (double(kWidth) * kHeight));
    });
    return cost_;
}

} // namespace orbet
