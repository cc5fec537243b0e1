#include "tools/FileListExport.h"

#include <QSaveFile>

#include "navigation/FileListing.h"
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
    QSaveFile file(path);
    const QByteArray text = fileListText(folder, names);
    if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit()) return true;
    if (error) *error = file.errorString();
    return false;
}

}  // namespace orbet
