#pragma once

#include <QString>
#include <QStringList>

namespace orbet {

struct Rename {
    QString from;
    QString to;
};

// The new names of the listed files: each full name without as many
// characters as the old extension has, followed by the new extension.
QList<Rename> extensionRenames(const QString& folder, const QStringList& names, const QString& oldExtension,
                               const QString& newExtension);

// Renames in order. A rename whose new name is already taken is skipped, so
// no file is ever replaced; the skipped and failed ones are returned.
QStringList applyRenames(const QList<Rename>& renames);

}  // namespace orbet
