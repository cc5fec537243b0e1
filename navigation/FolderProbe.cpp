#include "navigation/FolderProbe.h"

#include <algorithm>
#include <cerrno>

#include <dirent.h>
#include <sys/stat.h>

#include "platform/NativePath.h"

#include "navigation/FolderSnapshot.h"

namespace orbet {

namespace {

// Reads directory entries with their types, stat-ing only where the
// listing does not say (links and file systems without d_type).
template <typename Visit> FolderStatus forEachEntry(const QString& folder, Visit visit) {
    const QByteArray native = toNative(folder);
    DIR* dir = ::opendir(native.constData());
    if (!dir) return folderStatusFromError(errno);
    const QByteArray prefix = native.endsWith('/') ? native : native + '/';
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        bool isDir = e->d_type == DT_DIR;
        if (e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
            struct stat st {};
            isDir = ::stat((prefix + name).constData(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        if (!visit(name, isDir)) break;
    }
    ::closedir(dir);
    return FolderStatus::Ok;
}

QString PlusEnPath(const QString& p) {
    return p.endsWith(u'/') ? p : p + u'/';
}

} // namespace

QString resolveIgnoringCase(const QString& path) {
    if (!path.startsWith(u'/')) return {};
    QString resolved = QStringLiteral("/");
    for (const QString& name : path.split(u'/', Qt::SkipEmptyParts)) {
        const QString exact = PlusEnPath(resolved) + name;
        struct stat st {};
        if (::stat(toNative(exact).constData(), &st) == 0) {
            resolved = exact;
            continue;
        }
        QString match;
        forEachEntry(resolved, [&](const char* entry, bool) {
            const QString candidate = fromNative(entry);
            if (candidate.compare(name, Qt::CaseInsensitive) != 0) return true;
            match = candidate;
            return false;
        });
        if (match.isEmpty()) return {};
        resolved = PlusEnPath(resolved) + match;
    }
    return resolved;
}

bool lessIgnoringCase(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

FolderStatus folderStatusFromError(int error) {
    switch (error) {
    case 0:
        return FolderStatus::Ok;
    case ENOENT:
    case ENOTDIR:
        return FolderStatus::NotFound;
    case EIO:
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN:
        return FolderStatus::DeviceNotReady;
    default:
        return FolderStatus::OtherFailure;
    }
}

FolderStatus probeFolder(const QString& path) {
    DIR* dir = ::opendir(toNative(path).constData());
    if (!dir) return folderStatusFromError(errno);
    ::closedir(dir);
    return FolderStatus::Ok;
}

std::vector<Subfolder> listSubfolders(const QString& folder, bool includeHidden, FolderStatus* status) {
    std::vector<Subfolder> out;
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    const auto snapshot = readFolder(folder, FolderReuse::Unchanged, status);
    if (!snapshot) return out;
    for (const FolderSnapshot::Entry& e : snapshot->entries) {
        if (e.kind != FolderSnapshot::Kind::Folder) continue;
        const char* name = snapshot->name(e);
        const bool hidden = name[0] == '.';
        if (hidden && !includeHidden) continue;
        out.push_back({prefix + fromNative(name), hidden});
    }
    std::sort(out.begin(), out.end(),
              [](const Subfolder& a, const Subfolder& b) { return lessIgnoringCase(a.path, b.path); });
    return out;
}

QStringList subfolderPaths(const QString& folder) {
    QStringList paths;
    for (Subfolder& s : listSubfolders(folder, false))
        paths.append(std::move(s.path));
    return paths;
}

bool hasSubfolder(const QString& folder, bool includeHidden) {
    return probeSubfolder(folder, includeHidden);
}

} // namespace orbet
