#include "navigation/TreePaths.h"

#include <QCoreApplication>

namespace orbet {

namespace {
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(TreePaths)
};
} // namespace

QString DriveKey(const QString& root) {
    return PlusEn(root);
}

QString DriveText(const QString& entry) {
    return QLatin1Char('(') + entry + QLatin1Char(')');
}

int DriveImageNum(int driveType) {
    switch (driveType) {
    case 1:
    case 3:
        return 5;
    case 2:
    case 4:
        return 4;
    case 5:
        return 2;
    default:
        return 0;
    }
}

QString StrDrive(int driveType) {
    switch (driveType) {
    case 2:
        return Texts::tr("3.5インチフロッピードライブ");
    case 3:
        return Texts::tr("ハードディスクドライブ");
    case 4:
        return Texts::tr("リモートメディアドライブ");
    case 5:
        return QStringLiteral("CD-ROM");
    default:
        return {};
    }
}

QString PlusEn(const QString& path) {
    return path.endsWith(u'/') ? path : path + u'/';
}

QString DirName(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString PathTail(const QString& text) {
    return text.mid(text.lastIndexOf(u'/') + 1);
}

QString PlaceholderKey(const QString& parentKey) {
    return QStringLiteral("//") + parentKey;
}

QStringList treePathComponents(const QString& path, const QStringList& volumeRoots, int maxNames) {
    if (!path.startsWith(u'/')) return {};
    // The deepest volume root that is a whole-component prefix of the path.
    QString root = QStringLiteral("/");
    for (const QString& r : volumeRoots) {
        const QString key = PlusEn(r);
        if ((PlusEn(path).startsWith(key, Qt::CaseInsensitive)) && key.size() > root.size()) root = key;
    }
    QStringList out{root};
    const QStringList names = path.mid(root.size()).split(u'/');
    for (const QString& name : names) {
        if (name.isEmpty() || out.size() > maxNames) break;
        out.append(name);
    }
    return out;
}

QString expandedHome(const QString& typed, const QString& home) {
    if (typed == QLatin1String("~")) return home;
    if (!typed.startsWith(QLatin1String("~/"))) return typed;
    return home.endsWith(u'/') ? home + typed.mid(2) : home + typed.mid(1);
}

} // namespace orbet
