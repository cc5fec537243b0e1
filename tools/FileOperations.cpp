#include "tools/FileOperations.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "navigation/TreePaths.h"
#include "platform/AtomicWrite.h"
#include "platform/NativePath.h"
#include "platform/Volumes.h"

namespace orbet {

namespace fs = std::filesystem;

namespace {

// Paths are held in the escaped form and reach the disk as their bytes.
QByteArray native(const QString& path) { return toNative(path); }
QString shown(const fs::path& p) { return fromNative(QByteArray::fromStdString(p.string())); }

bool isVolumeRoot(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    return PlusEn(volumeRootOf(clean)) == PlusEn(clean);
}

// The canonical form of a path that may not exist yet: the deepest existing
// ancestor resolved, the rest appended as typed.
QString canonicalAsFarAsItExists(const QString& path) {
    QString head = absoluteCleanPath(path);
    QStringList tail;
    while (!pathFacts(head).exists && head != QLatin1String("/")) {
        tail.prepend(nativeFileName(head));
        head = head.left(qMax<qsizetype>(head.lastIndexOf(u'/'), 1));
    }
    QString out = canonicalNativePath(head);
    if (out.isEmpty()) out = head;
    for (const QString& name : tail) out = PlusEn(out) + name;
    return out;
}

// Every mount point of this machine, pseudo file systems and bind mounts
// included, in the kernel's byte form.
std::set<std::string> mountPoints() {
    std::set<std::string> out;
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly)) return out;
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 5) continue;
        const QByteArray& escaped = fields[4];
        std::string point;
        for (qsizetype i = 0; i < escaped.size(); ++i) {
            if (escaped[i] == '\\' && i + 3 < escaped.size()) {
                point += char(escaped.mid(i + 1, 3).toInt(nullptr, 8));
                i += 3;
            } else {
                point += escaped[i];
            }
        }
        out.insert(point);
    }
    return out;
}

// Copies one file's bytes through a writer beside the target; the target
// takes the source's permissions.
bool copyBytes(const QByteArray& source, const QByteArray& target, QString* error) {
    const int in = ::open(source.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st {};
    ::fstat(in, &st);
    AtomicWriter out(target);
    bool ok = out.open();
    char buffer[1 << 16];
    while (ok) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
            ::close(in);
            return false;
        }
        if (n == 0) break;
        ok = out.write(buffer, n);
    }
    ::close(in);
    ok = ok && out.commit();
    if (!ok) {
        if (error) *error = out.errorString();
        return false;
    }
    ::chmod(target.constData(), st.st_mode & 07777);
    return true;
}

void copyTree(const fs::path& from, const fs::path& to, bool replace, TreeCopyReport& report) {
    std::error_code ec;
    fs::directory_iterator it(from, ec), end;
    if (ec) {
        report.failed.append(shown(to));
        return;
    }
    for (; it != end; it.increment(ec)) {
        const fs::path source = it->path();
        const fs::path target = to / source.filename();
        const fs::file_status status = fs::symlink_status(source, ec);
        const bool exists = fs::exists(fs::symlink_status(target, ec));
        if (fs::is_directory(status)) {
            if (!fs::is_directory(fs::symlink_status(target, ec)) && !fs::create_directory(target, ec)) {
                report.failed.append(shown(target));
                continue;
            }
            copyTree(source, target, replace, report);
        } else if (exists && !replace) {
            report.kept.append(shown(target));
        } else if (fs::is_symlink(status)) {
            std::error_code copyError;
            if (exists) fs::remove(target, copyError);
            if (!copyError) fs::copy_symlink(source, target, copyError);
            (copyError ? report.failed : report.copied).append(shown(target));
        } else if (fs::is_regular_file(status) && !fs::is_directory(fs::symlink_status(target, ec)) &&
                   copyBytes(QByteArray::fromStdString(source.string()), QByteArray::fromStdString(target.string()),
                             nullptr)) {
            report.copied.append(shown(target));
        } else {
            report.failed.append(shown(target));
        }
    }
}

