#include <cstring>
#include <iterator>
#include <memory>

#include <libheif/heif.h>

#include "plugins/spi/common/IsoMedia.h"
#include "plugins/spi/common/SpiSupport.h"

namespace {

const char* const Texts[] = {"HEIF decoder (libheif " LIBHEIF_VERSION ")", "*.heic;*.heif;*.hif", "HEIF"};

// HEVC-coded HEIF; the general "mif1" brand only where AVIF does not claim
// the file, which is the AVIF plug-in's.
bool isHeif(const std::uint8_t* head, std::size_t size) {
    return spi::hasBrand(head, size, {"heic", "heix", "heim", "heis", "hevc", "hevx"}) ||
           spi::hasBrand(head, size, {"mif1", "msf1"}, {"avif", "avis"});
}

struct Deleter {
    void operator()(heif_context* p) const { heif_context_free(p); }
    void operator()(heif_image_handle* p) const { heif_image_handle_release(p); }
    void operator()(heif_image* p) const { heif_image_release(p); }
    void operator()(heif_decoding_options* p) const { heif_decoding_options_free(p); }
};
template <class T> using Owned = std::unique_ptr<T, Deleter>;

int statusCode(const heif_error& error) {
    if (error.code == heif_error_Ok) return SPI_SUCCESS;
    if (error.code == heif_error_Memory_allocation_error) return SPI_NO_MEMORY;
    if (error.code == heif_error_Unsupported_feature || error.code == heif_error_Unsupported_filetype)
        return SPI_UNKNOWN_FORMAT;
    return SPI_BROKEN_DATA;
}

// The primary image of a file that may hold several.
int primary(const spi::Input& input, Owned<heif_context>& context, Owned<heif_image_handle>& handle) {
    context.reset(heif_context_alloc());
    if (!context) return SPI_NO_MEMORY;
    if (const int s = statusCode(
            heif_context_read_from_memory_without_copy(context.get(), input.data, input.size, nullptr));
        s != SPI_SUCCESS)
        return s;
    heif_image_handle* h = nullptr;
    const int s = statusCode(heif_context_get_primary_image_handle(context.get(), &h));
    handle.reset(h);
    return s;
}

int decode(const spi::Input& input, spi::Bitmap& bitmap, const spi::Progress& progress) {
    Owned<heif_context> context;
    Owned<heif_image_handle> handle;
    if (const int s = primary(input, context, handle); s != SPI_SUCCESS) return s;
    if (progress.cancelled(10, 100)) return SPI_CANCELLED;
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    Owned<heif_decoding_options> options(heif_decoding_options_alloc());
    if (!options) return SPI_NO_MEMORY;
    // The file's rotation and mirroring are applied by the library, unless
    // the picture is wanted as stored.
    options->convert_hdr_to_8bit = 1;
    options->ignore_transformations = spi::keepsStoredOrientation() ? 1 : 0;
    heif_image* decoded = nullptr;
    const heif_error error =
        heif_decode_image(handle.get(), &decoded, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    Owned<heif_image> image(decoded);
    if (const int s = statusCode(error); s != SPI_SUCCESS) return s;
    if (progress.cancelled(80, 100)) return SPI_CANCELLED;
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    if (!plane || width < 1 || height < 1 || stride < width * (alpha ? 4 : 3)) return SPI_BROKEN_DATA;
    if (const int s = bitmap.allocate(width, height, alpha ? 32 : 24, 0, true); s != SPI_SUCCESS) return s;
    const std::size_t rowBytes = std::size_t(width) * (alpha ? 4 : 3);
    for (int y = 0; y < height; ++y)
        std::memcpy(bitmap.row(y), plane + std::size_t(y) * std::size_t(stride), rowBytes);
    spi::swapRedBlue(bitmap);
    return SPI_SUCCESS;
}

int readInfo(const spi::Input& input, PictureInfo& info) {
    Owned<heif_context> context;
    Owned<heif_image_handle> handle;
    if (const int s = primary(input, context, handle); s != SPI_SUCCESS) return s;
    // The handle's size is that of the picture as shown, transforms applied;
    // the coded size is the stored one.
    const bool stored = spi::keepsStoredOrientation();
    info.width =
        stored ? heif_image_handle_get_ispe_width(handle.get()) : heif_image_handle_get_width(handle.get());
    info.height =
        stored ? heif_image_handle_get_ispe_height(handle.get()) : heif_image_handle_get_height(handle.get());
    info.colorDepth = std::int16_t(heif_image_handle_has_alpha_channel(handle.get()) ? 32 : 24);
    return info.width > 0 && info.height > 0 ? SPI_SUCCESS : SPI_BROKEN_DATA;
}

} // namespace

const spi::Format spi::plugin{Texts, int(std::size(Texts)), isHeif, decode, readInfo};
