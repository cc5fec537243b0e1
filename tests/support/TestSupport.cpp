#include "support/TestSupport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <sys/mount.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace orbet::test {

QString testData(const QString& relative) {
    return QStringLiteral(ORBET_TESTDATA "/") + relative;
}

QString buildDir() {
    return QStringLiteral(ORBET_BUILD_DIR);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return f.write(bytes) == bytes.size();
}

ByteNamedFolder::ByteNamedFolder() = default;

ByteNamedFolder::~ByteNamedFolder() {
    std::error_code ignored;
    if (folder_.isValid()) std::filesystem::remove_all(nativePath().toStdString(), ignored);
}

QByteArray ByteNamedFolder::nativePath() const {
    return QFile::encodeName(folder_.path()) + '/';
}

bool ByteNamedFolder::writeNative(const QByteArray& relative, const QByteArray& bytes) const {
    std::ofstream out((nativePath() + relative).toStdString(), std::ios::binary | std::ios::trunc);
    out.write(bytes.constData(), std::streamsize(bytes.size()));
    return bool(out.flush());
}

bool ByteNamedFolder::makeFolderNative(const QByteArray& relative) const {
    return ::mkdir((nativePath() + relative).constData(), 0777) == 0;
}

bool ByteNamedFolder::existsNative(const QByteArray& relative) const {
    struct stat st {};
    return ::lstat((nativePath() + relative).constData(), &st) == 0;
}

QByteArray ByteNamedFolder::readNative(const QByteArray& relative) const {
    std::ifstream in((nativePath() + relative).toStdString(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return QByteArray::fromStdString(bytes);
}

SmallFileSystem::SmallFileSystem(int kilobytes) {
    const QByteArray where = QFile::encodeName(folder_.path());
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0) {
        mounted_ = true;
    } else {
        reason_ = QStringLiteral("cannot mount a small file system here: ") +
                  QString::fromLocal8Bit(std::strerror(errno));
    }
}

SmallFileSystem::~SmallFileSystem() {
    if (mounted_) ::umount2(QFile::encodeName(folder_.path()).constData(), MNT_DETACH);
}

void SmallFileSystem::fill() {
    QFile f(folder_.filePath(QStringLiteral(".filler")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return;
    const QByteArray block(4096, 'x');
    while (f.write(block) > 0) {
    }
    // A file system rounds to blocks; the last bytes go one at a time.
    while (f.write("x", 1) > 0) {
    }
}

namespace {

struct WinePrefixFolder {
    QTemporaryDir folder;
    QString prefix() const { return folder.filePath(QStringLiteral("wine")); }
    ~WinePrefixFolder() {
        if (!QFileInfo::exists(prefix())) return;
        const QByteArray stop = "WINEPREFIX='" + QFile::encodeName(prefix()) +
                                "' sh -c 'wineserver -k; wineserver -w' >/dev/null 2>&1";
        // Whatever the answer, the folder goes with the temporary folder.
        [[maybe_unused]] const int status = std::system(stop.constData());
    }
};

} // namespace

QString sharedWinePrefix() {
    static WinePrefixFolder shared;
    return shared.prefix();
}

} // namespace orbet::test
