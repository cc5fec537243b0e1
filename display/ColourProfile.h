#pragma once

#include <memory>
#include <mutex>

#include <QByteArray>
#include <QImage>

namespace orbet {

// Colour profiles embedded in pictures, converted to the screen's colours
// with LittleCMS: to the profile the display publishes, or to sRGB.

// The ICC profile the first bytes of a picture file carry: JPEG's APP2
// ICC_PROFILE segments (joined in their order), PNG's iCCP chunk, WebP's
// ICCP chunk, TIFF's tag 34675, an ISO media file's colr box (AVIF, HEIF).
// Every length is checked against `head`; empty when there is none or it is
// cut off.
QByteArray embeddedProfile(const QByteArray& head);

// The profile pictures are converted to; empty means sRGB. Set once the
// screen is known; read by the decoding threads.
void setDisplayProfile(const QByteArray& profile);
QByteArray displayProfile();

// A conversion of 8-bit pixels from a picture's profile to the display's.
// Transforms are safe to run from several threads at once on different rows.
class ColourConversion {
  public:
    enum class Input { Rgb, InvertedCmyk };

    // Null when there is nothing to do: no profile, a broken one, a profile
    // of another kind than the pixels, or the very profile the display has
    // (an sRGB picture on an sRGB display pays nothing).
    static std::shared_ptr<const ColourConversion> from(const QByteArray& profile, Input input = Input::Rgb);
    ~ColourConversion();
    ColourConversion(const ColourConversion&) = delete;
    ColourConversion& operator=(const ColourConversion&) = delete;

    // RGB input: rows of 32-bit pixels (B, G, R, X in memory, as RGB32),
    // converted in place. CMYK input: rows of C, M, Y, K bytes (stored
    // inverted, as Adobe writes them) written as RGB32 into `out`.
    void convertRows(uchar* rows, qsizetype stride, int width, int count) const;
    void convertCmykRow(const uchar* cmyk, uchar* out, int width) const;
    // What converting a pixel costs as a share of the work a JPEG decoder
    // does for it beyond reading past its row (the entropy decoding),
    // measured on this machine the first time it is asked for (a fraction
    // of a millisecond); for a decoding that shares its rows out between
    // threads.
    double pixelCost() const;

    struct MatrixShaper;

  private:
    ColourConversion() = default;
    static std::shared_ptr<const ColourConversion> build(const QByteArray& profile, const QByteArray& target,
                                                         Input input);
    void* transform_ = nullptr;
    std::unique_ptr<MatrixShaper> matrix_;
    Input input_ = Input::Rgb;
    mutable std::once_flag costOnce_;
    mutable double cost_ = 0;
};

// The picture converted through its profile (as RGB32, or premultiplied
// ARGB32 when it has alpha, unless it was plain ARGB32), or the picture
// itself when the conversion is null.
QImage convertedPicture(QImage image, const ColourConversion* conversion);

} // namespace orbet
