#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QUrl>

class QFile;

// File names on Linux are bytes, and archives made on Windows bring names
// that are not UTF-8 (Shift_JIS above all). Qt turns such bytes into U+FFFD
// and can never reach the file again. Inside the program a path is therefore
// kept in an escaped form: the UTF-8 text of the bytes, with every byte that
// is not part of a valid UTF-8 sequence held as the lone surrogate
// U+DC80 + (byte - 0x80). A valid UTF-8 name's escaped form is the name itself,
// so everything that only ever sees valid names behaves exactly as before.
// Escaped paths are never shown and never handed to Qt's file classes: the
// display goes through displayName(), the file system through toNative().
namespace orbet {

// The escaped form of file-system bytes.
QString fromNative(const QByteArray& bytes);
QString fromNative(const char* bytes);

// The bytes an escaped path stands for: toNative(fromNative(b)) == b for
// every byte string b.
QByteArray toNative(const QString& path);

// True when the text holds an escaped byte.
bool hasEscapedBytes(const QString& path);

// The text to show for an escaped name or path, one component at a time:
// a component holding escaped bytes is read as code page 932 when its bytes
// decode cleanly there, else each escaped byte is shown as "\xNN". Other
// components are shown as they are.
QString displayName(const QString& path);

// A file: URL for an escaped path, built from its bytes.
QUrl nativeFileUrl(const QString& path);

// The escaped path of a local file URL, its percent-encoded bytes kept
// (QUrl::toLocalFile reads them as UTF-8 and loses the others).
QString pathFromFileUrl(const QUrl& url);

// Opens an escaped path with QFile (which cannot open a name that is not
// UTF-8 by itself): the file is opened by its bytes and handed over.
bool openNative(QFile& file, const QString& path, QIODevice::OpenMode mode = QIODevice::ReadOnly);

// The absolute, cleaned form of an escaped path, worked out on the text
// alone (QFileInfo re-encodes the bytes and loses them).
QString absoluteCleanPath(const QString& path);

// The path with links and "." / ".." resolved by the file system; empty
// when it names nothing.
QString canonicalNativePath(const QString& path);

// The last component of an escaped path: its name.
QString nativeFileName(const QString& path);

// File-system facts of an escaped path, links followed.
struct PathFacts {
    bool exists = false;
    bool isDir = false;
    bool isFile = false;    // anything that is not a folder
    bool isRegular = false; // a plain file, not a pipe, socket or device
    bool isLink = false;    // the path itself is a symbolic link
    qint64 size = 0;
    qint64 modifiedMs = 0; // milliseconds since the epoch, local clock free
    qint64 accessedMs = 0;
    qint64 changedMs = 0;
    qint64 bornMs = -1; // -1 where the file system keeps no birth time
};
PathFacts pathFacts(const QString& path);

// Removes a file; false when it could not be removed.
bool removeNativeFile(const QString& path);
// Renames without ever replacing an existing target.
bool renameNativeNoReplace(const QString& from, const QString& to);
// Creates one folder.
bool makeNativeFolder(const QString& path);

} // namespace orbet
