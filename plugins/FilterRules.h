#pragma once

#include <QString>
#include <QStringList>

namespace orbet {

class UserFilterTable;

// A mask the add-filter dialog takes: it begins with "*.".
bool isMaskInput(const QString& text);
// Text the filter file cannot hold: a double quote or a comma would shift
// every value after it at the next start.
bool storableInFilterFile(const QString& text);
// Each mask in upper, lower and proper case, joined by ";":
// *.pic, *.mag -> *.PIC;*.pic;*.Pic;*.MAG;*.mag;*.Mag
QString buildFilterPattern(const QStringList& masks);
// Upper-cases each letter that follows a non-letter, lower-cases the rest.
QString properCase(const QString& text);
// The mask for a dropped file: "*" and the text from its last "." on, "*"
// and the whole path when it has no ".", "*.*" for an empty path.
QString maskForDroppedPath(const QString& path);
// First row whose name is empty, or -1 when all rows are in use.
int firstFreeRow(const UserFilterTable& table);
// The organise dialog's label of a reading method; empty outside 0 to 3.
QString readingMethodLabel(const QString& method);

} // namespace orbet
