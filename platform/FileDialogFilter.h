#pragma once

#include <QString>
#include <QStringList>

namespace orbet {

// Turns the program's filter text, "description|pattern[;pattern]" entries
// joined by "|" ("Pictures|*.bmp;*.jpg|All|*.*"), into Qt's name filters
// ("Pictures (*.bmp *.jpg)", "All (*)"). "*.*" means every file, as it does
// on Windows, and becomes "*". An entry without patterns, and a description
// left over at the end without its pattern, are dropped.
QStringList qtNameFilters(const QString& filter);

// The same filters in Qt's single-text form, joined by ";;".
QString qtFilterText(const QString& filter);

} // namespace orbet
