#include "tools/ExtensionConversion.h"

#include <optional>

#include "platform/NativePath.h"
#include "platform/ProgramFolders.h"

namespace orbet {

namespace {

bool isPattern(const QString& extension) {
    return extension.contains(u'*') || extension.contains(u'?') || extension.contains(u';');
}

// The part of the name the new extension follows, or nothing when the name
// does not carry the old extension.
std::optional<QString> stem(const QString& name, const QString& oldExtension) {
    if (oldExtension.isEmpty()) {
        if (name.contains(u'.')) return std::nullopt;
        return name;
    }
    if (isPattern(oldExtension)) {
        const qsizetype dot = name.lastIndexOf(u'.');
        return dot > 0 ? name.left(dot + 1) : name;
    }
    if (!name.endsWith(u'.' + oldExtension, Qt::CaseInsensitive)) return std::nullopt;
    return name.left(name.size() - oldExtension.size());
}

} // namespace

QList<Rename> extensionRenames(const QString& folder, const QStringList& names, const QString& oldExtension,
                               const QString& newExtension) {
    QList<Rename> out;
    for (const QString& name : names) {
        const QString from = folders::join(folder, name);
        const std::optional<QString> kept = stem(name, oldExtension);
        const QString newName = kept ? *kept + newExtension : QString();
        const bool stays = !newName.isEmpty() && !newName.contains(u'/') && newName != QLatin1String(".") &&
                           newName != QLatin1String("..");
        out.append({from, stays ? folders::join(folder, newName) : QString()});
    }
    return out;
}

QStringList applyRenames(const QList<Rename>& renames) {
    QStringList refused;
    for (const Rename& r : renames) {
        if (r.from == r.to) continue;
        if (r.to.isEmpty() || !renameNativeNoReplace(r.from, r.to)) refused.append(r.from);
    }
    return refused;
}

} // namespace orbet
