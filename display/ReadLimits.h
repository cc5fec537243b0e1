#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

namespace orbet {

// How much of one file a pane reads. A file may be a sparse file of many
// gigabytes, or a picture whose few bytes decode to more than the machine
// holds; past these limits a pane shows part of it, or refuses it with a
// message, rather than ending the program.

// The text pane shows at most this much of a file; a text control slows to a
// crawl well before the machine runs out of memory.
constexpr qint64 kTextReadLimit = 16 * 1024 * 1024;
inline constexpr const char* kTextReadLimitText = "16MB";

// No picture file this large is decoded, built-in or by the plug-ins.
constexpr qint64 kPictureFileLimit = 512LL * 1024 * 1024;
// Nor one whose decoded pixels (4 bytes each) would pass this, as far as its
// header says: a quarter of the machine's memory, and never less than 64 Mi
// pixels, twice what the largest screens show. Hostile size claims are
// refused before anything is allocated (below, and by the readers); a real
// photo is shown whatever its size, as far as the machine holds it. Large
// built-in JPEGs are never decoded whole at full size (JpegTiles).
constexpr int kLeastDecodedPictureLimitMb = 256;
int decodedPictureLimitMb();

// True when a GIF's header claims more pixels than its data could ever fill:
// a code of the compressed data stands for at most 4096 pixels and takes at
// least 3 bits, so a file of n bytes holds at most n * 8 / 3 * 4096 pixels.
// A few bytes claiming a picture of gigabytes are refused before anything is
// allocated. False for anything that is not a GIF.
bool gifClaimsMoreThanItHolds(const QByteArray& head, qint64 fileSize);

// True when a picture file passes either limit; reads the header only. A
// JPEG shown by tiles never does.
bool pictureTooLarge(const QString& path, int limitMb = decodedPictureLimitMb());

// The part of a text file a pane shows: its first kTextReadLimit bytes, read
// by the path's bytes, and whether more was left. Nothing for what cannot be
// read, and for pipes and devices, which may never end or never start.
struct BoundedText {
    QByteArray bytes;
    bool cut = false;
};
std::optional<BoundedText> readBoundedText(const QString& path, qint64 limit = kTextReadLimit);
// What the user is told when a text was cut at the limit.
QString textCutMessage();

// Whether a text control may wrap the text: wrapping a line of megabytes
// costs minutes, so text with a line longer than this (binary files shown as
// text above all) is shown unwrapped.
constexpr qsizetype kLongestWrappedLine = 4096;
bool wrapsWell(const QString& text);

} // namespace orbet
