#include "platform/SpecialFolders.h"

#include <filesystem>
#include <system_error>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace orbet {

namespace {

constexpr qsizetype kMacroLength = 8;

QString locationOrHome(QStandardPaths::StandardLocation location) {
    const QString path = QStandardPaths::writableLocation(location);
    return path.isEmpty() ? QDir::homePath() : path;
}

} // namespace

SpecialDir::SpecialDir()
    : windows_(delNull(QStringLiteral("/usr"))), system_(delNull(QStringLiteral("/usr/lib"))) {
    QString temp = QDir::tempPath();
    if (!temp.endsWith(u'/')) temp += u'/';
    temp_ = delNull(temp);
}

QString SpecialDir::delNull(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    QStringView kept = nul < 0 ? QStringView(text) : QStringView(text).left(nul);
    qsizetype begin = 0;
    qsizetype end = kept.size();
    while (begin < end && kept[begin] == u' ')
        ++begin;
    while (end > begin && kept[end - 1] == u' ')
        --end;
    return kept.mid(begin, end - begin).toString();
}

QString SpecialDir::specialDir(std::int32_t folder) const {
    switch (folder) {
    case Desktop:
    case DesktopDirectory:
        return delNull(locationOrHome(QStandardPaths::DesktopLocation));
    case Documents:
        return delNull(locationOrHome(QStandardPaths::DocumentsLocation));
    case Favorites:
        return delNull(locationOrHome(QStandardPaths::AppDataLocation) + QStringLiteral("/Favorites"));
    default:
        return {};
    }
}

void SpecialDir::delTemporaryFiles() const {
    const QString name = QCoreApplication::applicationName();
    // An empty or odd name would point the sweep at the temporary folder
    // itself or somewhere else entirely.
    if (name.isEmpty() || name.contains(u'/') || name == QLatin1String(".") || name == QLatin1String(".."))
        return;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder(QFile::encodeName(temp_ + name).toStdString());
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code ignored;
        // A link is removed itself, never followed, even when it names a folder.
        if (it->symlink_status(ignored).type() == fs::file_type::directory) continue;
        fs::remove(it->path(), ignored);
    }
}

std::vector<SpecialDir::MacroFolder> SpecialDir::macroFolders() const {
    return {
        {QStringLiteral("%WINDOW%"), [this] { return windows_; }},
        {QStringLiteral("%SYSTEM%"), [this] { return system_; }},
        {QStringLiteral("%TEMPOL%"), [this] { return temp_; }},
        {QStringLiteral("%APPPAS%"), [] { return QCoreApplication::applicationDirPath(); }},
        {QStringLiteral("%FAVORI%"), [this] { return specialDir(Favorites); }},
        {QStringLiteral("%MYDOCU%"), [this] { return specialDir(Documents); }},
        {QStringLiteral("%DESKTP%"), [this] { return specialDir(Desktop); }},
    };
}

QString SpecialDir::lowerPath(const QString& path) const {
    return lowerPathWith(path, macroFolders());
}

QString SpecialDir::upperPath(const QString& path) const {
    return upperPathWith(path, macroFolders());
}

QString SpecialDir::lowerPathWith(const QString& path, const std::vector<MacroFolder>& folders) {
    for (const MacroFolder& m : folders) {
        const QString folder = m.folder();
        // Plain character comparison: an empty folder matches every path.
        if (QStringView(path).left(folder.size()) == folder && path.size() >= folder.size())
            return m.macro + path.mid(folder.size());
    }
    return path;
}

QString SpecialDir::upperPathWith(const QString& path, const std::vector<MacroFolder>& folders) {
    const QStringView head = QStringView(path).left(kMacroLength);
    for (const MacroFolder& m : folders) {
        if (head == m.macro) return m.folder() + path.mid(kMacroLength);
    }
    return path;
}

} // namespace orbet
