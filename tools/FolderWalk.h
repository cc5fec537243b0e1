#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include <QByteArray>

#include "tools/SearchEntries.h"

namespace orbet {

struct WalkOptions {
    // The search root as the file system knows it; a final separator is
    // allowed ("/" is the file system's root).
    QByteArray root;
    bool folders = true;     // list folders ("ディレクトリ" or "両方")
    bool files = false;      // list files ("ファイル" or "両方")
    bool subfolders = false; // descend into every listed folder
    // Entries per batch at most; the first batch goes out as soon as the
    // root has been listed, later ones also when `batchMilliseconds` passed.
    int batchEntries = 8192;
    int batchMilliseconds = 50;
    // Called with a folder's path just before it is listed. A seam for tests
    // (a folder that vanishes mid-walk); empty in the program.
    std::function<void(const QByteArray& folder)> beforeListing;
};

struct WalkSummary {
    std::uint32_t entries = 0;
    std::uint32_t folders = 0; // the root included
    std::uint32_t files = 0;
    std::uint32_t unreadable = 0; // folders whose listing failed and were skipped
    bool cancelled = false;
};

// The breadth-first walk: the root's entry first, then the entries of each
// listed folder in the order the folders were listed, so every folder's
// entries come before those of its subfolders. Symbolic links to folders are
// listed but never followed, so a link loop cannot make the walk endless.
// Runs on the caller's thread; `cancel` is polled after every entry.
WalkSummary walkFolders(const WalkOptions& options, const std::atomic<bool>& cancel,
                        const std::function<void(SearchBatch&&)>& deliver);

} // namespace orbet
