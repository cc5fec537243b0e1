#include "platform/FileDialogFilter.h"

namespace orbet {

QStringList qtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& raw : parts.at(i + 1).split(u';', Qt::SkipEmptyParts)) {
            const QString pattern = raw.trimmed();
            if (pattern.isEmpty()) continue;
            patterns.push_back(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty()) continue;
        result.push_back(parts.at(i).trimmed() + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return result;
}

QString qtFilterText(const QString& filter) {
    return qtNameFilters(filter).join(QStringLiteral(";;"));
}

} // namespace orbet
