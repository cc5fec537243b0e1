#pragma once

#include <QString>

namespace orbet::folders {

// The folder of read-only resources (pd1/ti.tex, texthelp.txt, susie/): the
// executable's folder when it holds pd1/, else ../share/orbet beside it.
QString programFolder();
QString programFolderFor(const QString& executableFolder);

// Where picsys.ini and Vae011.vaf live: $ORBET_HOME when set, else the
// program folder when a picsys.ini already sits there (a portable copy),
// else the per-user config folder. Never has a trailing separator.
QString settingsFolder();

// Joins a folder and a name with exactly one separator.
QString join(const QString& folder, const QString& name);

}  // namespace orbet::folders
