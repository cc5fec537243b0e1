#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QString>

#include "navigation/FolderProbe.h"

namespace orbet {

// One reading of a folder: every entry's name, as the disk spells it, and
// its kind. The file list, the hidden folder list and the tree's probes all
// take their answers from it, so a folder is read from disk once however
// many of them ask, and a change of pattern or attribute switch only
// filters again what was read.
struct FolderSnapshot {
    enum class Kind : std::uint8_t {
        File,   // a regular file, or a link to one
        Folder, // a folder, or a link to one
        Other,  // a device, pipe or socket (or a link to one)
        Broken, // a link that leads nowhere
    };
    struct Entry {
        std::uint32_t offset; // into names
        std::uint32_t length;
        Kind kind;
    };

    QString folder;   // the path read, cleaned
    QByteArray names; // every name, each followed by a NUL
    std::vector<Entry> entries;

    const char* name(const Entry& e) const { return names.constData() + e.offset; }
    // True when some entry is a folder; "." names count only when asked.
    bool hasSubfolder(bool includeHidden) const;

    // What the folder looked like when it was read, to tell a change since.
    std::uint64_t device = 0, inode = 0;
    std::int64_t modifiedNs = 0;
    // Changed so shortly before the reading that a later change could carry
    // the same time stamp: such a reading is never taken again.
    bool racy = false;
    std::uint64_t turn = 0; // the event-loop turn it was read in
};

// When a stored reading may stand in for a new one. Every kind of reuse
// asks the disk first whether the folder is still the one read (one stat).
enum class FolderReuse {
    Unchanged,  // any stored reading of the folder that still holds
    JustLearnt, // only one taken in this turn of the event loop: a new visit
    Never,      // read afresh (the refresh command)
};

// The folder's entries; null when it cannot be read, status says why.
std::shared_ptr<const FolderSnapshot> readFolder(const QString& folder, FolderReuse reuse,
                                                 FolderStatus* status = nullptr);

// A stored reading that still holds, without reading the disk; else null.
std::shared_ptr<const FolderSnapshot> storedFolder(const QString& folder);

// True when the folder has a subfolder: from a stored reading when there is
// one, else by reading until the first subfolder (a reading that reaches the
// end is kept for the listing that usually follows).
bool probeSubfolder(const QString& folder, bool includeHidden);

// True when reading the folder may hold the window longer than a frame:
// its directory takes more than a megabyte on disk (some forty thousand
// entries). The lists read such a folder on a worker thread.
bool isLargeFolder(const QString& folder);

// Test seam: called with the folder each time one is read from disk.
void setFolderReadObserver(std::function<void(const QString&)> observer);

} // namespace orbet
