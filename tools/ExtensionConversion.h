#pragma once

#include <QString>
#include <QStringList>

namespace orbet {

struct Rename {
    QString from;
    QString to; // empty when the file cannot be given the new extension
};

// The new names of the listed files: each name without the extension it
// really ends with, followed by the new extension. A plain old extension is
// cut only from a name that ends with a dot and that extension (letter case
// aside); an old extension holding wildcards or ";" stands for whatever
// follows the name's last dot. A new name that would leave the folder (a
// separator in the new extension, or nothing left of the name) is refused.
QList<Rename> extensionRenames(const QString& folder, const QStringList& names, const QString& oldExtension,
                               const QString& newExtension);

// Renames in order. A rename that was refused or whose new name is already
// taken is skipped, so no file is ever replaced; the skipped and failed ones
// are returned.
QStringList applyRenames(const QList<Rename>& renames);

} // namespace orbet
