#include "support/TestSupport.h"

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

#include <QFile>

namespace orbet::test {

QString testData(const QString& relative) { return QStringLiteral(ORBET_TESTDATA "/") + relative; }

QString buildDir() { return QStringLiteral(ORBET_BUILD_DIR); }

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

SmallFileSystem::SmallFileSystem(int kilobytes) {
    const QByteArray where = QFile::encodeName(folder_.path());
    const QByteArray options = "size=" + QByteArray::number(kilobytes) + "k";
    if (::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0) {
        mounted_ = true;
    } else {
        reason_ = QStringLiteral("cannot mount a small file system here: ") + QString::fromLocal8Bit(std::strerror(errno));
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

}  // namespace orbet::test
