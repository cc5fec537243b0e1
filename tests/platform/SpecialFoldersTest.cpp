#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/SpecialFolders.h"
#include "support/TestSupport.h"

namespace orbet {
namespace {

// Points TMPDIR and the application name somewhere of the test's own, and
// puts both back afterwards.
class ScopedTempAndName {
  public:
    ScopedTempAndName(const QString& tmpdir, const QString& appName)
        : oldTmp_(qgetenv("TMPDIR")), oldName_(QCoreApplication::applicationName()) {
        qputenv("TMPDIR", QFile::encodeName(tmpdir));
        QCoreApplication::setApplicationName(appName);
    }
    ~ScopedTempAndName() {
        if (oldTmp_.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", oldTmp_);
        QCoreApplication::setApplicationName(oldName_);
    }

  private:
    QByteArray oldTmp_;
    QString oldName_;
};

TEST(SpecialDirFolders, DelNullCutsAtNulThenTrimsSpaces) {
    EXPECT_EQ(SpecialDir::delNull(QString::fromUtf16(u"/usr\0garbage", 12)), "/usr");
    EXPECT_EQ(SpecialDir::delNull(QString::fromUtf16(u"  a b \0 tail  ", 14)), "a b");
    EXPECT_EQ(SpecialDir::delNull(QString::fromUtf16(u"\0name", 5)), "");
    EXPECT_EQ(SpecialDir::delNull("  name  "), "name");
    EXPECT_EQ(SpecialDir::delNull("\tname"), "\tname");
}

TEST(SpecialDirFolders, FixedAndShellFolders) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ScopedTempAndName scope(dir.path(), QCoreApplication::applicationName());
    const SpecialDir dirs;
    EXPECT_EQ(dirs.windows(), "/usr");
    EXPECT_EQ(dirs.system(), "/usr/lib");
    EXPECT_EQ(dirs.temp(), dir.path() + u'/');

    for (int n : {0, 5, 6, 16})
        EXPECT_FALSE(dirs.specialDir(n).isEmpty()) << n;
    EXPECT_EQ(dirs.specialDir(0), dirs.specialDir(16));
    EXPECT_TRUE(dirs.specialDir(6).endsWith("/Favorites"));
    for (int n : {-1, 1, 7, 17})
        EXPECT_TRUE(dirs.specialDir(n).isEmpty()) << n;
}

TEST(SpecialDirFolders, DelTemporaryFilesSweepsOnlyItsOwnFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    const QString app = QStringLiteral("orbet-sweep");
    ASSERT_TRUE(root.mkpath(app + "/sub") && root.mkpath(app + "-sibling") && root.mkpath("tmp"));
    for (const QString& name :
         {app + "/a.txt", app + "/no-extension", app + "/.dotfile", app + "/sub/in.txt",
          app + "-sibling/keep.txt", QStringLiteral("outside.txt"), QStringLiteral("tmp/victim.txt")})
        ASSERT_TRUE(test::writeAll(root.filePath(name), "x"));
    ASSERT_TRUE(QFile::link(root.filePath("outside.txt"), root.filePath(app + "/file-link")));
    ASSERT_TRUE(QFile::link(root.filePath(app + "-sibling"), root.filePath(app + "/folder-link")));

    {
        const ScopedTempAndName scope(dir.path(), app);
        SpecialDir().delTemporaryFiles();
    }
    // Names that would lead out of the temporary folder are refused.
    for (const QString& name : {QStringLiteral(".."), QStringLiteral(".")}) {
        const ScopedTempAndName scope(root.filePath("tmp"), name);
        SpecialDir().delTemporaryFiles();
    }
    {
        const ScopedTempAndName scope(dir.path(), QStringLiteral("orbet-no-such-folder"));
        SpecialDir().delTemporaryFiles();
    }

    EXPECT_EQ(QDir(root.filePath(app))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              QStringList{"sub"});
    for (const QString& name : {app + "/sub/in.txt", app + "-sibling/keep.txt", QStringLiteral("outside.txt"),
                                QStringLiteral("tmp/victim.txt")})
        EXPECT_TRUE(QFile::exists(root.filePath(name))) << name.toStdString();
}

TEST(PathMacros, UpperPathReplacesAnExactLeadingMacro) {
    const SpecialDir dirs;
    EXPECT_EQ(dirs.upperPath("%SYSTEM%/fonts"), "/usr/lib/fonts");
    EXPECT_EQ(dirs.upperPath("%TEMPOL%work.tmp"), dirs.temp() + "work.tmp");
    EXPECT_EQ(dirs.upperPath("%MYDOCU%/a.txt"), dirs.specialDir(5) + "/a.txt");
    EXPECT_EQ(dirs.upperPath("%FAVORI%"), dirs.specialDir(6));
    EXPECT_EQ(dirs.upperPath("%APPPAS%/pd1"), QCoreApplication::applicationDirPath() + "/pd1");
    EXPECT_EQ(dirs.upperPath("%system%/fonts"), "%system%/fonts");
    EXPECT_EQ(dirs.upperPath("%SYSTE"), "%SYSTE");
    EXPECT_EQ(dirs.upperPath("/x/%SYSTEM%"), "/x/%SYSTEM%");
}

TEST(PathMacros, LowerPathTakesTheFirstMatchInOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ScopedTempAndName scope(dir.path(), QCoreApplication::applicationName());
    const SpecialDir dirs;
    // The System folder lies inside the Windows folder, which is tried first,
    // and no separator is needed after a match.
    EXPECT_EQ(dirs.lowerPath("/usr/lib/x.so"), "%WINDOW%/lib/x.so");
    EXPECT_EQ(dirs.lowerPath("/usrlocal/bin"), "%WINDOW%local/bin");
    EXPECT_EQ(dirs.lowerPath(dirs.temp() + "name.txt"), "%TEMPOL%name.txt");
    EXPECT_EQ(dirs.lowerPath("/no-such-top-folder/a"), "/no-such-top-folder/a");
    const QString program = QCoreApplication::applicationDirPath();
    if (!program.startsWith("/usr")) {
        EXPECT_EQ(dirs.lowerPath(program), "%APPPAS%");
    }

    for (const QString& p :
         {QStringLiteral("/usr/share/a"), dirs.temp() + "t", program, dirs.specialDir(6),
          dirs.specialDir(5) + "/doc.txt", dirs.specialDir(0) + "/d", QStringLiteral("rel")})
        EXPECT_EQ(dirs.upperPath(dirs.lowerPath(p)), p) << p.toStdString();
}

TEST(PathMacros, FoldersAreLookedUpLazilyAndEmptyMatchesAll) {
    std::vector<int> asked(3, 0);
    const std::vector<SpecialDir::MacroFolder> folders = {
        {"%AAAAAA%", [&] { return ++asked[0], QStringLiteral("/a"); }},
        {"%BBBBBB%", [&] { return ++asked[1], QString(); }},
        {"%CCCCCC%", [&] { return ++asked[2], QStringLiteral("/c"); }},
    };
    EXPECT_EQ(SpecialDir::lowerPathWith("/c/x", folders), "%BBBBBB%/c/x");
    EXPECT_EQ(asked, (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(SpecialDir::upperPathWith("%CCCCCC%/y", folders), "/c/y");
    EXPECT_EQ(asked, (std::vector<int>{1, 1, 1}));
}

} // namespace
} // namespace orbet
