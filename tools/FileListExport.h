#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orbet {

// A file list as text and play list alike: one full path a line, every line
// ended by CR LF, nothing else. The folder and a name join with one separator.
QByteArray fileListText(const QString& folder, const QStringList& names);

// Every file of a folder, hidden ones included, in the file list's order.
QStringList everyFileOf(const QString& folder);

// Replaces path with the list; false (with the reason) when it cannot be written.
bool writeFileList(const QString& path, const QString& folder, const QStringList& names, QString* error = nullptr);

}  // namespace orbet
