#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include <png.h>

#include "plugins/spi/common/SpiSupport.h"

namespace {

const char* const Texts[] = {"PNG decoder (libpng " PNG_LIBPNG_VER_STRING ")", "*.png", "PNG"};

bool isPng(const std::uint8_t* head, std::size_t size) {
    return head && size >= 8 && png_sig_cmp(head, 0, 8) == 0;
}

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

void readData(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<Reader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->position) png_error(png, "truncated");
    std::memcpy(out, reader->data + reader->position, length);
    reader->position += length;
}

// libpng's own handlers print to stderr; a plug-in stays silent.
[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

// Everything one decode needs. It lives in the caller of run(), so nothing
// run() changes is lost when libpng jumps back.
struct Job {
    png_structp png = nullptr;
    png_infop info = nullptr;
    Reader reader{};
    spi::Bitmap* bitmap = nullptr;
    spi::Progress progress;
    PictureInfo* pictureInfo = nullptr;
    png_bytep* rows = nullptr;
    int status = SPI_BROKEN_DATA;
};

// Palette and grey pictures without transparency stay 8-bit indexed; the
// rest become BGR, or BGRA when they carry alpha of any kind.
int outputBits(int colourType, bool transparency) {
    if (!transparency && (colourType == PNG_COLOR_TYPE_PALETTE || colourType == PNG_COLOR_TYPE_GRAY))
        return 8;
    return (transparency || (colourType & PNG_COLOR_MASK_ALPHA)) ? 32 : 24;
}

void fillColourTable(Job* job, int colourType, int depth, int bits) {
    if (bits != 8) return;
    RGBQUAD* table = job->bitmap->colourTable();
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(job->png, job->info, &palette, &count) != PNG_INFO_PLTE) return;
        for (int i = 0; i < count && i < 256; ++i)
            table[i] = RGBQUAD{palette[i].blue, palette[i].green, palette[i].red, 0};
        return;
    }
    const int levels = 1 << (depth > 8 ? 8 : depth);
    for (int i = 0; i < levels; ++i) {
        const auto grey = std::uint8_t(i * 255 / (levels - 1));
        table[i] = RGBQUAD{grey, grey, grey, 0};
    }
}

void run(Job* job) {
    if (setjmp(png_jmpbuf(job->png))) return;
    png_set_read_fn(job->png, &job->reader, readData);
    png_read_info(job->png, job->info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(job->png, job->info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
    const bool transparency = png_get_valid(job->png, job->info, PNG_INFO_tRNS) != 0;
    const int bits = outputBits(colourType, transparency);

    if (job->pictureInfo) {
        *job->pictureInfo = PictureInfo{
            0, 0, std::int32_t(width), std::int32_t(height), 0, 0, std::int16_t(bits), {0, 0}, nullptr};
        job->status = SPI_SUCCESS;
        return;
    }

    if (depth == 16) png_set_scale_16(job->png);
    if (bits == 8) {
        png_set_packing(job->png);
    } else {
        png_set_expand(job->png);
        if (!(colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(job->png);
        png_set_bgr(job->png);
    }
    const int passes = png_set_interlace_handling(job->png);
    png_read_update_info(job->png, job->info);
    if (png_get_rowbytes(job->png, job->info) != std::size_t(width) * std::size_t(bits / 8)) {
        job->status = SPI_INTERNAL_ERROR;
        return;
    }

    const int colours = bits == 8 ? 256 : 0;
    job->status = job->bitmap->allocate(width, height, bits, colours);
    if (job->status != SPI_SUCCESS) return;
    fillColourTable(job, colourType, depth, bits);

    png_uint_32 xDensity = 0, yDensity = 0;
    int unit = 0;
    if (png_get_pHYs(job->png, job->info, &xDensity, &yDensity, &unit) && unit == PNG_RESOLUTION_METER &&
        xDensity <= INT32_MAX && yDensity <= INT32_MAX) {
        job->bitmap->header()->biXPelsPerMeter = std::int32_t(xDensity);
        job->bitmap->header()->biYPelsPerMeter = std::int32_t(yDensity);
    }

    job->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!job->rows) {
        job->status = SPI_NO_MEMORY;
        return;
    }
    for (png_uint_32 y = 0; y < height; ++y)
        job->rows[y] = job->bitmap->row(y);

    job->status = SPI_BROKEN_DATA;
    const long long steps = (long long)passes * height;
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < height; ++y) {
            const long long step = (long long)pass * height + y;
            if (job->progress.cancelled(int(step * 100 / steps), 100)) {
                job->status = SPI_CANCELLED;
                return;
            }
            png_read_row(job->png, job->rows[y], nullptr);
        }
    }
    job->status = SPI_SUCCESS;
}

int runJob(const spi::Input& input, spi::Bitmap* bitmap, PictureInfo* pictureInfo,
           const spi::Progress& progress) {
    Job job;
    job.reader = Reader{input.data, input.size, 0};
    job.bitmap = bitmap;
    job.pictureInfo = pictureInfo;
    job.progress = progress;
    job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (!job.png) return SPI_NO_MEMORY;
    job.info = png_create_info_struct(job.png);
    if (job.info)
        run(&job);
    else
        job.status = SPI_NO_MEMORY;
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    std::free(job.rows);
    return job.status;
}

int decode(const spi::Input& input, spi::Bitmap& bitmap, const spi::Progress& progress) {
    return runJob(input, &bitmap, nullptr, progress);
}

int readInfo(const spi::Input& input, PictureInfo& info) {
    return runJob(input, nullptr, &info, {});
}

} // namespace

const spi::Format spi::plugin{Texts, int(std::size(Texts)), isPng, decode, readInfo};
