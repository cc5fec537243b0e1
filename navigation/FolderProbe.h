#pragma once

#include <vector>

#include <QString>
#include <QStringList>

namespace orbet {

// Why reading a folder failed, in the terms the tree reacts to: a path that
// is gone rebuilds the tree, a device that is not ready asks Retry/Cancel,
// anything else (no permission) just gives no children.
enum class FolderStatus { Ok, NotFound, DeviceNotReady, OtherFailure };

FolderStatus probeFolder(const QString& path);
// The status an errno of opening a folder stands for.
FolderStatus folderStatusFromError(int error);

struct Subfolder {
    QString path; // the parent path with a separator, then the name as listed
    bool hidden = false;
};

// Subfolders of a folder, links to folders included, "." and ".." never;
// hidden ones only when asked. Sorted ascending by full path ignoring case.
std::vector<Subfolder> listSubfolders(const QString& folder, bool includeHidden,
                                      FolderStatus* status = nullptr);

// Plain paths of the visible subfolders in the same order.
QStringList subfolderPaths(const QString& folder);

// True when the folder has at least one subfolder; stops at the first.
// A folder that cannot be read has none.
bool hasSubfolder(const QString& folder, bool includeHidden);

// The existing path a path names when letter case is ignored, component by
// component, the exact spelling preferred; empty when nothing matches.
QString resolveIgnoringCase(const QString& path);

// Case-insensitive order, ties broken by exact text so the order is total.
bool lessIgnoringCase(const QString& a, const QString& b);

} // namespace orbet