// False when something below dir stays (a mount, or an entry that failed).
bool removeBelow(const fs::path& dir, dev_t device, const std::set<std::string>& mounts, TreeRemoveReport& report) {
    struct stat st {};
    // A folder the user cannot write would keep its entries.
    if (::lstat(dir.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) ::chmod(dir.c_str(), (st.st_mode & 07777) | S_IWUSR);
    std::error_code ec;
    fs::directory_iterator it(dir, ec), end;
    if (ec) {
        report.failed.append(shown(dir));
        return false;
    }
    bool emptied = true;
    for (; it != end; it.increment(ec)) {
        const fs::path entry = it->path();
        if (::lstat(entry.c_str(), &st) != 0) {
            report.failed.append(shown(entry));
            emptied = false;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            if (st.st_dev != device || mounts.count(entry.string())) {
                report.mounts.append(shown(entry));
                emptied = false;
                continue;
            }
            if (!removeBelow(entry, device, mounts, report)) {
                emptied = false;
            } else if (::rmdir(entry.c_str()) != 0) {
                report.failed.append(shown(entry));
                emptied = false;
            }
        } else if (::unlink(entry.c_str()) != 0) {
            report.failed.append(shown(entry));
            emptied = false;
        }
    }
    return emptied;
}

}  // namespace

bool isCopyProtected(const QString& path) {
    const QString tail = path.right(3);
    return tail == QLatin1String("BAT") || tail == QLatin1String("bat") || tail == QLatin1String("INI") ||
           tail == QLatin1String("ini");
}

bool isWriteProtected(const QString& path) {
    const QByteArray p = native(path);
    struct stat st {};
    if (p.isEmpty() || ::stat(p.constData(), &st) != 0) return false;
    if (!(st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) return true;
    return ::access(p.constData(), W_OK) != 0;
}

bool copyFileReplacing(const QString& source, const QString& target, QString* error) {
    return copyBytes(native(source), native(target), error);
}

QString resolveDestination(const QString& typed, const QString& currentFolder) {
    QString path = typed.trimmed();
    if (path.isEmpty()) return {};
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/"))) path = QDir::homePath() + path.mid(1);
    return absoluteCleanPath(path.startsWith(u'/') ? path : PlusEn(absoluteCleanPath(currentFolder)) + path);
}

QStringList missingFolders(const QString& destination) {
    QStringList missing;
    const QString clean = QDir::cleanPath(destination);
    QString walked = volumeRootOf(clean);
    for (const QString& name : clean.mid(walked.size()).split(u'/', Qt::SkipEmptyParts)) {
        walked = PlusEn(walked) + name;
        if (!pathFacts(walked).isDir) missing.append(walked);
    }
    return missing;
}

QString treeCopyTarget(const QString& source, const QString& destination) {
    if (isVolumeRoot(destination)) return PlusEn(QDir::cleanPath(destination)) + nativeFileName(QDir::cleanPath(source));
    return QDir::cleanPath(destination);
}

bool isSameOrInside(const QString& inner, const QString& folder) {
    return isPathPrefix(canonicalAsFarAsItExists(folder), canonicalAsFarAsItExists(inner));
}

TreeCopyReport copyFolderTree(const QString& source, const QString& destination, bool replace) {
    TreeCopyReport report;
    const QString target = treeCopyTarget(source, destination);
    std::error_code ec;
    const fs::path to(native(target).toStdString());
    fs::create_directories(to, ec);
    if (!fs::is_directory(to, ec)) {
        report.failed.append(target);
        return report;
    }
    copyTree(fs::path(native(QDir::cleanPath(source)).toStdString()), to, replace, report);
    return report;
}

RemoveRefusal removeRefusal(const QString& folder) {
    const QString clean = canonicalAsFarAsItExists(folder);
    if (isVolumeRoot(clean) || mountPoints().count(native(clean).toStdString())) return RemoveRefusal::VolumeRoot;
    const QString home = canonicalAsFarAsItExists(QDir::homePath());
    if (isPathPrefix(clean, home)) return RemoveRefusal::Home;
    return RemoveRefusal::None;
}

TreeRemoveReport removeFolderTree(const QString& folder) {
    TreeRemoveReport report;
    const QByteArray typed = native(QDir::cleanPath(folder));
    struct stat st {};
    if (::lstat(typed.constData(), &st) != 0) {
        report.failed.append(folder);
        return report;
    }
    // A link to a folder goes as a link; what it points to is not ours.
    if (S_ISLNK(st.st_mode)) {
        if (::unlink(typed.constData()) != 0) report.failed.append(folder);
        return report;
    }
    report.refusal = removeRefusal(folder);
    if (report.refusal != RemoveRefusal::None) return report;
    const fs::path top(native(canonicalAsFarAsItExists(folder)).toStdString());
    if (removeBelow(top, st.st_dev, mountPoints(), report) && ::rmdir(top.c_str()) != 0) report.failed.append(folder);
    return report;
}

}  // namespace orbet
