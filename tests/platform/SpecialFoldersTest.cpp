#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
        : hadTmp_(qEnvironmentVariableIsSet("TMPDIR")), oldTmp_(qgetenv("TMPDIR")),
          oldName_(QCoreApplication::applicationName()) {
        qputenv("TMPDIR", QFile::encodeName(tmpdir));
        QCoreApplication::setApplicationName(appName);
    }
    ~ScopedTempAndName() {
        if (hadTmp_) qputenv("TMPDIR", oldTmp_);
        else qunsetenv("TMPDIR");
        QCoreApplication::setApplicationName(oldName_);
    }

private:
    bool hadTmp_;
    QByteArray oldTmp_;
    QString oldName_;
};

TEST(DelNull, CutsAtNulThenTrimsSpaces) {
    EXPECT_EQ(SpecialDir::delNull(QString::fromUtf16(u"C:\\WINDOWS\0garbage", 18)), "C:\\WINDOWS");
    EXPECT_EQ(SpecialDir::delNull("  name  "), "name");
    EXPECT_EQ(SpecialDir::delNull(QString::fromUtf16(u"\0name", 5)), "");
    EXPECT_EQ(SpecialDir::delNull(QString::fromUtf16(u"  a b \0 tail  ", 14)), "a b");
    EXPECT_EQ(SpecialDir::delNull("\tname\t"), "\tname\t");
    EXPECT_EQ(SpecialDir::delNull(""), "");
    EXPECT_EQ(SpecialDir::delNull("   "), "");
}

TEST(SpecialDirFolders, FixedFolders) {
    const SpecialDir dirs;
    EXPECT_EQ(dirs.windows(), "/usr");
    EXPECT_EQ(dirs.system(), "/usr/lib");
    EXPECT_TRUE(dirs.temp().endsWith(u'/'));
    EXPECT_FALSE(dirs.temp().endsWith("//"));
}

TEST(SpecialDirFolders, TempFollowsTmpdir) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ScopedTempAndName scope(dir.path(), QCoreApplication::applicationName());
    EXPECT_EQ(SpecialDir().temp(), dir.path() + u'/');
}

TEST(SpecialDirFolders, ShellFolderNumbers) {
    const SpecialDir dirs;
    for (int n : {0, 5, 6, 16}) EXPECT_FALSE(dirs.specialDir(n).isEmpty()) << n;
    EXPECT_EQ(dirs.specialDir(0), dirs.specialDir(16));
    EXPECT_TRUE(dirs.specialDir(6).endsWith("/Favorites"));
    EXPECT_NE(dirs.specialDir(5), dirs.specialDir(6));
    for (int n : {-1, 1, 2, 7, 17, 100}) EXPECT_TRUE(dirs.specialDir(n).isEmpty()) << n;
}

class DelTemporaryFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(DelTemporaryFiles, DeletesOnlyFilesDirectlyInTheProgramsFolder) {
    const QString app = QStringLiteral("orbet-sweep-test");
    ASSERT_TRUE(QDir(dir.path()).mkpath(app + "/sub") && QDir(dir.path()).mkpath(app + "-sibling"));
    for (const char* name : {"a.txt", "no-extension", ".dotfile"})
        ASSERT_TRUE(test::writeAll(path(app + u'/' + name), "x"));
    ASSERT_TRUE(test::writeAll(path(app + "/sub/inner.txt"), "x"));
    ASSERT_TRUE(test::writeAll(path(app + "-sibling/keep.txt"), "x"));
    ASSERT_TRUE(test::writeAll(path("outside.txt"), "x"));
    ASSERT_TRUE(QFile::link(path("outside.txt"), path(app + "/file-link")));
    ASSERT_TRUE(QFile::link(path(app + "-sibling"), path(app + "/folder-link")));

    {
        const ScopedTempAndName scope(dir.path(), app);
        SpecialDir().delTemporaryFiles();
    }

    const QStringList left = QDir(path(app)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                       QDir::NoDotAndDotDot);
    EXPECT_EQ(left, QStringList{"sub"});
    EXPECT_TRUE(QFile::exists(path(app + "/sub/inner.txt")));
    EXPECT_TRUE(QFile::exists(path(app + "-sibling/keep.txt")));
    EXPECT_TRUE(QFile::exists(path("outside.txt")));
}

TEST_F(DelTemporaryFiles, MissingFolderIsIgnored) {
    ASSERT_TRUE(test::writeAll(path("outside.txt"), "x"));
    const ScopedTempAndName scope(dir.path(), QStringLiteral("orbet-no-such-folder"));
    SpecialDir().delTemporaryFiles();
    EXPECT_TRUE(QFile::exists(path("outside.txt")));
}

TEST_F(DelTemporaryFiles, NameThatLeavesTheTemporaryFolderIsRefused) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("tmp"));
    ASSERT_TRUE(test::writeAll(path("victim.txt"), "x"));
    ASSERT_TRUE(test::writeAll(path("tmp/victim.txt"), "x"));
    {
        const ScopedTempAndName scope(path("tmp"), QStringLiteral(".."));
        SpecialDir().delTemporaryFiles();
    }
    {
        const ScopedTempAndName scope(dir.path(), QStringLiteral("."));
        SpecialDir().delTemporaryFiles();
    }
    EXPECT_TRUE(QFile::exists(path("victim.txt")));
    EXPECT_TRUE(QFile::exists(path("tmp/victim.txt")));
}

