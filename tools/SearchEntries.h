#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The entries a folder search found, held compactly: a million entries must
// fit in well under 100 bytes each, so an entry keeps the index of its
// folder's entry and its own name's bytes, never a full path.
namespace orbet {

enum class EntryKind : std::uint8_t {
    Folder,     // a folder the walk lists (and descends into when asked)
    FolderLink, // a symbolic link to a folder: listed as a folder, never followed
    File,       // everything that is not a folder
};

struct SearchRecord {
    std::uint32_t parent = 0;     // index of the folder's entry; kNoParent for the root
    std::uint32_t nameOffset = 0; // into the names of the batch or of the store
    std::uint16_t nameLength = 0;
    EntryKind kind = EntryKind::File;
};

inline constexpr std::uint32_t kNoParent = 0xFFFFFFFFu;

// A run of entries the walk hands over at once. Parents are indices into the
// whole result; name offsets are into `names`.
struct SearchBatch {
    std::vector<SearchRecord> records;
    QByteArray names;
    // The entry index of the folder being listed when the batch was cut, or
    // -1 when the walk was between folders.
    qint64 currentFolder = -1;
};

// How a name's bytes are shown: UTF-8 when they are valid, else code page
// 932 when that reads them cleanly, else with each byte that is not text as
// a visible "\xNN"; control characters (a line break) are shown the same way
// so that an entry is always one line.
QString displayName(QByteArrayView bytes);

// The store. An entry's text is its folder's path, its name, the separator
// and the marker "<D>" (folders) or "<F>" (files): "/r/a/<D>", "/r/a.txt/<F>".
// The root's name is the root's own path without its final separator.
class SearchEntries {
  public:
    SearchEntries();
    ~SearchEntries();

    void clear();
    // Appends a batch; records whose parent is not an earlier entry are dropped.
    void append(const SearchBatch& batch);
    // Whether `append` would take every record of `batch`.
    bool takesWhole(const SearchBatch& batch) const;

    std::uint32_t size() const { return std::uint32_t(records_.size()); }
    const SearchRecord& record(std::uint32_t i) const { return records_[i]; }
    QByteArrayView name(std::uint32_t i) const {
        const SearchRecord& r = records_[i];
        return QByteArrayView(blocks_[r.nameOffset / kBlock].get() + r.nameOffset % kBlock, r.nameLength);
    }
    bool isFolder(std::uint32_t i) const { return records_[i].kind != EntryKind::File; }
    std::uint32_t folderCount() const { return folders_; }
    std::uint32_t fileCount() const { return size() - folders_; }

    // The entry's path as the file system knows it (bytes): a folder's ends
    // with the separator, a file's does not.
    QByteArray nativePath(std::uint32_t i) const;
    // The same, as shown.
    QString path(std::uint32_t i) const;
    // The list's line: the path, for a file the separator, then the marker.
    QString text(std::uint32_t i) const;

    // Bytes held, for the benchmark's accounting.
    std::size_t bytesUsed() const;

  private:
    static constexpr std::uint32_t kBlock = 1u << 20;
    std::deque<SearchRecord> records_;
    std::vector<std::unique_ptr<char[]>> blocks_; // names; one never straddles two blocks
    std::uint64_t used_ = 0;                      // bytes of names taken, padding included
    std::uint32_t folders_ = 0;
};

} // namespace orbet
