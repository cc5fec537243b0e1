#pragma once

#include <QString>
#include <QStringList>

namespace orbet {

// The copy protection of INI and BAT files: the last three characters are
// exactly "BAT", "bat", "INI" or "ini" (so "setup.Ini" is not protected).
bool isCopyProtected(const QString& path);

// Copies a file over target, replacing it. The copy is written beside the
// target first and renamed over it, so a failed copy leaves the old target
// whole. False with the reason on failure.
bool copyFileReplacing(const QString& source, const QString& target, QString* error = nullptr);

// The folders of destination (outermost first, destination last) that do
// not exist yet; the volume root itself is never among them.
QStringList missingFolders(const QString& destination);

// Copies the contents of folder source into destination, replacing or
// keeping files that exist there. When destination is a volume root, the
// folder itself goes into it under its own name. Refuses a destination
// inside the source, which would copy without end.
bool copyFolderTree(const QString& source, const QString& destination, bool replace, QString* error = nullptr);

// Deletes a folder with everything in it. Refuses volume roots.
bool removeFolderTree(const QString& folder, QString* error = nullptr);

}  // namespace orbet
