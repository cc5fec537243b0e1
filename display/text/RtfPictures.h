#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include <QByteArray>
#include <QImage>
#include <QSizeF>

namespace orbet {

enum class RtfPictureKind { Unknown, Png, Jpeg, Wmf, Emf, Dib };

// One \pict group as read so far: its kind, sizes and data.
struct RtfPicture {
    RtfPictureKind kind = RtfPictureKind::Unknown;
    QByteArray data;
    std::int32_t width = 0; // \picw: pixels for bitmaps, 0.01 mm for metafiles
    std::int32_t height = 0;
    std::int32_t goalWidth = 0; // \picwgoal, twips
    std::int32_t goalHeight = 0;
    std::int32_t scaleX = 100; // \picscalex, percent
    std::int32_t scaleY = 100;

    // Hex digits pair up into bytes across calls; anything else is ignored.
    void appendHex(std::string_view text);
    void appendBinary(std::string_view bytes);

  private:
    int pendingNibble_ = -1;
};

// Turns metafile data into an image of at most budgetBytes: a metafile whose
// natural size would take more is refused (a null image) before anything is
// drawn. *claimed receives the bytes of its natural size, drawn or not.
using MetafileDecoder = std::function<QImage(const QByteArray& data, qint64 budgetBytes, qint64* claimed)>;

// The picture as an image, or a null image when its kind cannot be shown, its
// data does not decode, or the image would take more than budgetBytes. WMF
// data goes to decodeWmf (a null function skips it); PNG and JPEG are
// recognised by their content whatever the picture's kind word said. What
// the picture's header claims is taken from budgetBytes whether it is shown
// or refused, so copies of one refused picture cannot each cost the time of
// a try.
QImage decodePicture(const RtfPicture& picture, const MetafileDecoder& decodeWmf, qint64& budgetBytes);

// Size in pixels (96 per inch) at which the picture shows: the goal size, or
// else the natural size (\picw, \pich for metafiles; the image's own pixels
// otherwise), times the scale factors; kept within a sane range.
QSizeF pictureDisplaySize(const RtfPicture& picture, QSize imageSize);

} // namespace orbet
