#pragma once

#include <QtGlobal>

class QString;

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
// header says.
constexpr int kDecodedPictureLimitMb = 1024;

// True when a picture file passes either limit; reads the header only.
bool pictureTooLarge(const QString& path);

}  // namespace orbet
