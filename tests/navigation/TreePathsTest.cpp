#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "navigation/FolderProbe.h"
#include "navigation/TreePaths.h"

namespace orbet {
namespace {

TEST(TreePaths, KeysTextsAndImages) {
    EXPECT_EQ(DriveKey(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(DriveKey(QStringLiteral("/media/usb")), QStringLiteral("/media/usb/"));
    EXPECT_EQ(DriveText(QStringLiteral("/media/usb [SYSTEM]")), QStringLiteral("(/media/usb [SYSTEM])"));
    EXPECT_EQ(DriveText(QStringLiteral("/")), QStringLiteral("(/)"));
    const int images[] = {0, 5, 4, 5, 4, 2, 0, 0};
    for (int type = 0; type < 8; ++type)
        EXPECT_EQ(DriveImageNum(type), images[type]) << type;
    EXPECT_EQ(StrDrive(2), QStringLiteral("3.5インチフロッピードライブ"));
    EXPECT_EQ(StrDrive(5), QStringLiteral("CD-ROM"));
    EXPECT_EQ(StrDrive(6), QString());
    EXPECT_EQ(PlusEn(QStringLiteral("/a")), QStringLiteral("/a/"));
    EXPECT_EQ(PlusEn(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(DirName(QStringLiteral("/a/b c")), QStringLiteral("b c"));
    EXPECT_EQ(PathTail(QStringLiteral("plain")), QStringLiteral("plain"));
    EXPECT_EQ(PlaceholderKey(QStringLiteral("/a")), QStringLiteral("///a"));
}

TEST(TreePaths, ComponentsOfAPath) {
    const QStringList roots{"/", "/work/", "/workshop/"};
    EXPECT_EQ(treePathComponents("/work/main/src/", roots), (QStringList{"/work/", "main", "src"}));
    EXPECT_EQ(treePathComponents("/home/u", roots), (QStringList{"/", "home", "u"}));
    EXPECT_EQ(treePathComponents("/a//b", roots), (QStringList{"/", "a"})); // an empty component ends it
    EXPECT_EQ(treePathComponents("/", roots), (QStringList{"/"}));
    EXPECT_TRUE(treePathComponents("relative/path", roots).isEmpty());
    QString deep;
    for (int i = 0; i < 100; ++i)
        deep += QStringLiteral("/d%1").arg(i);
    EXPECT_EQ(treePathComponents(deep, roots).size(), 61);
}

TEST(TreePaths, TheHomeFolderTypedAsTilde) {
    const QString home = QStringLiteral("/home/ユーザー");
    EXPECT_EQ(expandedHome("~", home), home);
    EXPECT_EQ(expandedHome("~/", home), home + "/");
    EXPECT_EQ(expandedHome("~/写真/a.jpg", home), home + "/写真/a.jpg");
    EXPECT_EQ(expandedHome("~/x", "/"), QStringLiteral("/x"));
    for (const char* kept : {"~other/x", "/tmp/~/x", "x~", "", "..", "~~"})
        EXPECT_EQ(expandedHome(QString::fromUtf8(kept), home), QString::fromUtf8(kept)) << kept;
}

TEST(FolderProbe, SubfoldersSortedWithLinksAndHiddenOnRequest) {
    QTemporaryDir tmp;
    QDir d(tmp.path());
    for (const char* n : {"beta", "Alpha", ".secret", "gamma dir", "写真"})
        d.mkdir(QString::fromUtf8(n));
    QFile(d.filePath("file.txt")).open(QIODevice::WriteOnly);
    QFile::link(d.filePath("beta"), d.filePath("link-to-beta"));
    QFile::link(d.filePath("file.txt"), d.filePath("link-to-file"));
    QFile::link(d.filePath("loop"), d.filePath("loop")); // a link to itself is no folder

    QStringList names;
    for (const Subfolder& s : listSubfolders(tmp.path(), false))
        names.append(s.path.mid(tmp.path().size() + 1));
    EXPECT_EQ(names, (QStringList{"Alpha", "beta", "gamma dir", "link-to-beta", "写真"}));

    const auto withHidden = listSubfolders(tmp.path(), true);
    ASSERT_EQ(withHidden.size(), 6u);
    EXPECT_TRUE(withHidden[0].hidden);
    EXPECT_EQ(withHidden[0].path, tmp.path() + QStringLiteral("/.secret"));

    EXPECT_TRUE(hasSubfolder(tmp.path(), false));
    EXPECT_FALSE(hasSubfolder(d.filePath("beta"), true));
    FolderStatus status = FolderStatus::Ok;
    EXPECT_TRUE(listSubfolders(d.filePath("gone"), true, &status).empty());
    EXPECT_EQ(status, FolderStatus::NotFound);
    EXPECT_EQ(probeFolder(d.filePath("file.txt")), FolderStatus::NotFound);
    EXPECT_EQ(probeFolder(tmp.path()), FolderStatus::Ok);
}

} // namespace
} // namespace orbet
