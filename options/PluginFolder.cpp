#include "options/PluginFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "navigation/FolderProbe.h"
#include "platform/CodeFolders.h"
#include "platform/Numbers.h"

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(PluginFolder)
};
} // namespace

QString pluginCountText(const QStringList& spiFiles) {
    const auto n = spiFiles.size();
    if (n == 0) return Texts::tr("このフォルダにはSusiePluginはありません");
    qsizetype pictures = 0;
    for (const QString& name : spiFiles)
        if (name.startsWith(QLatin1String("IF"), Qt::CaseInsensitive)) ++pictures;
    if (pictures > 0)
        return Texts::tr("このフォルダにはSusiePlugingが%1個有ります内、%2個がOrbetに有効です")
            .arg(num::signedText(double(n)), num::signedText(double(pictures)));
    return Texts::tr("このフォルダにはSusiePlugingが%1個有りますがOrbetに有効なプラグインは有りません")
        .arg(num::signedText(double(n)));
}

QString storedPluginFolder(const QString& folder) {
    QString f = folder;
    while (f.size() > 1 && f.endsWith(u'/'))
        f.chop(1);
    return f;
}

QString pluginFolderRefusal(const QString& folder) {
    const QFileInfo info(folder);
    const QString where = QStringLiteral("\r\n") + folder;
    if (folder.isEmpty() || !info.exists())
        return Texts::tr("SusiePluginの有る場所に選んだフォルダが見つかりません。") + where;
    if (!info.isDir()) return Texts::tr("SusiePluginの有る場所にはフォルダを選んでください。") + where;
    if (probeFolder(folder) != FolderStatus::Ok || !info.isReadable() || !info.isExecutable())
        return Texts::tr("SusiePluginの有る場所に選んだフォルダを読み取れません。") + where;
    if (!isSafeCodePath(folder))
        return Texts::tr("SusiePluginの有る場所に選んだフォルダは他のユーザーも書き込めるため使えません。") +
               where;
    return {};
}

std::vector<FolderLine> folderLines(const QString& folder, const QStringList& subfolders) {
    std::vector<FolderLine> lines;
    const QString clean = QDir::cleanPath(folder);
    if (clean.isEmpty()) return lines;
    lines.push_back({QStringLiteral("/"), QStringLiteral("/"), 0, clean == QLatin1String("/")});
    QString path;
    const QStringList parts = clean.split(u'/', Qt::SkipEmptyParts);
    for (int i = 0; i < parts.size(); ++i) {
        path += u'/' + parts[i];
        lines.push_back({parts[i], path, i + 1, i + 1 == parts.size()});
    }
    const int depth = int(parts.size()) + 1;
    for (const QString& sub : subfolders)
        lines.push_back({QFileInfo(sub).fileName(), sub, depth, false});
    return lines;
}

} // namespace orbet
