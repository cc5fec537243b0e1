#include "display/PictureLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "display/CmykJpeg.h"
#include "display/ColourProfile.h"
#include "display/ExifOrientation.h"
#include "display/JpegDecoder.h"
#include "display/JpegTiles.h"
#include "display/Orientation.h"
#include "display/ReadLimits.h"
#include "display/wmf/WmfPlayer.h"
#include "platform/NativePath.h"

namespace orbet {

namespace {

// Opens a picture file for reading. Pipes, sockets and devices are never
// read (they may block or never end), nor a file larger than any picture
// worth decoding.
bool openPictureFile(QFile& file, const QString& path) {
    const PathFacts facts = pathFacts(path);
    return facts.isRegular && facts.size <= kPictureFileLimit && openNative(file, path);
}

const QByteArray kJpegStart("\xff\xd8\xff", 3);
constexpr qint64 kMetafileReadLimit = 64 * 1024 * 1024;

// An icon file holds one picture per size (and colour depth); the toolkit
// reads the first, often the 16-pixel one. Users expect the largest, and of
// two of one size the one with more colours. The reader tells each size;
// the depth comes from the file's own directory, whose entries are in the
// reader's order.
void chooseLargestIcon(QImageReader& reader, const QByteArray& directory) {
    const int count = reader.imageCount();
    int best = 0;
    qint64 bestArea = -1;
    int bestDepth = -1;
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) continue;
        const QSize size = reader.size();
        const qint64 area = qint64(size.width()) * size.height();
        const qsizetype at = 6 + 16 * qsizetype(i) + 6;
        const int depth =
            at + 1 < directory.size() ? quint8(directory[at]) | quint8(directory[at + 1]) << 8 : 0;
        if (area > bestArea || (area == bestArea && depth > bestDepth)) {
            best = i;
            bestArea = area;
            bestDepth = depth;
        }
    }
    reader.jumpToImage(best);
}

// Where a JPEG keeps its orientation and profile: segments before the
// picture. A press profile takes a few hundred kilobytes.
constexpr qint64 kMetadataHead = 1024 * 1024;

int orientationToFollow(const QByteArray& head) {
    return followsStoredOrientation() ? storedOrientation(head) : 1;
}

} // namespace

bool isMetafileName(const QString& path) {
    return path.endsWith(QLatin1String(".wmf"), Qt::CaseInsensitive);
}

QImage loadMetafile(const QString& path, const std::atomic<bool>* cancel, bool* cutShort) {
    QFile file;
    if (!openPictureFile(file, path)) return {};
    const QByteArray bytes = file.read(kMetafileReadLimit);
    WmfBudget budget;
    budget.cancel = cancel;
    QImage image = isWmf(bytes) ? renderWmf(bytes, Qt::white, nullptr, &budget) : QImage();
    if (cutShort) *cutShort = budget.cutShort;
    return image;
}

bool showsCornerFirst(const QString& path, int allocationLimitMb) {
    QFile file;
    if (!openPictureFile(file, path)) return false;
    // Room for the metadata a camera writes ahead of the picture's header.
    const QByteArray head = file.read(512 * 1024);
    return head.startsWith(kJpegStart) &&
           !largeJpegSize(head, qint64(allocationLimitMb) * 1024 * 1024).isEmpty();
}

QImage loadJpegCorner(const QString& path, QSize corner, QSize* whole, int allocationLimitMb) {
    if (whole) *whole = QSize();
    QFile file;
    if (!openPictureFile(file, path) || file.peek(3) != kJpegStart) return {};
    const QByteArray head = file.peek(kMetadataHead);
    const auto colour = ColourConversion::from(embeddedProfile(head));
    return decodeJpegCorner(file, corner, qint64(allocationLimitMb) * 1024 * 1024, whole,
                            orientationToFollow(head), colour.get());
}

