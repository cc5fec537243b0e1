#include "tools/FileOperations.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include <dirent.h>
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
QByteArray native(const QString& path) {
    return toNative(path);
}

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
    for (const QString& name : tail)
        out = PlusEn(out) + name;
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

QString shownIn(const QByteArray& folder, const char* name) {
    return fromNative(folder + '/' + QByteArray(name));
}

int openFolderAt(int folderFd, const char* name) {
    return ::openat(folderFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The names of a folder held open, read before anything in it changes.
std::vector<QByteArray> namesIn(int folderFd) {
    std::vector<QByteArray> names;
    const int own = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    DIR* dir = own < 0 ? nullptr : ::fdopendir(own);
    if (!dir) {
        if (own >= 0) ::close(own);
        return names;
    }
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    }
    ::closedir(dir);
    return names;
}

// Copies one open file's bytes through a writer beside the target; the new
// file takes the source's permissions before it takes the target's name.
bool copyBytes(int in, int targetFolder, const QByteArray& targetName, QString* error,
               const BytesStep& step = {}) {
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (error) *error = QString::fromLocal8Bit(std::strerror(S_ISDIR(st.st_mode) ? EISDIR : errno));
        return false;
    }
    AtomicWriter out(targetFolder, targetName);
    out.setPermissions(st.st_mode);
    bool ok = out.open();
    char buffer[1 << 16];
    qint64 done = 0;
    while (ok) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (error) *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        if (n == 0) break;
        ok = out.write(buffer, n);
        done += n;
        if (ok && step && !step(done)) {
            out.discard();
            return false;
        }
    }
    ok = ok && out.commit();
    if (!ok && error) *error = out.errorString();
    return ok;
}

// Both folders are held open and every entry is reached relative to them,
// so a name swapped for a link while the copy runs is never followed.
void copyTree(int from, int to, const QByteArray& toPath, bool replace, const FileStep& step,
              TreeCopyReport& report) {
    for (const QByteArray& name : namesIn(from)) {
        if (report.stopped) return;
        const QString shownTarget = shownIn(toPath, name.constData());
        struct stat source {
        }, target{};
        if (::fstatat(from, name.constData(), &source, AT_SYMLINK_NOFOLLOW) != 0) {
            report.failed.append(shownTarget);
            continue;
        }
        const bool exists = ::fstatat(to, name.constData(), &target, AT_SYMLINK_NOFOLLOW) == 0;
        const bool targetIsDir = exists && S_ISDIR(target.st_mode);
        if (S_ISDIR(source.st_mode)) {
            if (!targetIsDir && ::mkdirat(to, name.constData(), 0777) != 0) {
                report.failed.append(shownTarget);
                continue;
            }
            const int subFrom = openFolderAt(from, name.constData());
            const int subTo = openFolderAt(to, name.constData());
            if (subFrom >= 0 && subTo >= 0)
                copyTree(subFrom, subTo, toPath + '/' + name, replace, step, report);
            else
                report.failed.append(shownTarget);
            if (subFrom >= 0) ::close(subFrom);
            if (subTo >= 0) ::close(subTo);
        } else if (step && !step(shownTarget)) {
            report.stopped = true;
        } else if (exists && !replace) {
            report.kept.append(shownTarget);
        } else if (S_ISLNK(source.st_mode)) {
            QByteArray content(qsizetype(source.st_size) + 1, '\0');
            const ssize_t n = ::readlinkat(from, name.constData(), content.data(), size_t(content.size()));
            bool ok = n >= 0 && n < content.size();
            if (ok && exists) ok = ::unlinkat(to, name.constData(), 0) == 0;
            ok = ok && ::symlinkat(content.left(n).constData(), to, name.constData()) == 0;
            (ok ? report.copied : report.failed).append(shownTarget);
        } else {
            const int in = S_ISREG(source.st_mode) && !targetIsDir
                               ? ::openat(from, name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC)
                               : -1;
            const bool ok = in >= 0 && copyBytes(in, to, name, nullptr);
            if (in >= 0) ::close(in);
            (ok ? report.copied : report.failed).append(shownTarget);
        }
    }
}

// Opens a folder the user named. A link the user did not make is not taken
// for the folder (it may lead into someone else's files).
int openNamedFolder(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode) && st.st_uid != ::geteuid() &&
        st.st_uid != 0) {
        errno = ELOOP;
        return -1;
    }
    return ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// False when something below the folder stays (a mount, or an entry that
