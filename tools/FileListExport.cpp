#include "tools/FileListExport.h"

#include "navigation/FileListing.h"
#include "platform/AtomicWrite.h"
#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"

namespace orbet {

QByteArray fileListText(const QString& folder, const QStringList& names) {
    QByteArray out;
    for (const QString& name : names) {
        // A name that is not UTF-8 is written as its own bytes, so the list
        // names the file a player or another program will open.
        out += toNative(folders::join(folder, name));
        out += "\r\n";
    }
    return out;
}

QStringList everyFileOf(const QString& folder) {
    AttributeFilter all;
    all.hidden = true;
    all.system = true;
    return listFiles(folder, QStringLiteral("*"), all);
}

bool writeFileList(const QString& path, const QString& folder, const QStringList& names, QString* error,
                   const std::function<bool(qint64 namesDone)>& step) {
    if (!step) return writeFileAtomically(path, fileListText(folder, names), error);
    constexpr qsizetype kBatch = 1024;
    QByteArray text;
    for (qsizetype i = 0; i < names.size(); i += kBatch) {
        text += fileListText(folder, names.mid(i, kBatch));
        if (!step(qMin(i + kBatch, names.size()))) return false;
    }
    return writeFileAtomically(path, text, error);
}

} // namespace orbet
