#include "tools/FileOperations.h"

#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "navigation/TreePaths.h"
#include "platform/Volumes.h"

namespace orbet {

namespace fs = std::filesystem;

namespace {

fs::path native(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }

bool isVolumeRoot(const QString& path) {
    return PlusEn(volumeRootOf(QDir::cleanPath(path))) == PlusEn(QDir::cleanPath(path));
}

// True when inner is folder or lies below it.
bool isInside(const QString& inner, const QString& folder) {
    const QString a = PlusEn(QFileInfo(inner).absoluteFilePath());
    const QString b = PlusEn(QFileInfo(folder).absoluteFilePath());
    return a.startsWith(b);
}

}  // namespace

bool isCopyProtected(const QString& path) {
    const QString tail = path.right(3);
    return tail == QLatin1String("BAT") || tail == QLatin1String("bat") || tail == QLatin1String("INI") ||
           tail == QLatin1String("ini");
}

bool copyFileReplacing(const QString& source, const QString& target, QString* error) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error) *error = in.errorString();
        return false;
    }
    QTemporaryFile out(QFileInfo(target).absolutePath() + QStringLiteral("/.orbet-copy-XXXXXX"));
    if (!out.open()) {
        if (error) *error = out.errorString();
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            if (error) *error = out.errorString();
            return false;
        }
    }
    out.setPermissions(in.permissions());
    if (!out.flush()) return false;
    std::error_code ec;
    fs::rename(native(out.fileName()), native(target), ec);
    if (ec) {
        if (error) *error = QString::fromStdString(ec.message());
        return false;
    }
    out.setAutoRemove(false);
    return true;
}

QStringList missingFolders(const QString& destination) {
    QStringList missing;
    const QString clean = QDir::cleanPath(destination);
    QString walked = volumeRootOf(clean);
    for (const QString& name : clean.mid(walked.size()).split(u'/', Qt::SkipEmptyParts)) {
        walked = PlusEn(walked) + name;
        if (!QFileInfo(walked).isDir()) missing.append(walked);
    }
    return missing;
}

bool copyFolderTree(const QString& source, const QString& destination, bool replace, QString* error) {
    QString target = destination;
    if (isVolumeRoot(destination)) target = PlusEn(destination) + QFileInfo(source).fileName();
    if (isInside(target, source)) {
        if (error) *error = QStringLiteral("the destination lies inside the folder being copied");
        return false;
    }
    std::error_code ec;
    const auto options = fs::copy_options::recursive | fs::copy_options::copy_symlinks |
                         (replace ? fs::copy_options::overwrite_existing : fs::copy_options::skip_existing);
    fs::create_directories(native(target), ec);
    if (!ec) fs::copy(native(source), native(target), options, ec);
    if (ec && error) *error = QString::fromStdString(ec.message());
    return !ec;
}

bool removeFolderTree(const QString& folder, QString* error) {
    if (isVolumeRoot(folder)) {
        if (error) *error = QStringLiteral("a volume root is never deleted");
        return false;
    }
    std::error_code ec;
    fs::remove_all(native(QDir::cleanPath(folder)), ec);
    if (ec && error) *error = QString::fromStdString(ec.message());
    return !ec;
}

}  // namespace orbet
