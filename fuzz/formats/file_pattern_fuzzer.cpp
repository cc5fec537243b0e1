#include <cstddef>
#include <cstdint>

#include <QByteArray>
#include <QRegularExpression>
#include <QString>

#include "navigation/FileListing.h"

// The first line is a pattern as a user filter gives it, the rest names to
// match. Matching must never crash, and must not depend on letter case.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype cut = text.indexOf(QLatin1Char('\n'));
    const QString pattern = cut < 0 ? text : text.left(cut);
    const orbet::FilePattern matcher(pattern);
    const orbet::FilePattern upper(pattern.toUpper());
    const QStringList names = cut < 0 ? QStringList{} : text.mid(cut + 1).split(QLatin1Char('\n'));
    for (const QString& name : names) {
        const QString upperName = name.toUpper();
        // Case folding is only an identity for names whose upper case maps back one to one.
        if (upperName.toLower() != name.toLower() || upperName.size() != name.size()) continue;
        if (pattern.toUpper().toLower() != pattern.toLower() || pattern.toUpper().size() != pattern.size())
            continue;
        if (matcher.matches(name) != upper.matches(upperName)) __builtin_trap();
    }
    return 0;
}
