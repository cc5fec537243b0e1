#include "plugins/FilterRules.h"

#include <QCoreApplication>

#include "platform/Numbers.h"
#include "plugins/UserFilterTable.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FilterRules)
};
} // namespace

bool isMaskInput(const QString& text) {
    return text.startsWith(QLatin1String("*."));
}

bool storableInFilterFile(const QString& text) {
    return !text.contains(u'"') && !text.contains(u',');
}

QString properCase(const QString& text) {
    QString out = text;
    bool previousLetter = false;
    for (QChar& c : out) {
        const bool letter = c.isLetter();
        c = letter && !previousLetter ? c.toUpper() : c.toLower();
        previousLetter = letter;
    }
    return out;
}

QString buildFilterPattern(const QStringList& masks) {
    QStringList parts;
    for (const QString& m : masks)
        parts << m.toUpper() << m.toLower() << properCase(m);
    return parts.join(u';');
}

QString maskForDroppedPath(const QString& path) {
    if (path.isEmpty()) return QStringLiteral("*.*");
    const qsizetype dot = path.lastIndexOf(u'.');
    return QLatin1Char('*') + (dot >= 0 ? path.mid(dot) : path);
}

int firstFreeRow(const UserFilterTable& table) {
    for (int r = 0; r < UserFilterTable::Rows; ++r)
        if (table.row(r).name.asText().isEmpty()) return r;
    return -1;
}

QString readingMethodLabel(const QString& method) {
    bool ok = false;
    const int m = method.trimmed().toInt(&ok);
    if (!ok) return {};
    switch (m) {
    case 0:
        return Texts::tr("ピクチャー形式");
    case 1:
        return Texts::tr("テキスト形式");
    case 2:
        return Texts::tr("WWWブラウザ形式");
    case 3:
        return Texts::tr("実行可能型");
    default:
        return {};
    }
}

} // namespace orbet
