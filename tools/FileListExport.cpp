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

bool writeFileList(const QString& path, const QString& folder, const QStringList& names, QString* error) {
    return writeFileAtomically(path, fileListText(folder, names), error);
}

}  // namespace orbet
