#include "platform/NativePath.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStringList>

#include <unicode/ucnv.h>

namespace orbet {

namespace {

constexpr char16_t kEscapeBase = 0xDC00; // byte b (0x80..0xFF) is U+DC00 + b

inline bool isEscape(char16_t c) {
    return c >= 0xDC80 && c <= 0xDCFF;
}

// Length of the valid UTF-8 sequence starting at p (1 to 4), or 0 when the
// byte there does not begin one. Overlong forms, surrogates and code points
// above U+10FFFF are not valid.
int validSequence(const unsigned char* p, qsizetype left, char32_t& cp) {
    const unsigned char b = p[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    auto trail = [&](qsizetype i) { return i < left && (p[i] & 0xC0) == 0x80; };
    if (b >= 0xC2 && b <= 0xDF) {
        if (!trail(1)) return 0;
        cp = char32_t(b & 0x1F) << 6 | (p[1] & 0x3F);
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF) {
        if (!trail(1) || !trail(2)) return 0;
        cp = char32_t(b & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F);
        if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (!trail(1) || !trail(2) || !trail(3)) return 0;
        cp = char32_t(b & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 | char32_t(p[2] & 0x3F) << 6 |
             (p[3] & 0x3F);
        if (cp < 0x10000 || cp > 0x10FFFF) return 0;
        return 4;
    }
    return 0;
}

// The bytes of a component read as code page 932, or a null text when they
// do not decode cleanly there (an invalid or unmapped sequence, a control).
QString decodeCp932(const QByteArray& bytes) {
    // Opening a converter costs more than decoding a name; a listing of
    // thousands of such names keeps one per thread.
    struct Converter {
        UConverter* c = nullptr;
        ~Converter() {
            if (c) ucnv_close(c);
        }
    };
    thread_local Converter kept;
    UErrorCode error = U_ZERO_ERROR;
    if (!kept.c) kept.c = ucnv_open("windows-31j", &error);
    if (!kept.c || U_FAILURE(error)) return {};
    UConverter* converter = kept.c;
    ucnv_reset(converter);
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    QString out(bytes.size() + 1, Qt::Uninitialized);
    const int32_t length = ucnv_toUChars(converter, reinterpret_cast<UChar*>(out.data()), int32_t(out.size()),
                                         bytes.constData(), int32_t(bytes.size()), &error);
    if (U_FAILURE(error)) return {};
    out.truncate(length);
    // ICU swaps a few controls in this table; a name with a control in it is
    // not a Shift_JIS name anyone typed, so it is shown with escapes instead.
    for (const QChar c : out)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return {};
    return out;
}

QString displayComponent(QStringView component) {
    const QString text = component.toString();
    if (!hasEscapedBytes(text)) return text;
    const QString sjis = decodeCp932(toNative(text));
    if (!sjis.isNull()) return sjis;
    QString shown;
    for (const QChar c : component) {
        if (isEscape(c.unicode()))
            shown += QStringLiteral("\\x") + QString::number(c.unicode() - kEscapeBase, 16).toUpper();
        else
            shown += c;
    }
    return shown;
}

qint64 millis(const timespec& t) {
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

} // namespace

QString fromNative(const QByteArray& bytes) {
    if (std::all_of(bytes.cbegin(), bytes.cend(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    QString out;
    out.reserve(n);
    for (qsizetype i = 0; i < n;) {
        char32_t cp = 0;
        const int len = validSequence(p + i, n - i, cp);
        if (len == 0) {
            out.append(QChar(char16_t(kEscapeBase + p[i])));
            ++i;
            continue;
        }
        if (cp < 0x10000) {
            out.append(QChar(char16_t(cp)));
        } else {
            out.append(QChar(char16_t(0xD800 + ((cp - 0x10000) >> 10))));
            out.append(QChar(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF))));
        }
        i += len;
    }
    return out;
}

QString fromNative(const char* bytes) {
    return fromNative(QByteArray(bytes));
}

QByteArray toNative(const QString& path) {
    if (!hasEscapedBytes(path)) return path.toUtf8();
    QByteArray out;
    out.reserve(path.size() * 3);
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = path.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(path.at(i + 1).unicode())) {
            out += QStringView(path).mid(i, 2).toUtf8();
            ++i;
        } else if (isEscape(c)) {
            out += char(c - kEscapeBase);
        } else {
            out += QStringView(path).mid(i, 1).toUtf8();
        }
    }
    return out;
}

bool hasEscapedBytes(const QString& path) {
    const qsizetype n = path.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = path.at(i).unicode();
        if (!isEscape(c)) continue;
        // The low half of a real surrogate pair is a character, not an escape.
        if (i > 0 && QChar::isHighSurrogate(path.at(i - 1).unicode())) continue;
        return true;
    }
    return false;
}

QString displayName(const QString& path) {
    if (!hasEscapedBytes(path)) return path;
    QStringList shown;
    for (const QStringView component : QStringView(path).split(u'/'))
        shown.append(displayComponent(component));
    return shown.join(u'/');
}

QUrl nativeFileUrl(const QString& path) {
    if (!hasEscapedBytes(path)) return QUrl::fromLocalFile(path);
    return QUrl::fromEncoded("file://" + toNative(path).toPercentEncoding("/"), QUrl::StrictMode);
}

QString pathFromFileUrl(const QUrl& url) {
    if (!url.isLocalFile()) return {};
    const QString plain = url.toLocalFile();
    const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return bytes.startsWith('/') && url.host().isEmpty() ? fromNative(bytes) : plain;
}

QString absoluteCleanPath(const QString& path) {
    if (path.isEmpty()) return {};
    if (path.startsWith(u'/')) return QDir::cleanPath(path);
    return QDir::cleanPath(QDir::currentPath() + u'/' + path);
}

QString canonicalNativePath(const QString& path) {
    if (path.isEmpty()) return {};
    char* real = ::realpath(toNative(path).constData(), nullptr);
    if (!real) return {};
    const QString out = fromNative(real);
    std::free(real);
    return out;
}

QString nativeFileName(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

bool openNative(QFile& file, const QString& path, QIODevice::OpenMode mode) {
    if (!hasEscapedBytes(path)) {
        file.setFileName(path);
        return file.open(mode);
    }
    int flags = O_CLOEXEC;
    if ((mode & QIODevice::ReadWrite) == QIODevice::ReadWrite)
        flags |= O_RDWR | O_CREAT;
    else if (mode & QIODevice::WriteOnly)
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
    else
        flags |= O_RDONLY;
    const int fd = ::open(toNative(path).constData(), flags, 0666);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    return file.open(fd, mode, QFileDevice::AutoCloseHandle);
}

PathFacts pathFacts(const QString& path) {
    PathFacts f;
    if (path.isEmpty()) return f;
    const QByteArray native = toNative(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) return f;
    f.isLink = S_ISLNK(st.st_mode);
    if (f.isLink && ::stat(native.constData(), &st) != 0) return f; // a dangling link names nothing
    f.exists = true;
    f.isDir = S_ISDIR(st.st_mode);
    f.isFile = !f.isDir;
    f.isRegular = S_ISREG(st.st_mode);
    f.size = f.isDir ? 0 : qint64(st.st_size);
    f.modifiedMs = millis(st.st_mtim);
    f.accessedMs = millis(st.st_atim);
    f.changedMs = millis(st.st_ctim);
    struct statx sx {};
    if (::statx(AT_FDCWD, native.constData(), 0, STATX_BTIME, &sx) == 0 && (sx.stx_mask & STATX_BTIME))
        f.bornMs = qint64(sx.stx_btime.tv_sec) * 1000 + sx.stx_btime.tv_nsec / 1000000;
    return f;
}

bool removeNativeFile(const QString& path) {
    return !path.isEmpty() && ::unlink(toNative(path).constData()) == 0;
}

bool renameNativeNoReplace(const QString& from, const QString& to) {
    if (from.isEmpty() || to.isEmpty()) return false;
    const QByteArray a = toNative(from);
    const QByteArray b = toNative(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without the no-replace flag: a hard link cannot replace
    // either; where links are refused too, a checked plain rename remains.
    if (::link(a.constData(), b.constData()) == 0) return ::unlink(a.constData()) == 0;
    if (errno == EEXIST) return false;
    struct stat st {};
    if (::lstat(b.constData(), &st) == 0) return false;
    return ::rename(a.constData(), b.constData()) == 0;
}

bool makeNativeFolder(const QString& path) {
    return !path.isEmpty() && ::mkdir(toNative(path).constData(), 0777) == 0;
}

} // namespace orbet
