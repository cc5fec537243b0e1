#include "tools/FolderWalk.h"

#include <cstring>
#include <deque>
#include <set>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>

#include <QElapsedTimer>

namespace orbet {

namespace {

class Batcher {
  public:
    Batcher(const WalkOptions& o, const std::function<void(SearchBatch&&)>& deliver)
        : o_(o), deliver_(deliver) {
        clock_.start();
    }

    std::uint32_t add(std::uint32_t parent, const char* name, std::size_t length, EntryKind kind) {
        SearchRecord r;
        r.parent = parent;
        r.nameOffset = std::uint32_t(batch_.names.size());
        r.nameLength = std::uint16_t(std::min<std::size_t>(length, 0xFFFF));
        r.kind = kind;
        batch_.names.append(name, r.nameLength);
        batch_.records.push_back(r);
        return next_++;
    }

    void maybeSend(qint64 currentFolder, bool force) {
        if (batch_.records.empty()) return;
        if (!force && int(batch_.records.size()) < o_.batchEntries) {
            // The clock is read now and then only: reading it costs more than adding an entry.
            if ((batch_.records.size() & 63) != 0 || clock_.elapsed() < o_.batchMilliseconds) return;
        }
        batch_.currentFolder = currentFolder;
        deliver_(std::move(batch_));
        batch_ = SearchBatch();
        clock_.restart();
    }

    std::uint32_t count() const { return next_; }

  private:
    const WalkOptions& o_;
    const std::function<void(SearchBatch&&)>& deliver_;
    SearchBatch batch_;
    QElapsedTimer clock_;
    std::uint32_t next_ = 0;
};

EntryKind kindOf(const QByteArray& folder, const dirent* d) {
    unsigned char type = d->d_type;
    if (type == DT_DIR) return EntryKind::Folder;
    if (type != DT_LNK && type != DT_UNKNOWN) return EntryKind::File;
    const QByteArray full = folder + d->d_name;
    struct stat st;
    if (type == DT_UNKNOWN) {
        if (lstat(full.constData(), &st) != 0) return EntryKind::File;
        if (S_ISDIR(st.st_mode)) return EntryKind::Folder;
        if (!S_ISLNK(st.st_mode)) return EntryKind::File;
    }
    return stat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode) ? EntryKind::FolderLink : EntryKind::File;
}

} // namespace

WalkSummary walkFolders(const WalkOptions& o, const std::atomic<bool>& cancel,
                        const std::function<void(SearchBatch&&)>& deliver) {
    WalkSummary summary;
    Batcher out(o, deliver);
    QByteArray rootName = o.root;
    while (rootName.endsWith('/'))
        rootName.chop(1);
    out.add(kNoParent, rootName.constData(), std::size_t(rootName.size()), EntryKind::Folder);
    ++summary.folders;

    struct Pending {
        std::uint32_t entry;
        QByteArray path; // ends with the separator
    };
    std::deque<Pending> queue;
    queue.push_back({0, rootName + '/'});
    std::set<std::pair<dev_t, ino_t>> seen;
    bool first = true;
    while (!queue.empty() && !cancel.load(std::memory_order_relaxed)) {
        const Pending folder = std::move(queue.front());
        queue.pop_front();
        if (o.beforeListing) o.beforeListing(folder.path);
        DIR* dir = opendir(folder.path.constData());
        if (!dir) {
            ++summary.unreadable;
            continue;
        }
        // A folder reached twice (a bind mount of an ancestor) is listed once.
        struct stat st;
        if (fstat(dirfd(dir), &st) == 0 && !seen.insert({st.st_dev, st.st_ino}).second) {
            closedir(dir);
            continue;
        }
        while (const dirent* d = readdir(dir)) {
            if (cancel.load(std::memory_order_relaxed)) break;
            const char* n = d->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
            const EntryKind kind = kindOf(folder.path, d);
            const std::size_t length = std::strlen(n);
            if (kind != EntryKind::File) {
                if (!o.folders) continue;
                const std::uint32_t index = out.add(folder.entry, n, length, kind);
                ++summary.folders;
                if (kind == EntryKind::Folder && o.subfolders)
                    queue.push_back({index, folder.path + n + '/'});
            } else {
                if (!o.files) continue;
                out.add(folder.entry, n, length, kind);
                ++summary.files;
            }
            out.maybeSend(folder.entry, false);
        }
        closedir(dir);
        // The first results go out at once, whatever their number.
        out.maybeSend(-1, first);
        first = false;
        if (!o.subfolders) break;
    }
    out.maybeSend(-1, true);
    summary.cancelled = cancel.load(std::memory_order_relaxed);
    summary.entries = out.count();
    return summary;
}

} // namespace orbet