// failed). Every step is relative to the folder held open: an entry is
// checked, opened without following a link and compared with what the check
// saw, so a subfolder swapped for a link in between is never entered.
bool removeBelow(int folder, const QByteArray& path, dev_t device, const std::set<std::string>& mounts,
                 const std::function<void(const QString&)>& beforeDescent, const FileStep& step,
                 TreeRemoveReport& report) {
    struct stat st {};
    // A folder the user cannot write would keep its entries.
    if (::fstat(folder, &st) == 0 && !(st.st_mode & S_IWUSR))
        ::fchmod(folder, (st.st_mode & 07777) | S_IWUSR);
    bool emptied = true;
    const auto failed = [&](const QByteArray& name) {
        report.failed.append(shownIn(path, name.constData()));
        emptied = false;
    };
    for (const QByteArray& name : namesIn(folder)) {
        if (report.stopped) return false;
        const QByteArray entryPath = path + '/' + name;
        if (::fstatat(folder, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            failed(name);
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            if (step && !step(fromNative(entryPath))) {
                report.stopped = true;
                return false;
            }
            if (::unlinkat(folder, name.constData(), 0) != 0)
                failed(name);
            else
                ++report.removedFiles;
            continue;
        }
        if (st.st_dev != device || mounts.count(entryPath.toStdString())) {
            report.mounts.append(fromNative(entryPath));
            emptied = false;
            continue;
        }
        if (beforeDescent) beforeDescent(fromNative(entryPath));
        const int sub = openFolderAt(folder, name.constData());
        struct stat opened {};
        const bool same = sub >= 0 && ::fstat(sub, &opened) == 0 && opened.st_dev == st.st_dev &&
                          opened.st_ino == st.st_ino;
        const bool below = same && removeBelow(sub, entryPath, device, mounts, beforeDescent, step, report);
        if (sub >= 0) ::close(sub);
        if (!same)
            failed(name);
        else if (!below)
            emptied = false;
        else if (::unlinkat(folder, name.constData(), AT_REMOVEDIR) != 0)
            failed(name);
    }
    return emptied;
}

} // namespace

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

bool copyFileReplacing(const QString& source, const QString& target, QString* error, const BytesStep& step) {
    const QByteArray to = native(target);
    const int slash = int(to.lastIndexOf('/'));
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : to.left(slash);
    const int in = ::open(native(source).constData(), O_RDONLY | O_CLOEXEC);
    const int out = in < 0 ? -1 : ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool ok = out >= 0 && copyBytes(in, out, to.mid(slash + 1), error, step);
    if (out < 0 && error) *error = QString::fromLocal8Bit(std::strerror(errno));
    if (in >= 0) ::close(in);
    if (out >= 0) ::close(out);
    return ok;
}

QString resolveDestination(const QString& typed, const QString& currentFolder) {
    QString path = typed.trimmed();
    if (path.isEmpty()) return {};
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
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
    if (isVolumeRoot(destination))
        return PlusEn(QDir::cleanPath(destination)) + nativeFileName(QDir::cleanPath(source));
    return QDir::cleanPath(destination);
}

bool isSameOrInside(const QString& inner, const QString& folder) {
    return isPathPrefix(canonicalAsFarAsItExists(folder), canonicalAsFarAsItExists(inner));
}

TreeCopyReport copyFolderTree(const QString& source, const QString& destination, bool replace,
                              const FileStep& step) {
    TreeCopyReport report;
    const QString target = treeCopyTarget(source, destination);
    std::error_code ec;
    const QByteArray toPath = native(target);
    fs::create_directories(fs::path(toPath.toStdString()), ec);
    const int from = ::open(native(QDir::cleanPath(source)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int to = openNamedFolder(toPath);
    if (from >= 0 && to >= 0)
        copyTree(from, to, toPath, replace, step, report);
    else
        report.failed.append(target);
    if (from >= 0) ::close(from);
    if (to >= 0) ::close(to);
    return report;
}

RemoveRefusal removeRefusal(const QString& folder) {
    const QString clean = canonicalAsFarAsItExists(folder);
    if (isVolumeRoot(clean) || mountPoints().count(native(clean).toStdString()))
        return RemoveRefusal::VolumeRoot;
    const QString home = canonicalAsFarAsItExists(QDir::homePath());
    if (isPathPrefix(clean, home)) return RemoveRefusal::Home;
    return RemoveRefusal::None;
}

qint64 countTreeFiles(const QString& folder) {
    const int fd = ::open(native(QDir::cleanPath(folder)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat top {};
    if (fd < 0 || ::fstat(fd, &top) != 0) {
        if (fd >= 0) ::close(fd);
        return 0;
    }
    const std::function<qint64(int)> count = [&](int at) {
        qint64 n = 0;
        for (const QByteArray& name : namesIn(at)) {
            struct stat st {};
            if (::fstatat(at, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (!S_ISDIR(st.st_mode)) {
                ++n;
            } else if (st.st_dev == top.st_dev) {
                const int sub = openFolderAt(at, name.constData());
                if (sub < 0) continue;
                n += count(sub);
                ::close(sub);
            }
        }
        return n;
    };
    const qint64 n = count(fd);
    ::close(fd);
    return n;
}

TreeRemoveReport removeFolderTree(const QString& folder,
                                  const std::function<void(const QString&)>& beforeDescent,
                                  const FileStep& step) {
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
    const QByteArray top = native(canonicalAsFarAsItExists(folder));
    const int fd = ::open(top.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat opened {};
    if (fd < 0 || ::fstat(fd, &opened) != 0 || opened.st_dev != st.st_dev || opened.st_ino != st.st_ino) {
        if (fd >= 0) ::close(fd);
        report.failed.append(folder);
        return report;
    }
    const bool emptied = removeBelow(fd, top, st.st_dev, mountPoints(), beforeDescent, step, report);
    ::close(fd);
    if (emptied && ::rmdir(top.constData()) != 0) report.failed.append(folder);
    return report;
}

} // namespace orbet
