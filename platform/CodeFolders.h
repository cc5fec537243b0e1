#pragma once

#include <QString>

namespace orbet {

// Code is loaded only from where no other user can put it: the file (or
// folder), given as an absolute path, and every folder above it, links
// resolved, belong to the superuser or to the user running the program, and
// none of them can be written by others. A folder above that others may write
// but that keeps its entries to their owners (the sticky bit, as /tmp) counts
// as safe. A relative path is never safe: it would be taken from whatever
// folder the program was started in.
bool isSafeCodePath(const QString& path);

// The plug-in folder from what the per-user store holds: the stored folder
// when it is an absolute path, otherwise (empty, or relative such as ".")
// the default folder.
QString pluginFolderFromStore(const QString& stored, const QString& fallback);

} // namespace orbet
