#include "platform/AtomicWrite.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QRandomGenerator>

#include "platform/NativePath.h"

namespace orbet {

namespace {

constexpr qsizetype kBufferSize = 1 << 20;

// Only a link the user made is followed; the target it names is resolved
// here once, so a link planted by someone else never redirects the write.
QByteArray targetFor(const QByteArray& path, LinkAtTarget links) {
    if (links != LinkAtTarget::FollowOwn) return path;
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode) || st.st_uid != ::geteuid()) return path;
    char* real = ::realpath(path.constData(), nullptr);
    if (!real) return path;
    QByteArray out(real);
    std::free(real);
    return out;
}

QByteArray tempName(const QByteArray& name) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray out = '.' + name + '.';
    for (int i = 0; i < 6; ++i)
        out += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return out;
}

} // namespace

AtomicWriter::AtomicWriter(const QString& path, LinkAtTarget links) : AtomicWriter(toNative(path), links) {}

AtomicWriter::AtomicWriter(const QByteArray& nativePath, LinkAtTarget links)
    : target_(targetFor(nativePath, links)) {}

AtomicWriter::AtomicWriter(int folderFd, const QByteArray& name) : target_(name), borrowedFolder_(folderFd) {}

AtomicWriter::~AtomicWriter() {
    discard();
}

bool AtomicWriter::fail(int err) {
    if (errno_ == 0) {
        errno_ = err;
        error_ = QString::fromLocal8Bit(std::strerror(err));
    }
    discard();
    return false;
}

bool AtomicWriter::open() {
    if (target_.isEmpty()) return fail(ENOENT);
    // Everything below is relative to the folder held open, so the new file,
    // the old one's permissions and the rename all concern the same folder.
    if (borrowedFolder_ >= 0) {
        if (target_.contains('/')) return fail(EINVAL);
        folderFd_ = ::fcntl(borrowedFolder_, F_DUPFD_CLOEXEC, 0);
        name_ = target_;
    } else {
        const int slash = target_.lastIndexOf('/');
        const QByteArray folder = slash < 0    ? QByteArray(".")
                                  : slash == 0 ? QByteArray("/")
                                               : target_.left(slash);
        name_ = slash < 0 ? target_ : target_.mid(slash + 1);
        folderFd_ = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    }
    if (folderFd_ < 0) return fail(errno);
    if (name_.isEmpty() || name_ == "." || name_ == "..") return fail(EISDIR);

    for (int attempt = 0; fd_ < 0; ++attempt) {
        const QByteArray temp = tempName(name_);
        fd_ =
            ::openat(folderFd_, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ >= 0)
            temp_ = temp;
        else if (errno != EEXIST || attempt > 100)
            return fail(errno);
    }

    // The new file takes the old one's permissions, or the ordinary ones of a
    // new file, not the private 0600 it was made with. A link at the name is
    // not asked: its target's permissions are not ours to copy.
    struct stat st {};
    if (::fstatat(folderFd_, name_.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISLNK(st.st_mode)) {
        if (S_ISDIR(st.st_mode)) return fail(EISDIR);
        if (!modeGiven_) mode_ = st.st_mode & 07777;
    } else if (!modeGiven_) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode_ = 0666 & ~mask;
    }
    buffer_.reserve(kBufferSize);
    return true;
}

bool AtomicWriter::flushBuffer() {
    const char* p = buffer_.constData();
    qsizetype left = buffer_.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        p += n;
        left -= n;
    }
    buffer_.clear();
    return true;
}

bool AtomicWriter::write(const char* data, qint64 size) {
    if (fd_ < 0) return false;
    if (buffer_.size() + size > kBufferSize) {
        if (!flushBuffer()) return false;
        if (size >= kBufferSize) {
            buffer_ = QByteArray::fromRawData(data, qsizetype(size));
            const bool ok = flushBuffer();
            buffer_ = QByteArray();
            buffer_.reserve(kBufferSize);
            return ok;
        }
    }
    buffer_.append(data, qsizetype(size));
    return true;
}

bool AtomicWriter::commit() {
    if (fd_ < 0) return false;
    if (!flushBuffer()) return false;
    if (::fchmod(fd_, mode_) != 0) return fail(errno);
    if (::fsync(fd_) != 0 && errno != EINVAL) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    if (::renameat(folderFd_, temp_.constData(), folderFd_, name_.constData()) != 0) return fail(errno);
    temp_.clear();
    discard();
    return true;
}

void AtomicWriter::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.isEmpty() && folderFd_ >= 0) ::unlinkat(folderFd_, temp_.constData(), 0);
    temp_.clear();
    if (folderFd_ >= 0) {
        ::close(folderFd_);
        folderFd_ = -1;
    }
    buffer_.clear();
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error, LinkAtTarget links) {
    AtomicWriter w(path, links);
    const bool ok = w.open() && w.write(bytes) && w.commit();
    if (!ok && error) *error = w.errorString();
    return ok;
}

} // namespace orbet
