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
    return QDir::cleanPath(exe.absoluteFilePath(QStringLiteral("../lib/orbet")));
}

namespace {
QString& programFolderOverride() {
    static QString folder;
    return folder;
}
} // namespace

void setProgramFolderForTesting(const QString& folder) {
    programFolderOverride() = folder;
}

QString programFolder() {
    if (!programFolderOverride().isEmpty()) return programFolderOverride();
    return programFolderFor(QCoreApplication::applicationDirPath());
}

QString perUserSettingsFolder() {
    // Not AppConfigLocation: with an organisation name set that would be
    // ~/.config/Orbet/Orbet, one level below the per-user store.
    return QDir::cleanPath(join(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                                QStringLiteral("Orbet")));
}

QString settingsFolderFor(const QString& executableFolder, const QString& orbetHome,
                          const QString& perUserFolder) {
    if (!orbetHome.isEmpty()) return QDir::cleanPath(QDir(orbetHome).absolutePath());
    const QString exe = QDir::cleanPath(QDir(executableFolder).absolutePath());
    const QString program = programFolderFor(executableFolder);
    if (program == exe && QFileInfo::exists(join(program, QStringLiteral("picsys.ini")))) return program;
    return QDir::cleanPath(perUserFolder);
}

QString settingsFolder() {
    return settingsFolderFor(QCoreApplication::applicationDirPath(), qEnvironmentVariable("ORBET_HOME"),
                             perUserSettingsFolder());
}

} // namespace orbet::folders
