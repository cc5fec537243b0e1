#pragma once

#include <QString>
#include <QStringList>

#include "platform/Volumes.h"

namespace orbet {

// Small path and label rules of the folder tree. Paths use "/"; a volume
// root stands where a drive root would.

// Key of a volume's top-level node: its root with a trailing separator.
QString DriveKey(const QString& root);
// Text of a volume's top-level node: "(" + its drive-list entry + ")".
QString DriveText(const QString& entry);
// Tree image of a drive type: 5 fixed or unclassifiable, 4 removable or
// remote, 2 CD-ROM, 0 none.
int DriveImageNum(int driveType);
// Label of a drive kind for the drive information dialog.
QString StrDrive(int driveType);
// The path with a trailing separator unless it already ends in one.
QString PlusEn(const QString& path);
// The text after the last separator.
QString DirName(const QString& path);
// The text after the last separator; the whole text when there is none.
QString PathTail(const QString& text);
// Placeholder key for a node: unique because real keys never start with "//".
QString PlaceholderKey(const QString& parentKey);

// How a path splits for the walk down the tree: component 0 is the root of
// the volume holding it (as the tree keys it), then one name per folder.
// Repeated and trailing separators end the path; at most maxNames names.
QStringList treePathComponents(const QString& path, const QStringList& volumeRoots, int maxNames = 60);

// A typed path with the shell's "~" read as `home`: "~" alone and "~/..."
// only ("~user" and a "~" further on are names like any other).
QString expandedHome(const QString& typed, const QString& home);

} // namespace orbet
