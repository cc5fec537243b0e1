#pragma once

#include <functional>

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace orbet {

// A file list as text and play list alike: one full path a line, every line
// ended by CR LF, nothing else. The folder and a name join with one separator.
QByteArray fileListText(const QString& folder, const QStringList& names);

// Every file of a folder, hidden ones included, in the file list's order.
QStringList everyFileOf(const QString& folder);

// Replaces path with the list; false (with the reason) when it cannot be
// written. `step` hears how many names are in the list so far; when it says
// stop, nothing is written.
bool writeFileList(const QString& path, const QString& folder, const QStringList& names,
                   QString* error = nullptr, const std::function<bool(qint64 namesDone)>& step = {});

} // namespace orbet
