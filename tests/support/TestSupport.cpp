#include "support/TestSupport.h"

#include <QFile>

namespace orbet::test {

QString testData(const QString& relative) { return QStringLiteral(ORBET_TESTDATA "/") + relative; }

QString buildDir() { return QStringLiteral(ORBET_BUILD_DIR); }

QByteArray readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return f.write(bytes) == bytes.size();
}

}  // namespace orbet::test
