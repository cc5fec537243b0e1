#include "platform/FileAttributes.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orbet {

bool isHiddenName(const QString& name) {
    return name.startsWith(u'.') && name != QLatin1String(".") && name != QLatin1String("..");
}

Attributes attributesOf(const QString& path) {
    const QString cleaned = QDir::cleanPath(path);
    const QFileInfo info(cleaned);
    if (cleaned.isEmpty() || !info.exists()) return {};
    Attributes a;
    a.hidden = isHiddenName(info.fileName());
    a.directory = info.isDir();
    // access() rather than the permission bits, so that ownership, groups,
    // ACLs and read-only mounts all count the way they do for the user.
    a.readOnly = ::access(QFile::encodeName(cleaned).constData(), W_OK) != 0;
    return a;
}

bool existsAsFileOrFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool isFolder(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

qint64 fileLength(const QString& path) {
    if (path.isEmpty()) return -1;
    const QFileInfo info(path);
    if (!info.exists()) return -1;
    if (info.isDir()) return 0;
    return info.size();
}

} // namespace orbet
