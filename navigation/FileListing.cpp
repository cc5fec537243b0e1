#include "navigation/FileListing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <unistd.h>

#include <QCoreApplication>
#include <QRegularExpression>

#include "navigation/FileRows.h"
#include "navigation/FolderProbe.h"
#include "navigation/FolderSnapshot.h"
#include "platform/NativePath.h"
#include "platform/Numbers.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(FileListing)
};
} // namespace

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
        "*.mpa;*.avi;*.mpg;*.wav;*.mid;*.mp3;*.wma;*.wax;*.wmv;*.wmx;*.mpeg;*.mpe;*.m1v;*.mp2;*.mpv2;*.mp2v;*"
        ".rim;"
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
        } else if (mask == QLatin1String("*.")) {
            noExtension_ = true; // "*." is the name without any extension
        } else if (mask.startsWith(QLatin1String("*.")) && !mask.mid(1).contains(u'*') &&
                   !mask.contains(u'?')) {
            suffixes_.append(mask.mid(1).toLower());
            for (QChar c : suffixes_.last())
                if (c.unicode() > 0x7f) asciiOnly_ = false;
            asciiSuffixes_.append(suffixes_.last().toLatin1());
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
    if (noExtension_ && !fileName.contains(u'.')) return true;
    for (const QString& s : suffixes_)
        if (fileName.endsWith(s, Qt::CaseInsensitive)) return true;
    for (const QRegularExpression& re : others_)
        if (re.match(fileName).hasMatch()) return true;
    return false;
}

bool FilePattern::matches(const char* name, std::size_t length) const {
    if (all_) return true;
    bool ascii = asciiOnly_ && others_.isEmpty();
    for (std::size_t i = 0; ascii && i < length; ++i)
        ascii = static_cast<unsigned char>(name[i]) < 0x80;
    if (!ascii) return matches(fromNative(QByteArray(name, qsizetype(length))));
    if (noExtension_ && !std::memchr(name, '.', length)) return true;
    for (const QByteArray& s : asciiSuffixes_) {
        if (std::size_t(s.size()) > length) continue;
        const char* tail = name + length - std::size_t(s.size());
        bool same = true;
        for (qsizetype i = 0; same && i < s.size(); ++i) {
            char c = tail[i];
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
            same = c == s[i];
        }
        if (same) return true;
    }
    return false;
}

QStringList listFiles(const FolderSnapshot& snapshot, const QString& pattern,
                      const AttributeFilter& attributes) {
    QStringList names;
    const std::vector<std::uint32_t> rows = listRows(snapshot, pattern, attributes);
    names.reserve(qsizetype(rows.size()));
    for (std::uint32_t i : rows)
        names.append(fromNative(snapshot.name(snapshot.entries[i])));
    return names;
}

QStringList listFiles(const QString& folder, const QString& pattern, const AttributeFilter& attributes) {
    const auto snapshot = readFolder(folder, FolderReuse::Unchanged);
    return snapshot ? listFiles(*snapshot, pattern, attributes) : QStringList();
}

namespace {

QString twoPlaces(double value) {
    // Int(x * 100 + 0.5) / 100 keeps at most two decimals; the shortest
    // form then drops trailing zeros.
    return num::shortestReal(std::floor(value * 100.0 + 0.5) / 100.0);
}

} // namespace

QString BytesSizeText(qint64 bytes) {
    if (bytes > 1023999) return twoPlaces(double(bytes) / 1024000.0) + QStringLiteral("MB");
    if (bytes > 1023) return twoPlaces(double(bytes) / 1024.0) + QStringLiteral("KB");
    return QString::number(bytes) + Texts::tr("ﾊﾞｲﾄ");
}

namespace {

QString scaledSize(qint64 n, const char* const units[4]) {
    double x = 0;
    const char* unit = nullptr;
    if (n > 1000000000) {
        x = double(n) / 1024 / 1024 / 1024, unit = units[3];
    } else if (n > 1000000) {
        x = double(n) / 1024 / 1024, unit = units[2];
    } else if (n > 1000) {
        x = double(n) / 1024, unit = units[1];
    } else {
        return num::signedText(double(n)) + QLatin1String(units[0]);
    }
    return num::signedText(std::trunc(x * 100) / 100) + QLatin1String(unit);
}

} // namespace

QString FSize(qint64 bytes) {
    static const char* const units[4] = {"byte", "KB", "MB", "GB"};
    return scaledSize(bytes, units);
}

QString FSize2(qint64 kilobytes) {
    static const char* const units[4] = {"KB", "MB", "GB", "TB"};
    return scaledSize(kilobytes, units);
}

} // namespace orbet
