#include "tools/ExtensionConversion.h"

#include <QFile>
#include <QFileInfo>

#include "platform/ProgramFolders.h"

namespace orbet {

QList<Rename> extensionRenames(const QString& folder, const QStringList& names, const QString& oldExtension,
                               const QString& newExtension) {
    QList<Rename> out;
    for (const QString& name : names) {
        const QString from = folders::join(folder, name);
        out.append({from, from.left(from.size() - oldExtension.size()) + newExtension});
    }
    return out;
}

QStringList applyRenames(const QList<Rename>& renames) {
    QStringList refused;
    for (const Rename& r : renames) {
        if (r.from == r.to) continue;
        // QFile::rename never replaces an existing file.
        if (QFileInfo::exists(r.to) || !QFile::rename(r.from, r.to)) refused.append(r.from);
    }
    return refused;
}

}  // namespace orbet
