#include "tools/FileListExport.h"


#include "navigation/FileListing.h"
#include "platform/AtomicWrite.h"
#include "platform/ProgramFolders.h"

namespace orbet {

QByteArray fileListText(const QString& folder, const QStringList& names) {
    QByteArray out;
    for (const QString& name : names) {
        out += folders::join(folder, name).toUtf8();
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
