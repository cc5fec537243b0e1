#include "navigation/FileListing.h"

#include <algorithm>
#include <cmath>

#include <QDirIterator>
#include <QRegularExpression>

#include "platform/Numbers.h"

namespace orbet {

QString builtInFilterPattern(int index, const QString& pluginSuffix) {
    static const char* const kPatterns[] = {
        "*.bmp;*.gif;*.jpg;*.jpeg;*.ico;*.wmf",
        "*.bmp",
        "*.gif",
        "*.jpg;*.jpeg",
        "*.ico",
        "*.wmf",
        "*.txt",
        "*.rtf",
        "*.rtf;*.txt;*.ini;*.bat",
        "*.html;*.htm;*.hta",
        "*.mpa;*.avi;*.mpg;*.wav;*.mid;*.mp3;*.wma;*.wax;*.wmv;*.wmx;*.mpeg;*.mpe;*.m1v;*.mp2;*.mpv2;*.mp2v;*.rim;"
        "*.aif;*.aiff",
        "*.mpa;*.mpg;*.mpe;*.mp3;*.mp2v;*.mpv2;*.mpeg;*.m1v",
        "*.wav;*.mid;*.midi;*.rim",
        "*.exe;*.com;*.bat;*.hlp;*.scr",
        "*.*",
    };
    if (index < 0 || index > 14) return {};
    QString p = QString::fromLatin1(kPatterns[index]);
    if (index == 0) p += pluginSuffix;
    return p;
}

FilePattern::FilePattern(const QString& pattern) {
    for (QString mask : pattern.split(u';', Qt::SkipEmptyParts)) {
        mask = mask.trimmed();
        if (mask.isEmpty()) continue;
        if (mask == QLatin1String("*.*") || mask == QLatin1String("*")) {
            all_ = true;
        } else if (mask.startsWith(QLatin1String("*.")) && !mask.mid(1).contains(u'*') && !mask.contains(u'?')) {
            suffixes_.append(mask.mid(1).toLower());
        } else {
            others_.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(
                                                  mask, QRegularExpression::UnanchoredWildcardConversion),
                                              QRegularExpression::CaseInsensitiveOption));
            others_.last().setPattern(QLatin1Char('^') + others_.last().pattern() + QLatin1Char('$'));
        }
    }
}

bool FilePattern::matches(const QString& fileName) const {
    if (all_) return true;
    for (const QString& s : suffixes_)
        if (fileName.endsWith(s, Qt::CaseInsensitive)) return true;
    for (const QRegularExpression& re : others_)
        if (re.match(fileName).hasMatch()) return true;
    return false;
}

QStringList listFiles(const QString& folder, const QString& pattern, const AttributeFilter& attributes) {
    const FilePattern matcher(pattern);
    QStringList names;
    QDir::Filters filters = QDir::Files | QDir::System;
    if (attributes.hidden) filters |= QDir::Hidden;
    QDirIterator it(folder, filters);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (!attributes.hidden && name.startsWith(u'.')) continue;
        if (matcher.matches(name)) names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

namespace {

QString twoPlaces(double value) {
    // Int(x * 100 + 0.5) / 100 keeps at most two decimals; the shortest
    // form then drops trailing zeros.
    return num::shortestReal(std::floor(value * 100.0 + 0.5) / 100.0);
}

}  // namespace

QString FSize(qint64 bytes) {
    if (bytes > 1023999) return twoPlaces(double(bytes) / 1024000.0) + QStringLiteral("MB");
    if (bytes > 1023) return twoPlaces(double(bytes) / 1024.0) + QStringLiteral("KB");
    return QString::number(bytes) + QStringLiteral("ﾊﾞｲﾄ");
}

}  // namespace orbet
