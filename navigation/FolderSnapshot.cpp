#include "navigation/FolderSnapshot.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>

#include <dirent.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QHash>

#include "platform/NativePath.h"

namespace orbet {

namespace {

std::int64_t nanoseconds(const timespec& t) {
    return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// A time stamp at most this far before the reading may be shared with a
// change made just after it: the kernel stamps with a coarse clock, and
// file systems without nanoseconds stamp whole seconds.
std::int64_t racyWindowNs(std::int64_t modifiedNs) {
    return modifiedNs % 1000000000 == 0 ? 2000000000LL : 100000000LL;
}

// The readings kept: the most recent few, and any still held by a list
// (the current folder's stays as long as the lists show it).
class Store {
  public:
    std::shared_ptr<const FolderSnapshot> find(const QString& key) {
        const auto it = all_.constFind(key);
        return it == all_.constEnd() ? nullptr : it->lock();
    }
    void put(const std::shared_ptr<const FolderSnapshot>& s) {
        all_[s->folder] = s;
        recent_.push_front(s);
        if (recent_.size() > kRecent) recent_.pop_back();
        if (std::size_t(all_.size()) > 4 * kRecent) {
            all_.removeIf([](const auto& it) { return it.value().expired(); });
        }
        // A turn of the event loop ends when control gets back to it; a
        // reading stored now is "just learnt" until then.
        if (!turnEndPosted_ && QCoreApplication::instance()) {
            turnEndPosted_ = true;
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [this] {
                    const std::lock_guard lock(mutex);
                    ++turn;
                    turnEndPosted_ = false;
                },
                Qt::QueuedConnection);
        }
    }

    std::mutex mutex;
    std::uint64_t turn = 1;
    std::function<void(const QString&)> observer;

  private:
    static constexpr std::size_t kRecent = 32;
    QHash<QString, std::weak_ptr<const FolderSnapshot>> all_;
    std::deque<std::shared_ptr<const FolderSnapshot>> recent_;
    bool turnEndPosted_ = false;
};

Store& store() {
    static Store s;
    return s;
}

QString keyOf(const QString& folder) {
    return QDir::cleanPath(folder);
}

bool stillHolds(const FolderSnapshot& s, const QByteArray& native) {
    if (s.racy) return false;
    struct stat st {};
    if (::stat(native.constData(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return std::uint64_t(st.st_dev) == s.device && std::uint64_t(st.st_ino) == s.inode &&
           nanoseconds(st.st_mtim) == s.modifiedNs;
}

FolderSnapshot::Kind kindOf(const dirent& e, const QByteArray& prefix) {
    switch (e.d_type) {
    case DT_REG:
        return FolderSnapshot::Kind::File;
    case DT_DIR:
        return FolderSnapshot::Kind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat st {};
        if (::stat((prefix + e.d_name).constData(), &st) != 0) return FolderSnapshot::Kind::Broken;
        if (S_ISDIR(st.st_mode)) return FolderSnapshot::Kind::Folder;
        return S_ISREG(st.st_mode) ? FolderSnapshot::Kind::File : FolderSnapshot::Kind::Other;
    }
    default:
        return FolderSnapshot::Kind::Other;
    }
}

// Reads the folder; with stopAtFolder, only until the first subfolder
// (hidden ones counted when includeHidden). complete says whether every
// entry was read.
std::shared_ptr<FolderSnapshot> readFromDisk(const QString& key, FolderStatus& status, bool stopAtFolder,
                                             bool includeHidden, bool& complete) {
    complete = false;
    const QByteArray native = toNative(key);
    {
        const std::lock_guard lock(store().mutex);
        if (store().observer) store().observer(key);
    }
    timespec started{};
    clock_gettime(CLOCK_REALTIME, &started);
    DIR* dir = ::opendir(native.constData());
    if (!dir) {
        status = folderStatusFromError(errno);
        return nullptr;
    }
    status = FolderStatus::Ok;
    auto s = std::make_shared<FolderSnapshot>();
    s->folder = key;
    struct stat st {};
    if (::fstat(::dirfd(dir), &st) == 0) {
        s->device = std::uint64_t(st.st_dev);
        s->inode = std::uint64_t(st.st_ino);
        s->modifiedNs = nanoseconds(st.st_mtim);
    }
    s->racy = nanoseconds(started) - s->modifiedNs < racyWindowNs(s->modifiedNs);
    const QByteArray prefix = native.endsWith('/') ? native : native + '/';
    complete = true;
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
        const auto length = std::uint32_t(std::strlen(n));
        const FolderSnapshot::Kind kind = kindOf(*e, prefix);
        s->entries.push_back({std::uint32_t(s->names.size()), length, kind});
        s->names.append(n, length + 1);
        if (stopAtFolder && kind == FolderSnapshot::Kind::Folder && (includeHidden || n[0] != '.')) {
            complete = false;
            break;
        }
    }
    ::closedir(dir);
    return s;
}

void keep(const std::shared_ptr<FolderSnapshot>& s) {
    const std::lock_guard lock(store().mutex);
    s->turn = store().turn;
    store().put(s);
}

} // namespace

bool FolderSnapshot::hasSubfolder(bool includeHidden) const {
    for (const Entry& e : entries)
        if (e.kind == Kind::Folder && (includeHidden || name(e)[0] != '.')) return true;
    return false;
}

std::shared_ptr<const FolderSnapshot> storedFolder(const QString& folder) {
    const QString key = keyOf(folder);
    std::shared_ptr<const FolderSnapshot> s;
    {
        const std::lock_guard lock(store().mutex);
        s = store().find(key);
    }
    return s && stillHolds(*s, toNative(key)) ? s : nullptr;
}

std::shared_ptr<const FolderSnapshot> readFolder(const QString& folder, FolderReuse reuse,
                                                 FolderStatus* status) {
    const QString key = keyOf(folder);
    if (reuse != FolderReuse::Never) {
        if (auto s = storedFolder(key)) {
            const std::lock_guard lock(store().mutex);
            if (reuse == FolderReuse::Unchanged || s->turn == store().turn) {
                if (status) *status = FolderStatus::Ok;
                return s;
            }
        }
    }
    FolderStatus st = FolderStatus::Ok;
    bool complete = false;
    auto s = readFromDisk(key, st, false, false, complete);
    if (status) *status = st;
    if (s) keep(s);
    return s;
}

bool probeSubfolder(const QString& folder, bool includeHidden) {
    const QString key = keyOf(folder);
    if (const auto s = storedFolder(key)) return s->hasSubfolder(includeHidden);
    FolderStatus st = FolderStatus::Ok;
    bool complete = false;
    const auto s = readFromDisk(key, st, true, includeHidden, complete);
    if (!s) return false;
    if (complete) {
        keep(s);
        return s->hasSubfolder(includeHidden);
    }
    return true;
}

bool isLargeFolder(const QString& folder) {
    struct stat st {};
    return ::stat(toNative(keyOf(folder)).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_size > (1 << 20);
}

void setFolderReadObserver(std::function<void(const QString&)> observer) {
    const std::lock_guard lock(store().mutex);
    store().observer = std::move(observer);
}

} // namespace orbet
