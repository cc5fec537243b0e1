#include "platform/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orbet::folders {

QString join(const QString& folder, const QString& name) {
    if (folder.endsWith(u'/')) return folder + name;
    return folder + u'/' + name;
}

QString programFolderFor(const QString& executableFolder) {
    const QDir exe(executableFolder);
    if (exe.exists(QStringLiteral("pd1"))) return QDir::cleanPath(exe.absolutePath());
    return QDir::cleanPath(exe.absoluteFilePath(QStringLiteral("../share/orbet")));
}

QString programFolder() { return programFolderFor(QCoreApplication::applicationDirPath()); }

QString settingsFolder() {
    const QString home = qEnvironmentVariable("ORBET_HOME");
    if (!home.isEmpty()) return QDir::cleanPath(QDir(home).absolutePath());
    const QString program = programFolder();
    if (QFileInfo::exists(join(program, QStringLiteral("picsys.ini")))) return program;
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

}  // namespace orbet::folders
