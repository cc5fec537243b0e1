#pragma once

#include <functional>

#include <QString>
#include <QStringList>

namespace orbet {

// The copy protection of INI and BAT files: the last three characters are
// exactly "BAT", "bat", "INI" or "ini" (so "setup.Ini" is not protected).
bool isCopyProtected(const QString& path);

// Whether an existing file refuses to be written by the user. A file whose
// mode grants write to nobody counts as protected even for the superuser,
// who could write it anyway: the user marked it read-only on purpose.
bool isWriteProtected(const QString& path);

// How far a long file operation is: the bytes or the files done so far.
// False stops the operation at the next point where stopping loses nothing.
using BytesStep = std::function<bool(qint64 bytesDone)>;
// Called before each file (its path) of a tree copy or delete.
using FileStep = std::function<bool(const QString& path)>;

// Copies a file over target, replacing it. The copy is written beside the
// target first and renamed over it, so a failed copy leaves the old target
// whole; a link at the target's name is replaced, never written through.
// The copy has the source's permissions. False with the reason on failure;
// a copy stopped by `step` leaves neither the target nor the new file.
bool copyFileReplacing(const QString& source, const QString& target, QString* error = nullptr,
                       const BytesStep& step = {});

// The absolute folder a typed destination means: blanks around it trimmed,
// a leading "~" taken as the home folder, a relative path taken from
// `currentFolder`. Empty when nothing but blanks was typed.
QString resolveDestination(const QString& typed, const QString& currentFolder);

// The folders of destination (outermost first, destination last) that do
// not exist yet; the volume root itself is never among them.
QStringList missingFolders(const QString& destination);

// The folder a tree copy of source into destination fills: destination
// itself, or, when destination is a volume root, the folder of source's name
// inside it.
QString treeCopyTarget(const QString& source, const QString& destination);

// True when `inner` is `folder` or lies below it, links resolved as far as
// the paths exist.
bool isSameOrInside(const QString& inner, const QString& folder);

// What a tree copy did, file by file (full paths of the targets).
struct TreeCopyReport {
    QStringList copied;
    QStringList kept;     // already there and not replaced
    QStringList failed;   // could not be written; an old file there stays whole
    bool stopped = false; // stopped between two files: the rest not looked at
    qsizetype done() const { return copied.size() + kept.size() + failed.size(); }
};

// Copies the contents of folder source into treeCopyTarget(source,
// destination), each file written beside its target and renamed over it.
// Symbolic links are copied as links, never followed, and a link already at
// a target's name is replaced, never written through. The caller refuses a
// destination inside the source first (isSameOrInside). `step` runs before
// each file; when it says stop, the copy ends there, every file before it
// whole and no part of the next one written.
TreeCopyReport copyFolderTree(const QString& source, const QString& destination, bool replace,
                              const FileStep& step = {});

// The files (every entry but folders) of a tree, neither following links
// nor crossing into another file system: the count a tree copy or delete
// works through.
qint64 countTreeFiles(const QString& folder);

// Why a folder tree may not be deleted at all.
enum class RemoveRefusal { None, VolumeRoot, Home };
RemoveRefusal removeRefusal(const QString& folder);

struct TreeRemoveReport {
    RemoveRefusal refusal = RemoveRefusal::None;
    QStringList mounts; // file systems mounted below, left in place
    QStringList failed; // entries that could not be deleted
    qint64 removedFiles = 0;
    bool stopped = false; // stopped between two files; the rest stays whole
    bool removed() const {
        return refusal == RemoveRefusal::None && mounts.isEmpty() && failed.isEmpty() && !stopped;
    }
};

// Deletes a folder with everything in it, read-only files included. Never
// crosses into another file system (a mount below the folder and everything
// under it stay), never follows a symbolic link (the link itself goes), and
// refuses volume roots, mount points and the home folder or any folder
// holding it. Each folder is held open while it is emptied, and entries are
// removed relative to it, so a subfolder swapped for a link meanwhile (in a
// folder others can write) leads nowhere. beforeDescent runs between an
// entry's check and the descent into it: tests swap the entry there.
// `step` runs before each file goes; when it says stop, nothing more goes.
TreeRemoveReport removeFolderTree(const QString& folder,
                                  const std::function<void(const QString&)>& beforeDescent = {},
                                  const FileStep& step = {});

} // namespace orbet
