#include "platform/AtomicWrite.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/NativePath.h"

namespace orbet {

namespace {

constexpr qsizetype kBufferSize = 1 << 20;

// A link is followed so that a settings file kept elsewhere through a link
// stays where the user put it, and the link stays a link.
QByteArray resolveLink(const QByteArray& path) {
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* real = ::realpath(path.constData(), nullptr);
    if (!real) return path;
    QByteArray out(real);
    std::free(real);
    return out;
}

}  // namespace

AtomicWriter::AtomicWriter(const QString& path) : AtomicWriter(toNative(path)) {}

AtomicWriter::AtomicWriter(const QByteArray& nativePath) : target_(resolveLink(nativePath)) {}

AtomicWriter::~AtomicWriter() { discard(); }

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
    const int slash = target_.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target_.left(slash + 1);
    const QByteArray name = slash < 0 ? target_ : target_.mid(slash + 1);
    if (name.isEmpty()) return fail(EISDIR);
    QByteArray pattern = folder + '.' + name + ".XXXXXX";
    if (slash < 0) pattern = '.' + name + ".XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) return fail(errno);
    temp_ = pattern;

    // The new file takes the old one's permissions, or the ordinary ones of a
    // new file, not mkstemp's private 0600.
    struct stat st {};
    mode_t mode;
    if (::stat(target_.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return fail(EISDIR);
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd_, mode) != 0) return fail(errno);
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
    if (::fsync(fd_) != 0 && errno != EINVAL) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp_.constData());
        temp_.clear();
        return fail(err);
    }
    if (::rename(temp_.constData(), target_.constData()) != 0) {
        const int err = errno;
        ::unlink(temp_.constData());
        temp_.clear();
        return fail(err);
    }
    temp_.clear();
    return true;
}

void AtomicWriter::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.isEmpty()) {
        ::unlink(temp_.constData());
        temp_.clear();
    }
    buffer_.clear();
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    AtomicWriter w(path);
    const bool ok = w.open() && w.write(bytes) && w.commit();
    if (!ok && error) *error = w.errorString();
    return ok;
}

}  // namespace orbet
