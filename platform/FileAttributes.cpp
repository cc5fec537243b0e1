#include "platform/FileAttributes.h"

#include <unistd.h>

#include <QDir>

#include "platform/NativePath.h"

namespace orbet {

bool isHiddenName(const QString& name) {
    return name.startsWith(u'.') && name != QLatin1String(".") && name != QLatin1String("..");
}

Attributes attributesOf(const QString& path) {
    const QString cleaned = QDir::cleanPath(path);
    const PathFacts facts = pathFacts(cleaned);
    if (cleaned.isEmpty() || !facts.exists) return {};
    Attributes a;
    a.hidden = isHiddenName(cleaned.mid(cleaned.lastIndexOf(u'/') + 1));
    a.directory = facts.isDir;
    // access() rather than the permission bits, so that ownership, groups,
    // ACLs and read-only mounts all count the way they do for the user.
    a.readOnly = ::access(toNative(cleaned).constData(), W_OK) != 0;
    return a;
}

bool existsAsFileOrFolder(const QString& path) {
    return pathFacts(path).exists;
}

bool isFolder(const QString& path) {
    return pathFacts(path).isDir;
}

qint64 fileLength(const QString& path) {
    const PathFacts facts = pathFacts(path);
    return facts.exists ? facts.size : -1;
}

} // namespace orbet
