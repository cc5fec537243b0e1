#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include <QDateTime>
#include <QString>

namespace orbet {

// Facts behind the three information messages; a fact that could not be
// read is left empty and its line is skipped.
struct FileFacts {
    QString path;
    QString type;
    std::optional<qint64> size;
    QDateTime created, modified, accessed;
};

struct FolderFacts {
    QString name;
    QString path;
    qint64 totalSize = 0;
    QString type;
};

struct DriveFacts {
    QString volumeName;
    QString letter; // the volume's root here
    int kind = 0;   // 1 removable, 2 fixed, 3 network, 4 CD-ROM, 5 RAM disk, 0 unknown
    QString fileSystem;
    qint64 totalBytes = 0;
    qint64 freeBytes = 0;
    std::int32_t serial = 0;
    QString share;
};

QString fileInformationText(const FileFacts& facts);
QString folderInformationText(const FolderFacts& facts);
QString driveInformationText(const DriveFacts& facts);

// Reading the facts from the file system.
FileFacts fileFacts(const QString& path);
// The name is empty for a volume root, whose size is then not summed; nor
// is it without `sum` (the caller sums it on a worker).
FolderFacts folderFacts(const QString& path, bool sum = true);
DriveFacts driveFacts(const QString& path);
// Sum of the sizes of every file below a folder; links are not followed.
// Stops early (with what it has summed) once `cancel` is raised.
qint64 folderTreeSize(const QString& folder, const std::atomic<bool>* cancel = nullptr);
// The type description in the program's language, whatever the process's
// locale: the comment the desktop's MIME database holds for the language
// (its untagged one is English), "フォルダ" for folders, the database's
// default comment where it has no Japanese one.
QString typeName(const QString& mimeTypeName);

} // namespace orbet