QByteArray pictureFormatOf(const QByteArray& head) {
    // The same tests the toolkit's own readers make of a file's start.
    if (head.startsWith("\xff\xd8")) return "jpeg";
    if (head.startsWith("\x89PNG\r\n\x1a\n")) return "png";
    if (head.startsWith("BM")) return "bmp";
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a")) return "gif";
    // An icon directory: reserved 0, type 1 (icon) or 2 (cursor, which the
    // toolkit's icon reader takes too), some images.
    if (head.size() >= 6 && head.startsWith(QByteArray("\0\0", 2)) && (head[2] == 1 || head[2] == 2) &&
        head[3] == 0 && (head[4] != 0 || head[5] != 0))
        return "ico";
    return {};
}

QImage loadProgramPicture(const QString& path) {
    QFile file;
    if (!openPictureFile(file, path)) return {};
    const QByteArray format = pictureFormatOf(file.peek(16));
    if (format.isEmpty()) return {};
    QImageReader reader(&file, format);
    // Without this the reader still asks every plug-in about the content
    // before it takes a handler it has built in (PNG, BMP).
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(kLeastDecodedPictureLimitMb);
    return reader.read();
}

QImage loadBuiltInPicture(const QString& path, int allocationLimitMb, JpegCornerHandOff* corner,
                          const std::atomic<bool>* stop) {
    // Whoever waits for a corner hears of it whichever way this ends.
    struct NoCorner {
        JpegCornerHandOff* handOff;
        ~NoCorner() {
            if (handOff) handOff->hand(QImage());
        }
    } noCorner{corner};
    QFile file;
    if (!openPictureFile(file, path)) return {};
    // Metafiles are drawings, not bitmaps: they go to our own player.
    if (isMetafileName(path)) {
        const QByteArray bytes = file.read(kMetafileReadLimit);
        if (isWmf(bytes)) return renderWmf(bytes);
        file.seek(0);
    }
    int orientation = 1;
    std::shared_ptr<const ColourConversion> colour;
    if (file.peek(3) == kJpegStart) {
        if (!tiledJpegSize(file.peek(kMetadataHead)).isEmpty()) return {};
        const QByteArray bytes = file.readAll();
        const QByteArray head = bytes.left(kMetadataHead);
        const qint64 limit = qint64(allocationLimitMb) * 1024 * 1024;
        orientation = orientationToFollow(head);
        const QByteArray profile = embeddedProfile(head);
        colour = ColourConversion::from(profile);
        QImage image = decodeJpegInParallel(bytes, limit, orientation, colour.get(), corner, stop);
        if (!image.isNull()) return image;
        // Nobody wants it any more: not decoded again another way either.
        if (stop && stop->load()) return {};
        if (const auto cmyk = ColourConversion::from(profile, ColourConversion::Input::InvertedCmyk)) {
            image = decodeCmykJpeg(bytes, *cmyk, limit);
            if (!image.isNull()) return orientedImage(std::move(image), orientation);
        }
        file.seek(0);
    }
    // Only the kinds the built-in route promises, told from the content
    // whatever the name; every other format the toolkit happens to read is
    // the plug-ins' to decode, or nobody's.
    // An icon's directory: 16 bytes for each of up to 256 pictures.
    const QByteArray head = file.peek(6 + 16 * 256);
    const QByteArray format = pictureFormatOf(head);
    if (format.isEmpty() || format == "png") return {};
    if (gifClaimsMoreThanItHolds(file.peek(16), file.size())) return {};
    QImage image;
    {
        // The reader's GIF handler keeps its own reference to the picture:
        // it goes first, so the conversion below can work in place.
        QImageReader reader(&file, format);
        reader.setAutoDetectImageFormat(false);
        reader.setAutoTransform(false);
        reader.setAllocationLimit(allocationLimitMb);
        if (format == "ico") chooseLargestIcon(reader, head);
        image = reader.read();
    }
    if (image.isNull()) return {};
    // Paletted and odd formats are drawn much faster once converted. In
    // place where the pixel size stays (a GIF's ARGB32 above all), so a
    // large picture is never held twice.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return orientedImage(convertedPicture(std::move(image), colour.get()), orientation);
}

} // namespace orbet