TEST(PathMacros, UpperPathReplacesAnExactLeadingMacro) {
    const SpecialDir dirs;
    EXPECT_EQ(dirs.upperPath("%SYSTEM%/fonts"), "/usr/lib/fonts");
    EXPECT_EQ(dirs.upperPath("%WINDOW%"), "/usr");
    EXPECT_EQ(dirs.upperPath("%TEMPOL%work.tmp"), dirs.temp() + "work.tmp");
    EXPECT_EQ(dirs.upperPath("%MYDOCU%/a.txt"), dirs.specialDir(5) + "/a.txt");
    EXPECT_EQ(dirs.upperPath("%DESKTP%"), dirs.specialDir(0));
    EXPECT_EQ(dirs.upperPath("%FAVORI%/x"), dirs.specialDir(6) + "/x");
    EXPECT_EQ(dirs.upperPath("%APPPAS%/pd1"), QCoreApplication::applicationDirPath() + "/pd1");
    EXPECT_EQ(dirs.upperPath("%system%/fonts"), "%system%/fonts");
    EXPECT_EQ(dirs.upperPath("%SYSTE"), "%SYSTE");
    EXPECT_EQ(dirs.upperPath("/x/%SYSTEM%"), "/x/%SYSTEM%");
    EXPECT_EQ(dirs.upperPath(""), "");
}

TEST(PathMacros, LowerPathTakesTheFirstMatchInOrder) {
    const SpecialDir dirs;
    // The System folder lies inside the Windows folder, which is tried first.
    EXPECT_EQ(dirs.lowerPath("/usr/lib/x.so"), "%WINDOW%/lib/x.so");
    EXPECT_EQ(dirs.lowerPath("/usr"), "%WINDOW%");
    // No separator check: a sibling whose name merely begins the same way.
    EXPECT_EQ(dirs.lowerPath("/usrlocal/bin"), "%WINDOW%local/bin");
    EXPECT_EQ(dirs.lowerPath("/no-such-top-folder/a"), "/no-such-top-folder/a");
    EXPECT_EQ(dirs.lowerPath("/USR/lib"), "/USR/lib");
}

TEST(PathMacros, LowerPathOfTheTemporaryAndProgramFolders) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const ScopedTempAndName scope(dir.path(), QCoreApplication::applicationName());
    const SpecialDir dirs;
    ASSERT_FALSE(dirs.temp().startsWith("/usr"));
    EXPECT_EQ(dirs.lowerPath(dirs.temp() + "name.txt"), "%TEMPOL%name.txt");

    const QString program = QCoreApplication::applicationDirPath();
    if (program.startsWith("/usr") || program.startsWith(dirs.temp()))
        GTEST_SKIP() << "the test program lies inside an earlier folder";
    EXPECT_EQ(dirs.lowerPath(program), "%APPPAS%");
    EXPECT_EQ(dirs.lowerPath(program + "/pd1/ti.tex"), "%APPPAS%/pd1/ti.tex");
}

TEST(PathMacros, RoundTrip) {
    const SpecialDir dirs;
    const QStringList paths{"/usr/share/a", "/usrx", dirs.temp() + "t", QCoreApplication::applicationDirPath(),
                            dirs.specialDir(5) + "/doc.txt", dirs.specialDir(6), dirs.specialDir(0) + "/d",
                            "/elsewhere/file", "relative", ""};
    for (const QString& p : paths) EXPECT_EQ(dirs.upperPath(dirs.lowerPath(p)), p) << p.toStdString();
}

TEST(PathMacros, FoldersAreLookedUpOnlyAsFarAsNeeded) {
    std::vector<int> asked(3, 0);
    const std::vector<SpecialDir::MacroFolder> folders = {
        {"%AAAAAA%", [&] { ++asked[0]; return QStringLiteral("/a"); }},
        {"%BBBBBB%", [&] { ++asked[1]; return QStringLiteral("/b"); }},
        {"%CCCCCC%", [&] { ++asked[2]; return QStringLiteral("/c"); }},
    };
    EXPECT_EQ(SpecialDir::lowerPathWith("/b/x", folders), "%BBBBBB%/x");
    EXPECT_EQ(asked, (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(SpecialDir::upperPathWith("%CCCCCC%/y", folders), "/c/y");
    EXPECT_EQ(asked, (std::vector<int>{1, 1, 1}));
}

TEST(PathMacros, EmptyFolderMatchesEveryPath) {
    const std::vector<SpecialDir::MacroFolder> folders = {
        {"%AAAAAA%", [] { return QStringLiteral("/a"); }},
        {"%EMPTY_%", [] { return QString(); }},
        {"%CCCCCC%", [] { return QStringLiteral("/c"); }},
    };
    EXPECT_EQ(SpecialDir::lowerPathWith("/c/file", folders), "%EMPTY_%/c/file");
    EXPECT_EQ(SpecialDir::lowerPathWith(QString(), folders), "%EMPTY_%");
    EXPECT_EQ(SpecialDir::upperPathWith("%EMPTY_%/c/file", folders), "/c/file");
}

}  // namespace
}  // namespace orbet
