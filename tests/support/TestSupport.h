#pragma once

#include <QByteArray>
#include <QString>

namespace orbet::test {

// Path of a file in the shared read-only test data.
QString testData(const QString& relative);

// Folder the build lays the program in (build/orbet and its resources).
QString buildDir();

QByteArray readAll(const QString& path);
bool writeAll(const QString& path, const QByteArray& bytes);

}  // namespace orbet::test
