#pragma once

#include <QString>

// The attributes a Windows file carries, read from what Linux knows about it.
namespace orbet {

struct Attributes {
    bool hidden = false;   // the name begins with "."
    bool readOnly = false; // the user cannot write it
    bool system = false;   // never set here
    bool archive = false;  // never set here
    bool directory = false;
    bool operator==(const Attributes&) const = default;
};

// The attributes of a file or folder; all false when `path` names nothing.
// Links are followed, except that a link's own name decides `hidden`.
Attributes attributesOf(const QString& path);

// Whether a file or folder name counts as hidden: it begins with ".", but
// is not "." or ".." themselves.
bool isHiddenName(const QString& name);

bool existsAsFileOrFolder(const QString& path);
bool isFolder(const QString& path);

// The length of a file in bytes; 0 for a folder (folders carry no length,
// as on Windows); -1 when `path` names nothing.
qint64 fileLength(const QString& path);

} // namespace orbet
