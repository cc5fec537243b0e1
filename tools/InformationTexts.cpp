#include "tools/InformationTexts.h"

#include <filesystem>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QXmlStreamReader>

#include "navigation/FileListing.h"
#include "navigation/TreePaths.h"
#include "platform/Language.h"
#include "platform/NativePath.h"
#include "platform/Numbers.h"
#include "platform/Volumes.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(InformationTexts)
};
} // namespace

namespace {

QString dateText(const QDateTime& t) {
    return QLocale::system().toString(t, QLocale::ShortFormat);
}

// Far more than any type's description file holds.
constexpr qint64 kMimeFileLimit = 1024 * 1024;

// The comment in `language`; an empty language is the untagged, English one.
QString commentIn(const QString& file, const QString& language) {
    QFile f(file);
    if (!QFileInfo(file).isFile() || !f.open(QIODevice::ReadOnly)) return {};
    QXmlStreamReader xml(f.read(kMimeFileLimit));
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("comment") &&
            xml.attributes().value(QLatin1String("xml:lang")) == language)
            return xml.readElementText().trimmed();
    }
    return {};
}

} // namespace

QString fileInformationText(const FileFacts& f) {
    QStringList lines{displayName(f.path), Texts::tr("ファイル")};
    if (!f.type.isEmpty()) lines << QStringLiteral("Type:") + f.type;
    if (f.size) lines << QStringLiteral("Size:") + FSize(*f.size);
    if (f.created.isValid()) lines << Texts::tr("作成日時:　") + dateText(f.created);
    if (f.modified.isValid()) lines << Texts::tr("更新日時　:") + dateText(f.modified);
    if (f.accessed.isValid()) lines << Texts::tr("アクセス日:") + dateText(f.accessed);
    return lines.join(QStringLiteral("\r\n"));
}

QString folderInformationText(const FolderFacts& f) {
    return Texts::tr("　　　フォルダ名：") + displayName(f.name) + QStringLiteral("\r\n") +
           Texts::tr("　　　　　　パス：") + displayName(f.path) + QStringLiteral("\r\n") +
           Texts::tr("　　　　　　Size：") + FSize(f.totalSize) + QStringLiteral("\r\n") +
           Texts::tr("　　　　　　Type：") + f.type + QStringLiteral("\r\n");
}

QString driveInformationText(const DriveFacts& d) {
    // The drive kinds of the information query, turned into the tree's codes.
    static const int treeCode[] = {0, 2, 3, 4, 5, 6};
    const int code = d.kind >= 0 && d.kind <= 5 ? treeCode[d.kind] : 0;
    auto thousands = [](qint64 bytes) { return FSize2(qint64(num::roundHalfEven(double(bytes) / 1000.0))); };
    return d.volumeName + QLatin1Char('(') + d.letter + QLatin1Char(')') + QStringLiteral("\r\n") +
           StrDrive(code) + QStringLiteral("  ") + d.fileSystem + QStringLiteral("\r\n") +
           Texts::tr("　　　全容量：") + thousands(d.totalBytes) + QStringLiteral("\r\n") +
           Texts::tr("　　空き容量：") + thousands(d.freeBytes) + QStringLiteral("\r\n") +
           Texts::tr("シリアルＮＯ：") + QString::number(d.serial) + QStringLiteral("\r\n") +
           Texts::tr("　　　共有名：") + d.share;
}

FileFacts fileFacts(const QString& path) {
    FileFacts f;
    f.path = path;
    const PathFacts facts = pathFacts(path);
    if (!facts.exists) return f;
    // The type is told by the name and, where that is not enough, the content,
    // both reached through the bytes of the name.
    QFile file;
    if (!facts.isDir && openNative(file, path))
        f.type = typeName(QMimeDatabase().mimeTypeForFileNameAndData(nativeFileName(path), &file).name());
    else
        f.type = typeName(
            QMimeDatabase().mimeTypeForFile(nativeFileName(path), QMimeDatabase::MatchExtension).name());
    f.size = facts.size;
    if (facts.bornMs >= 0) f.created = QDateTime::fromMSecsSinceEpoch(facts.bornMs);
    f.modified = QDateTime::fromMSecsSinceEpoch(facts.modifiedMs);
    f.accessed = QDateTime::fromMSecsSinceEpoch(facts.accessedMs);
    return f;
}

QString typeName(const QString& mimeTypeName) {
    if (mimeTypeName == QLatin1String("inode/directory")) return Texts::tr("フォルダ");
    // The toolkit answers in the application's locale only; the database
    // keeps every language's comment in the type's own file.
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeTypeName);
    const QString name = type.isValid() ? type.name() : mimeTypeName;
    for (const QString& file : QStandardPaths::locateAll(
             QStandardPaths::GenericDataLocation, QStringLiteral("mime/") + name + QStringLiteral(".xml"))) {
        const QString comment = commentIn(file, englishInForce() ? QString() : QStringLiteral("ja"));
        if (!comment.isEmpty()) return comment;
    }
    return type.isValid() ? type.comment() : QString();
}

qint64 folderTreeSize(const QString& folder, const std::atomic<bool>* cancel) {
    // Walked by bytes, so names that are not UTF-8 count too; links are
    // neither counted nor followed.
    namespace fs = std::filesystem;
    qint64 total = 0;
    std::error_code ec;
    fs::recursive_directory_iterator it(toNative(folder).toStdString(),
                                        fs::directory_options::skip_permission_denied, ec);
    for (const fs::recursive_directory_iterator end; !ec && it != end; it.increment(ec)) {
        if (cancel && cancel->load(std::memory_order_relaxed)) break;
        std::error_code statusError;
        const fs::file_status status = it->symlink_status(statusError);
        if (statusError || fs::is_symlink(status) || fs::is_directory(status)) continue;
        struct stat st {};
        if (::lstat(it->path().c_str(), &st) == 0) total += qint64(st.st_size);
    }
    return total;
}

FolderFacts folderFacts(const QString& path, bool sum) {
    FolderFacts f;
    f.path = absoluteCleanPath(path);
    f.name = PlusEn(volumeRootOf(f.path)) == PlusEn(f.path) ? QString() : nativeFileName(f.path);
    // A volume root shows the drive instead, so its tree is never walked.
    if (sum && !f.name.isEmpty()) f.totalSize = folderTreeSize(f.path);
    f.type = typeName(QStringLiteral("inode/directory"));
    return f;
}

DriveFacts driveFacts(const QString& path) {
    DriveFacts d;
    const QString root = volumeRootOf(path);
    const QStorageInfo storage(root);
    d.volumeName = storage.name();
    d.letter = root;
    switch (driveType(root)) {
    case DriveType::Removable:
        d.kind = 1;
        break;
    case DriveType::Fixed:
        d.kind = 2;
        break;
    case DriveType::Remote:
        d.kind = 3;
        break;
    case DriveType::CdRom:
        d.kind = 4;
        break;
    case DriveType::RamDisk:
        d.kind = 5;
        break;
    default:
        d.kind = 0;
        break;
    }
    d.fileSystem = QString::fromLatin1(storage.fileSystemType());
    d.totalBytes = storage.bytesTotal();
    d.freeBytes = storage.bytesAvailable();
    // No volume serial exists here; the device number stands in for it.
    struct stat st {};
    if (::stat(toNative(root).constData(), &st) == 0) d.serial = std::int32_t(std::uint32_t(st.st_dev));
    if (d.kind == 3) d.share = QString::fromLocal8Bit(storage.device());
    return d;
}

} // namespace orbet
