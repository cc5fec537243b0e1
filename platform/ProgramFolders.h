#pragma once

#include <QString>

namespace orbet::folders {

// The folder of read-only resources (pd1/ti.tex, texthelp.txt, susie/): the
// executable's folder when it holds pd1/ (a build folder or an unpacked
// portable copy), else ../lib/orbet beside it (an installed program; the
// plug-ins are architecture-dependent, hence lib).
QString programFolder();
QString programFolderFor(const QString& executableFolder);
// Tests point the program folder at a folder of their own; empty goes back
// to the executable's.
void setProgramFolderForTesting(const QString& folder);

// Where picsys.ini and Vae011.vaf live: $ORBET_HOME when set, else the
// program folder when a picsys.ini already sits there and the program folder
// is the executable's own (a portable copy; an installed program folder is
// read-only and shared, so it never holds settings), else the per-user
// config folder (normally ~/.config/Orbet). Never has a trailing separator.
QString settingsFolder();
QString settingsFolderFor(const QString& executableFolder, const QString& orbetHome,
                          const QString& perUserFolder);

// ~/.config/Orbet: beside the per-user store Orbet.conf.
QString perUserSettingsFolder();

// Joins a folder and a name with exactly one separator.
QString join(const QString& folder, const QString& name);

} // namespace orbet::folders
